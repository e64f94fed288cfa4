#include "Platform/physics/NxCooking.h"

#include <cstring>
#include <vector>

#include "Platform/physics/NxClothMesh.h"
#include "Platform/physics/NxCookedFormat.h"
#include "Platform/physics/NxStream.h"
#include "Platform/physics/NxTriangleMeshDesc.h"
#include "Platform/physics/NxVec3.h"

namespace
{

NxCookingParams& params()
{
    static NxCookingParams s_params;
    return s_params;
}

// Reads the triangles with the given index size; false when an index is out of range.
bool readTriangles(const NxSimpleTriangleMesh& desc, bool small, std::vector<NxU32>& indices)
{
    indices.resize(size_t(desc.numTriangles) * 3);
    for (NxU32 t = 0; t < desc.numTriangles; ++t)
    {
        const NxU8* src = static_cast<const NxU8*>(desc.triangles) + size_t(t) * desc.triangleStrideBytes;
        for (int k = 0; k < 3; ++k)
        {
            NxU32 v;
            if (small)
            {
                NxU16 w;
                std::memcpy(&w, src + 2 * k, 2);
                v = w;
            }
            else
            {
                std::memcpy(&v, src + 4 * k, 4);
            }
            if (v >= desc.numVertices)
                return false;
            indices[size_t(t) * 3 + k] = v;
        }
        if (desc.flags & NX_MF_FLIPNORMALS)
            std::swap(indices[size_t(t) * 3 + 1], indices[size_t(t) * 3 + 2]);
    }
    return true;
}

// Reads the description's points and triangles; false on missing data or an index out of range.
bool readMesh(const NxSimpleTriangleMesh& desc, std::vector<NxVec3>& points, std::vector<NxU32>& indices)
{
    if (!desc.isValid() || desc.numVertices > NxCookedFormat::MaxCount || desc.numTriangles > NxCookedFormat::MaxCount)
        return false;
    points.resize(desc.numVertices);
    for (NxU32 i = 0; i < desc.numVertices; ++i)
    {
        float p[3];
        std::memcpy(p, static_cast<const NxU8*>(desc.points) + size_t(i) * desc.pointStrideBytes, sizeof p);
        points[i].set(p);
        if (!NxCookedFormat::finite(points[i]))
            return false;
    }
    const bool small = (desc.flags & NX_MF_16_BIT_INDICES) != 0;
    // The engine states 16-bit indices for every mesh and gives 32-bit ones away only by their 12-byte
    // triangle stride. Read such triangles as 32-bit when that yields a valid mesh: packed 16-bit
    // triangles never take 12 bytes, and padded ones would need every second index to be 0 to pass.
    if (small && desc.triangleStrideBytes == 12 && readTriangles(desc, false, indices))
        return true;
    return readTriangles(desc, small, indices);
}

void write(NxStream& stream, NxU32 tag, const std::vector<NxVec3>& points, const std::vector<NxU32>& indices)
{
    stream.storeDword(tag);
    stream.storeDword(static_cast<NxU32>(points.size()));
    stream.storeDword(static_cast<NxU32>(indices.size() / 3));
    stream.storeBuffer(points.data(), static_cast<NxU32>(points.size() * sizeof(NxVec3)));
    stream.storeBuffer(indices.data(), static_cast<NxU32>(indices.size() * sizeof(NxU32)));
    stream.storeDword(NxCookedFormat::EndTag);
}

}  // namespace

bool NxInitCooking(NxUserAllocator*, NxUserOutputStream*)
{
    return true;
}
void NxCloseCooking() {}
bool NxSetCookingParams(const NxCookingParams& p)
{
    params() = p;
    return true;
}
const NxCookingParams& NxGetCookingParams()
{
    return params();
}

bool NxCookTriangleMesh(const NxTriangleMeshDesc& desc, NxStream& stream)
{
    std::vector<NxVec3> points;
    std::vector<NxU32> indices;
    if (!readMesh(desc, points, indices))
        return false;
    write(stream, NxCookedFormat::TriangleMeshTag, points, indices);
    return true;
}

bool NxCookClothMesh(const NxClothMeshDesc& desc, NxStream& stream)
{
    std::vector<NxVec3> points;
    std::vector<NxU32> indices;
    if (!readMesh(desc, points, indices))
        return false;
    if (desc.flags & NX_CLOTH_MESH_WELD_VERTICES)
    {
        // Points closer than the welding distance become one, so split render vertices stay joined.
        const NxReal d2 = desc.weldingDistance * desc.weldingDistance;
        std::vector<NxU32> remap(points.size());
        std::vector<NxVec3> welded;
        for (size_t i = 0; i < points.size(); ++i)
        {
            size_t j = 0;
            while (j < welded.size() && (welded[j] - points[i]).magnitudeSquared() > d2)
                ++j;
            if (j == welded.size())
                welded.push_back(points[i]);
            remap[i] = static_cast<NxU32>(j);
        }
        for (NxU32& i : indices)
            i = remap[i];
        points.swap(welded);
    }
    write(stream, NxCookedFormat::ClothMeshTag, points, indices);
    return true;
}

bool NxCookingInterface::NxSetCookingParams(const NxCookingParams& p)
{
    return ::NxSetCookingParams(p);
}
const NxCookingParams& NxCookingInterface::NxGetCookingParams()
{
    return ::NxGetCookingParams();
}
bool NxCookingInterface::NxCookTriangleMesh(const NxTriangleMeshDesc& desc, NxStream& stream)
{
    return ::NxCookTriangleMesh(desc, stream);
}
bool NxCookingInterface::NxCookClothMesh(const NxClothMeshDesc& desc, NxStream& stream)
{
    return ::NxCookClothMesh(desc, stream);
}
bool NxCookingInterface::NxInitCooking(NxUserAllocator* a, NxUserOutputStream* o)
{
    return ::NxInitCooking(a, o);
}
void NxCookingInterface::NxCloseCooking()
{
    ::NxCloseCooking();
}

NxCookingInterface* NxGetCookingLib(NxU32 sdkVersion)
{
    static NxCookingInterface s_cooking;
    return sdkVersion == NX_PHYSICS_SDK_VERSION ? &s_cooking : nullptr;
}
