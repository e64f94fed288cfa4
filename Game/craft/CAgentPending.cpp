// The agent's steps that read the weapons' own fields (a laid mine's kind, track fraction and avoid direction):
// each answers "no mine" until the weapon base is written, which moves them into the agent's source file.
#include "Game/craft/CAgent.h"

CWeapon* CAgent::FindDangerousMine()
{
    return nullptr;
}

D3DXVECTOR3 GetMineAvoidDirection(const CWeapon*)
{
    return D3DXVECTOR3();
}
