#include "Engine/foundation/WeHashTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
template <class V>
std::vector<std::string> KeysInOrder(WeHashTable<V>& table)
{
    std::vector<std::string> keys;
    for (auto* e = table.First(); e != nullptr; e = table.Next())
        keys.emplace_back(e->key.c_str());
    return keys;
}
}  // namespace

TEST(WeHashTable, BucketsOfKnownKeys)
{
    const struct
    {
        const char* key;
        int32_t bucket;
    } cases[] = {{"a", 3}, {"A", 20}, {"game", 65}, {"main", 45}, {"config", 118}, {"build.Options.Version", 42}};
    for (const auto& c : cases)
        EXPECT_EQ(WeHashKey::Bucket(WeString(c.key)), c.bucket) << c.key;
    // Bytes of 0x80 and above are hashed as signed chars, as the tables were designed on a compiler whose
    // char is signed: "\xC3\xA9" ("é" in UTF-8) falls in bucket 17, where unsigned bytes would give 8.
    EXPECT_EQ(WeHashKey::Bucket(WeString("\xC3\xA9")), 17);
}

TEST(WeHashTable, InsertFindRemove)
{
    WeHashTable<int> table;
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.First(), nullptr);
    int& stored = table.Insert(WeString("alpha"), 1);
    table.Insert(WeString("beta"), 2);
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(table.Count(), 2);

    int* ref = nullptr;
    EXPECT_TRUE(table.FindRef(WeString("alpha"), &ref));
    EXPECT_EQ(ref, &stored);
    *ref = 10;
    int copy = 0;
    EXPECT_TRUE(table.Find("alpha", &copy));
    EXPECT_EQ(copy, 10);
    EXPECT_FALSE(table.FindRef("gamma", &ref));
    EXPECT_FALSE(table.Find(WeString(), &copy));

    int removed = 0;
    EXPECT_TRUE(table.Remove(WeString("beta"), &removed));
    EXPECT_EQ(removed, 2);
    EXPECT_FALSE(table.Remove("beta"));
    EXPECT_TRUE(table.Remove("alpha"));
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.First(), nullptr);
}

TEST(WeHashTable, DuplicateKeysFindTheEarliestFirst)
{
    WeHashTable<WeString> table;
    table.Insert(WeString("key"), WeString("first"));
    table.Insert(WeString("key"), WeString("second"));
    EXPECT_EQ(table.Count(), 2);
    WeString* value = nullptr;
    ASSERT_TRUE(table.FindRef("key", &value));
    EXPECT_EQ(*value, "first");
    EXPECT_TRUE(table.Remove("key"));
    ASSERT_TRUE(table.FindRef("key", &value));
    EXPECT_EQ(*value, "second");
}

TEST(WeHashTable, KeysAreCaseSensitiveAndCompareUpToAZeroByte)
{
    WeHashTable<int> table;
    table.Insert(WeString("Name"), 1);
    table.Insert(WeString("name"), 2);
    int v = 0;
    EXPECT_TRUE(table.Find("Name", &v));
    EXPECT_EQ(v, 1);
    EXPECT_TRUE(table.Find("name", &v));
    EXPECT_EQ(v, 2);
    EXPECT_FALSE(table.Find("NAME", &v));

    // Two keys of equal length that share a bucket and agree up to an embedded zero byte match.
    const WeString stored("k\0a", 3);
    char other[3] = {'k', 0, 0};
    for (int c = 1; c < 128; ++c)
    {
        other[2] = static_cast<char>(c);
        if (c != 'a' && WeHashKey::Bucket(other, 3) == WeHashKey::Bucket(stored))
            break;
    }
    ASSERT_EQ(WeHashKey::Bucket(other, 3), WeHashKey::Bucket(stored));
    table.Insert(stored, 3);
    EXPECT_TRUE(table.Find(other, 3, &v));
    EXPECT_EQ(v, 3);
    EXPECT_FALSE(table.Find("k", &v));  // a different length never matches
}

