// The display's steps that read the race and the player's craft, until the race and the craft provide them: each
// draws and plays nothing.
#include "Game/shell/CMainGameInterface.h"

// clang-format off
void CMainGameInterface::UpdateHeartBeat() {}
void CMainGameInterface::UpdateHitSound() {}
void CMainGameInterface::UpdateWeaponPictures() {}
uint32_t CMainGameInterface::GetAmmoColour(bool) { return 0xE5FFFFFFu; }
void CMainGameInterface::DrawGauges(int32_t) {}
void CMainGameInterface::DrawStandings(int32_t) {}
void CMainGameInterface::DrawBloodScreen() {}
void CMainGameInterface::DrawTranslocatorScreen() {}
void CMainGameInterface::DrawRivalTags() {}
void CMainGameInterface::DrawLockMessage() {}
void CMainGameInterface::DrawIncomingWarning() {}
void CMainGameInterface::CheckWrongWay() {}
void CMainGameInterface::DrawHealingText() {}
void CMainGameInterface::DrawPickupMarkers() {}
void CMainGameInterface::DrawMineMarkers() {}
void CMainGameInterface::DrawLockRings() {}
void CMainGameInterface::DrawCrosshair() {}
void CMainGameInterface::DrawMarker(bool, float&, const D3DXVECTOR3&) {}
// clang-format on
