// Feeds arbitrary bytes to the game's map header reader. Whatever it reads, the world scale comes out finite
// and at least 1, and the header written back reads again to the same fields.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Engine/foundation/WeFileStream.h"
#include "Game/shell/CMapHeader.h"
#include "Tests/fuzz/FuzzSupport.h"

namespace
{
bool SameFloats(const float* a, const float* b, size_t count)
{
    return std::memcmp(a, b, count * sizeof(float)) == 0;
}

bool SameFields(const CMapHeader& a, const CMapHeader& b)
{
    return a.m_DisplayName == b.m_DisplayName && a.m_Description == b.m_Description &&
           a.m_PreviewTexture == b.m_PreviewTexture && a.m_LoadingTexture == b.m_LoadingTexture &&
           a.m_Text5 == b.m_Text5 && SameFloats(a.m_AmbientColor, b.m_AmbientColor, 4) &&
           SameFloats(&a.m_WorldScale, &b.m_WorldScale, 1) && SameFloats(&a.m_FarValue, &b.m_FarValue, 1) &&
           SameFloats(&a.m_ValueA, &b.m_ValueA, 1) && SameFloats(&a.m_FogStart, &b.m_FogStart, 1) &&
           SameFloats(&a.m_FogEnd, &b.m_FogEnd, 1) && SameFloats(&a.m_FogValue3, &b.m_FogValue3, 1) &&
           SameFloats(&a.m_FogValue4, &b.m_FogValue4, 1) && a.m_FogOn == b.m_FogOn &&
           SameFloats(a.m_FogColor, b.m_FogColor, 4) && SameFloats(a.m_RendererValues, b.m_RendererValues, 2) &&
           SameFloats(a.m_BloomLevels, b.m_BloomLevels, 3);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string input = FuzzScratchPath("header.bin");
    static const std::string output = FuzzScratchPath("header-again.bin");
    if (!FuzzWriteFile(input, data, size))
        return 0;
    CMapHeader header;
    {
        WeFileStream in;
        if (!in.Open(input.c_str()))
            return 0;
        header.Read(in);
    }
    if (!std::isfinite(header.m_WorldScale) || header.m_WorldScale < 1.0f)
        std::abort();
    {
        WeFileStream out;
        if (!out.Create(output.c_str()))
            return 0;
        header.Write(out);
    }
    CMapHeader again;
    WeFileStream in;
    if (!in.Open(output.c_str()))
        return 0;
    if (!again.Read(in) || again.m_Damaged || !SameFields(header, again))
        std::abort();
    return 0;
}