TEST(WeHashTable, KeysGivenAsBytesAndLengthEndAtTheLength)
{
    // A key out of a longer text: only its first `length` bytes are the key.
    WeHashTable<int> table;
    table.Insert(WeString("game"), 1);
    const char text[] = "game.Render";
    int v = 0;
    EXPECT_TRUE(table.Find(text, 4, &v));
    EXPECT_EQ(v, 1);
    int* ref = nullptr;
    ASSERT_TRUE(table.FindRef(text, 4, &ref));
    EXPECT_EQ(*ref, 1);
    EXPECT_FALSE(table.Find(text, 5, &v));  // "game." is another key
    EXPECT_TRUE(table.Remove(text, 4, nullptr));
    EXPECT_EQ(table.Count(), 0);
}

TEST(WeHashTable, IterationGoesByBucketOldestFirst)
{
    // Buckets: "a" 3, "A" 20, "main" 45, "game" 65, "config" 118.
    WeHashTable<int> table;
    table.Insert(WeString("config"), 1);
    table.Insert(WeString("game"), 2);
    table.Insert(WeString("a"), 3);
    table.Insert(WeString("main"), 4);
    table.Insert(WeString("A"), 5);
    table.Insert(WeString("a"), 6);
    EXPECT_EQ(KeysInOrder(table), (std::vector<std::string>{"a", "a", "A", "main", "game", "config"}));
    std::vector<int> values;
    for (auto* e = table.First(); e != nullptr; e = table.Next())
        values.push_back(e->value);
    EXPECT_EQ(values, (std::vector<int>{3, 6, 5, 4, 2, 1}));
    EXPECT_EQ(table.GetIterator().bucket, -1);
}

TEST(WeHashTable, RemovingTheEntryUnderTheIteratorMovesItOn)
{
    WeHashTable<int> table;
    for (const char* key : {"a", "A", "main", "game"})
        table.Insert(WeString(key), 0);
    table.Insert(WeString("a"), 1);
    ASSERT_NE(table.First(), nullptr);  // first "a"
    EXPECT_TRUE(table.Remove("a"));
    ASSERT_NE(table.Current(), nullptr);
    EXPECT_EQ(table.Current()->key, "a");
    EXPECT_EQ(table.Current()->value, 1);
    EXPECT_TRUE(table.Remove("a"));  // the last of its bucket: on to the next bucket
    EXPECT_EQ(table.Current()->key, "A");
    EXPECT_EQ(table.GetIterator().bucket, 20);
    table.Next();
    table.Next();
    EXPECT_EQ(table.Current()->key, "game");
    EXPECT_TRUE(table.Remove("game"));
    EXPECT_EQ(table.Current(), nullptr);
    EXPECT_EQ(table.GetIterator().bucket, -1);
    EXPECT_EQ(KeysInOrder(table), (std::vector<std::string>{"A", "main"}));
}

TEST(WeHashTable, ClearKeepsNodesAndResetsTheIterator)
{
    WeHashTable<WeString> table;
    table.Insert(WeString("one"), WeString("1"));
    table.Insert(WeString("two"), WeString("2"));
    ASSERT_NE(table.First(), nullptr);
    table.Clear();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.FreeCount(), 2);
    EXPECT_EQ(table.Current(), nullptr);
    EXPECT_EQ(table.GetIterator().bucket, -1);
    EXPECT_EQ(table.Next(), nullptr);
    WeString value;
    EXPECT_FALSE(table.Find("one", &value));

    table.Insert(WeString("three"), WeString("3"));
    EXPECT_EQ(table.FreeCount(), 1);
    EXPECT_TRUE(table.Find("three", &value));
    EXPECT_EQ(value, "3");
    table.FreeNodes();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.FreeCount(), 0);
    EXPECT_FALSE(table.Find("three", &value));
}

TEST(WeHashTable, ManyEntriesWithPointerValues)
{
    WeHashTable<int*> table;
    std::vector<int> storage(2000);
    for (int i = 0; i < 2000; ++i)
    {
        WeString key("file");
        key.AppendInt(i);
        table.Insert(key, &storage[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(table.Count(), 2000);
    int seen = 0;
    for (auto* e = table.First(); e != nullptr; e = table.Next())
        ++seen;
    EXPECT_EQ(seen, 2000);
    for (int i = 0; i < 2000; i += 7)
    {
        WeString key("file");
        key.AppendInt(i);
        int** found = nullptr;
        ASSERT_TRUE(table.FindRef(key, &found));
        EXPECT_EQ(*found, &storage[static_cast<size_t>(i)]);
    }
}
