#include "Engine/foundation/WeString.h"

#include "Engine/foundation/WeList.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>

char g_EmptyStringBuffer[1] = {0};

namespace
{
constexpr int32_t SizeClassCount = 7;
}

// Everything below is constant-initialised, so strings built by static initialisers in any file
// find the pool ready; free lists are created on first use.
WeList<char*>* g_StringFreeLists[SizeClassCount] = {};
#if WE_NO_POOLS
uint8_t g_StringPoolEnabled = 0;
#else
uint8_t g_StringPoolEnabled = 1;
#endif

namespace
{
// Bytes a buffer for `length` has. Lengths past the last class use powers of two so that a long
// string grown byte by byte (a long configuration line) does not reallocate on every byte; like the
// classes, the size follows from the length alone.
size_t BufferCapacity(int32_t length)
{
    if (length < 65536)
        return size_t{16} << (2 * StringSizeClass(length));  // 16, 64, 256, ... 65536
    return std::bit_ceil(static_cast<size_t>(length) + 1);
}

// Bytes a buffer for `length` is made with. Without the pool, short buffers have exactly their size, so
// the sanitizer sees every overrun; long ones keep the power-of-two sizes, or a long line grown byte by
// byte would copy itself on every byte.
size_t HeldCapacity(int32_t length)
{
    if (!g_StringPoolEnabled && length < 65536)
        return static_cast<size_t>(length) + 1;
    return BufferCapacity(length);
}

char* NewBuffer(size_t bytes)
{
    return static_cast<char*>(::operator new(bytes));
}
void FreeBuffer(char* buffer)
{
    ::operator delete(buffer);
}

bool InBuffer(const WeString& s, const char* p)
{
    return s.Length() > 0 && p >= s.c_str() && p <= s.c_str() + s.Length();
}

// A number that does not fit a float reads, as formatted input reads it, as infinity when it is too
// large and as zero when it is too small; this says which.
bool BeyondFloatRange(const char* first, const char* last, bool hex)
{
    double wide = 0.0;
    if (std::from_chars(first, last, wide, hex ? std::chars_format::hex : std::chars_format::general).ec == std::errc())
        return std::fabs(wide) > 1.0;
    // Beyond a double too: the exponent's sign tells.
    for (const char* q = last; q > first; --q)
    {
        const char c = q[-1];
        if (hex ? (c == 'p' || c == 'P') : (c == 'e' || c == 'E'))
            return q == last || *q != '-';
    }
    return true;
}

bool IsDigitByte(unsigned char c, int32_t* value)
{
    if (c >= '0' && c <= '9')
        *value = c - '0';
    else if (c >= 'A' && c <= 'Z')
        *value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'z')
        *value = c - 'a' + 10;
    else
        return false;
    return true;
}
}  // namespace

bool StringPoolEnabled()
{
    return g_StringPoolEnabled != 0;
}

int32_t StringPoolFreeCount(int32_t sizeClass)
{
    if (sizeClass < 0 || sizeClass >= SizeClassCount || g_StringFreeLists[sizeClass] == nullptr)
        return 0;
    return g_StringFreeLists[sizeClass]->Count();
}

char* AllocStringBuffer(int32_t length)
{
    if (length <= 0)
        return g_EmptyStringBuffer;
    const int32_t k = StringSizeClass(length);
    if (g_StringPoolEnabled && k >= 0)
    {
        WeList<char*>* list = g_StringFreeLists[k];
        if (list != nullptr)
        {
            char** pooled = list->RemoveFirst();
            if (pooled != nullptr)
                return *pooled;
        }
        return NewBuffer(size_t{16} << (2 * k));
    }
    return NewBuffer(HeldCapacity(length));
}

void ReleaseStringBuffer(WeString& s)
{
    char* buffer = s.m_Data;
    // The shared empty buffer is known by its address, never by its contents: a real buffer whose
    // first byte is zero is still pooled or freed.
    if (buffer == nullptr || buffer == g_EmptyStringBuffer)
        return;
    const int32_t k = StringSizeClass(s.m_Length);
    if (!g_StringPoolEnabled || k < 0)
    {
        FreeBuffer(buffer);
        return;
    }
    if (g_StringFreeLists[k] == nullptr)
        g_StringFreeLists[k] = new WeList<char*>();
    g_StringFreeLists[k]->PushFront(buffer);
}

void ShutdownStringPool()
{
    g_StringPoolEnabled = 0;
    for (WeList<char*>*& list : g_StringFreeLists)
    {
        if (list == nullptr)
            continue;
        for (char* buffer : *list)
            FreeBuffer(buffer);
        delete list;
        list = nullptr;
    }
}

