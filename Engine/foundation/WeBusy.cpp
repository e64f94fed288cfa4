#include "Engine/foundation/WeBusy.h"

int32_t g_BusyCount = 0;

void BeginBusy()
{
    ++g_BusyCount;
}

void EndBusy()
{
    --g_BusyCount;
}

bool IsBusy()
{
    return g_BusyCount > 0;
}
