#include "Engine/foundation/AlwaysTrue.h"

bool AlwaysTrue()
{
    return true;
}
