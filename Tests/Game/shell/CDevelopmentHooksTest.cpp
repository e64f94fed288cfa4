#include "Game/shell/CDevelopmentHooks.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace
{
std::map<std::string, std::string> g_Values;

const char* Lookup(const char* name)
{
    const auto found = g_Values.find(name);
    return found != g_Values.end() && !found->second.empty() ? found->second.c_str() : nullptr;
}

bool Configure(CDevelopmentHooks& hooks, std::map<std::string, std::string> values, std::string& error)
{
    g_Values = std::move(values);
    return hooks.Configure(Lookup, error);
}
}  // namespace

TEST(CDevelopmentHooks, AcceptedValues)
{
    CDevelopmentHooks hooks;
    std::string error;
    ASSERT_TRUE(Configure(hooks, {}, error)) << error;
    EXPECT_EQ(hooks.m_QuitAfterFrames, -1);
    EXPECT_FALSE(hooks.IsCaptureFrame(0));
    EXPECT_FALSE(hooks.m_HasScript);

    ASSERT_TRUE(Configure(
        hooks, {{"WE_QUIT_AFTER_FRAMES", "150"}, {"WE_CAPTURE_DIR", "/tmp/x"}, {"WE_CAPTURE_FRAMES", "0,120,7"}},
        error))
        << error;
    EXPECT_EQ(hooks.m_QuitAfterFrames, 150);
    EXPECT_TRUE(hooks.IsCaptureFrame(0));
    EXPECT_TRUE(hooks.IsCaptureFrame(120));
    EXPECT_FALSE(hooks.IsCaptureFrame(119));

    ASSERT_TRUE(Configure(hooks, {{"WE_CAPTURE_DIR", "/tmp/x"}, {"WE_CAPTURE_FRAMES", "every:30"}}, error)) << error;
    EXPECT_TRUE(hooks.IsCaptureFrame(0));
    EXPECT_TRUE(hooks.IsCaptureFrame(60));
    EXPECT_FALSE(hooks.IsCaptureFrame(61));
    EXPECT_EQ(hooks.m_QuitAfterFrames, -1) << "a new reading starts afresh";

    ASSERT_TRUE(Configure(hooks, {{"WE_FIXED_STEP", "0.015625"}, {"WE_AUTOPILOT", "2"}}, error)) << error;
    EXPECT_DOUBLE_EQ(hooks.m_FixedStepSeconds, 1.0 / 64.0);
    EXPECT_EQ(hooks.m_Autopilot, 2);
    ASSERT_TRUE(Configure(hooks, {{"WE_AUTOPILOT", "0"}}, error)) << error;
    EXPECT_EQ(hooks.m_Autopilot, 0);
    EXPECT_EQ(hooks.m_FixedStepSeconds, 0.0) << "unset, the wall clock";
}

TEST(CDevelopmentHooks, RefusedValuesSayWhy)
{
    struct Case
    {
        std::map<std::string, std::string> values;
        const char* error;
    };
    const Case cases[] = {
        {{{"WE_QUIT_AFTER_FRAMES", "-1"}}, "WE_QUIT_AFTER_FRAMES: \"-1\" is not a frame count"},
        {{{"WE_QUIT_AFTER_FRAMES", "ten"}}, "WE_QUIT_AFTER_FRAMES: \"ten\" is not a frame count"},
        {{{"WE_CAPTURE_DIR", "/tmp"}, {"WE_CAPTURE_FRAMES", "1,,2"}}, "WE_CAPTURE_FRAMES: \"\" is not a frame number"},
        {{{"WE_CAPTURE_DIR", "/tmp"}, {"WE_CAPTURE_FRAMES", "1,"}}, "WE_CAPTURE_FRAMES: \"\" is not a frame number"},
        {{{"WE_CAPTURE_DIR", "/tmp"}, {"WE_CAPTURE_FRAMES", "every:0"}},
         "WE_CAPTURE_FRAMES: \"every:0\" needs a step of 1 or more after every:"},
        {{{"WE_CAPTURE_DIR", "/tmp"}, {"WE_CAPTURE_FRAMES", "sometimes"}},
         "WE_CAPTURE_FRAMES: \"sometimes\" is not a frame number"},
        {{{"WE_CAPTURE_FRAMES", "5"}}, "WE_CAPTURE_FRAMES: no WE_CAPTURE_DIR to write the frames to"},
        {{{"WE_INPUT_SCRIPT", "/no/such/script"}}, "/no/such/script:0: cannot read the input script"},
        {{{"WE_FIXED_STEP", "0"}}, "WE_FIXED_STEP: \"0\" is not a step in seconds above 0 and up to 0.1"},
        {{{"WE_FIXED_STEP", "1"}}, "WE_FIXED_STEP: \"1\" is not a step in seconds above 0 and up to 0.1"},
        {{{"WE_FIXED_STEP", "0.01s"}}, "WE_FIXED_STEP: \"0.01s\" is not a step in seconds above 0 and up to 0.1"},
        {{{"WE_FIXED_STEP", "nan"}}, "WE_FIXED_STEP: \"nan\" is not a step in seconds above 0 and up to 0.1"},
        {{{"WE_AUTOPILOT", "3"}}, "WE_AUTOPILOT: \"3\" is not a difficulty 0, 1 or 2"},
        {{{"WE_AUTOPILOT", "-1"}}, "WE_AUTOPILOT: \"-1\" is not a difficulty 0, 1 or 2"},
        {{{"WE_AUTOPILOT", "hard"}}, "WE_AUTOPILOT: \"hard\" is not a difficulty 0, 1 or 2"},
    };
    for (const Case& c : cases)
    {
        CDevelopmentHooks hooks;
        std::string error;
        EXPECT_FALSE(Configure(hooks, c.values, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}
