#include "Game/craft/CTuber.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CPickupAction.h"

int32_t CMainGameInterface::ListPowerUps(const CTuber* craft, PowerUpView* out, int32_t capacity)
{
    if (craft == nullptr || out == nullptr)
        return 0;
    int32_t count = 0;
    for (const CPickupAction* action : craft->m_PowerUps)
    {
        if (count >= capacity)
            break;
        if (action != nullptr)
            out[count++] = PowerUpView{action->m_Type, action->m_Duration - action->m_Elapsed};
    }
    return count;
}
