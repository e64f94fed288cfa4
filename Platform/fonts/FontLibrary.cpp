#include "Platform/fonts/FontLibrary.h"

#include "Platform/fonts/FontCodePage.h"
#include "Platform/fonts/FontTypes.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits.h>
#include <map>
#include <strings.h>
#include <vector>

namespace
{

// Faces the game's configuration names that fontconfig binds to nothing on a plain Debian system.
struct FaceAlias
{
    const char* name;
    const char* family;
};
const FaceAlias Aliases[] = {
    {"Verdana", "DejaVu Sans"},
    {"Tahoma", "DejaVu Sans"},
};

const char* const GenericFamilies[] = {"sans-serif", "serif",     "monospace", "sans", "cursive",
                                       "fantasy",    "system-ui", "emoji",     "math"};

struct LibraryState
{
    bool fcReady = false;
    FT_Library freeType = nullptr;
    std::map<std::string, int> userFonts;  // canonical path -> references
};

LibraryState& g_FontLibraryState()
{
    static LibraryState state;
    return state;
}

LibraryState& State()
{
    LibraryState& s = g_FontLibraryState();
    if (!s.fcReady)
        s.fcReady = FcInit() == FcTrue;
    if (!s.freeType && FT_Init_FreeType(&s.freeType) != 0)
        s.freeType = nullptr;
    return s;
}

std::string Unalias(const std::string& face)
{
    for (const FaceAlias& a : Aliases)
        if (strcasecmp(a.name, face.c_str()) == 0)
            return a.family;
    return face;
}

bool IsGeneric(const char* family)
{
    for (const char* g : GenericFamilies)
        if (strcasecmp(g, family) == 0)
            return true;
    return false;
}

// The request pattern after the configuration's substitutions, and the font it matches; both null on
// failure. The caller destroys them.
bool MatchPattern(const std::string& family, int weight, bool italic, FcPattern*& request, FcPattern*& font)
{
    request = nullptr;
    font = nullptr;
    if (!State().fcReady || family.empty())
        return false;
    request = FcPatternCreate();
    if (!request)
        return false;
    FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(request, FC_WEIGHT, FcWeightFromOpenType(weight <= 0 ? FW_NORMAL : weight));
    FcPatternAddInteger(request, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(request, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, request, FcMatchPattern);
    FcDefaultSubstitute(request);
    FcResult result = FcResultNoMatch;
    font = FcFontMatch(nullptr, request, &result);
    if (!font)
    {
        FcPatternDestroy(request);
        request = nullptr;
        return false;
    }
    return true;
}

// Whether the matched font stands for the requested name rather than for a generic fallback: one of its
// families is bound strongly in the substituted request. The name itself and the configuration's
// metric-compatible stand-ins bind strongly; the default faces a generic family expands to only weakly.
bool BoundToName(FcPattern* request, FcPattern* font)
{
    FcPatternIter it;
    FcPatternIterStart(request, &it);
    bool any = FcPatternIterIsValid(request, &it) == FcTrue;
    for (; any; any = FcPatternIterNext(request, &it) == FcTrue)
    {
        if (std::strcmp(FcPatternIterGetObject(request, &it), FC_FAMILY) != 0)
            continue;
        const int count = FcPatternIterValueCount(request, &it);
        for (int i = 0; i < count; ++i)
        {
            FcValue value;
            FcValueBinding binding = FcValueBindingWeak;
            if (FcPatternIterGetValue(request, &it, i, &value, &binding) != FcResultMatch ||
                value.type != FcTypeString || binding == FcValueBindingWeak)
                continue;
            const char* wanted = reinterpret_cast<const char*>(value.u.s);
            if (IsGeneric(wanted))
                continue;
            FcChar8* have = nullptr;
            for (int j = 0; FcPatternGetString(font, FC_FAMILY, j, &have) == FcResultMatch; ++j)
                if (strcasecmp(wanted, reinterpret_cast<const char*>(have)) == 0)
                    return true;
        }
        return false;
    }
    return false;
}

// The request for the face itself when the configuration binds it to a font, else for the layer's
// stand-in: a Verdana that is installed or added by the program wins over the alias.
bool MatchFace(const std::string& face, int weight, bool italic, FcPattern*& request, FcPattern*& font)
{
    if (!MatchPattern(face, weight, italic, request, font))
        return false;
    const std::string alias = Unalias(face);
    if (alias == face || BoundToName(request, font))
        return true;
    FcPatternDestroy(font);
    FcPatternDestroy(request);
    return MatchPattern(alias, weight, italic, request, font);
}

// Whether the font's OS/2 table claims the code page, which is what decides on the system the face names
// come from: a face that lacks a few of the page's characters still counts.
bool ClaimsCodePage(FcPattern* font, int codePage)
{
    struct PageBit
    {
        int codePage;
        int bit;
    };
    static const PageBit Bits[] = {{1252, 0}, {1250, 1}, {1251, 2},  {1253, 3}, {1254, 4}, {1255, 5},
                                   {1256, 6}, {1257, 7}, {1258, 8},  {874, 16}, {932, 17}, {936, 18},
                                   {949, 19}, {950, 20}, {1361, 21}, {42, 31}};
    int bit = -1;
    for (const PageBit& b : Bits)
        if (b.codePage == codePage)
            bit = b.bit;
    FcChar8* file = nullptr;
    int index = 0;
    FT_Library lib = State().freeType;
    if (bit < 0 || !lib || FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
        return false;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    FT_Face face = nullptr;
    if (FT_New_Face(lib, reinterpret_cast<const char*>(file), index, &face) != 0)
        return false;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const bool claimed =
        os2 && os2->version != 0xFFFF && os2->version >= 1 && ((os2->ulCodePageRange1 >> bit) & 1u) != 0;
    FT_Done_Face(face);
    return claimed;
}

bool CoversCharset(FcPattern* font, int charset)
{
    if (charset == DEFAULT_CHARSET)
        return true;
    const int codePage = FontCodePage::FromCharset(charset);
    if (codePage == 0)
        return false;
    if (ClaimsCodePage(font, codePage))
        return true;
    if (FontCodePage::IsDoubleByte(codePage))
    {
        const char* lang = codePage == 932 ? "ja" : codePage == 936 ? "zh-cn" : codePage == 950 ? "zh-tw" : "ko";
        FcLangSet* langs = nullptr;
        if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) != FcResultMatch)
            return false;
        return FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>(lang)) != FcLangDifferentLang;
    }
    FcCharSet* chars = nullptr;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) != FcResultMatch)
        return false;
    // Every printable character of the page must be there; control codes are no glyphs.
    for (int b = 0x20; b <= 0xFF; ++b)
    {
        uint16_t cp = 0;
        if (!FontCodePage::ByteToUtf16(codePage, static_cast<uint8_t>(b), cp))
            continue;
        if (cp == 0x7F || (cp >= 0x80 && cp < 0xA0))
            continue;
        if (!FcCharSetHasChar(chars, cp))
            return false;
    }
    return true;
}