// ---- construction and assignment

WeString::WeString(const char* bytes, int32_t length) : m_Data(g_EmptyStringBuffer), m_Length(0)
{
    if (bytes != nullptr && length > 0)
    {
        m_Length = length;
        m_Data = AllocStringBuffer(length);
        std::memcpy(m_Data, bytes, static_cast<size_t>(length));
        m_Data[length] = 0;
    }
}

WeString::WeString(const WeString& other) : m_Data(g_EmptyStringBuffer), m_Length(0)
{
    if (other.m_Length > 0)
    {
        m_Length = other.m_Length;
        m_Data = AllocStringBuffer(m_Length);
        std::memcpy(m_Data, other.m_Data, static_cast<size_t>(m_Length) + 1);
    }
}

WeString::~WeString()
{
    ReleaseStringBuffer(*this);
    m_Data = g_EmptyStringBuffer;
    m_Length = 0;
}

void WeString::Clear()
{
    ReleaseStringBuffer(*this);
    m_Data = g_EmptyStringBuffer;
    m_Length = 0;
}

WeString& WeString::operator=(WeString&& other) noexcept
{
    if (this != &other)
    {
        ReleaseStringBuffer(*this);
        m_Data = other.m_Data;
        m_Length = other.m_Length;
        other.m_Data = g_EmptyStringBuffer;
        other.m_Length = 0;
    }
    return *this;
}

WeString& WeString::Assign(const WeString& other)
{
    if (this == &other)
        return *this;
    return AssignBytes(other.m_Data, other.m_Length);
}

WeString& WeString::AssignText(const char* text)
{
    if (text == m_Data)
        return *this;
    return AssignBytes(text, text != nullptr ? static_cast<int32_t>(std::strlen(text)) : 0);
}

WeString& WeString::AssignBytes(const char* bytes, int32_t length)
{
    if (length < 0)
        length = 0;
    if (length > 0 && InBuffer(*this, bytes))
    {
        // Text out of this string's own buffer: the buffer is about to be released.
        WeString copy(bytes, length);
        return *this = static_cast<WeString&&>(copy);
    }
    ReleaseStringBuffer(*this);
    m_Length = length;
    m_Data = AllocStringBuffer(length);
    if (length > 0)
    {
        std::memcpy(m_Data, bytes, static_cast<size_t>(length));
        m_Data[length] = 0;
    }
    return *this;
}

// ---- in place

void WeString::Resize(int32_t n)
{
    const int32_t old = m_Length;
    if (n <= 0)
    {
        Clear();
        return;
    }
    if (old == 0)
    {
        m_Data = AllocStringBuffer(n);
    }
    else if (HeldCapacity(old) != HeldCapacity(n))
    {
        char* buffer = AllocStringBuffer(n);
        std::memcpy(buffer, m_Data, static_cast<size_t>(std::min(old, n)));
        ReleaseStringBuffer(*this);
        m_Data = buffer;
    }
    m_Length = n;
    m_Data[n] = 0;
}

void WeString::AppendRaw(const char* bytes, int32_t length)
{
    if (length <= 0)
        return;
    const int32_t old = m_Length;
    if (InBuffer(*this, bytes))
    {
        // Resize may move the text; find the source again by its offset.
        const std::ptrdiff_t offset = bytes - m_Data;
        Resize(old + length);
        std::memmove(m_Data + old, m_Data + offset, static_cast<size_t>(length));
        return;
    }
    Resize(old + length);
    std::memcpy(m_Data + old, bytes, static_cast<size_t>(length));
}

WeString& WeString::Append(const WeString& other)
{
    AppendRaw(other.m_Data, other.m_Length);
    return *this;
}

WeString& WeString::AppendChar(char c)
{
    const int32_t old = m_Length;
    Resize(old + 1);
    m_Data[old] = c;
    return *this;
}

WeString& WeString::AppendBytes(const char* bytes, int32_t length)
{
    if (bytes != nullptr)
        AppendRaw(bytes, length);
    return *this;
}

