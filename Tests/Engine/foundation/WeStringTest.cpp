#include "Engine/foundation/WeString.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{
std::string Str(const WeString& s)
{
    return std::string(s.c_str(), static_cast<size_t>(s.Length()));
}
}  // namespace

TEST(WeString, EmptyStringsShareOneBuffer)
{
    WeString a;
    WeString b("");
    WeString c(a);
    WeString d("x");
    d = a;
    for (const WeString* s : {&a, &b, &c, &d})
    {
        EXPECT_EQ(s->c_str(), g_EmptyStringBuffer);
        EXPECT_EQ(s->Length(), 0);
    }
    WeString e("abc");
    e.SetLength(0);
    EXPECT_EQ(e.c_str(), g_EmptyStringBuffer);
    e = "abc";
    e.Clear();
    EXPECT_EQ(e.c_str(), g_EmptyStringBuffer);
}

TEST(WeString, ConstructAssignCompare)
{
    WeString a("hello");
    WeString b(a);
    EXPECT_NE(a.c_str(), b.c_str());  // copies never share a buffer
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a == "hello");
    EXPECT_TRUE(a != "hell");
    EXPECT_TRUE(WeString("abc") < WeString("abd"));
    EXPECT_TRUE(WeString("ab") < WeString("abc"));

    WeString bytes("a\0b", 3);
    EXPECT_EQ(bytes.Length(), 3);
    WeString copy(bytes);
    EXPECT_EQ(copy.Length(), 3);
    EXPECT_EQ(copy[2], 'b');

    const WeString& self = a;  // through a reference, which clang does not take for a mistake
    a = self;
    EXPECT_EQ(Str(a), "hello");
    a.AssignText(a.c_str());
    EXPECT_EQ(Str(a), "hello");

    WeString moved(static_cast<WeString&&>(b));
    EXPECT_EQ(Str(moved), "hello");
    EXPECT_EQ(b.c_str(), g_EmptyStringBuffer);
}

TEST(WeString, SizeClasses)
{
    const struct
    {
        int32_t length;
        int32_t sizeClass;
    } cases[] = {{0, 0},    {15, 0},   {16, 1},   {63, 1},    {64, 2},    {255, 2},   {256, 3},    {1023, 3},
                 {1024, 4}, {4095, 4}, {4096, 5}, {16383, 5}, {16384, 6}, {65535, 6}, {65536, -1}, {1 << 20, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(StringSizeClass(c.length), c.sizeClass) << c.length;
}

TEST(WeString, GrowingInsideAClassKeepsTheBuffer)
{
    if (!StringPoolEnabled())
        GTEST_SKIP() << "buffers are exact heap blocks without the pool";
    WeString s("abcdefghijklmn");  // 14 bytes
    const char* before = s.c_str();
    s.AppendChar('o');
    EXPECT_EQ(s.c_str(), before);
    s.AppendChar('p');  // 16 bytes: class 1
    EXPECT_NE(s.c_str(), before);
    EXPECT_EQ(Str(s), "abcdefghijklmnop");
}

TEST(WeString, AppendOperations)
{
    WeString s;
    s.Append(WeString("ab")).AppendChar('c').AppendText("de");
    s += WeString("f");
    s += "g";
    s += 'h';
    EXPECT_EQ(Str(s), "abcdefgh");
    s.AppendBytes("x\0y", 3);
    EXPECT_EQ(s.Length(), 11);
    s.AppendText("");
    EXPECT_EQ(s.Length(), 11);
}

TEST(WeString, AppendIntCases)
{
    const struct
    {
        int32_t value, minDigits;
        uint32_t base;
        bool signedFlag;
        const char* text;
    } cases[] = {
        {-5, 3, 10, true, "-005"},
        {255, 0, 16, false, "FF"},
        {0, 0, 10, false, "0"},
        {-1, 0, 10, false, "4294967295"},
        {-1, 0, 10, true, "-1"},
        {35, 0, 36, false, "Z"},
        {5, 0, 2, false, "101"},
        {12, 1, 10, true, "12"},
        {-2147483647 - 1, 0, 10, true, "-2147483648"},
        {39, 0, 40, false, "?"},
        {7, -3, 10, true, "7"},
        // A base below 2 has no digits of its own: base 10.
        {42, 0, 0, false, "42"},
        {42, 0, 1, true, "42"},
    };
    for (const auto& c : cases)
    {
        WeString s("n=");
        s.AppendInt(c.value, c.minDigits, c.base, c.signedFlag);
        EXPECT_EQ(Str(s), std::string("n=") + c.text) << c.value << " base " << c.base;
    }
}

TEST(WeString, AppendFloatCases)
{
    const struct
    {
        double value;
        int32_t decimals;
        const char* text;
    } cases[] = {
        {3.14159, 2, "3.14"}, {0.5, 0, "0.5"},    {12.0, 3, "12.000"}, {-0.0001, 2, "-0.00"},     {-0.0, 2, "0.00"},
        {2.5, 1, "2.5"},      {0.125, 2, "0.13"}, {-7.25, 1, "-7.3"},  {123456.0, 1, "123456.0"}, {1.0, -4, "1.0"},
    };
    for (const auto& c : cases)
    {
        WeString s;
        s.AppendFloat(c.value, c.decimals);
        EXPECT_EQ(Str(s), c.text) << c.value << " / " << c.decimals;
    }
}

TEST(WeString, AppendFloatStaysBoundedOutsideTheIntegerRange)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        double value;
        int32_t decimals;
        const char* text;
    } cases[] = {
        {std::nan(""), 2, "nan"},
        {inf, 2, "inf"},
        {-inf, 3, "-inf"},
        {1e19, 1, "10000000000000000000.0"},
        {-1e19, 2, "-10000000000000000000.00"},
    };
    for (const auto& c : cases)
    {
        WeString s;
        s.AppendFloat(c.value, c.decimals);
        EXPECT_EQ(Str(s), c.text);
    }
    WeString huge;
    huge.AppendFloat(1e300, 1000);
    EXPECT_GT(huge.Length(), 300);
    EXPECT_LT(huge.Length(), 400);
    EXPECT_EQ(huge[0], '1');
    WeString many;
    many.AppendFloat(0.5, 1000);  // decimals are capped
    EXPECT_EQ(Str(many), "0.500000000000000000");
}

