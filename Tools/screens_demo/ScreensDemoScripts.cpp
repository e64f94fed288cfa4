#include "Tools/screens_demo/ScreensDemoScript.h"

// One row per script; later screens add theirs.
const ScreensDemoScriptEntry g_ScreensDemoScripts[] = {
    {"startup", BuildStartupScript}, {"menus", BuildMenusScript},
    {"options", BuildOptionsScript}, {"show-options", BuildShowOptionsScript},
    {"instant", BuildInstantScript}, {"encyclopedia", BuildEncyclopediaScript},
    {"credits", BuildCreditsScript}, {"race-end", BuildRaceEndScript},
    {"pause", BuildPauseScript},     {nullptr, nullptr},
};
