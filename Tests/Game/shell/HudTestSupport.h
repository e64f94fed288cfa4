#pragma once
// What the display's tests share: the recording device at a chosen size, the game's fonts from the real font
// layer, a fixed frame time, every message row free, and the texts the canvas queued before its flush.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeFontTable.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CUberText.h"
#include "Tests/Engine/render/RenderTestSupport.h"

class HudRecording : public RecordingRender
{
protected:
    static constexpr float Step = 1.0f / 64.0f;

    void SetUp() override { SetUpAt(1024, 768); }
    void SetUpAt(int width, int height)
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create(width, height));
        GetConfigString(WeString("UI.Fonts.DefaultFontName"), WeString("")) = "Liberation Sans";
        GetConfigString(WeString("UI.Fonts.DefaultUnicodeFontName"), WeString("")) = "DejaVu Sans";
        GetConfigString(WeString("UI.Fonts.Charsets"), WeString("")) = "";
        g_Game.m_Font12 = g_FontTable.GetFont(WeString("*:12"));
        g_Game.m_Font24 = g_FontTable.GetFont(WeString("*:24"));
        g_Game.m_Font32 = g_FontTable.GetFont(WeString("*:32"));
        ASSERT_NE(g_Game.m_Font24, nullptr);
        m_SavedDelta = g_Timer.m_FrameDeltaF;
        g_Timer.m_FrameDeltaF = Step;
        for (uint8_t& row : g_UberTextRowFree)
            row = 1;
        g_Canvas.BeginFrame();
        g_GfxRecorder.ClearLog();
    }
    void TearDown() override
    {
        g_Canvas.m_Texts.Reset();
        g_Game.m_Font12 = nullptr;
        g_Game.m_Font24 = nullptr;
        g_Game.m_Font32 = nullptr;
        g_FontTable.DestroyAll();
        g_Timer.m_FrameDeltaF = m_SavedDelta;
        g_ScreenSize = {1024, 768};
        RecordingRender::TearDown();
    }
    // The texts queued since the last call, in order, and the queue emptied.
    static std::vector<WeCanvasTextNode> TakeTexts()
    {
        std::vector<WeCanvasTextNode> out;
        for (const WeCanvasTextNode& node : g_Canvas.m_Texts)
            out.push_back(node);
        g_Canvas.m_Texts.Reset();
        return out;
    }

    float m_SavedDelta = 0.0f;
};