TEST(WeString, InsertAndSetLength)
{
    WeString s("ace");
    s.InsertChar(1, 'b').InsertChar(3, 'd').InsertChar(5, 'f');
    EXPECT_EQ(Str(s), "abcdef");
    s.InsertChar(-1, 'x').InsertChar(7, 'x');
    EXPECT_EQ(Str(s), "abcdef");
    s.Insert(0, WeString(">")).Insert(7, WeString("<")).Insert(4, WeString("--"));
    EXPECT_EQ(Str(s), ">abc--def<");
    s.Insert(-1, WeString("x")).Insert(100, WeString("x")).Insert(2, WeString());
    EXPECT_EQ(Str(s), ">abc--def<");

    WeString e;
    e.InsertChar(0, 'q');
    EXPECT_EQ(Str(e), "q");

    WeString t("abcdef");
    t.SetLength(3);
    EXPECT_EQ(Str(t), "abc");
    EXPECT_EQ(t.c_str()[3], 0);
    t.SetLength(100);
    EXPECT_EQ(t.Length(), 100);
    EXPECT_EQ(std::string(t.c_str(), 3), "abc");
    EXPECT_EQ(t.c_str()[100], 0);
}

TEST(WeString, AliasedSourcesStayIntact)
{
    WeString s("0123456789abcdef0123");  // 20 bytes, class 1
    s.AssignText(s.c_str() + 4);
    EXPECT_EQ(Str(s), "456789abcdef0123");
    s.AssignText(s.c_str() + 10);  // shrinks into class 0
    EXPECT_EQ(Str(s), "ef0123");

    WeString a("abcdefghijkl");  // 12 bytes: doubling it changes class and moves the buffer
    a.Append(a);
    EXPECT_EQ(Str(a), "abcdefghijklabcdefghijkl");
    a.AppendText(a.c_str() + 20);
    EXPECT_EQ(Str(a), "abcdefghijklabcdefghijklijkl");

    WeString b("abcdefghij");
    b.Insert(3, b);
    EXPECT_EQ(Str(b), "abcabcdefghijdefghij");
    WeString c("xy");
    c.Insert(2, c);
    EXPECT_EQ(Str(c), "xyxy");
}

