// From an empty save folder: the start-up loading with its legal text, then the choose-profile screen with
// no profile in the store.
#include <string>

#include "Game/screens/CProfileManager.h"
#include "Tools/screens_demo/ScreensDemoScript.h"

void BuildStartupScript(ScreensDemoScript& script)
{
    script.WaitPhase("CLoadMenuPhase")
        .WaitShown("LoadMenu_LegalText")
        .Png("splash")
        .WaitPhase("CChooseProfilePhase")
        .Expect("profiles",
                [](std::string& line)
                {
                    line = "profiles " + std::to_string(g_ProfileManager.Count());
                    return g_ProfileManager.Count() == 0;
                });
}
