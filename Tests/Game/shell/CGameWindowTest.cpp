#include "Game/shell/CGameWindow.h"
#include "Engine/ui/WeUIEvent.h"
#include "Engine/ui/WeUIMain.h"
#include "Game/shell/CGameGlobals.h"
#include "Platform/window/WinInputScript.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<WeUIEvent> TakeEvents()
{
    std::vector<WeUIEvent> events;
    for (const WeUIEvent& event : g_UIMain.m_EventQueue)
        events.push_back(event);
    g_UIMain.m_EventQueue.Clear();
    return events;
}
}  // namespace

// Typed keys reach the UI as negated characters, in both directions; keys that type nothing post nothing; the wheel
// posts its delta.
TEST(CGameWindow, CharactersAndTheWheelReachTheUI)
{
    CGameWindow* window = g_Game.m_Window;
    ASSERT_TRUE(window->Create("Kestrovane Demo", "Kestrovane Demo", nullptr, 102, 102, 320, 240, 0, 0, true, true,
                               true, false, false, false, nullptr));
    g_UIMain.m_EventQueue.Clear();
    WinInputScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("0 key 30 down\n0 key 30 up\n1 key 67 down\n1 key 67 up\n2 wheel 1\n", "keys", error))
        << error;
    script.Play(0, window->m_Handle);
    window->PumpMessages();
    std::vector<WeUIEvent> events = TakeEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, WeUIEventKeyDown);
    EXPECT_EQ(events[0].key, -'a');
    EXPECT_EQ(events[1].type, WeUIEventKeyUp);
    EXPECT_EQ(events[1].key, -'a');

    script.Play(1, window->m_Handle);
    window->PumpMessages();
    EXPECT_TRUE(TakeEvents().empty());

    script.Play(2, window->m_Handle);
    window->PumpMessages();
    events = TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, WeUIEventMouseWheel);
    EXPECT_EQ(events[0].y, 120);

    window->OnLButtonDoubleClick(5, 5);
    events = TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, WeUIEventDoubleClick);
    window->Destroy();
}
