#pragma once
#include <cstdint>
#include <cstdio>

#include "Engine/foundation/WeString.h"
#include "Platform/math/D3DXCOLOR.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXQUATERNION.h"
#include "Platform/math/D3DXVECTOR3.h"
#include "Platform/math/D3DXVECTOR4.h"

// The engine's binary file: a stdio stream with a 64 KB read window in front of it, 64-bit positions,
// a logical end, typed little-endian reads and writes, and an optional scramble keyed by the absolute
// file position (switched on by the package file's reader only).
//
// Reads never go past the logical end: what lies beyond it (or beyond the real end of the file)
// reads as zero bytes, the position stops at the end and IsEof turns true. Every read reports how
// many bytes it really read. While a member of a package file is open, the size and seeks from the
// end refer to the member; positions stay absolute file offsets.
class WeFileStream
{
public:
    static constexpr int32_t WindowSize = 65536;
    // WriteString stores a 16-bit length, so longer strings are cut to this many bytes.
    static constexpr int32_t MaxStringLength = 65535;

    WeFileStream();
    // Closes the file if one is still open.
    virtual ~WeFileStream();
    WeFileStream(const WeFileStream&) = delete;
    WeFileStream& operator=(const WeFileStream&) = delete;

    // Opens an existing file ("rb", or "rb+" when writable), positioned at 0 with the logical end at
    // the file's size. Any open file is closed first. False (and closed) on failure.
    bool Open(const WeString& path, bool writable = false);
    // Creates or truncates the file ("wb+"); the logical end starts at 0 and follows the writes.
    bool Create(const WeString& path);
    // force is accepted for the callers that pass it; closing is always complete.
    void Close(bool force = false);

    // origin 0: from the start of the file, 1: from the logical position, 2: from the end (of the
    // member, while one is open). False when the target would be negative or the stream is closed.
    bool Seek(int64_t offset, int32_t origin);
    int64_t Tell() const;
    bool IsEof() const;
    // Whether a typed read came up short (the end was reached inside the value) since the last clear.
    // IsEof cannot tell this: it is also true when a value ends exactly at the end.
    bool HadShortRead() const { return m_ShortRead; }
    void ClearShortRead() { m_ShortRead = false; }
    // The size of the file, or of the open member.
    int64_t GetSize();
    static bool FileExists(const WeString& path);

    char ReadByte();
    uint16_t ReadUInt16();
    int32_t ReadInt32();
    int64_t ReadInt64();
    float ReadFloat();
    // Three, four and sixteen floats (a 4 x 4 matrix row after row) into the caller's array.
    void ReadVector3(float* xyz);
    void ReadVector4(float* xyzw);
    void ReadMatrix(float* m16);
    // The same into the math types, whose floats lie in file order.
    void ReadVector3(D3DVECTOR& v) { ReadVector3(&v.x); }
    void ReadVector4(D3DXVECTOR4& v) { ReadVector4(&v.x); }
    void ReadVector4(D3DXQUATERNION& q) { ReadVector4(&q.x); }
    void ReadVector4(D3DXCOLOR& c) { ReadVector4(&c.r); }
    void ReadMatrix(D3DMATRIX& m) { ReadMatrix(&m._11); }
    // Raw bytes (unscrambled when the stream is scrambled); returns the count really read, the rest
    // of the buffer is zero-filled.
    int64_t Read(void* destination, int64_t count);
    WeString ReadString();
    // Raw bytes through the window, never unscrambled; returns the count really read.
    int64_t ReadBuffered(void* destination, int64_t count);

    // Writes land at the logical position (also right after a read on an updatable stream).
    bool WriteByte(char value);
    bool WriteUInt16(uint16_t value);
    bool WriteInt32(int32_t value);
    bool WriteFloat(float value);
    bool WriteVector3(const float* xyz);
    bool WriteVector4(const float* xyzw);
    bool WriteMatrix(const float* m16);
    bool WriteVector3(const D3DVECTOR& v) { return WriteVector3(&v.x); }
    bool WriteVector4(const D3DXVECTOR4& v) { return WriteVector4(&v.x); }
    bool WriteVector4(const D3DXQUATERNION& q) { return WriteVector4(&q.x); }
    bool WriteVector4(const D3DXCOLOR& c) { return WriteVector4(&c.r); }
    bool WriteMatrix(const D3DMATRIX& m) { return WriteMatrix(&m._11); }
    bool Write(const void* source, int64_t count);
    // Length, text and a zero terminator. A string longer than MaxStringLength is cut to that length
    // and the result is false; the stored string is still well formed.
    bool WriteString(const WeString& text);

    bool IsOpen() const { return m_IsOpen; }
    const WeString& GetPath() const { return m_Path; }
    bool IsScrambled() const { return m_Scrambled; }
    void SetScrambled(bool scrambled) { m_Scrambled = scrambled; }
    int64_t GetEndLimit() const { return m_EndLimit; }
    // Confines reading to the member [start, start + size) of the open file and seeks to its start.
    bool SetMember(int64_t start, int64_t size);

private:
    bool WindowHasData() const { return m_WindowStart >= 0; }
    void EmptyWindow();
    void PrepareRead();
    bool PrepareWrite();
    int64_t FilePosition() const;
    // Reads count bytes at the logical position and unscrambles them when needed.
    int64_t ReadValue(void* destination, int64_t count);
    bool WriteValue(const void* source, int64_t count);

    bool m_IsOpen = false;
    uint8_t* m_Window = nullptr;
    int32_t m_WindowCapacity = WindowSize;
    int32_t m_WindowCursor = 0;
    int32_t m_WindowFill = 0;
    int64_t m_WindowStart = -1;
    WeString m_Path;
    std::FILE* m_File = nullptr;
    int64_t m_EndLimit = 0;
    bool m_ShortRead = false;
    bool m_Scrambled = false;
    // Start of the open member; -1 while the whole file is the data.
    int64_t m_MemberStart = -1;
    // stdio needs a positioning call between a write and a following read.
    bool m_LastWasWrite = false;
    bool m_EndHit = false;
};