WeString& WeString::AppendUtf8(int32_t cp)
{
    if (cp <= 127)
    {
        AppendChar(static_cast<char>(cp));
    }
    else if (cp <= 2047)
    {
        AppendChar(static_cast<char>(0xC0 | (cp >> 6)));
        AppendChar(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    else if (cp <= 65535)
    {
        AppendChar(static_cast<char>(0xE0 | (cp >> 12)));
        AppendChar(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        AppendChar(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    else
    {
        AppendChar(static_cast<char>(0xF0 | ((cp >> 18) & 0x07)));
        AppendChar(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        AppendChar(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        AppendChar(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    return *this;
}

WeString& WeString::AppendInt(int32_t value, int32_t minDigits, uint32_t base, bool signedFlag)
{
    if (base < 2)
        base = 10;
    const bool negative = signedFlag && value < 0;
    uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char digits[33];
    int32_t count = 0;
    if (base == 10)  // the common case, without a division by a variable
    {
        do
        {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
    }
    else
    {
        do
        {
            const uint32_t r = magnitude % base;
            digits[count++] = r < 10 ? static_cast<char>('0' + r) : r < 36 ? static_cast<char>('A' + r - 10) : '?';
            magnitude /= base;
        } while (magnitude != 0);
    }
    const int32_t pad = minDigits > count ? minDigits - count : 0;
    const int32_t old = m_Length;
    Resize(old + (negative ? 1 : 0) + pad + count);
    char* out = m_Data + old;
    if (negative)
        *out++ = '-';
    std::memset(out, '0', static_cast<size_t>(pad));
    out += pad;
    while (count > 0)
        *out++ = digits[--count];
    return *this;
}

WeString& WeString::AppendFloat(double value, int32_t decimals)
{
    // Beyond 18 decimals the scaled value no longer fits the 64-bit integer the digits come from.
    constexpr int32_t MaxDecimals = 18;
    if (decimals < 1)
        decimals = 1;
    if (decimals > MaxDecimals)
        decimals = MaxDecimals;
    if (std::isnan(value))
        return AppendText("nan");
    if (std::isinf(value))
        return AppendText(value < 0 ? "-inf" : "inf");

    double scaled = std::fabs(value);
    for (int32_t i = 0; i < decimals; ++i)
        scaled *= 10.0;
    scaled += 0.5;
    char text[400];
    int32_t length = 0;
    if (scaled < 9223372036854775808.0)
    {
        int64_t n = static_cast<int64_t>(scaled);
        char reversed[40];
        int32_t count = 0;
        for (int32_t i = 0; i < decimals; ++i)
        {
            reversed[count++] = static_cast<char>('0' + n % 10);
            n /= 10;
        }
        reversed[count++] = '.';
        do
        {
            reversed[count++] = static_cast<char>('0' + n % 10);
            n /= 10;
        } while (n != 0);
        if (value < 0)
            text[length++] = '-';
        while (count > 0)
            text[length++] = reversed[--count];
    }
    else
    {
        // Too large for the integer digits: the exact decimal expansion, still bounded (at most
        // 309 integer digits plus the capped decimals).
        const std::to_chars_result r =
            std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, decimals);
        length = r.ec == std::errc() ? static_cast<int32_t>(r.ptr - text) : 0;
    }
    AppendRaw(text, length);
    return *this;
}

WeString& WeString::InsertChar(int32_t pos, char c)
{
    if (pos < 0 || pos > m_Length)
        return *this;
    const int32_t old = m_Length;
    Resize(old + 1);
    std::memmove(m_Data + pos + 1, m_Data + pos, static_cast<size_t>(old - pos));
    m_Data[pos] = c;
    return *this;
}

WeString& WeString::Insert(int32_t pos, const WeString& other)
{
    if (pos < 0 || pos > m_Length || other.m_Length == 0)
        return *this;
    if (&other == this)
    {
        const WeString copy(other);
        return Insert(pos, copy);
    }
    const int32_t old = m_Length;
    const int32_t n = other.m_Length;
    Resize(old + n);
    std::memmove(m_Data + pos + n, m_Data + pos, static_cast<size_t>(old - pos));
    std::memcpy(m_Data + pos, other.m_Data, static_cast<size_t>(n));
    return *this;
}

WeString& WeString::SetLength(int32_t n)
{
    Resize(n);
    return *this;
}

// ---- new strings
//
// A new string's bytes are written straight into the buffer it will own and the result then ends
// at its first zero byte, exactly as if it had been assembled as zero-terminated text. No shared
// scratch space is involved, so results of any length are safe.

WeString WeString::WithLength(size_t length)
{
    WeString result;
    if (length > 0)
    {
        result.m_Length = static_cast<int32_t>(length);
        result.m_Data = AllocStringBuffer(result.m_Length);
        result.m_Data[length] = 0;
    }
    return result;
}

void WeString::EndAtZero()
{
    const void* zero = std::memchr(m_Data, 0, static_cast<size_t>(m_Length));
    if (zero != nullptr)
        Resize(static_cast<int32_t>(static_cast<const char*>(zero) - m_Data));
}

WeString WeString::FromResult(const char* bytes, int32_t length)
{
    WeString result = WithLength(static_cast<size_t>(length));
    if (length > 0)
        std::memcpy(result.m_Data, bytes, static_cast<size_t>(length));
    result.EndAtZero();
    return result;
}

WeString WeString::Concat(const WeString& other) const
{
    WeString result = WithLength(static_cast<size_t>(m_Length) + static_cast<size_t>(other.m_Length));
    if (result.m_Length > 0)
    {
        std::memcpy(result.m_Data, m_Data, static_cast<size_t>(m_Length));
        std::memcpy(result.m_Data + m_Length, other.m_Data, static_cast<size_t>(other.m_Length));
        result.EndAtZero();
    }
    return result;
}

WeString WeString::ConcatText(const char* text) const
{
    const size_t extra = text != nullptr ? std::strlen(text) : 0;
    WeString result = WithLength(static_cast<size_t>(m_Length) + extra);
    if (result.m_Length > 0)
    {
        std::memcpy(result.m_Data, m_Data, static_cast<size_t>(m_Length));
        if (extra > 0)
            std::memcpy(result.m_Data + m_Length, text, extra);
        result.EndAtZero();
    }
    return result;
}

WeString WeString::Substring(int32_t start, int32_t end) const
{
    if (start < 0)
        start = 0;
    if (end > m_Length)
        end = m_Length;
    if (end <= start)
        return WeString();
    return FromResult(m_Data + start, end - start);
}

WeString WeString::GetToken(char separator, int32_t index) const
{
    if (index < 0)
        return WeString();
    const char* begin = m_Data;
    const char* stop = m_Data + m_Length;
    for (int32_t field = 0; field < index; ++field)
    {
        const void* sep = std::memchr(begin, separator, static_cast<size_t>(stop - begin));
        if (sep == nullptr)
            return WeString();
        begin = static_cast<const char*>(sep) + 1;
    }
    const void* sep = std::memchr(begin, separator, static_cast<size_t>(stop - begin));
    const char* end = sep != nullptr ? static_cast<const char*>(sep) : stop;
    return FromResult(begin, static_cast<int32_t>(end - begin));
}

WeString WeString::GetTokenFromEnd(char separator, int32_t index) const
{
    if (index < 0)
        return WeString();
    int32_t end = m_Length;
    for (int32_t field = 0; field < index; ++field)
    {
        int32_t i = end - 1;
        while (i >= 0 && m_Data[i] != separator)
            --i;
        if (i < 0)
            return WeString();
        end = i;
    }
    int32_t begin = end - 1;
    while (begin >= 0 && m_Data[begin] != separator)
        --begin;
    ++begin;
    return FromResult(m_Data + begin, end - begin);
}

WeString WeString::GetTokenTail(char separator, int32_t count) const
{
    if (count < 1)
        return WeString();
    const char* begin = m_Data;
    const char* stop = m_Data + m_Length;
    for (int32_t found = 0; found < count; ++found)
    {
        const void* sep = std::memchr(begin, separator, static_cast<size_t>(stop - begin));
        if (sep == nullptr)
            return WeString();
        begin = static_cast<const char*>(sep) + 1;
    }
    return FromResult(begin, static_cast<int32_t>(stop - begin));
}

WeString WeString::ToLower() const
{
    WeString result = WithLength(static_cast<size_t>(m_Length));
    for (int32_t i = 0; i < m_Length; ++i)
    {
        const char c = m_Data[i];
        result.m_Data[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    }
    result.EndAtZero();
    return result;
}

WeString WeString::ToUpper() const
{
    WeString result = WithLength(static_cast<size_t>(m_Length));
    for (int32_t i = 0; i < m_Length; ++i)
    {
        const char c = m_Data[i];
        result.m_Data[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
    }
    result.EndAtZero();
    return result;
}

// ---- queries

int32_t WeString::ToInt(int32_t base) const
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m_Data);
    const unsigned char* stop = p + m_Length;
    bool negative = false;
    while (p < stop && (*p == '-' || *p == '+'))
    {
        if (*p == '-')
            negative = true;
        ++p;
    }
    if (p < stop && *p == '#')
    {
        base = 16;
        ++p;
    }
    while (p < stop && (*p == ' ' || *p == '\t'))
        ++p;
    uint32_t value = 0;
    int32_t digit = 0;
    while (p < stop && IsDigitByte(*p, &digit))
    {
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
        ++p;
    }
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

float WeString::ToFloat(float defaultValue) const
{
    if (m_Length == 0)
        return defaultValue;
    // The conversion of formatted input: leading white space, an optional sign, then a decimal
    // (or 0x hexadecimal) number, in the C locale whatever the process locale.
    const char* p = m_Data;
    const char* stop = m_Data + m_Length;
    while (p < stop && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    bool negative = false;
    if (p < stop && (*p == '+' || *p == '-'))
    {
        negative = *p == '-';
        ++p;
    }
    if (p == stop || *p == '+' || *p == '-')
        return defaultValue;
    const bool hex = stop - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    const char* digits = hex ? p + 2 : p;
    const std::chars_format format = hex ? std::chars_format::hex : std::chars_format::general;
    float value = defaultValue;
    const std::from_chars_result r = std::from_chars(digits, stop, value, format);
    if (r.ec == std::errc::result_out_of_range)
        value = BeyondFloatRange(digits, r.ptr, hex) ? std::numeric_limits<float>::infinity() : 0.0f;
    else if (r.ec != std::errc())
        return defaultValue;  // also "0x" without hexadecimal digits, as formatted input reads it
    return negative ? -value : value;
}

int32_t WeString::Find(const WeString& needle) const
{
    if (needle.m_Length == 0)
        return 0;
    const std::string_view hay(m_Data, static_cast<size_t>(m_Length));
    const size_t at = hay.find(std::string_view(needle.m_Data, static_cast<size_t>(needle.m_Length)));
    return at == std::string_view::npos ? -1 : static_cast<int32_t>(at);
}

int32_t WeString::Find(const char* needle) const
{
    if (needle == nullptr || *needle == 0)
        return 0;
    const std::string_view hay(m_Data, static_cast<size_t>(m_Length));
    const size_t at = hay.find(std::string_view(needle));
    return at == std::string_view::npos ? -1 : static_cast<int32_t>(at);
}

void WeString::ToColor(float rgba[4]) const
{
    const char* p = m_Data;
    if (*p == '#')
        ++p;
    uint32_t argb = 0;
    int32_t digit = 0;
    for (; *p != 0 && IsDigitByte(static_cast<unsigned char>(*p), &digit) && digit < 16; ++p)
        argb = argb * 16 + static_cast<uint32_t>(digit);
    rgba[0] = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
    rgba[1] = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
    rgba[2] = static_cast<float>(argb & 0xFF) / 255.0f;
    rgba[3] = static_cast<float>((argb >> 24) & 0xFF) / 255.0f;
}

int32_t WeString::DecodeUtf8At(int32_t pos) const
{
    if (pos < 0 || pos >= m_Length)
        return 0;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(m_Data);
    const unsigned char lead = s[pos];
    if (lead < 0x80)
        return lead;
    int32_t extra;
    int32_t value;
    if (lead < 0xC2)
        return '?';
    if (lead < 0xE0)
    {
        extra = 1;
        value = lead & 0x1F;
    }
    else if (lead < 0xF0)
    {
        extra = 2;
        value = lead & 0x0F;
    }
    else
    {
        extra = 3;
        value = lead & 0x07;
    }
    if (pos + extra >= m_Length)
        return '?';
    for (int32_t i = 1; i <= extra; ++i)
        value = (value << 6) | (s[pos + i] & 0x3F);
    return value;
}

int32_t WeString::NextUtf8Pos(int32_t pos) const
{
    if (pos < 0)
        return 0;
    if (pos >= m_Length)
        return m_Length;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(m_Data);
    const unsigned char lead = s[pos];
    int32_t next;
    if (lead < 0x80)
        next = pos + 1;
    else if (lead < 0xC2)
    {
        next = pos;
        while (next < m_Length && s[next] >= 0x80 && s[next] < 0xC2)
            ++next;
    }
    else if (lead < 0xE0)
        next = pos + 2;
    else if (lead < 0xF0)
        next = pos + 3;
    else
        next = pos + 4;
    return std::min(next, m_Length);
}

int32_t WeString::PrevUtf8Pos(int32_t pos) const
{
    if (pos < 1)
        return 0;
    if (pos > m_Length)
        return m_Length;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(m_Data);
    int32_t i = pos - 1;
    while (i > 0 && s[i] >= 0x80 && s[i] < 0xC2)
        --i;
    return i;
}

bool WeString::operator==(const WeString& other) const
{
    return m_Length == other.m_Length && std::memcmp(m_Data, other.m_Data, static_cast<size_t>(m_Length)) == 0;
}

bool WeString::operator==(const char* text) const
{
    const size_t n = text != nullptr ? std::strlen(text) : 0;
    return static_cast<size_t>(m_Length) == n && std::memcmp(m_Data, text, n) == 0;
}

bool WeString::operator<(const WeString& other) const
{
    return std::string_view(m_Data, static_cast<size_t>(m_Length)) <
           std::string_view(other.m_Data, static_cast<size_t>(other.m_Length));
}
