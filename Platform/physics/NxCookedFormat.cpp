#include "Platform/physics/NxCookedFormat.h"

#include <algorithm>

#include "Platform/physics/NxStream.h"

namespace NxCookedFormat
{

namespace
{

// Reads `count` elements of `perElement` values each, a block at a time, checking the marker after each full one.
template <typename T>
bool readBlocks(const NxStream& stream, NxU32 count, std::vector<T>* out, NxU32 perElement)
{
    out->clear();
    while (out->size() < size_t(count) * perElement)
    {
        const size_t done = out->size() / perElement;
        const NxU32 n = NxU32(std::min<size_t>(BlockCount, count - done));
        out->resize(out->size() + size_t(n) * perElement);
        stream.readBuffer(out->data() + done * perElement, NxU32(n * perElement * sizeof(T)));
        if (n == BlockCount && stream.readDword() != BlockTag)
            return false;
    }
    return true;
}

}  // namespace

bool readMesh(const NxStream& stream, NxU32 tag, std::vector<NxVec3>* vertices, std::vector<NxU32>* indices)
{
    if (stream.readDword() != tag)
        return false;
    const NxU32 nv = stream.readDword();
    const NxU32 nt = stream.readDword();
    if (nv == 0 || nt == 0 || nv > MaxCount || nt > MaxCount)
        return false;
    if (!readBlocks(stream, nv, vertices, 1) || !readBlocks(stream, nt, indices, 3) || stream.readDword() != EndTag)
    {
        vertices->clear();
        indices->clear();
        return false;
    }
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
