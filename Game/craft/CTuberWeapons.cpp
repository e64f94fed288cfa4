// The craft's weapons: the incoming-weapon warning and the release of every weapon pointing at the craft.
#include <cmath>

#include "Game/craft/CTuber.h"
#include "Game/craft/CWeapon.h"

void CTuber::FindNearestIncomingWeapon()
{
    m_NearestIncomingWeapon = nullptr;
    float best = 0.0f;
    const D3DXVECTOR3 here = GetWorldPosition();
    for (auto* node = m_IncomingWeapons.FirstNode(); node; node = m_IncomingWeapons.NextNode(node))
    {
        CWeapon* w = node->payload;
        const D3DXVECTOR3 d = w->GetWorldPosition() - here;
        const float distance = d.x * d.x + d.y * d.y + d.z * d.z;
        if (!m_NearestIncomingWeapon || distance < best)
        {
            m_NearestIncomingWeapon = w;
            best = distance;
        }
    }
}

void CTuber::ReleaseIncomingWeapons()
{
    CWeapon* w = nullptr;
    // Each release takes the weapon out of the list.
    while (m_IncomingWeapons.PopFront(w))
        if (w->m_Target == this)
            w->m_Target = nullptr;
    m_NearestIncomingWeapon = nullptr;
}

void CTuber::DetachWeapons(bool expireMines)
{
    CWeapon* w = nullptr;
    while (m_Mines.PopFront(w))
    {
        w->m_Owner = nullptr;
        if (expireMines)
            w->Expire();
    }
    ReleaseIncomingWeapons();
}
