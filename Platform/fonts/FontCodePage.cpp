#include "Platform/fonts/FontCodePage.h"

#include <cstdio>
#include <iconv.h>

namespace
{

// 0x80..0x9F of code page 1252; the five bytes the page leaves unassigned pass through unchanged, as the
// Windows conversion does.
const uint16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct CharsetPage
{
    int charset;
    int codePage;
};

const CharsetPage Pages[] = {
    {0, 1252},   {2, 42},     {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950}, {161, 1253},
    {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874}, {238, 1250},
};

bool KnownPage(int codePage)
{
    for (const CharsetPage& p : Pages)
        if (p.codePage == codePage)
            return true;
    return false;
}

}  // namespace

int FontCodePage::FromCharset(int charset)
{
    for (const CharsetPage& p : Pages)
        if (p.charset == charset)
            return p.codePage;
    return 0;
}

bool FontCodePage::IsDoubleByte(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

bool FontCodePage::ByteToUtf16(int codePage, uint8_t byte, uint16_t& out)
{
    if (codePage == 1252)
    {
        out = (byte >= 0x80 && byte < 0xA0) ? k1252High[byte - 0x80] : byte;
        return true;
    }
    // The symbol page maps every byte into the private-use block where symbol fonts keep their glyphs.
    if (codePage == 42)
    {
        out = static_cast<uint16_t>(0xF000u | byte);
        return true;
    }
    if (!KnownPage(codePage))
        return false;
    if (byte < 0x80)
    {
        out = byte;
        return true;
    }
    char name[16];
    if (codePage == 1361)
        std::snprintf(name, sizeof name, "JOHAB");
    else
        std::snprintf(name, sizeof name, "CP%d", codePage);
    iconv_t cd = iconv_open("UTF-16LE", name);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char in[1] = {static_cast<char>(byte)};
    unsigned char buf[8] = {};
    char* inPtr = in;
    size_t inLeft = 1;
    char* outPtr = reinterpret_cast<char*>(buf);
    size_t outLeft = sizeof buf;
    size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    // The Vietnamese and Hebrew converters keep a base letter back until they see whether a combining
    // mark follows; the end of input lets it out.
    if (rc != static_cast<size_t>(-1))
        rc = iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    iconv_close(cd);
    // A lone lead byte is incomplete input; a byte decoding to more than one unit is not a character.
    if (rc == static_cast<size_t>(-1) || inLeft != 0 || sizeof buf - outLeft != 2)
        return false;
    out = static_cast<uint16_t>(buf[0] | (buf[1] << 8));
    return true;
}
