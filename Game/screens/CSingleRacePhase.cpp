#include "Game/screens/CSingleRacePhase.h"

CSingleRacePhase g_SingleRacePhase;

void CSingleRacePhase::Enter() {}
void CSingleRacePhase::Leave() {}
void CSingleRacePhase::HandleInput() {}
void CSingleRacePhase::Update() {}
