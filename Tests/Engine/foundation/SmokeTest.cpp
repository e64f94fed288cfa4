#include "Engine/foundation/AlwaysTrue.h"
#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeRecycled.h"
#include "Engine/foundation/WeStringList.h"
#include "Engine/foundation/WeStringPair.h"

#include <gtest/gtest.h>

TEST(FoundationSmoke, Basics)
{
    EXPECT_TRUE(AlwaysTrue());
    WeString s("abc");
    s += "def";
    EXPECT_EQ(s, "abcdef");
    WeHashTable<int> t;
    t.Insert("x", 1);
    int* v = nullptr;
    EXPECT_TRUE(t.FindRef("x", &v));
    WeStringList l;
    l.PushBack() = "a";
    WeList<WeStringPair> p;
    p.Append().key = "k";
}
