#include "Engine/foundation/WeFileStream.h"

#include <cstring>
#include <vector>

#include "Engine/foundation/WePackageScrambler.h"
#include "Platform/system/SysFolder.h"

namespace
{
// Staging for writes on a scrambled stream: grown to the largest write seen, never shrunk. Built on
// first use so that writes during static initialisation find it.
std::vector<uint8_t>& FileWriteStaging()
{
    static std::vector<uint8_t>* staging = new std::vector<uint8_t>();
    return *staging;
}
}  // namespace

WeFileStream::WeFileStream() : m_Window(new uint8_t[WindowSize]) {}

WeFileStream::~WeFileStream()
{
    Close();
    delete[] m_Window;
}

void WeFileStream::EmptyWindow()
{
    m_WindowStart = -1;
    m_WindowCursor = 0;
    m_WindowFill = 0;
}

bool WeFileStream::Open(const WeString& path, bool writable)
{
    Close();
    // stdio opens folders for reading on Linux; a folder is never a file here.
    if (SysFolder::Exists(path.c_str()))
        return false;
    std::FILE* file = std::fopen(path.c_str(), writable ? "rb+" : "rb");
    if (!file)
        return false;
    if (std::fseek(file, 0, SEEK_END) != 0)
    {
        std::fclose(file);
        return false;
    }
    const long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0)
    {
        std::fclose(file);
        return false;
    }
    m_File = file;
    m_Path = path;
    m_IsOpen = true;
    m_EndLimit = size;
    return true;
}

bool WeFileStream::Create(const WeString& path)
{
    Close();
    if (SysFolder::Exists(path.c_str()))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb+");
    if (!file)
        return false;
    m_File = file;
    m_Path = path;
    m_IsOpen = true;
    m_EndLimit = 0;
    return true;
}

void WeFileStream::Close(bool /*force*/)
{
    EmptyWindow();
    if (m_File)
        std::fclose(m_File);
    m_File = nullptr;
    m_IsOpen = false;
    m_EndLimit = 0;
    m_MemberStart = -1;
    m_LastWasWrite = false;
    m_EndHit = false;
}

int64_t WeFileStream::FilePosition() const
{
    return m_File ? static_cast<int64_t>(std::ftell(m_File)) : 0;
}

bool WeFileStream::Seek(int64_t offset, int32_t origin)
{
    if (!m_File)
        return false;
    int64_t target;
    switch (origin)
    {
    case 0: target = offset; break;
    case 1:
        if (__builtin_add_overflow(Tell(), offset, &target))
            return false;
        break;
    case 2:
        if (m_MemberStart >= 0)
        {
            if (__builtin_add_overflow(m_EndLimit, offset, &target))
                return false;
        }
        else
        {
            const int64_t size = GetSize();
            if (size < 0 || __builtin_add_overflow(size, offset, &target))
                return false;
        }
        break;
    default: return false;
    }
    if (target < 0)
        return false;
    EmptyWindow();
    m_EndHit = false;
    m_LastWasWrite = false;
    return std::fseek(m_File, static_cast<long>(target), SEEK_SET) == 0;
}

int64_t WeFileStream::Tell() const
{
    if (WindowHasData())
        return m_WindowStart + m_WindowCursor;
    return FilePosition();
}

bool WeFileStream::IsEof() const
{
    return m_EndHit || Tell() >= m_EndLimit;
}

int64_t WeFileStream::GetSize()
{
    if (!m_File)
        return 0;
    if (m_MemberStart >= 0)
        return m_EndLimit - m_MemberStart;
    // The window is left alone: the file's own position is restored, and the window still describes
    // the bytes before it.
    const long position = std::ftell(m_File);
    if (position < 0 || std::fseek(m_File, 0, SEEK_END) != 0)
        return 0;
    const long size = std::ftell(m_File);
    std::fseek(m_File, position, SEEK_SET);
    return size < 0 ? 0 : size;
}

