// Feeds arbitrary cooked bytes to the triangle-mesh and cloth-mesh readers (the first byte picks which).
// A mesh read must be whole: its indices in range and its points finite.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "Platform/physics/NxClothMesh.h"
#include "Platform/physics/NxPhysicsSDK.h"
#include "Platform/physics/NxStream.h"
#include "Platform/physics/NxTriangleMesh.h"

namespace
{
// Reads the input; past its end it reads zeros, as the engine's streams do.
class InputStream : public NxStream
{
public:
    InputStream(const uint8_t* data, size_t size) : m_Data(data), m_Size(size) {}
    NxU8 readByte() const override { return read<NxU8>(); }
    NxU16 readWord() const override { return read<NxU16>(); }
    NxU32 readDword() const override { return read<NxU32>(); }
    NxF32 readFloat() const override { return read<NxF32>(); }
    NxF64 readDouble() const override { return read<NxF64>(); }
    void readBuffer(void* buffer, NxU32 size) const override
    {
        std::memset(buffer, 0, size);
        const size_t n = m_At < m_Size ? std::min<size_t>(size, m_Size - m_At) : 0;
        if (n)
            std::memcpy(buffer, m_Data + m_At, n);
        m_At += size;
    }
    NxStream& storeByte(NxU8) override { return *this; }
    NxStream& storeWord(NxU16) override { return *this; }
    NxStream& storeDword(NxU32) override { return *this; }
    NxStream& storeFloat(NxF32) override { return *this; }
    NxStream& storeDouble(NxF64) override { return *this; }
    NxStream& storeBuffer(const void*, NxU32) override { return *this; }

private:
    template <typename T>
    T read() const
    {
        T value;
        readBuffer(&value, sizeof value);
        return value;
    }
    const uint8_t* m_Data;
    size_t m_Size;
    mutable size_t m_At = 0;
};

NxPhysicsSDK* Sdk()
{
    static NxPhysicsSDK* sdk = NxCreatePhysicsSDK(NX_PHYSICS_SDK_VERSION);
    return sdk;
}

void Check(const NxVec3* points, NxU32 vertices, const NxU32* indices, NxU32 triangles)
{
    for (NxU32 i = 0; i < triangles * 3; ++i)
        if (indices[i] >= vertices)
            __builtin_trap();
    for (NxU32 i = 0; i < vertices; ++i)
        if (!std::isfinite(points[i].x) || !std::isfinite(points[i].y) || !std::isfinite(points[i].z))
            __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || !Sdk())
        return 0;
    InputStream stream(data + 1, size - 1);
    if (data[0] & 1)
    {
        if (NxClothMesh* mesh = Sdk()->createClothMesh(stream))
        {
            Check(mesh->vertices().data(), mesh->getNbVertices(), mesh->indices().data(), mesh->getNbTriangles());
            Sdk()->releaseClothMesh(*mesh);
        }
    }
    else if (NxTriangleMesh* mesh = Sdk()->createTriangleMesh(stream))
    {
        Check(mesh->getVertices(), mesh->getNbVertices(), mesh->getTriangles(), mesh->getNbTriangles());
        Sdk()->releaseTriangleMesh(*mesh);
    }
    return 0;
}
