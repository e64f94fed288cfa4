// Feeds arbitrary font files to the font layer: the file is added to the process's fonts, and when it holds
// a face, a font of it is created at a height the first byte picks, measured and drawn with text taken from
// the input, before the file is taken away again.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <mutex>
#include <string>

#include "Platform/fonts/FontBitmap.h"
#include "Platform/fonts/FontFace.h"
#include "Platform/fonts/FontLibrary.h"
#include "Tests/fuzz/FuzzSupport.h"

namespace
{
// The family the file names, as fontconfig will know it; empty when FreeType cannot open it.
std::string FamilyOf(const std::string& path)
{
    std::lock_guard<std::recursive_mutex> lock(FontLibrary::Lock());
    FT_Face face = nullptr;
    if (FT_New_Face(FontLibrary::FreeType(), path.c_str(), 0, &face) != 0)
        return std::string();
    std::string family = face->family_name ? face->family_name : "";
    FT_Done_Face(face);
    return family;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = FuzzScratchPath("font.ttf");
    if (size < 1 || !FuzzWriteFile(path, data + 1, size - 1))
        return 0;
    if (FontLibrary::AddFontFile(path) <= 0)
        return 0;
    FontCreateParams params;
    params.face = FamilyOf(path);
    params.height = 4 + data[0] % 64;
    params.weight = data[0] & 0x40 ? FW_BOLD : FW_NORMAL;
    params.italic = (data[0] & 0x80) != 0;
    if (!params.face.empty())
    {
        if (std::unique_ptr<FontFace> font = FontFace::Create(params))
        {
            char16_t text[16];
            for (size_t i = 0; i < 16; ++i)
                text[i] = char16_t(1 + i < size ? data[1 + i] | (i < size ? data[i] << 8 : 0) : 'A');
            FontABC abc;
            for (const char16_t c : text)
                font->GetCharABCWidths(c, abc);
            FontBitmap bitmap;
            if (bitmap.Create(128, 64))
                font->TextOut(bitmap, -3, 2, text, 16);
        }
    }
    FontLibrary::RemoveFontFile(path);
    return 0;
}
