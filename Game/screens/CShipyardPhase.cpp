#include "Game/screens/CShipyardPhase.h"

CShipyardPhase g_ShipyardPhase;

CShipyardPhase::CTuberInfo::~CTuberInfo() = default;

void CShipyardPhase::Enter() {}
void CShipyardPhase::Leave() {}
void CShipyardPhase::HandleInput() {}
void CShipyardPhase::Update() {}
void CShipyardPhase::Render() {}
