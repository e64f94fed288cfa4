#include "Platform/physics/NxCookedFormat.h"

#include "Platform/physics/NxStream.h"

namespace NxCookedFormat
{

bool readMesh(const NxStream& stream, NxU32 tag, std::vector<NxVec3>* vertices, std::vector<NxU32>* indices)
{
    if (stream.readDword() != tag)
        return false;
    const NxU32 nv = stream.readDword();
    const NxU32 nt = stream.readDword();
    if (nv == 0 || nt == 0 || nv > MaxCount || nt > MaxCount)
        return false;
    vertices->resize(nv);
    stream.readBuffer(vertices->data(), nv * 12);
    indices->resize(size_t(nt) * 3);
    stream.readBuffer(indices->data(), nt * 12);
    if (stream.readDword() != EndTag)
        return false;
    for (NxU32 i : *indices)
    {
        if (i >= nv)
            return false;
    }
    for (const NxVec3& p : *vertices)
    {
        if (!finite(p))
            return false;
    }
    return true;
}

}  // namespace NxCookedFormat
