#pragma once
#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeStringPair.h"

// The pooled nodes of the two string containers: a node of a key/value pair list, and a node of a
// string hash table's entry list. A node made by its list starts with null links and empty strings;
// the table's insert sets the chain links.
using StringPairNode = WeListNode<WeStringPair>;
using StringPairNode32 = WeHashTable<WeString>::Node;
