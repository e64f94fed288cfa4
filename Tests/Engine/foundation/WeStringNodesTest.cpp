#include "Engine/foundation/WeStringNodes.h"

#include <gtest/gtest.h>

#include <memory>

TEST(WeStringNodes, NewNodesHoldNullLinksAndEmptyStrings)
{
    const auto pair = std::make_unique<StringPairNode>();
    EXPECT_EQ(pair->next, nullptr);
    EXPECT_EQ(pair->prev, nullptr);
    EXPECT_TRUE(pair->payload.key.IsEmpty());
    EXPECT_TRUE(pair->payload.value.IsEmpty());

    const auto entry = std::make_unique<StringPairNode32>();
    EXPECT_EQ(entry->payload.chainNext, nullptr);
    EXPECT_EQ(entry->payload.chainPrev, nullptr);
    EXPECT_TRUE(entry->payload.key.IsEmpty());
    EXPECT_TRUE(entry->payload.value.IsEmpty());

    // The list allocates exactly this node type for each pair it appends.
    WeList<WeStringPair> list;
    WeStringPair& appended = list.Append();
    EXPECT_TRUE(appended.key.IsEmpty());
    EXPECT_TRUE(appended.value.IsEmpty());
    EXPECT_EQ(&static_cast<StringPairNode*>(list.CursorNode())->payload, &appended);
}
