#include "Game/shell/CPostProcessRequests.h"

std::vector<CPostProcessRequest> g_PostProcessRequests;

void RequestPostProcessEffect(int32_t effect, int32_t mode, float value, const void* data)
{
    g_PostProcessRequests.push_back(CPostProcessRequest{effect, mode, value, data});
}
