#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// The engine's one string type: a byte string (UTF-8 where shown) with an explicit length and a
// terminating zero, whose buffers come from a process-wide pool of size classes. Empty strings all
// point at one shared zero byte. Operations that return a new string end their result at its first
// zero byte, as text assembled zero-terminated would. Main thread only.
// One zero byte shared by every empty string; never written with anything else, never released.
extern char g_EmptyStringBuffer[1];

class WeString
{
public:
    WeString() : m_Data(g_EmptyStringBuffer), m_Length(0) {}
    WeString(const char* text) : WeString(text, text != nullptr ? static_cast<int32_t>(std::strlen(text)) : 0) {}
    // `length` bytes of `bytes` (zero bytes included) and a terminator.
    WeString(const char* bytes, int32_t length);
    WeString(const WeString& other);
    WeString(WeString&& other) noexcept : m_Data(other.m_Data), m_Length(other.m_Length)
    {
        other.m_Data = g_EmptyStringBuffer;
        other.m_Length = 0;
    }
    ~WeString();

    WeString& Assign(const WeString& other);
    WeString& AssignText(const char* text);
    WeString& AssignBytes(const char* bytes, int32_t length);
    WeString& operator=(const WeString& other) { return Assign(other); }
    WeString& operator=(const char* text) { return AssignText(text); }
    WeString& operator=(WeString&& other) noexcept;

    // Growing in place.
    WeString& Append(const WeString& other);
    WeString& AppendChar(char c);
    WeString& AppendText(const char* text)
    {
        return text != nullptr ? AppendBytes(text, static_cast<int32_t>(std::strlen(text))) : *this;
    }
    WeString& AppendBytes(const char* bytes, int32_t length);
    WeString& AppendUtf8(int32_t codePoint);
    // Negative values get a sign only when `signedFlag` is set; otherwise the value is read as
    // unsigned. Zero-padded to `minDigits`; digits above 9 are 'A'..'Z'.
    WeString& AppendInt(int32_t value, int32_t minDigits = 0, uint32_t base = 10, bool signedFlag = true);
    // Fixed-point text with exactly `decimals` decimals (at least 1), rounded half up.
    WeString& AppendFloat(double value, int32_t decimals);
    WeString& operator+=(const WeString& other) { return Append(other); }
    WeString& operator+=(const char* text) { return AppendText(text); }
    WeString& operator+=(char c) { return AppendChar(c); }
    // Insert before byte `pos`; nothing when pos lies outside 0..length.
    WeString& InsertChar(int32_t pos, char c);
    WeString& Insert(int32_t pos, const WeString& other);
    // n bytes: the first min(n, length) are kept, the rest are undefined; 0 empties the string.
    WeString& SetLength(int32_t n);
    // Releases the buffer; the string becomes empty.
    void Clear();

    // New strings.
    WeString Concat(const WeString& other) const;
    WeString ConcatText(const char* text) const;
    WeString operator+(const WeString& other) const { return Concat(other); }
    WeString operator+(const char* text) const { return ConcatText(text); }
    // Bytes [start, end), start clamped to 0 and end to the length.
    WeString Substring(int32_t start, int32_t end) const;
    // Field `index` (0-based) of the string split at `separator`; empty fields count.
    WeString GetToken(char separator, int32_t index) const;
    // The same counted from the end: 0 is the text after the last separator.
    WeString GetTokenFromEnd(char separator, int32_t index) const;
    // Everything after the `count`-th separator (1-based).
    WeString GetTokenTail(char separator, int32_t count) const;
    WeString ToLower() const;
    WeString ToUpper() const;

    // Queries.
    int32_t ToInt(int32_t base = 10) const;
    float ToFloat(float defaultValue = 0.0f) const;
    int32_t Find(const WeString& needle) const;
    int32_t Find(const char* needle) const;
    // Hexadecimal AARRGGBB (an optional leading '#') to r, g, b, a in 0..1, each byte / 255.
    void ToColor(float rgba[4]) const;
    int32_t DecodeUtf8At(int32_t pos) const;
    int32_t NextUtf8Pos(int32_t pos) const;
    int32_t PrevUtf8Pos(int32_t pos) const;

    const char* c_str() const { return m_Data; }
    // Writable bytes, e.g. after SetLength. Never write into an empty string.
    char* Data() { return m_Data; }
    int32_t Length() const { return m_Length; }
    bool IsEmpty() const { return m_Length == 0; }
    char operator[](int32_t i) const { return m_Data[i]; }

    bool operator==(const WeString& other) const;
    bool operator==(const char* text) const;
    bool operator!=(const WeString& other) const { return !(*this == other); }
    bool operator!=(const char* text) const { return !(*this == text); }
    // Byte order, shorter first on a common prefix.
    bool operator<(const WeString& other) const;

private:
    friend void ReleaseStringBuffer(WeString& s);

    // Resizes in place to n bytes keeping min(old, n) of them, writes the terminator.
    void Resize(int32_t n);
    // Appends bytes that may lie inside this string's own buffer.
    void AppendRaw(const char* bytes, int32_t length);
    static WeString FromResult(const char* bytes, int32_t length);
    // A string of `length` bytes to be written by the caller.
    static WeString WithLength(std::size_t length);
    // Cuts the string at its first zero byte, as new-string results are.
    void EndAtZero();

    char* m_Data;
    int32_t m_Length;
};

// A buffer for a string of `length` bytes (the shared empty buffer for 0).
char* AllocStringBuffer(int32_t length);
// Gives the string's buffer back to the pool or the heap; the caller resets the string.
void ReleaseStringBuffer(WeString& s);
// Frees every pooled buffer; afterwards buffers come from and go to the heap directly. Run once,
// after every other user of the pool has shut down.
void ShutdownStringPool();
// True while released buffers are kept for reuse.
bool StringPoolEnabled();
// Number of buffers held for reuse in size class `sizeClass` (0..6).
int32_t StringPoolFreeCount(int32_t sizeClass);
// The size class of a length: 0 for 0..15, ... 6 for 16384..65535, -1 from 65536 on (buffers of
// 16, 64, 256, 1024, 4096, 16384 and 65536 bytes).
inline int32_t StringSizeClass(int32_t length)
{
    if (length < 16)
        return 0;
    if (length >= 65536)
        return -1;
    return (std::bit_width(static_cast<uint32_t>(length)) - 3) / 2;
}

// Destroys the text of a node record (one flag byte, then a `WeString` named `text`): releases the
// buffer and leaves the string empty.
template <class Record>
void DestroyNodeString(Record* record)
{
    record->text.Clear();
}
