#pragma once
#include "Engine/foundation/WeString.h"

// Payload of the key/value lists the front-end screens keep.
struct WeStringPair
{
    WeString key;
    WeString value;
};
