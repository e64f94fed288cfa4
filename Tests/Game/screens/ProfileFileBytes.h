#pragma once
// Profile files written byte by byte after the file's layout, independently of the code that reads them, for
// the record versions this game ever wrote.
#include <cstdint>
#include <cstring>
#include <string>

struct ProfileBytes
{
    std::string bytes;

    ProfileBytes& Int(int32_t v)
    {
        char b[4];
        std::memcpy(b, &v, 4);
        bytes.append(b, 4);
        return *this;
    }
    ProfileBytes& Byte(uint8_t v)
    {
        bytes.push_back(static_cast<char>(v));
        return *this;
    }
    // The file stream's strings: a 16-bit length, then the bytes and a zero only when not empty.
    ProfileBytes& Str(const std::string& s)
    {
        const uint16_t n = static_cast<uint16_t>(s.size());
        bytes.push_back(static_cast<char>(n & 0xFF));
        bytes.push_back(static_cast<char>(n >> 8));
        if (n != 0)
        {
            bytes += s;
            bytes.push_back(0);
        }
        return *this;
    }
    // A binding record (90 bytes) whose first entry is keyboard `code0`, the rest their defaults' shape.
    ProfileBytes& Bindings(int32_t code0, uint8_t invert = 1, uint8_t crosshair = 0)
    {
        Int(10);
        for (int32_t e = 0; e < 8; ++e)
            Int(e == 0 ? code0 : 40 + e).Byte(0).Byte(0);
        Byte(invert);
        for (int32_t e = 8; e < 14; ++e)
            Int(40 + e).Byte(0).Byte(0);
        Byte(crosshair);
        return *this;
    }
    // The file's head: list version, the twenty ints, the count.
    ProfileBytes& Head(int32_t count, int32_t listVersion = 13)
    {
        Int(listVersion);
        for (int32_t i = 0; i < 10; ++i)
            Int(800).Int(600);
        return Int(count);
    }

    // One record of `version` as that version's writer laid it out. Slots carry craft "C<i>", start place
    // i + 1 and kind 1 + i % 3; the flags are the opposite of the defaults; lap count 7, race type 2,
    // difficulty 3.
    ProfileBytes& Record(int32_t version, const std::string& name, const std::string& lastMap = "Map",
                         const std::string& lastCraft = "Craft", int32_t code0 = 99)
    {
        Int(version);
        if (version <= 9)
            return *this;
        Str(name);
        Bindings(code0);
        if (version <= 11)
            Int(12345);
        if (version >= 12 && version <= 18)
            Int(54321);
        if (version >= 13)
            Str(lastMap).Str(lastCraft);
        if (version >= 15)
        {
            for (int32_t i = version < 20 ? 0 : 1; i < 6; ++i)
            {
                if (version < 20)
                    Str("old name");
                Str("C" + std::to_string(i)).Int(i + 1).Int(1 + i % 3);
            }
            Byte(0).Byte(0).Int(7).Int(2).Byte(0).Byte(1);
        }
        if (version >= 16)
        {
            Int(3);
            for (int32_t i = version < 20 ? 0 : 1; i < 6; ++i)
                Byte(1);
        }
        return *this;
    }
};
