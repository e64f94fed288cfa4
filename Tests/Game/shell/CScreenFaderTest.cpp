#include "Game/shell/CScreenFader.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIMain.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{
std::vector<char> g_Calls;
int64_t g_TickOfCall[2] = {-1, -1};
int64_t g_Tick = 0;

void CallbackA()
{
    g_Calls.push_back('a');
    g_TickOfCall[0] = g_Tick;
}
void CallbackB()
{
    g_Calls.push_back('b');
    g_TickOfCall[1] = g_Tick;
}
// A callback that starts the next fade, as the screens' callbacks do.
void ChainToB()
{
    CallbackA();
    g_ScreenFader.FadeTo(CallbackB, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f);
}

class CScreenFaderTest : public UIRenderTest
{
protected:
    static constexpr float Step = 1.0f / 64.0f;

    void SetUp() override
    {
        UIRenderTest::SetUp();
        g_ScreenFader = CScreenFader();
        g_Calls.clear();
        g_TickOfCall[0] = g_TickOfCall[1] = -1;
        g_Tick = 0;
        g_UIInputEnabled = 1;
    }
    void TearDown() override
    {
        g_ScreenFader = CScreenFader();
        g_UIInputEnabled = 1;
        UIRenderTest::TearDown();
    }
    // One game tick as the engine runs it: the fader (inside the game's tick), then the UI's tick.
    static void GameTick()
    {
        g_ScreenFader.Update();
        g_Timer.m_FrameDeltaF = Step;
        g_UIMain.Tick();
        ++g_Tick;
    }
    static WeUIComponent* Frame() { return g_UIMain.FindComponent(WeString(g_FaderElementName)); }
};

TEST_F(CScreenFaderTest,
       AHalfSecondFadeCallsBackOnceInTheFirstUpdateAfterTheScreenIsCoveredAndBlocksInputTillTheFrameIsGone)
{
    EXPECT_EQ(g_ScreenFader.FadeTo(CallbackA, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f), &CallbackA);
    ASSERT_NE(Frame(), nullptr);
    EXPECT_EQ(Frame()->m_TopMost, 1);
    EXPECT_EQ(g_ScreenFader.m_State, CScreenFader::FadingIn);
    EXPECT_EQ(g_UIInputEnabled, 0);
    // 0.5 s is 32 UI ticks of 1/64 s; the fader sees the finished fade in the game tick after.
    for (int i = 0; i < 32; ++i)
    {
        GameTick();
        EXPECT_TRUE(g_Calls.empty()) << i;
        EXPECT_EQ(g_UIInputEnabled, 0);
    }
    EXPECT_DOUBLE_EQ(Frame()->m_Alpha, 1.0);
    GameTick();
    ASSERT_EQ(g_Calls.size(), 1u);
    EXPECT_EQ(g_TickOfCall[0], 32);
    EXPECT_EQ(g_ScreenFader.m_State, CScreenFader::Done);
    // The frame fades out over the same time; input returns once it is gone.
    int ticks = 0;
    while (Frame() != nullptr && ticks < 100)
    {
        EXPECT_EQ(g_UIInputEnabled, 0);
        GameTick();
        ++ticks;
    }
    // The game tick of the callback already ran the first step of the fade-out.
    EXPECT_EQ(ticks, 31);
    GameTick();
    EXPECT_EQ(g_UIInputEnabled, 1);
    EXPECT_EQ(g_ScreenFader.m_State, CScreenFader::Idle);
    for (int i = 0; i < 50; ++i)
        GameTick();
    EXPECT_EQ(g_Calls.size(), 1u);
}

TEST_F(CScreenFaderTest, ASecondFadeReplacesTheCallbackAndReusesTheFrame)
{
    g_ScreenFader.FadeTo(CallbackA, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f);
    WeUIComponent* first = Frame();
    for (int i = 0; i < 10; ++i)
        GameTick();
    g_ScreenFader.FadeTo(CallbackB, 0.5f, 1.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(Frame(), first);
    EXPECT_FLOAT_EQ(Frame()->m_Colour[0], 1.0f);
    for (int i = 0; i < 200; ++i)
        GameTick();
    EXPECT_EQ(g_Calls, std::vector<char>{'b'});
}

TEST_F(CScreenFaderTest, AFadeStartedInsideACallbackStandsAndNoCallbackRunsTwice)
{
    g_ScreenFader.FadeTo(ChainToB, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f);
    for (int i = 0; i < 300; ++i)
        GameTick();
    EXPECT_EQ(g_Calls, (std::vector<char>{'a', 'b'}));
    EXPECT_EQ(g_TickOfCall[0], 32);
    // The closing frame was destroyed by the new fade, which starts at once and takes its 32 ticks.
    EXPECT_EQ(g_TickOfCall[1], 64);
    EXPECT_EQ(g_ScreenFader.m_State, CScreenFader::Idle);
    EXPECT_EQ(g_UIInputEnabled, 1);
}

TEST_F(CScreenFaderTest, AFadeOfNoLengthCoversTheScreenAtTheNextUITick)
{
    for (float seconds : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()})
    {
        g_Calls.clear();
        g_Tick = 0;
        g_ScreenFader.FadeTo(CallbackA, seconds, 0.0f, 0.0f, 0.0f, 1.0f);
        GameTick();
        EXPECT_DOUBLE_EQ(Frame()->m_Alpha, 1.0) << seconds;
        GameTick();
        EXPECT_EQ(g_Calls.size(), 1u) << seconds;
        for (int i = 0; i < 5; ++i)
            GameTick();
        EXPECT_EQ(Frame(), nullptr) << seconds;
        GameTick();
        EXPECT_EQ(g_UIInputEnabled, 1);
    }
}

TEST_F(CScreenFaderTest, WithoutAFrameTheFaderIsIdleAndGivesInputBack)
{
    g_ScreenFader.FadeTo(nullptr, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f);
    g_UIMain.RemoveComponent(WeString(g_FaderElementName));
    GameTick();
    EXPECT_EQ(g_ScreenFader.m_State, CScreenFader::Idle);
    EXPECT_EQ(g_UIInputEnabled, 1);
}
}  // namespace
