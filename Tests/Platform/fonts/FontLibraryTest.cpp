#include "Platform/fonts/FontLibrary.h"
#include "Platform/fonts/FontCodePage.h"
#include "Platform/fonts/FontTypes.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace
{

const char* const DejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct FaceCase
{
    const char* face;
    int charset;
    bool exists;
};

TEST(FontLibrary, FaceExistsForInstalledAndBoundNamesOnly)
{
    const FaceCase cases[] = {
        {"DejaVu Sans", ANSI_CHARSET, true},
        {"dejavu sans", ANSI_CHARSET, true},
        {"Liberation Serif", ANSI_CHARSET, true},
        {"Arial", ANSI_CHARSET, true},        // metric-compatible stand-in
        {"Courier New", ANSI_CHARSET, true},  // the same
        {"Verdana", ANSI_CHARSET, true},      // mapped by the layer
        {"Tahoma", ANSI_CHARSET, true},
        {"Xyzzy Nonexistent Face", ANSI_CHARSET, false},  // would only fall back to the default face
        {"sans-serif", ANSI_CHARSET, false},
        {"", ANSI_CHARSET, false},
        {"DejaVu Sans", RUSSIAN_CHARSET, true},
        {"DejaVu Sans", GREEK_CHARSET, true},
        {"DejaVu Sans", DEFAULT_CHARSET, true},
        {"DejaVu Sans", SHIFTJIS_CHARSET, false},  // no Japanese in it
        {"DejaVu Sans", 77, false},                // no such character set
        // Its table claims the page though two punctuation marks of it are missing.
        {"DejaVu Sans Light", ANSI_CHARSET, true},
        {"DejaVu Sans Light", HEBREW_CHARSET, false},
    };
    for (const FaceCase& c : cases)
        EXPECT_EQ(FontLibrary::FaceExists(c.face, c.charset), c.exists) << c.face << " / " << c.charset;
}

TEST(FontLibrary, ResolvesStandInFamilies)
{
    EXPECT_EQ(FontLibrary::ResolveFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(FontLibrary::ResolveFamily("Courier New"), "Liberation Mono");
    EXPECT_EQ(FontLibrary::ResolveFamily("Verdana"), "DejaVu Sans");
    EXPECT_EQ(FontLibrary::ResolveFamily("DejaVu Sans"), "DejaVu Sans");
    // A made-up face still resolves (to the default face), it only does not count as existing.
    EXPECT_FALSE(FontLibrary::ResolveFamily("Xyzzy Nonexistent Face").empty());
}

// A copy of an installed font under a family name nothing else has: the name table strings are
// replaced in place (same length, ASCII and UTF-16BE records alike).
std::string WriteRenamedFont(const std::filesystem::path& folder)
{
    std::ifstream in(DejaVu, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string from = "DejaVu Sans";
    const std::string to = "WeTestFontX";
    std::string from16, to16;
    for (size_t i = 0; i < from.size(); ++i)
    {
        from16 += '\0';
        from16 += from[i];
        to16 += '\0';
        to16 += to[i];
    }
    int replaced = 0;
    for (const auto& [f, t] : {std::pair{from, to}, std::pair{from16, to16}})
        for (size_t at = data.find(f); at != std::string::npos; at = data.find(f, at + t.size()))
        {
            data.replace(at, f.size(), t);
            ++replaced;
        }
    if (data.empty() || replaced == 0)
        return std::string();
    const std::filesystem::path file = folder / "WeTestFontX.ttf";
    std::ofstream out(file, std::ios::binary);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    return out ? file.string() : std::string();
}

TEST(FontLibrary, UserFontFileAddsAndRemovesItsFaces)
{
    ScratchFolder scratch;
    const std::filesystem::path folder = scratch.Root() / "Fonts";
    std::filesystem::create_directories(folder);
    const std::string file = WriteRenamedFont(folder);
    ASSERT_FALSE(file.empty());

    EXPECT_FALSE(FontLibrary::FaceExists("WeTestFontX", ANSI_CHARSET));
    EXPECT_EQ(FontLibrary::AddFontFile(file), 1);
    EXPECT_TRUE(FontLibrary::FaceExists("WeTestFontX", ANSI_CHARSET));
    EXPECT_EQ(FontLibrary::ResolveFamily("WeTestFontX"), "WeTestFontX");

    // References: the face stays until the last add is given back.
    EXPECT_EQ(FontLibrary::AddFontFile(file), 1);
    EXPECT_TRUE(FontLibrary::RemoveFontFile(file));
    EXPECT_TRUE(FontLibrary::FaceExists("WeTestFontX", ANSI_CHARSET));
    EXPECT_TRUE(FontLibrary::RemoveFontFile(file));
    EXPECT_FALSE(FontLibrary::FaceExists("WeTestFontX", ANSI_CHARSET));
    EXPECT_FALSE(FontLibrary::RemoveFontFile(file));
    // Installed faces are untouched by removing an application font.
    EXPECT_TRUE(FontLibrary::FaceExists("DejaVu Sans", ANSI_CHARSET));
}

uint16_t Be16(const std::string& d, size_t at)
{
    return static_cast<uint16_t>((static_cast<uint8_t>(d[at]) << 8) | static_cast<uint8_t>(d[at + 1]));
}

// A copy of an installed font whose name records that read "DejaVu Sans" read the given shorter name:
// the strings are overwritten in place and their lengths cut.
std::string WriteFontNamed(const std::filesystem::path& folder, const std::string& name)
{
    std::ifstream in(DejaVu, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string from = "DejaVu Sans";
    if (data.size() < 12 || name.size() > from.size())
        return std::string();
    size_t table = 0;
    for (size_t i = 0, n = Be16(data, 4); i < n && 12 + 16 * i + 16 <= data.size(); ++i)
        if (data.compare(12 + 16 * i, 4, "name") == 0)
            table = (size_t(Be16(data, 12 + 16 * i + 8)) << 16) | Be16(data, 12 + 16 * i + 10);
    if (table == 0 || table + 6 > data.size())
        return std::string();
    const size_t strings = table + Be16(data, table + 4);
    int replaced = 0;
    for (size_t i = 0, n = Be16(data, table + 2); i < n; ++i)
    {
        const size_t rec = table + 6 + 12 * i;
        if (rec + 12 > data.size())
            return std::string();
        const bool wide = Be16(data, rec) != 1;
        const size_t length = Be16(data, rec + 8);
        const size_t at = strings + Be16(data, rec + 10);
        std::string want, put;
        for (char c : from)
            want += wide ? std::string{'\0', c} : std::string{c};
        for (char c : name)
            put += wide ? std::string{'\0', c} : std::string{c};
        if (length != want.size() || at + length > data.size() || data.compare(at, length, want) != 0)
            continue;
        data.replace(at, put.size(), put);
        data[rec + 8] = static_cast<char>(put.size() >> 8);
        data[rec + 9] = static_cast<char>(put.size() & 0xFF);
        ++replaced;
    }
    if (replaced == 0)
        return std::string();
    const std::filesystem::path file = folder / (name + ".ttf");
    std::ofstream out(file, std::ios::binary);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    return out ? file.string() : std::string();
}

// The layer's own stand-in for a face only serves while no font of that name is there: a Verdana the
// program installs is the one it gets.
TEST(FontLibrary, AddedFontWinsOverTheLayersStandIn)
{
    ScratchFolder scratch;
    const std::filesystem::path folder = scratch.Root();
    const std::string file = WriteFontNamed(folder, "Verdana");
    ASSERT_FALSE(file.empty());
    ASSERT_EQ(FontLibrary::ResolveFamily("Verdana"), "DejaVu Sans");
    ASSERT_EQ(FontLibrary::AddFontFile(file), 1);
    EXPECT_EQ(FontLibrary::ResolveFamily("Verdana"), "Verdana");
    EXPECT_EQ(FontLibrary::ResolveFamily("verdana"), "Verdana");
    EXPECT_TRUE(FontLibrary::FaceExists("Verdana", ANSI_CHARSET));
    EXPECT_TRUE(FontLibrary::RemoveFontFile(file));
    EXPECT_EQ(FontLibrary::ResolveFamily("Verdana"), "DejaVu Sans");
    EXPECT_TRUE(FontLibrary::FaceExists("Verdana", ANSI_CHARSET));
}

// Nothing keeps an added file from being deleted here; giving its reference back must still work.
TEST(FontLibrary, RemovesAFontWhoseFileIsGone)
{
    ScratchFolder scratch;
    const std::filesystem::path folder = scratch.Root();
    const std::string file = WriteRenamedFont(folder);
    ASSERT_FALSE(file.empty());
    ASSERT_EQ(FontLibrary::AddFontFile(file), 1);
    ASSERT_TRUE(FontLibrary::FaceExists("WeTestFontX", ANSI_CHARSET));
    std::filesystem::remove(file);
    EXPECT_TRUE(FontLibrary::RemoveFontFile(file));
    EXPECT_FALSE(FontLibrary::FaceExists("WeTestFontX", ANSI_CHARSET));
    EXPECT_FALSE(FontLibrary::RemoveFontFile(file));
}

TEST(FontLibrary, RefusesFilesThatAreNoFonts)
{
    ScratchFolder scratch;
    const std::filesystem::path folder = scratch.Root();
    const std::filesystem::path text = folder / "NotAFont.ttf";
    std::ofstream(text) << "plain text, no font tables";
    EXPECT_EQ(FontLibrary::AddFontFile(text.string()), 0);
    EXPECT_EQ(FontLibrary::AddFontFile((folder / "Missing.ttf").string()), 0);
    EXPECT_FALSE(FontLibrary::RemoveFontFile(text.string()));
}

TEST(FontCodePage, CharsetsAndBytes)
{
    EXPECT_EQ(FontCodePage::FromCharset(ANSI_CHARSET), 1252);
    EXPECT_EQ(FontCodePage::FromCharset(RUSSIAN_CHARSET), 1251);
    EXPECT_EQ(FontCodePage::FromCharset(SHIFTJIS_CHARSET), 932);
    EXPECT_EQ(FontCodePage::FromCharset(77), 0);

    struct ByteCase
    {
        int page;
        uint8_t byte;
        bool ok;
        uint16_t out;
    };
    const ByteCase cases[] = {
        {1252, 0x41, true, 0x41},
        {1252, 0x80, true, 0x20AC},
        {1252, 0x81, true, 0x81},
        {1252, 0xE9, true, 0xE9},
        {1251, 0xC0, true, 0x0410},
        {1253, 0xC1, true, 0x0391},
        {932, 0x41, true, 0x41},
        {932, 0xB1, true, 0xFF71},
        {932, 0x82, false, 0},  // a lead byte
        {4711, 0x41, false, 0},
        // Pages whose converters hold a base letter back for a combining mark that may follow.
        {1258, 0xC0, true, 0xC0},
        {1255, 0xE9, true, 0x05D9},
        {874, 0xA1, true, 0x0E01},
    };
    for (const ByteCase& c : cases)
    {
        uint16_t out = 0;
        EXPECT_EQ(FontCodePage::ByteToUtf16(c.page, c.byte, out), c.ok) << c.page << " " << int(c.byte);
        if (c.ok)
        {
            EXPECT_EQ(out, c.out) << c.page << " " << int(c.byte);
        }
    }
}

}  // namespace