bool WeFileStream::FileExists(const WeString& path)
{
    if (SysFolder::Exists(path.c_str()))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

bool WeFileStream::SetMember(int64_t start, int64_t size)
{
    if (!m_File || start < 0 || size < 0)
        return false;
    if (!Seek(start, 0))
        return false;
    m_MemberStart = start;
    m_EndLimit = start + size;
    return true;
}

void WeFileStream::PrepareRead()
{
    if (m_LastWasWrite)
    {
        // Switching from writing to reading needs a positioning call; this one keeps the position.
        std::fseek(m_File, 0, SEEK_CUR);
        m_LastWasWrite = false;
    }
}

bool WeFileStream::PrepareWrite()
{
    if (!m_File)
        return false;
    if (WindowHasData())
    {
        // The file has read ahead of the logical position; the write belongs at the logical one.
        const int64_t position = Tell();
        EmptyWindow();
        if (std::fseek(m_File, static_cast<long>(position), SEEK_SET) != 0)
            return false;
    }
    else if (!m_LastWasWrite)
        std::fseek(m_File, 0, SEEK_CUR);
    m_LastWasWrite = true;
    m_EndHit = false;
    return true;
}

int64_t WeFileStream::ReadBuffered(void* destination, int64_t count)
{
    if (count <= 0)
        return 0;
    uint8_t* out = static_cast<uint8_t*>(destination);
    if (!m_File)
    {
        std::memset(out, 0, static_cast<size_t>(count));
        m_EndHit = true;
        return 0;
    }
    PrepareRead();

    // Nothing is read past the logical end; the caller gets zeros for that part.
    const int64_t available = m_EndLimit - Tell();
    int64_t wanted = count;
    if (wanted > available)
    {
        wanted = available > 0 ? available : 0;
        std::memset(out + wanted, 0, static_cast<size_t>(count - wanted));
        m_EndHit = true;
    }

    int64_t done = 0;
    if (WindowHasData())
    {
        const int64_t inWindow = m_WindowFill - m_WindowCursor;
        const int64_t take = wanted < inWindow ? wanted : inWindow;
        if (take > 0)
        {
            std::memcpy(out, m_Window + m_WindowCursor, static_cast<size_t>(take));
            m_WindowCursor += static_cast<int32_t>(take);
            done = take;
        }
        if (done == wanted)
            return done;
    }

    // The window was read contiguously, so the file stands at its end: the logical position.
    EmptyWindow();
    const int64_t remaining = wanted - done;
    const int64_t position = FilePosition();
    int64_t got;
    if (position + remaining < m_EndLimit && remaining < WindowSize)
    {
        int64_t fill = m_EndLimit - position;
        if (fill > WindowSize)
            fill = WindowSize;
        const size_t filled = std::fread(m_Window, 1, static_cast<size_t>(fill), m_File);
        m_WindowStart = position;
        m_WindowFill = static_cast<int32_t>(filled);
        got = remaining < static_cast<int64_t>(filled) ? remaining : static_cast<int64_t>(filled);
        std::memcpy(out + done, m_Window, static_cast<size_t>(got));
        m_WindowCursor = static_cast<int32_t>(got);
    }
    else
        got = static_cast<int64_t>(std::fread(out + done, 1, static_cast<size_t>(remaining), m_File));

    if (got < remaining)
    {
        // The file is shorter than its logical end said (it changed under us): zeros, and the end.
        std::memset(out + done + got, 0, static_cast<size_t>(remaining - got));
        m_EndHit = true;
    }
    return done + got;
}

int64_t WeFileStream::ReadValue(void* destination, int64_t count)
{
    const int64_t position = Tell();
    const int64_t got = ReadBuffered(destination, count);
    if (got < count)
        m_ShortRead = true;
    if (m_Scrambled && got > 0)
        WePackageScrambler::Unscramble(destination, got, position);
    return got;
}

char WeFileStream::ReadByte()
{
    char value = 0;
    ReadValue(&value, 1);
    return value;
}

uint16_t WeFileStream::ReadUInt16()
{
    uint8_t b[2];
    ReadValue(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

int32_t WeFileStream::ReadInt32()
{
    uint8_t b[4];
    ReadValue(b, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

int64_t WeFileStream::ReadInt64()
{
    uint8_t b[8];
    ReadValue(b, 8);
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | b[i];
    return static_cast<int64_t>(value);
}

float WeFileStream::ReadFloat()
{
    const int32_t bits = ReadInt32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void WeFileStream::ReadVector3(float* xyz)
{
    for (int i = 0; i < 3; ++i)
        xyz[i] = ReadFloat();
}

void WeFileStream::ReadVector4(float* xyzw)
{
    for (int i = 0; i < 4; ++i)
        xyzw[i] = ReadFloat();
}

void WeFileStream::ReadMatrix(float* m16)
{
    for (int i = 0; i < 16; ++i)
        m16[i] = ReadFloat();
}

int64_t WeFileStream::Read(void* destination, int64_t count)
{
    return ReadValue(destination, count);
}

WeString WeFileStream::ReadString()
{
    WeString text;
    const int64_t length = ReadUInt16();
    if (length == 0)
        return text;
    // A length that runs past the end gives the bytes that are really there.
    const int64_t available = m_EndLimit - Tell();
    const int64_t take = length < available ? length : (available > 0 ? available : 0);
    if (take > 0)
    {
        text.SetLength(static_cast<int32_t>(take));
        ReadValue(text.Data(), take);
    }
    if (take < length)
    {
        m_EndHit = true;
        m_ShortRead = true;
        return text;
    }
    char terminator;
    ReadValue(&terminator, 1);
    return text;
}

bool WeFileStream::WriteValue(const void* source, int64_t count)
{
    if (count <= 0)
        return count == 0;
    if (!PrepareWrite())
        return false;
    const void* bytes = source;
    if (m_Scrambled)
    {
        std::vector<uint8_t>& staging = FileWriteStaging();
        if (staging.size() < static_cast<size_t>(count))
            staging.resize(static_cast<size_t>(count));
        std::memcpy(staging.data(), source, static_cast<size_t>(count));
        WePackageScrambler::Scramble(staging.data(), count, FilePosition());
        bytes = staging.data();
    }
    const size_t written = std::fwrite(bytes, 1, static_cast<size_t>(count), m_File);
    if (m_MemberStart < 0)
    {
        const int64_t end = FilePosition();
        if (end > m_EndLimit)
            m_EndLimit = end;
    }
    return written == static_cast<size_t>(count);
}

bool WeFileStream::WriteByte(char value)
{
    return WriteValue(&value, 1);
}

bool WeFileStream::WriteUInt16(uint16_t value)
{
    const uint8_t b[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    return WriteValue(b, 2);
}

bool WeFileStream::WriteInt32(int32_t value)
{
    const uint32_t v = static_cast<uint32_t>(value);
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 24)};
    return WriteValue(b, 4);
}

bool WeFileStream::WriteFloat(float value)
{
    int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return WriteInt32(bits);
}

bool WeFileStream::WriteVector3(const float* xyz)
{
    bool ok = true;
    for (int i = 0; i < 3; ++i)
        ok = WriteFloat(xyz[i]) && ok;
    return ok;
}

bool WeFileStream::WriteVector4(const float* xyzw)
{
    bool ok = true;
    for (int i = 0; i < 4; ++i)
        ok = WriteFloat(xyzw[i]) && ok;
    return ok;
}

bool WeFileStream::WriteMatrix(const float* m16)
{
    bool ok = true;
    for (int i = 0; i < 16; ++i)
        ok = WriteFloat(m16[i]) && ok;
    return ok;
}

bool WeFileStream::Write(const void* source, int64_t count)
{
    return WriteValue(source, count);
}

bool WeFileStream::WriteString(const WeString& text)
{
    const int32_t length = text.Length();
    const int32_t stored = length > MaxStringLength ? MaxStringLength : length;
    bool ok = WriteUInt16(static_cast<uint16_t>(stored));
    if (stored > 0)
    {
        ok = WriteValue(text.c_str(), stored) && ok;
        const char terminator = 0;
        ok = WriteValue(&terminator, 1) && ok;
    }
    return ok && stored == length;
}
