#include "Game/screens/GetPhaseClassName.h"

#include "Game/screens/CEndGamePhase.h"
#include "Game/screens/CInGameMenuPhase.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/screens/CRestartPhase.h"
#include "Game/shell/CPlayGamePhase.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

// The race and the phases that take over from it are named, every phase once, and anything else says so.
TEST(GetPhaseClassName, TheRaceAndItsHandOverPhasesAreNamed)
{
    const struct
    {
        const WeAbstractPhase* phase;
        const char* name;
    } cases[] = {{&g_LoadMapPhase, "CLoadMapPhase"},       {&g_PlayGamePhase, "CPlayGamePhase"},
                 {&g_EndGamePhase, "CEndGamePhase"},       {&g_RestartPhase, "CRestartPhase"},
                 {&g_InGameMenuPhase, "CInGameMenuPhase"}, {nullptr, "none"}};
    for (const auto& c : cases)
        EXPECT_STREQ(GetPhaseClassName(c.phase), c.name);

    int32_t count = 0;
    const CGamePhaseName* names = GetGamePhaseNames(count);
    std::set<const WeAbstractPhase*> phases;
    std::set<std::string> classNames;
    for (int32_t i = 0; i < count; ++i)
    {
        EXPECT_TRUE(phases.insert(names[i].phase).second) << names[i].className;
        EXPECT_TRUE(classNames.insert(names[i].className).second) << names[i].className;
    }
    CEndGamePhase stranger;
    EXPECT_STREQ(GetPhaseClassName(&stranger), "?");
}