TEST(WeString, ConcatAndCase)
{
    const WeString a("Hello, ");
    EXPECT_EQ(Str(a.Concat(WeString("World"))), "Hello, World");
    EXPECT_EQ(Str(a.ConcatText("x")), "Hello, x");
    EXPECT_EQ(Str(a + "y"), "Hello, y");
    EXPECT_EQ(Str(WeString("Mixed Case 09 \xC3\x84").ToLower()), "mixed case 09 \xC3\x84");
    EXPECT_EQ(Str(WeString("Mixed Case 09 \xC3\xA4").ToUpper()), "MIXED CASE 09 \xC3\xA4");
    EXPECT_EQ(WeString().ToLower().c_str(), g_EmptyStringBuffer);
    // Results pass through zero-terminated text: an embedded zero ends them.
    EXPECT_EQ(Str(WeString("ab\0cd", 5).Concat(WeString("x"))), "ab");
    EXPECT_EQ(Str(WeString("AB\0CD", 5).ToLower()), "ab");
}

TEST(WeString, SubstringAndTokens)
{
    const WeString abc("abc");
    const struct
    {
        int32_t start, end;
        const char* text;
    } subs[] = {{-3, 100, "abc"}, {2, 1, ""}, {1, 2, "b"}, {0, 3, "abc"}, {3, 5, ""}, {5, 9, ""}, {1, 1, ""}};
    for (const auto& c : subs)
        EXPECT_EQ(Str(abc.Substring(c.start, c.end)), c.text) << c.start << "," << c.end;

    const struct
    {
        const char* text;
        char sep;
        int32_t index;
        const char* token;
        const char* fromEnd;
        const char* tail;
    } tokens[] = {
        {"a,,b", ',', 0, "a", "b", ""},
        {"a,,b", ',', 1, "", "", ",b"},
        {"a,,b", ',', 2, "b", "a", "b"},
        {"a,,b", ',', 3, "", "", ""},
        {"a,,b", ',', -1, "", "", ""},
        {"x.y.z", '.', 0, "x", "z", ""},
        {"x.y.z", '.', 1, "y", "y", "y.z"},
        {"x.y.z", '.', 2, "z", "x", "z"},
        {"Config.Main.game", '.', 1, "Main", "Main", "Main.game"},
        {"abc", '.', 0, "abc", "abc", ""},
        {"abc.", '.', 1, "", "abc", ""},
        {"", '.', 0, "", "", ""},
    };
    for (const auto& c : tokens)
    {
        const WeString s(c.text);
        EXPECT_EQ(Str(s.GetToken(c.sep, c.index)), c.token) << c.text << " " << c.index;
        EXPECT_EQ(Str(s.GetTokenFromEnd(c.sep, c.index)), c.fromEnd) << c.text << " " << c.index;
        EXPECT_EQ(Str(s.GetTokenTail(c.sep, c.index)), c.tail) << c.text << " " << c.index;
    }
}

TEST(WeString, Find)
{
    const WeString abc("abcabc");
    EXPECT_EQ(abc.Find(WeString()), 0);
    EXPECT_EQ(abc.Find(""), 0);
    EXPECT_EQ(abc.Find("c"), 2);
    EXPECT_EQ(abc.Find(WeString("ca")), 2);
    EXPECT_EQ(abc.Find("abcabcd"), -1);
    EXPECT_EQ(abc.Find("x"), -1);
    EXPECT_EQ(WeString().Find("a"), -1);
    EXPECT_EQ(WeString().Find(""), 0);
}

