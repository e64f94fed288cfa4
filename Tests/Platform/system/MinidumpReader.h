#pragma once
// A small, independent reader of the minidump records the tests check. It trusts nothing: every
// offset and count is checked against the file's size.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct MinidumpStream
{
    uint32_t type;
    uint32_t size;
    uint32_t rva;
};

struct MinidumpModule
{
    uint64_t base;
    uint32_t size;
    std::string name;
    uint32_t cvSize;
    uint32_t cvSignature;
};

class MinidumpReader
{
public:
    bool Load(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return false;
        m_Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (U32(0) != 0x504D444D || (U32(4) & 0xFFFF) != 0xA793)
            return false;
        uint32_t count = U32(8);
        uint32_t dir = U32(12);
        if (!Fits(dir, static_cast<uint64_t>(count) * 12))
            return false;
        for (uint32_t i = 0; i < count; ++i)
        {
            MinidumpStream s{U32(dir + i * 12), U32(dir + i * 12 + 4), U32(dir + i * 12 + 8)};
            if (!Fits(s.rva, s.size))
                return false;
            m_Streams.push_back(s);
        }
        return true;
    }

    const MinidumpStream* Find(uint32_t type) const
    {
        for (const MinidumpStream& s : m_Streams)
            if (s.type == type)
                return &s;
        return nullptr;
    }

    bool Fits(uint64_t offset, uint64_t size) const
    {
        return offset <= m_Bytes.size() && size <= m_Bytes.size() - offset;
    }

    uint16_t U16(uint64_t at) const { return static_cast<uint16_t>(Read(at, 2)); }
    uint32_t U32(uint64_t at) const { return static_cast<uint32_t>(Read(at, 4)); }
    uint64_t U64(uint64_t at) const { return Read(at, 8); }

    // A length-prefixed UTF-16 string, narrowed (the writer stores ASCII).
    bool String(uint32_t rva, std::string& out) const
    {
        if (!Fits(rva, 4))
            return false;
        uint32_t length = U32(rva);
        if (length % 2 != 0 || !Fits(rva + 4ull, length + 2ull))
            return false;
        out.clear();
        for (uint32_t i = 0; i < length; i += 2)
            out.push_back(static_cast<char>(U16(rva + 4ull + i)));
        return U16(rva + 4ull + length) == 0;
    }

    bool Modules(std::vector<MinidumpModule>& out) const
    {
        const MinidumpStream* s = Find(4);
        if (s == nullptr || s->size < 4)
            return false;
        uint32_t count = U32(s->rva);
        if (4ull + count * 108ull != s->size)
            return false;
        for (uint32_t i = 0; i < count; ++i)
        {
            uint64_t at = s->rva + 4ull + i * 108ull;
            MinidumpModule m{};
            m.base = U64(at);
            m.size = U32(at + 8);
            if (!String(U32(at + 20), m.name))
                return false;
            m.cvSize = U32(at + 76);
            uint32_t cvRva = U32(at + 80);
            if (m.cvSize >= 4)
            {
                if (!Fits(cvRva, m.cvSize))
                    return false;
                m.cvSignature = U32(cvRva);
            }
            out.push_back(m);
        }
        return true;
    }

    const std::vector<MinidumpStream>& Streams() const { return m_Streams; }

private:
    uint64_t Read(uint64_t at, int size) const
    {
        if (!Fits(at, static_cast<uint64_t>(size)))
            return 0;
        uint64_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = (value << 8) | static_cast<uint8_t>(m_Bytes[at + i]);
        return value;
    }

    std::vector<char> m_Bytes;
    std::vector<MinidumpStream> m_Streams;
};
