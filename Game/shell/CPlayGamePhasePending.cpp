// Race steps whose owners have not written them yet: each does nothing until its owner moves it into its own
// source file.
#include "Game/shell/CPlayGamePhase.h"

// Standings and rules.
void CPlayGamePhase::UpdatePlacings() {}
void CPlayGamePhase::CheckRaceEnd() {}
void CPlayGamePhase::EstimateFinishTimes() {}
void CPlayGamePhase::BuildCheckpoints() {}
void CPlayGamePhase::UpdateCheckpoints() {}
void CPlayGamePhase::PushCrafts() {}
void CPlayGamePhase::StartSafetyLock() {}
void CPlayGamePhase::StepSafetyLock() {}
void CPlayGamePhase::RenderSafetyLockCaption() {}
void CPlayGamePhase::RenderTimeTrial() {}
// Pickups.
void CPlayGamePhase::RemoveRacePickups() {}