TEST(WeString, ToIntCases)
{
    const struct
    {
        const char* text;
        int32_t base;
        int32_t value;
    } cases[] = {
        {"#FF", 10, 255}, {"+-12", 10, -12}, {"12 34", 10, 12}, {"  7", 10, 7},   {" -5", 10, 0},
        {"- 5", 10, -5},  {"#1f", 10, 31},   {"--5", 10, -5},   {"1A", 10, 20},   {"", 10, 0},
        {"ff", 16, 255},  {"-#10", 10, -16}, {"101", 2, 5},     {"12.5", 10, 12}, {"4294967297", 10, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WeString(c.text).ToInt(c.base), c.value) << '"' << c.text << '"';
    EXPECT_NE(WeString("false").ToInt(10), 0);
    EXPECT_EQ(WeString("\t7").ToInt(), 7);
}

TEST(WeString, ToFloatCases)
{
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        const char* text;
        float def;
        float value;
    } cases[] = {
        {"abc", 1.5f, 1.5f},
        {"2.25xyz", 1.5f, 2.25f},
        {"", 3.0f, 3.0f},
        {"  -0.5", 0.0f, -0.5f},
        {"+4", 0.0f, 4.0f},
        {"1e3", 0.0f, 1000.0f},
        {".5", 0.0f, 0.5f},
        {"-", 9.0f, 9.0f},
        {"+-1", 9.0f, 9.0f},
        {"0x10", 0.0f, 16.0f},
        {"7.", 0.0f, 7.0f},
        // Out of the float range: infinity or zero, never the default; "0x" alone does not parse.
        {"1e50", 1.5f, inf},
        {"-1e50", 1.5f, -inf},
        {"1e-50", 1.5f, 0.0f},
        {"1e400", 1.5f, inf},
        {"1e-400", 1.5f, 0.0f},
        {"3.5e38", 1.5f, inf},
        {"0x1p200", 1.5f, inf},
        {"0x1p-200", 1.5f, 0.0f},
        {"0x", 1.5f, 1.5f},
        {"0xg", 1.5f, 1.5f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(WeString(c.text).ToFloat(c.def), c.value) << '"' << c.text << '"';
}

TEST(WeString, ToColor)
{
    const struct
    {
        const char* text;
        float r, g, b, a;
    } cases[] = {
        {"0BFF0000", 1.0f, 0.0f, 0.0f, 11.0f / 255.0f},
        {"#FF336699", 0x33 / 255.0f, 0x66 / 255.0f, 0x99 / 255.0f, 1.0f},
        {"ff00ff00", 0.0f, 1.0f, 0.0f, 1.0f},
        {"", 0.0f, 0.0f, 0.0f, 0.0f},
        {"80", 0.0f, 0.0f, 128.0f / 255.0f, 0.0f},
    };
    for (const auto& c : cases)
    {
        float rgba[4] = {-1, -1, -1, -1};
        WeString(c.text).ToColor(rgba);
        EXPECT_FLOAT_EQ(rgba[0], c.r) << c.text;
        EXPECT_FLOAT_EQ(rgba[1], c.g) << c.text;
        EXPECT_FLOAT_EQ(rgba[2], c.b) << c.text;
        EXPECT_FLOAT_EQ(rgba[3], c.a) << c.text;
    }
}

TEST(WeString, Utf8)
{
    // "A", "é" (2 bytes), "€" (3 bytes), "😀" (4 bytes), a stray continuation run, then a cut lead.
    const WeString s("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\x80\x81Z\xC3");
    const struct
    {
        int32_t pos, code, next, prev;
    } cases[] = {
        {-1, 0, 0, 0},    {0, 'A', 1, 0},   {1, 0xE9, 3, 0},  {2, '?', 3, 1},    {3, 0x20AC, 6, 1}, {6, 0x1F600, 10, 3},
        {10, '?', 12, 6}, {11, '?', 12, 6}, {12, 'Z', 13, 6}, {13, '?', 14, 12}, {14, 0, 14, 13},   {15, 0, 14, 14},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(s.DecodeUtf8At(c.pos), c.code) << c.pos;
        EXPECT_EQ(s.NextUtf8Pos(c.pos), c.next) << c.pos;
        EXPECT_EQ(s.PrevUtf8Pos(c.pos), c.prev) << c.pos;
    }

    const struct
    {
        int32_t cp;
        const char* bytes;
    } encodings[] = {
        {'A', "A"}, {0xE9, "\xC3\xA9"}, {0x20AC, "\xE2\x82\xAC"}, {0x1F600, "\xF0\x9F\x98\x80"}, {-191, "A"}};
    for (const auto& e : encodings)
    {
        WeString out;
        out.AppendUtf8(e.cp);
        EXPECT_EQ(Str(out), e.bytes) << e.cp;
    }
}

TEST(WeString, DestroyNodeStringEmptiesTheText)
{
    struct Record
    {
        uint8_t flag;
        WeString text;
    } record{1, WeString("value")};
    DestroyNodeString(&record);
    EXPECT_EQ(record.text.c_str(), g_EmptyStringBuffer);
    EXPECT_EQ(record.flag, 1);
}
