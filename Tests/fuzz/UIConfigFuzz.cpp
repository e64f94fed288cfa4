// Feeds arbitrary UI settings to the UI manager: the input is loaded as UI.ini (layout lines, styles, skin
// parts, fonts, fades), then the manager starts over it, builds the sample screen's widgets of every kind
// from their configured names, takes clicks, wheel turns and keys across the screen, ticks and draws its
// passes, and shuts down. Everything runs on the recording backend, without a GPU. Keys accumulate in the
// process-wide configuration across inputs, as they would across files.
#include <cstdint>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/ui/WeFontTable.h"
#include "Engine/ui/WeUIComboBox.h"
#include "Engine/ui/WeUIEditBox.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Engine/ui/WeUIProgressBar.h"
#include "Tests/fuzz/FuzzConfigTree.h"
#include "Tests/fuzz/FuzzRenderMember.h"

namespace
{
IDirect3DDevice9* g_Device = nullptr;

int32_t OnButton(int32_t, WeUIComponent*)
{
    return 1;
}

int32_t OnChange(WeUIComponent*)
{
    return 1;
}

// The widgets of uidemo's sample screen under the names its UI.ini configures, and one of each other kind.
void BuildScreen()
{
    const WeString window("SampleWindow");
    g_UIMain.CreateWindow(window, WeString("Sample screen"), WeString(""));
    g_UIMain.CreateButton(WeString("SampleOK"), WeString("OK"), window, OnButton);
    g_UIMain.CreateButton(WeString("SampleCancel"), WeString("Cancel"), window, OnButton);
    g_UIMain.CreateSkinButton(WeString("SampleSkinButton"), WeString("Skin"), window, WeString("SampleSkin"));
    g_UIMain.CreateLabel(WeString("SampleLabel"), WeString("Widgets from configuration"), window, -1);
    g_UIMain.CreateCheckBox(WeString("SampleCheck"), window, OnButton);
    g_UIMain.CreateLabel(WeString("SampleCheckLabel"), WeString("Show lap times"), window, 0);
    if (WeUIProgressBar* bar = g_UIMain.CreateProgressBar(WeString("SampleProgress"), window))
        bar->SetValue(0.65f);
    g_UIMain.CreatePanelWindow(WeString("SamplePanel"), WeString("Panel"), window);
    g_UIMain.CreateLabel(WeString("SamplePanelText"), WeString("A panel window whose text wraps at its width."),
                         WeString("SamplePanel"), -1);
    g_UIMain.CreatePicture(WeString("SamplePicture"), window);
    g_UIMain.CreateHScrollBar(WeString("SampleScroll"), window, OnChange);
    g_UIMain.CreateScrollFrame(WeString("SampleFrame"), window);
    g_UIMain.CreateColorFrame(WeString("SampleColor"), window);
    g_UIMain.CreateColorFrameRow(WeString("SampleColor"), window, 2);
    for (int32_t row = 0; row < 2; ++row)
    {
        WeUIComboBox* combo = row == 0 ? g_UIMain.CreateComboBox(WeString("SampleCombo"), window, OnChange)
                                       : g_UIMain.CreateComboBoxRow(WeString("SampleCombo"), window, 3, OnChange);
        for (int32_t i = 0; combo != nullptr && i < 4; ++i)
            combo->AddItem(WeString("Item"), i, i == 0);
    }
    if (WeUIMultiList* list = g_UIMain.CreateMultiList(WeString("SampleList"), window))
    {
        WeStringList captions;
        for (const char* caption : {"Pos", "Pilot", "Craft", "Best lap", "Points"})
            captions.PushBack(WeString(caption));
        list->SetColumns(captions, nullptr);
        list->SetHeaderEnabled(true);
        for (int32_t row = 0; row < 12; ++row)
        {
            WeStringList texts;
            for (int32_t column = 0; column < 5; ++column)
                texts.PushBack(WeString("cell"));
            list->AddRow(&texts, intptr_t(row));
        }
    }
    if (WeUIEditBox* edit = g_UIMain.CreateEditBox(WeString("SampleName"), window))
        edit->SetText(WeString("Ace"));
    g_UIMain.CreateWindowFromRect(WeString("SampleRectWindow"), WeString("Rect"), WeString(""), 600, 40, 300, 200);
}

// Clicks, double clicks and wheel turns over a grid across the screen, and keys into whatever has the focus.
void PlayInput()
{
    for (int32_t y = 16; y < 768; y += 96)
        for (int32_t x = 16; x < 1024; x += 128)
        {
            g_UIMain.PostMouseMove(x, y, 0);
            g_UIMain.PostMouseDown(0);
            g_UIMain.PostMouseUp(0);
            if ((x + y) % 3 == 0)
                g_UIMain.PostDoubleClick();
            g_UIMain.PostMouseWheel(-120);
        }
    for (int32_t key : {30, 48, 14, 28, 1})
    {
        g_UIMain.PostKeyDown(key);
        g_UIMain.PostKeyUp(key);
    }
}

void DrawFrame()
{
    g_Canvas.BeginFrame();
    g_UIMain.Tick();
    g_UIMain.DrawBackLayer();
    g_UIMain.DrawMainLayer();
    g_UIMain.DrawFrontLayer();
    g_Canvas.Flush();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_Device = FuzzRenderMember::CreateRecordingDevice();
    g_ScreenSize = {1024, 768};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (g_Device == nullptr || !FuzzConfigTree::Get("UI").Load(data, size))
        return 0;
    g_UIMain.Init();
    g_UIMain.m_FrameTime = 1.0 / 60.0;
    g_Timer.m_FrameDeltaF = 1.0f / 60.0f;
    BuildScreen();
    DrawFrame();
    PlayInput();
    g_UIMain.ProcessEvents();
    for (int32_t frame = 0; frame < 3; ++frame)
        DrawFrame();
    g_UIMain.OnResize(640, 480);
    DrawFrame();
    g_UIMain.OnResize(1024, 768);
    g_UIMain.Shutdown();
    // Fonts stay for the inputs that ask for them again (rasterising is most of an input's time), up to a few.
    if (g_FontTable.Count() > 16)
        g_FontTable.DestroyAll();
    g_Timer.m_FrameDeltaF = 0.0f;
    return 0;
}
