#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeStringList.h"
#include "Engine/foundation/WeStringPair.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

namespace
{
template <class T>
std::vector<T> Items(const WeList<T>& list)
{
    std::vector<T> out;
    for (const T& item : list)
        out.push_back(item);
    return out;
}

struct Request  // a plain record payload of the size the request queues use
{
    int32_t type;
    float position[3];
    void* owner;
    float damage;
    int32_t extra[5];
};
}  // namespace

static_assert(!std::is_copy_constructible_v<WeList<int>> && !std::is_move_constructible_v<WeList<int>>);
static_assert(!std::is_copy_assignable_v<WeList<int>> && !std::is_move_assignable_v<WeList<int>>);

TEST(WeList, NewListIsEmptyAndRemoveCurrentDoesNothing)
{
    WeList<int> list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.FirstNode(), nullptr);
    EXPECT_EQ(list.Head()->next, list.Head());
    EXPECT_EQ(list.Head()->prev, list.Head());
    EXPECT_EQ(list.Current(), nullptr);
    list.RemoveCurrent();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.FreeCount(), 0);
    EXPECT_EQ(list.RemoveFirst(), nullptr);
}

TEST(WeList, PushBackPushFrontAndCursor)
{
    WeList<int> list;
    list.PushBack(2);
    EXPECT_EQ(*list.Current(), 2);
    list.PushBack() = 3;
    list.PushFront(1);
    EXPECT_EQ(*list.Current(), 1);
    EXPECT_EQ(Items(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.Front(), 1);
    EXPECT_EQ(list.Back(), 3);

    std::vector<int> walked;
    for (auto* node = list.FirstNode(); node != nullptr; node = list.NextNode(node))
        walked.push_back(node->payload);
    EXPECT_EQ(walked, (std::vector<int>{1, 2, 3}));
    std::vector<int> back;
    for (auto* node = list.LastNode(); node != nullptr; node = list.PrevNode(node))
        back.push_back(node->payload);
    EXPECT_EQ(back, (std::vector<int>{3, 2, 1}));
}

TEST(WeList, RemoveCurrentMovesTheCursorOn)
{
    WeList<int> list;
    for (int i = 1; i <= 4; ++i)
        list.PushBack(i);
    list.CursorToFirst();
    list.CursorNext();
    list.RemoveCurrent();  // removes 2
    EXPECT_EQ(*list.Current(), 3);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.FreeCount(), 1);
    list.CursorNext();
    list.RemoveCurrent();  // removes the last: the cursor reaches the header
    EXPECT_FALSE(list.CursorValid());
    EXPECT_EQ(Items(list), (std::vector<int>{1, 3}));
    // With the cursor on the header nothing is unlinked, the sentinel least of all.
    list.RemoveCurrent();
    list.RemoveCurrent();
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(Items(list), (std::vector<int>{1, 3}));
    list.PushBack(5);
    EXPECT_EQ(Items(list), (std::vector<int>{1, 3, 5}));
}

TEST(WeList, ContainsLeavesTheCursorOnTheFoundNode)
{
    int a = 0, b = 0, c = 0, d = 0;
    WeList<int*> list;
    list.PushBack(&a);
    list.PushBack(&b);
    list.PushBack(&c);
    EXPECT_TRUE(list.Contains(&b));
    EXPECT_EQ(*list.Current(), &b);
    list.RemoveCurrent();
    EXPECT_EQ(Items(list), (std::vector<int*>{&a, &c}));
    EXPECT_FALSE(list.Contains(&d));
    EXPECT_FALSE(list.CursorValid());
    list.RemoveCurrent();
    EXPECT_EQ(list.Count(), 2);
}

TEST(WeList, ResetKeepsNodesAndReusesThemInOrder)
{
    WeList<int> list;
    std::vector<WeList<int>::Node*> nodes;
    for (int i = 0; i < 5; ++i)
    {
        list.PushBack(i * 10);
        nodes.push_back(list.CursorNode());
    }
    list.Reset();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.FreeCount(), 5);
    EXPECT_FALSE(list.CursorValid());
    list.RemoveCurrent();  // the cursor no longer refers to a node
    EXPECT_EQ(list.FreeCount(), 5);
    for (int i = 0; i < 3; ++i)
    {
        int& payload = list.PushBack();
        EXPECT_EQ(list.CursorNode(), nodes[static_cast<size_t>(i)]);
        EXPECT_EQ(payload, i * 10);  // a reused node keeps its old payload
    }
    EXPECT_EQ(list.FreeCount(), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.FreeCount(), 0);
}

TEST(WeList, RemoveFirstDrainsAQueueThatGrowsWhileDrained)
{
    WeList<Request> queue;
    for (int i = 0; i < 3; ++i)
        queue.PushBack().type = i;
    std::vector<int> seen;
    while (queue.Count() > 0)
    {
        const Request* head = queue.RemoveFirst();
        const int type = head->type;  // read before anything can post again
        seen.push_back(type);
        if (type == 1)
            queue.PushBack().type = 7;  // posted while draining: drained in the same pass
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 7}));
    EXPECT_EQ(queue.FreeCount(), 3);  // the node of the posted request came from the free stack

    WeList<int> ints;
    ints.PushBack(4);
    int out = 0;
    EXPECT_TRUE(ints.PopFront(out));
    EXPECT_EQ(out, 4);
    EXPECT_FALSE(ints.PopFront(out));
}

TEST(WeList, RemoveNodeFixesTheCursorOnlyWhenOnIt)
{
    WeList<int> list;
    list.PushBack(1);
    auto* one = list.CursorNode();
    list.PushBack(2);
    auto* two = list.CursorNode();
    list.PushBack(3);
    list.SetCursor(two);
    list.Remove(one);
    EXPECT_EQ(list.CursorNode(), two);
    list.Remove(two);
    EXPECT_EQ(*list.Current(), 3);
    list.Remove(two);  // already free: nothing
    EXPECT_EQ(Items(list), (std::vector<int>{3}));
}

TEST(WeStringList, PushBackGivesAnEmptyStringAlsoOnReusedNodes)
{
    WeStringList list;
    list.PushBack() = "alpha";
    list.PushBack() = "beta";
    EXPECT_EQ(*list.Current(), "beta");
    list.Reset();
    WeString& reused = list.PushBack();
    EXPECT_TRUE(reused.IsEmpty());
    reused = "gamma";
    list.PushBack(WeString("delta"));
    std::vector<std::string> items;
    for (const WeString& s : list)
        items.emplace_back(s.c_str());
    EXPECT_EQ(items, (std::vector<std::string>{"gamma", "delta"}));
    list.Clear();  // frees the strings too: a leak would fail the sanitizer build
    EXPECT_EQ(list.FreeCount(), 0);
}

TEST(WeStringPairList, AppendAndClear)
{
    WeList<WeStringPair> pairs;
    WeStringPair& fresh = pairs.Append();
    EXPECT_TRUE(fresh.key.IsEmpty());
    EXPECT_TRUE(fresh.value.IsEmpty());
    fresh.key = "name";
    fresh.value = "value";
    pairs.Append().key = "second";
    EXPECT_EQ(pairs.Count(), 2);
    EXPECT_EQ(pairs.Front().value, "value");
    pairs.Clear();
    EXPECT_EQ(pairs.Count(), 0);
}
