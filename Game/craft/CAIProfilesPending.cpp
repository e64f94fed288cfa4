#include "Game/craft/CAIProfiles.h"

CAIProfiles g_AIProfiles;

// The store is empty until the AI's profiles are read: no names.
void CAIProfiles::PickDriverNames(WeStringList&, int32_t, int32_t) {}
