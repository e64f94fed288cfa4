#include "Game/screens/GetPhaseClassName.h"

#include "Game/screens/CBuyScreenPhase.h"
#include "Game/screens/CChooseProfilePhase.h"
#include "Game/screens/CClassicCreditsPhase.h"
#include "Game/screens/CConfirmationPhase.h"
#include "Game/screens/CCreateProfilePhase.h"
#include "Game/screens/CEncyclopediaPhase.h"
#include "Game/screens/CEndGamePhase.h"
#include "Game/screens/CInGameMenuPhase.h"
#include "Game/screens/CInstantRacePhase.h"
#include "Game/screens/CIntroPhase.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/screens/CLoadMenuPhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/COptionsAudioPhase.h"
#include "Game/screens/COptionsInputPhase.h"
#include "Game/screens/COptionsPhase.h"
#include "Game/screens/COptionsVideoPhase.h"
#include "Game/screens/CRestartPhase.h"
#include "Game/screens/CShipyardPhase.h"
#include "Game/screens/CSingleRacePhase.h"
#include "Game/shell/CPlayGamePhase.h"

const CGamePhaseName* GetGamePhaseNames(int32_t& count)
{
    // Each screen's issue adds its own phase here.
    static const CGamePhaseName names[] = {
        {&g_IntroPhase, "CIntroPhase"},
        {&g_LoadMenuPhase, "CLoadMenuPhase"},
        {&g_MenuPhase, "CMenuPhase"},
        {&g_ChooseProfilePhase, "CChooseProfilePhase"},
        {&g_MainMenuPhase, "CMainMenuPhase"},
        {&g_LoadMapPhase, "CLoadMapPhase"},
        {&g_PlayGamePhase, "CPlayGamePhase"},
        {&g_BuyScreenPhase, "CBuyScreenPhase"},
        {&g_CreateProfilePhase, "CCreateProfilePhase"},
        {&g_ConfirmationPhase, "CConfirmationPhase"},
        {&g_SingleRacePhase, "CSingleRacePhase"},
        {&g_ShipyardPhase, "CShipyardPhase"},
        {&g_OptionsPhase, "COptionsPhase"},
        {&g_ClassicCreditsPhase, "CClassicCreditsPhase"},
        {&g_EncyclopediaPhase, "CEncyclopediaPhase"},
        {&g_InstantRacePhase, "CInstantRacePhase"},
        {&g_EndGamePhase, "CEndGamePhase"},
        {&g_RestartPhase, "CRestartPhase"},
        {&g_InGameMenuPhase, "CInGameMenuPhase"},
        {&g_OptionsAudioPhase, "COptionsAudioPhase"},
        {&g_OptionsVideoPhase, "COptionsVideoPhase"},
        {&g_OptionsInputPhase, "COptionsInputPhase"},
    };
    count = static_cast<int32_t>(sizeof(names) / sizeof(names[0]));
    return names;
}

const char* GetPhaseClassName(const WeAbstractPhase* phase)
{
    if (phase == nullptr)
        return "none";
    int32_t count = 0;
    const CGamePhaseName* names = GetGamePhaseNames(count);
    for (int32_t i = 0; i < count; ++i)
    {
        if (names[i].phase == phase)
            return names[i].className;
    }
    return "?";
}
