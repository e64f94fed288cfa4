// A profile, then the encyclopedia: the worlds, the ships paged twice, the weapons paged by a held D, the maps
// and Escape. Every category opened and every entry shown is printed, with its picture's texture and size.
#include <SDL.h>

#include <memory>
#include <string>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeTexture.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIPicture.h"
#include "Game/screens/CEncyclopediaPhase.h"
#include "Game/screens/GetPhaseClassName.h"
#include "Tools/screens_demo/ProfileSteps.h"
#include "Tools/screens_demo/ScreensDemoScript.h"

namespace
{
struct Seen
{
    std::string category;
    int32_t index = -1;
};

// The lines for what changed since the last frame: the category opened, the entry shown, its picture.
std::string Report(Seen& seen)
{
    const CEncyclopediaPhase& e = g_EncyclopediaPhase;
    if (e.m_CurrentList == nullptr)
        return "";
    std::string lines;
    const std::string category = e.m_CurrentCategory.c_str();
    if (category != seen.category)
    {
        lines += "category " + category + " entries " + std::to_string(e.m_CurrentList->Count()) + "\n";
        seen.index = -1;
    }
    if (category != seen.category || e.m_CurrentIndex != seen.index)
    {
        int32_t at = 0;
        for (auto* n = e.m_CurrentList->FirstNode(); n != nullptr; n = e.m_CurrentList->NextNode(n), ++at)
        {
            if (at != e.m_CurrentIndex)
                continue;
            lines += "entry " + category + " " + std::to_string(at) + " " + n->payload.m_Key.c_str() + "\n";
            const auto* picture = static_cast<const WeUIPicture*>(g_UIMain.FindComponent("Encyclopedia_Picture"));
            if (picture != nullptr && picture->m_Texture != nullptr)
                lines += std::string("picture ") +
                         GetConfigString(
                             WeString("Encyclopedia.") + category.c_str() + ":" + n->payload.m_Key + ".Picture", "")
                             .c_str() +
                         " " + std::to_string(picture->m_Texture->GetWidth()) + "x" +
                         std::to_string(picture->m_Texture->GetHeight()) + "\n";
        }
    }
    seen.category = category;
    seen.index = e.m_CurrentIndex;
    if (!lines.empty())
        lines.pop_back();
    return lines;
}

// Watches the screen for `frames` frames, printing every change.
void Watch(ScreensDemoScript& script, const std::shared_ptr<Seen>& seen, int frames)
{
    auto left = std::make_shared<int>(frames);
    script.Until("watching the encyclopedia",
                 [seen, left](std::string& lines)
                 {
                     lines = Report(*seen);
                     return --*left <= 0;
                 });
}
}  // namespace

void BuildEncyclopediaScript(ScreensDemoScript& script)
{
    auto seen = std::make_shared<Seen>();
    AddProfileSteps(script);
    script.Click("MainMenu_Encyclopedia_Button")
        .WaitPhase("CEncyclopediaPhase")
        .WaitShown("Encyclopedia_Presentation_Window");
    Watch(script, seen, 5);
    script.Png("encyclopedia-worlds").Click("Encyclopedia_Ships_Button");
    Watch(script, seen, 10);
    script.Png("encyclopedia-ships").Click("Encyclopedia_Next_Button");
    Watch(script, seen, 10);
    script.Click("Encyclopedia_Next_Button");
    Watch(script, seen, 10);
    script.Click("Encyclopedia_Weapons_Button");
    Watch(script, seen, 10);
    // About 1.2 s of D by the game's clock: a page at once, then one about every half second.
    auto held = std::make_shared<float>(0.0f);
    script.KeyDown(SDL_SCANCODE_D)
        .Until("D held for 1.2 s",
               [seen, held](std::string& lines)
               {
                   lines = Report(*seen);
                   *held += g_Timer.m_FrameDeltaF;
                   return *held >= 1.2f;
               })
        .KeyUp(SDL_SCANCODE_D);
    Watch(script, seen, 10);
    script.Click("Encyclopedia_Maps_Button");
    Watch(script, seen, 10);
    script.Png("encyclopedia-maps").KeyPress(SDL_SCANCODE_ESCAPE).WaitPhase("CMainMenuPhase");
    script.Expect("back on the main menu",
                  [](std::string& line)
                  {
                      line = std::string("back on ") + GetPhaseClassName(g_PhaseManager.GetTopPhase());
                      return g_PhaseManager.GetPhaseCount() == 2;
                  });
}