std::string Canonical(const std::string& path)
{
    char buf[PATH_MAX];
    if (!realpath(path.c_str(), buf))
        return std::string();
    return buf;
}

int CountFaces(FT_Library lib, const std::string& path)
{
    FT_Face face = nullptr;
    if (!lib || FT_New_Face(lib, path.c_str(), -1, &face) != 0)
        return 0;
    const int n = static_cast<int>(face->num_faces);
    FT_Done_Face(face);
    return n;
}

}  // namespace

std::recursive_mutex& FontLibrary::Lock()
{
    static std::recursive_mutex m;
    return m;
}

FT_LibraryRec_* FontLibrary::FreeType()
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    return State().freeType;
}

bool FontLibrary::FaceExists(const std::string& face, int charset)
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    FcPattern* request = nullptr;
    FcPattern* font = nullptr;
    if (!MatchFace(face, FW_NORMAL, false, request, font))
        return false;
    const bool found = BoundToName(request, font) && CoversCharset(font, charset);
    FcPatternDestroy(font);
    FcPatternDestroy(request);
    return found;
}

std::string FontLibrary::ResolveFamily(const std::string& face)
{
    FontMatch m;
    if (!Match(face, FW_NORMAL, false, m))
        return std::string();
    return m.family;
}

bool FontLibrary::Match(const std::string& face, int weight, bool italic, FontMatch& out)
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    out = FontMatch();
    FcPattern* request = nullptr;
    FcPattern* font = nullptr;
    if (!MatchFace(face, weight, italic, request, font))
        return false;
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int index = 0;
    int gotWeight = FC_WEIGHT_REGULAR;
    int gotSlant = FC_SLANT_ROMAN;
    const bool ok = FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch;
    if (ok)
    {
        out.file = reinterpret_cast<const char*>(file);
        if (FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch)
            out.family = reinterpret_cast<const char*>(family);
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        FcPatternGetInteger(font, FC_WEIGHT, 0, &gotWeight);
        FcPatternGetInteger(font, FC_SLANT, 0, &gotSlant);
        out.index = index;
        // The configuration's synthetic rules mark a light file picked for bold with embolden and an
        // upright one picked for italic with a shear, and report the asked style as the font's own.
        FcBool embolden = FcFalse;
        FcPatternGetBool(font, FC_EMBOLDEN, 0, &embolden);
        FcMatrix* matrix = nullptr;
        const bool sheared =
            FcPatternGetMatrix(font, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix && matrix->xy != 0.0;
        out.syntheticBold = weight >= FW_SEMIBOLD && (embolden == FcTrue || gotWeight < FC_WEIGHT_DEMIBOLD);
        out.syntheticItalic = italic && (sheared || gotSlant == FC_SLANT_ROMAN);
    }
    FcPatternDestroy(font);
    FcPatternDestroy(request);
    return ok;
}

int FontLibrary::AddFontFile(const std::string& path)
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    LibraryState& s = State();
    const std::string canonical = Canonical(path);
    if (canonical.empty() || !s.fcReady)
        return 0;
    const int faces = CountFaces(s.freeType, canonical);
    if (faces <= 0)
        return 0;
    auto it = s.userFonts.find(canonical);
    if (it != s.userFonts.end())
    {
        ++it->second;
        return faces;
    }
    if (FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(canonical.c_str())) != FcTrue)
        return 0;
    s.userFonts[canonical] = 1;
    return faces;
}

bool FontLibrary::RemoveFontFile(const std::string& path)
{
    std::lock_guard<std::recursive_mutex> lock(Lock());
    LibraryState& s = State();
    std::string key = Canonical(path);
    if (key.empty())
    {
        // A file deleted since it was added no longer resolves; the folders it was in still do.
        std::error_code error;
        key = std::filesystem::weakly_canonical(path, error).string();
    }
    auto it = s.userFonts.find(key);
    if (it == s.userFonts.end())
        return false;
    if (--it->second > 0)
        return true;
    s.userFonts.erase(it);
    // fontconfig forgets application fonts only all at once: clear them and add back the others.
    FcConfigAppFontClear(nullptr);
    for (const auto& kept : s.userFonts)
        FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(kept.first.c_str()));
    return true;
}
