#include "Game/shell/CPickupAction.h"

void CPickupAction::Update(float dt)
{
    m_Elapsed += dt;
    if (m_Elapsed >= m_Duration)
        m_Active = false;
}
