#include "Platform/system/SysDebugOutput.h"
#include "Platform/system/SysMessageBox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{

void Append(const char* text, void* context)
{
    *static_cast<std::string*>(context) += text;
}

std::string g_Caption, g_Text;

bool AcceptBox(const char* caption, const char* text)
{
    g_Caption = caption;
    g_Text = text;
    return true;
}

bool RefuseBox(const char*, const char*)
{
    return false;
}

}  // namespace

TEST(SysDebugOutput, SilentByDefaultStderrOnRequestAndCapturable)
{
    unsetenv("WE_DEBUG_OUTPUT");
    SysDebugOutput::ReloadEnvironment();
    testing::internal::CaptureStderr();
    SysDebugOutput::Write("quiet\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    setenv("WE_DEBUG_OUTPUT", "1", 1);
    SysDebugOutput::ReloadEnvironment();
    testing::internal::CaptureStderr();
    SysDebugOutput::Write("loud\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "loud\n");

    std::string captured;
    SysDebugOutput::SetCapture(Append, &captured);
    testing::internal::CaptureStderr();
    SysDebugOutput::Write("a");
    SysDebugOutput::Write("b");
    SysDebugOutput::Write(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(captured, "ab");
    SysDebugOutput::SetCapture(nullptr, nullptr);
    unsetenv("WE_DEBUG_OUTPUT");
    SysDebugOutput::ReloadEnvironment();
}

TEST(SysMessageBox, HookShowsTheBoxElseStderr)
{
    testing::internal::CaptureStderr();
    SysMessageBox::Show("Caption", "Text");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption: Text\n");

    SysMessageBox::SetHook(AcceptBox);
    testing::internal::CaptureStderr();
    SysMessageBox::Show("Game", "Line 1\nLine 2");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(g_Caption, "Game");
    EXPECT_EQ(g_Text, "Line 1\nLine 2");

    // No display: the dialog refuses and the text still reaches the user.
    SysMessageBox::SetHook(RefuseBox);
    testing::internal::CaptureStderr();
    SysMessageBox::Show("Game", "Text");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Game: Text\n");
    SysMessageBox::SetHook(nullptr);
}
