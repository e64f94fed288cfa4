#include "Engine/foundation/WeString.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{
std::string Str(const WeString& s)
{
    return std::string(s.c_str(), static_cast<size_t>(s.Length()));
}

// Built by a static initialiser, before any pool state could have been set up by code.
WeString g_EarlyString = WeString("built during static initialisation, ").ConcatText("before main");

std::string Pattern(size_t n)
{
    std::string s(n, ' ');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + i % 26);
    return s;
}
}  // namespace

TEST(WeStringPool, StringsWorkDuringStaticInitialisation)
{
    EXPECT_EQ(Str(g_EarlyString), "built during static initialisation, before main");
}

TEST(WeStringPool, ReleasedBuffersAreReusedLastInFirstOut)
{
    if (!StringPoolEnabled())
        GTEST_SKIP() << "no pool in this build";
    const char* first;
    const char* second;
    {
        WeString a("first text, 20 b");
        WeString b("second text 20 b");
        first = a.c_str();
        second = b.c_str();
    }  // b is released first, then a: a's buffer is on top
    WeString c("another 16+ text");
    WeString d("and one more 16+");
    EXPECT_EQ(c.c_str(), first);
    EXPECT_EQ(d.c_str(), second);
}

// A buffer whose first byte is zero goes back to its pool like any other. The shared empty buffer is
// recognised by its address, not by a zero first byte: judging by the byte would take such a buffer for
// the empty one and neither pool nor free it, a leak. Without the pool the buffer goes back to the heap,
// and a leak would fail the sanitizer build.
TEST(WeStringPool, BufferStartingWithAZeroByteGoesBackToItsPool)
{
    int32_t before = 0;
    {
        WeString s("twenty bytes of text");
        s.Data()[0] = 0;
        before = StringPoolFreeCount(1);
    }
    if (StringPoolEnabled())
    {
        EXPECT_EQ(StringPoolFreeCount(1), before + 1);
    }
}

TEST(WeStringPool, LongStringsGrowInPlaceCorrectly)
{
    // Byte by byte past 65,535 and on, as the configuration reader builds a long line.
    WeString line("x");
    std::string expected("x");
    const std::string pattern = Pattern(200000);
    for (char c : pattern)
    {
        line.AppendChar(c);
        expected += c;
    }
    EXPECT_EQ(line.Length(), 200001);
    EXPECT_TRUE(Str(line) == expected);

    // Whole appends across the last class and within the long sizes.
    WeString s(Pattern(60000).c_str());
    s.Append(WeString(Pattern(10000).c_str()));
    s.AppendText(Pattern(70000).c_str());
    EXPECT_TRUE(Str(s) == Pattern(60000) + Pattern(10000) + Pattern(70000));
    s.InsertChar(0, '#');
    EXPECT_EQ(s[0], '#');
    EXPECT_EQ(s.Length(), 140001);
    s.SetLength(100);  // back into a class
    EXPECT_TRUE(Str(s) == "#" + Pattern(99));
}

TEST(WeStringPool, LongNewStringResultsAreBuiltOnTheHeap)
{
    const std::string half = Pattern(40000);
    const WeString a(half.c_str());
    const WeString joined = a.Concat(a);
    EXPECT_EQ(joined.Length(), 80000);
    EXPECT_TRUE(Str(joined) == half + half);
    EXPECT_TRUE(Str(a.ConcatText(half.c_str())) == half + half);

    std::string upper = Pattern(100000);
    for (char& c : upper)
        c = static_cast<char>(c - 'a' + 'A');
    const WeString big(upper.c_str());
    EXPECT_TRUE(Str(big.ToLower()) == Pattern(100000));
    EXPECT_TRUE(Str(big.ToLower().ToUpper()) == upper);
    EXPECT_TRUE(Str(big.Substring(1, 90001)) == upper.substr(1, 90000));

    const WeString fields((Pattern(70000) + "," + Pattern(70000) + ",end").c_str());
    EXPECT_EQ(fields.GetToken(',', 1).Length(), 70000);
    EXPECT_EQ(Str(fields.GetTokenFromEnd(',', 0)), "end");
    EXPECT_EQ(fields.GetTokenTail(',', 1).Length(), 70004);

    // Long results end at an embedded zero like short ones.
    WeString zero(Pattern(70000).c_str());
    zero.Data()[65000] = 0;
    EXPECT_EQ(zero.ToUpper().Length(), 65000);
}

TEST(WeStringPool, AfterShutdownEveryGrowthReallocates)
{
    EXPECT_EXIT(
        {
            WeString kept("a string from before, class 1");
            ShutdownStringPool();
            bool ok = !StringPoolEnabled();
            for (int i = 0; i < 7; ++i)
                ok = ok && StringPoolFreeCount(i) == 0;
            WeString s("abc");
            std::string expected("abc");
            for (int i = 0; i < 300; ++i)
            {
                const char* before = s.c_str();
                s.AppendChar('z');
                expected += 'z';
                // Buffers are exact heap blocks now: growing can never stay in the old one.
                ok = ok && s.c_str() != before;
            }
            ok = ok && Str(s) == expected;
            kept.AppendText(" and more text after the shutdown");
            ok = ok && Str(kept) == "a string from before, class 1 and more text after the shutdown";
            WeString longer(Pattern(70000).c_str());
            longer.AppendChar('!');
            ok = ok && longer.Length() == 70001 && longer[70000] == '!';
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
