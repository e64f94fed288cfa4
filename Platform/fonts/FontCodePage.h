#pragma once
#include <cstdint>

// Character sets and the single-byte side of their code pages, for mapping the byte values a font is
// built from to UTF-16.
class FontCodePage
{
public:
    // The ANSI code page of a character set (1252 for ANSI_CHARSET); 0 for an unknown set.
    static int FromCharset(int charset);
    // Decodes one byte in a code page. False for a byte the page leaves undefined, a lead byte of a
    // double-byte page, or an unknown page.
    static bool ByteToUtf16(int codePage, uint8_t byte, uint16_t& out);
    // True for the double-byte East Asian pages (932, 936, 949, 950, 1361).
    static bool IsDoubleByte(int codePage);
};
