// The UI manager, the component base and the event dispatch, without a device: the screen mapping, fades,
// names and registries, the draw passes' order, and dispatch as queued events against a log of what each
// component received.
#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>
#include <string>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRoot.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{

std::vector<std::string> g_Log;

// Logs every event and draw it receives as "name:Event".
class Probe : public WeUIComponent
{
public:
    Probe(WeUIComponent* parent, const char* name, float x, float y, float w, float h)
        : WeUIComponent(parent, WeString(name))
    {
        SetRect(x, y, w, h);
    }
    ~Probe() override { g_Log.push_back(Tag("Deleted")); }
    int32_t OnMouseDown(int32_t button) override
    {
        g_Log.push_back(Tag("Down"));
        return WeUIComponent::OnMouseDown(button);
    }
    int32_t OnMouseUp(int32_t button) override
    {
        g_Log.push_back(Tag("Up"));
        return WeUIComponent::OnMouseUp(button);
    }
    int32_t OnMouseMove(int32_t x, int32_t y, int32_t z) override
    {
        g_Log.push_back(Tag("Move"));
        return WeUIComponent::OnMouseMove(x, y, z);
    }
    int32_t OnMouseEnter() override
    {
        g_Log.push_back(Tag("Enter"));
        return WeUIComponent::OnMouseEnter();
    }
    int32_t OnMouseLeave() override
    {
        g_Log.push_back(Tag("Leave"));
        return WeUIComponent::OnMouseLeave();
    }
    int32_t OnKeyDown(int32_t key) override
    {
        g_Log.push_back(Tag("Key"));
        return WeUIComponent::OnKeyDown(key);
    }
    int32_t OnKeyUp(int32_t key) override
    {
        g_Log.push_back(Tag("KeyUp"));
        return WeUIComponent::OnKeyUp(key);
    }
    int32_t OnDoubleClick() override
    {
        g_Log.push_back(Tag("DoubleClick"));
        return WeUIComponent::OnDoubleClick();
    }
    void OnMouseWheel(int32_t delta) override
    {
        g_Log.push_back(Tag("Wheel" + std::to_string(delta)));
        WeUIComponent::OnMouseWheel(delta);
    }
    void OnBlur() override { g_Log.push_back(Tag("Blur")); }
    void Render() override
    {
        if (g_UIMain.ShouldDraw(this))
            g_Log.push_back(Tag("Draw"));
        WeUIComponent::Render();
    }
    std::string Tag(const std::string& what) const { return std::string(m_Name.c_str()) + ":" + what; }
};

class WeUIMainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_ScreenSize = {1024, 768};
        g_Log.clear();
        g_UIMain.Init();
        g_UIMain.m_FrameTime = 1.0 / 60.0;
    }
    void TearDown() override
    {
        g_UIMain.ProcessEvents();
        g_UIMain.Shutdown();
        g_UIMain.m_InputEnabled = 1;
        g_ScreenSize = {1024, 768};
    }
    // Runs manager ticks with the engine's float frame time of 60 frames per second.
    static void Ticks(int n)
    {
        g_Timer.m_FrameDeltaF = 1.0f / 60.0f;
        for (int i = 0; i < n; ++i)
            g_UIMain.Tick();
    }
    static WeUIComponent* Root() { return g_UIMain.m_Root; }
};

TEST_F(WeUIMainTest, ScreenMappingLetterboxesTheLayoutArea)
{
    struct
    {
        int w, h, lw, lh, ox, oy;
    } cases[] = {{1280, 720, 960, 720, 160, 0}, {1024, 1024, 1024, 768, 0, 128}, {1024, 768, 1024, 768, 0, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.w);
        g_UIMain.OnResize(c.w, c.h);
        EXPECT_EQ(g_UIMain.m_LayoutPixelWidth, c.lw);
        EXPECT_EQ(g_UIMain.m_LayoutPixelHeight, c.lh);
        EXPECT_EQ(g_UIMain.m_OffsetX, c.ox);
        EXPECT_EQ(g_UIMain.m_OffsetY, c.oy);
    }
    // A zero size keeps the old mapping.
    g_UIMain.OnResize(0, 500);
    EXPECT_EQ(g_UIMain.m_LayoutPixelWidth, 1024);
    // Full-screen fractions cover the whole screen; adjacent rectangles meet.
    g_UIMain.OnResize(1280, 720);
    Probe* full = new Probe(Root(), "full", 0, 0, 1, 1);
    full->SetFullScreen(true);
    EXPECT_EQ(full->GetScreenX(), 0);
    EXPECT_EQ(full->m_PixelWidth, 1280);
    Probe* a = new Probe(Root(), "a", 0.1f, 0, 0.333f, 0.5f);
    Probe* b = new Probe(Root(), "b", 0.433f, 0, 0.2f, 0.5f);
    EXPECT_EQ(a->m_PixelX + a->m_PixelWidth, b->m_PixelX);
    // Fractions from configuration may be absurd: edges stop at a billion pixels, and one that is not a
    // number is at 0.
    Probe* absurd = new Probe(Root(), "absurd", 3.0e6f, -3.0e6f, std::nanf(""), 1.0e30f);
    EXPECT_EQ(absurd->m_PixelX, 1000000000);
    EXPECT_EQ(absurd->m_PixelY, -1000000000);
    EXPECT_EQ(absurd->m_PixelX + absurd->m_PixelWidth, 0);
    EXPECT_EQ(absurd->m_PixelY + absurd->m_PixelHeight, 1000000000);
}

TEST_F(WeUIMainTest, FadesTakeTheirFramesAndShowWaitsForClose)
{
    Probe* w = new Probe(Root(), "w", 0, 0, 0.5f, 0.5f);
    w->StartFadeIn();
    int frames = 0;
    while (w->m_FadeDirection != 0 && frames < 100)
    {
        Ticks(1);
        ++frames;
    }
    EXPECT_EQ(frames, 12);
    EXPECT_EQ(w->m_Alpha, 1.0);
    EXPECT_EQ(w->m_InputEnabled, 1);
    // fromCurrent starts from the effective alpha.
    w->m_Colour[3] = 0.4f;
    Ticks(1);
    w->m_FadeFromCurrent = 1;
    w->StartFadeIn();
    EXPECT_NEAR(w->m_Alpha, 0.4, 1e-6);

    // Show while another closes: the shown one waits invisible until the closing one is gone.
    Probe* other = new Probe(Root(), "other", 0, 0, 0.5f, 0.5f);
    g_UIMain.CloseComponent(WeString("w"), false);
    EXPECT_EQ(w->m_Parent, g_UIMain.m_RootFadeOut);
    g_UIMain.ShowComponent(WeString("other"), false);
    g_UIMain.ShowComponent(WeString("other"), false);  // ignored
    EXPECT_EQ(g_UIMain.m_RootFadeIn->m_Children.Count(), 1);
    g_UIMain.CloseComponent(WeString("w"), false);  // fade state -1: nothing
    Ticks(11);
    EXPECT_EQ(w->m_Visible, 1);  // off only at the very end
    EXPECT_EQ(other->m_Visible, 0);
    Ticks(1);
    EXPECT_EQ(g_UIMain.FindComponent(WeString("w")), nullptr);
    Ticks(1);
    EXPECT_EQ(other->m_Visible, 1);
    EXPECT_EQ(other->m_FadeDirection, 1);
    // Closing an invisible component destroys it at once.
    Probe* hidden = new Probe(Root(), "hidden", 0, 0, 0.1f, 0.1f);
    hidden->m_Visible = 0;
    g_UIMain.CloseComponent(WeString("hidden"), false);
    EXPECT_EQ(g_UIMain.FindComponent(WeString("hidden")), nullptr);
    // Showing a closing component brings it back under Root.
    g_UIMain.ShowComponent(WeString("other"), false);
    Ticks(20);
    g_UIMain.CloseComponent(WeString("other"), false);
    g_UIMain.ShowComponent(WeString("other"), false);
    EXPECT_EQ(other->m_Parent, Root());
    EXPECT_TRUE(Root()->HasChild(other));
    EXPECT_TRUE(g_UIMain.IsFadeOutDone());
}

TEST_F(WeUIMainTest, NamesRenameAndConstructionRules)
{
    Probe* a = new Probe(Root(), "a", 0, 0, 0.5f, 0.5f);
    new Probe(a, "child", 0, 0, 0.5f, 0.5f);
    Probe* b = new Probe(Root(), "b", 0, 0, 0.5f, 0.5f);
    // Rename onto a live name is refused; Rename re-keys the top-most registry.
    EXPECT_FALSE(b->Rename(WeString("a")));
    EXPECT_STREQ(b->m_Name.c_str(), "b");
    b->SetTopMost(true);
    EXPECT_TRUE(b->Rename(WeString("c")));
    WeUIComponent* found = nullptr;
    EXPECT_TRUE(g_UIMain.m_TopMostRegistry.Find(WeString("c"), &found));
    EXPECT_FALSE(g_UIMain.m_TopMostRegistry.Find(WeString("b"), &found));
    g_UIMain.RemoveComponent(WeString("c"));
    EXPECT_EQ(g_UIMain.m_TopMostRegistry.Count(), 0);
    // A second component of a live name replaces it with its subtree.
    g_Log.clear();
    Probe* a2 = new Probe(Root(), "a", 0, 0, 0.5f, 0.5f);
    EXPECT_EQ(g_Log, (std::vector<std::string>{"a:Deleted", "child:Deleted"}));
    EXPECT_EQ(g_UIMain.FindComponent(WeString("a")), a2);
    // ...but never its own parent: that one only gives up the name.
    Probe* inner = new Probe(a2, "a", 0, 0, 0.5f, 0.5f);
    EXPECT_EQ(g_UIMain.FindComponent(WeString("a")), inner);
    EXPECT_EQ(inner->m_Parent, a2);
    EXPECT_TRUE(Root()->HasChild(a2));
    // Closing a component with no parent destroys it.
    new Probe(nullptr, "loose", 0, 0, 0.1f, 0.1f);
    g_UIMain.CloseComponent(WeString("loose"), false);
    EXPECT_EQ(g_UIMain.FindComponent(WeString("loose")), nullptr);
}

TEST_F(WeUIMainTest, DrawPassesLayersTopMostAndCursor)
{
    Probe* back = new Probe(Root(), "back", 0, 0, 0.1f, 0.1f);
    back->m_Layer = -1;
    new Probe(Root(), "main", 0, 0, 0.1f, 0.1f);
    Probe* top = new Probe(Root(), "top", 0, 0, 0.1f, 0.1f);
    top->SetTopMost(true);
    Probe* front = new Probe(Root(), "front", 0, 0, 0.1f, 0.1f);
    front->m_Layer = 1;
    g_UIMain.DrawBackLayer();
    g_UIMain.DrawMainLayer();
    g_UIMain.DrawFrontLayer();
    EXPECT_EQ(g_Log, (std::vector<std::string>{"back:Draw", "main:Draw", "top:Draw", "front:Draw"}));
    // A top-most part inside a hidden window is not drawn.
    g_Log.clear();
    Probe* window = new Probe(Root(), "window", 0, 0, 0.5f, 0.5f);
    Probe* list = new Probe(window, "list", 0, 0, 0.5f, 0.5f);
    list->SetTopMost(true);
    window->m_Visible = 0;
    g_UIMain.DrawMainLayer();
    EXPECT_EQ(g_Log, (std::vector<std::string>{"main:Draw", "top:Draw"}));
}

TEST_F(WeUIMainTest, DispatchCases)
{
    // button at (100..200, 100..150) in a 1024 x 768 layout.
    Probe* window = new Probe(Root(), "window", 0, 0, 0.5f, 0.5f);
    new Probe(window, "button", 100 / 1024.0f, 100 / 768.0f, 100 / 1024.0f, 50 / 768.0f);
    auto run = [](std::vector<std::string> expected)
    {
        g_UIMain.ProcessEvent();
        EXPECT_EQ(g_Log, expected);
        g_Log.clear();
    };
    // Five moves and a press: one move at the fifth position, dispatched first, then the press.
    for (int i = 0; i < 5; ++i)
        g_UIMain.PostMouseMove(300 + i, 300, 0);
    g_UIMain.PostMouseDown(0);
    g_UIMain.m_TreeChanged = 0;
    run({"window:Enter", "window:Move", "window:Down"});
    EXPECT_EQ(g_UIMain.m_LastMouseX, 304);
    EXPECT_TRUE(g_UIMain.m_EventQueue.IsEmpty());
    g_UIMain.PostMouseUp(0);
    run({"window:Up"});
    run({"window:Move"});
    // Press and release queued before a move: the move and the press, then the release, then its move.
    g_UIMain.PostMouseDown(0);
    g_UIMain.PostMouseUp(0);
    g_UIMain.PostMouseMove(310, 300, 0);
    run({"window:Move", "window:Blur", "window:Down"});
    run({"window:Up"});
    run({"window:Move"});
    // The right button posts nothing.
    g_UIMain.PostMouseDown(1);
    EXPECT_TRUE(g_UIMain.m_EventQueue.IsEmpty());
    // Press on the button and drag off: moves keep going to it, no Leave until the release.
    g_UIMain.PostMouseMove(150, 120, 0);
    run({"window:Leave", "button:Enter", "button:Move"});
    g_UIMain.PostMouseDown(0);
    run({"window:Blur", "button:Down"});
    g_UIMain.PostMouseMove(400, 300, 0);
    run({"button:Move"});
    g_UIMain.PostMouseUp(0);
    run({"button:Up"});
    run({"button:Leave", "window:Enter", "window:Move"});
    // A point over nothing but Root: Root is hovered, the old one left.
    g_UIMain.PostMouseMove(900, 700, 0);
    run({"window:Leave"});
    EXPECT_EQ(g_UIMain.m_Hovered, Root());
    // Modal: nothing outside the modal subtree is hovered, top-most ones included.
    Probe* dialog = new Probe(Root(), "dialog", 600 / 1024.0f, 0, 0.2f, 0.2f);
    Probe* popup = new Probe(Root(), "popup", 150 / 1024.0f, 110 / 768.0f, 0.05f, 0.05f);
    popup->SetTopMost(true);
    g_UIMain.SetModal(WeString("dialog"));
    g_UIMain.PostMouseMove(160, 120, 0);
    g_UIMain.ProcessEvent();
    EXPECT_EQ(g_UIMain.m_Hovered, Root());
    g_UIMain.ClearModal();
    g_Log.clear();
    // treeChanged re-hit-tests without motion: the new popup is found.
    g_UIMain.m_TreeChanged = 1;
    run({"popup:Enter", "popup:Move"});
    (void)dialog;
}

TEST_F(WeUIMainTest, DeletionDuringDispatchWaitsForTheOutermostHandler)
{
    Probe* window = new Probe(Root(), "window", 0, 0, 0.5f, 0.5f);
    Probe* button = new Probe(window, "button", 0.1f, 0.1f, 0.1f, 0.1f);
    button->m_OnMouseUp = [](int32_t, WeUIComponent*) -> int32_t
    {
        g_UIMain.RemoveComponent(WeString("window"));
        g_Log.push_back(g_UIMain.FindComponent(WeString("window")) == nullptr ? "unregistered" : "registered");
        return 0;
    };
    g_UIMain.PostMouseMove(130, 100, 0);
    g_UIMain.PostMouseDown(0);
    g_UIMain.PostMouseUp(0);
    g_UIMain.ProcessEvents();
    auto at = [](const char* s) { return std::find(g_Log.begin(), g_Log.end(), s) - g_Log.begin(); };
    EXPECT_LT(at("button:Up"), at("unregistered"));
    EXPECT_LT(at("unregistered"), at("window:Deleted"));
    EXPECT_EQ(g_UIMain.m_Hovered, Root());
    EXPECT_EQ(g_UIMain.m_Focus, Root());
    EXPECT_EQ(g_UIMain.m_DispatchDepth, 0);
}

TEST_F(WeUIMainTest, InputOffFaultsAndFocusOnClose)
{
    Probe* window = new Probe(Root(), "window", 0, 0, 0.5f, 0.5f);
    Probe* button = new Probe(window, "button", 0.1f, 0.1f, 0.1f, 0.1f);
    g_UIMain.PostMouseMove(130, 100, 0);
    g_UIMain.ProcessEvents();
    // Press before a fade, release during it: the held state follows, so hover is not frozen afterwards.
    g_UIMain.PostMouseDown(0);
    g_UIMain.ProcessEvents();
    g_UIMain.m_InputEnabled = 0;
    g_UIMain.PostMouseUp(0);
    g_UIMain.PostMouseMove(600, 600, 0);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(g_UIMain.m_HeldButtons, 0);
    EXPECT_EQ(g_UIMain.m_CursorX, 600);  // the cursor follows while input is off
    // Press during the fade, release after it: the button never saw the press, so no click.
    g_UIMain.PostMouseDown(0);
    g_UIMain.ProcessEvents();
    g_UIMain.m_InputEnabled = 1;
    g_UIMain.PostMouseMove(130, 100, 0);
    g_UIMain.PostMouseUp(0);
    g_Log.clear();
    g_UIMain.ProcessEvents();
    EXPECT_EQ(std::count(g_Log.begin(), g_Log.end(), "button:Up"), 0);
    // Focus inside a closed window returns to Root with a blur, and keys stop reaching it.
    g_UIMain.SetFocus(WeString("button"));
    g_Log.clear();
    g_UIMain.CloseComponent(WeString("window"), false);
    EXPECT_EQ(g_UIMain.m_Focus, Root());
    EXPECT_EQ(std::count(g_Log.begin(), g_Log.end(), "button:Blur"), 1);
    g_UIMain.PostKeyDown(28);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(std::count(g_Log.begin(), g_Log.end(), "button:Key"), 0);
    (void)button;
}

TEST_F(WeUIMainTest, SizesOfZeroOrLessInTheSettingsTakeTheirDefaults)
{
    int32_t& srcW = GetConfigInt(WeString("UI.Components.SrcW"), 1024);
    int32_t& srcH = GetConfigInt(WeString("UI.Components.SrcH"), 768);
    float& horz = GetConfigFloat(WeString("UITextureMap.General.NativeHorzRes"), 512.0f);
    float& vert = GetConfigFloat(WeString("UITextureMap.General.NativeVertRes"), 1024.0f);
    GetConfigInt(WeString("UITextureMap.Knob.XPos"), 0) = 64;
    GetConfigInt(WeString("UITextureMap.Knob.YPos"), 0) = 512;
    struct
    {
        int32_t w, h;
        float horz, vert;
    } cases[] = {{0, 0, 0.0f, 0.0f}, {-1024, -768, -512.0f, -1.0f}, {0, 768, 0.0f, 1024.0f}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.w);
        srcW = c.w;
        srcH = c.h;
        horz = c.horz;
        vert = c.vert;
        g_UIMain.Shutdown();
        g_UIMain.Init();
        g_UIMain.OnResize(1280, 720);
        EXPECT_EQ(g_UIMain.m_LayoutPixelWidth, 960);
        EXPECT_EQ(g_UIMain.m_LayoutPixelHeight, 720);
        EXPECT_EQ(g_UIMain.m_OffsetX, 160);
        WeUITextureMapEntry e = g_UIMain.GetTextureMapEntry(WeString("Knob"));
        EXPECT_FLOAT_EQ(e.u0, 64 / 512.0f);
        EXPECT_FLOAT_EQ(e.v0, 0.5f);
    }
    srcW = 1024;
    srcH = 768;
    horz = 512.0f;
    vert = 1024.0f;
}

TEST_F(WeUIMainTest, TextureMapEntriesAndBubbling)
{
    // The shipped texture map has its own resolution; this map is 512 x 1024.
    GetConfigFloat(WeString("UITextureMap.General.NativeHorzRes"), 0.0f) = 512.0f;
    GetConfigFloat(WeString("UITextureMap.General.NativeVertRes"), 0.0f) = 1024.0f;
    GetConfigInt(WeString("UITextureMap.Knob.XPos"), 0) = 64;
    GetConfigInt(WeString("UITextureMap.Knob.YPos"), 0) = 128;
    GetConfigInt(WeString("UITextureMap.Knob.Width"), 0) = 32;
    GetConfigInt(WeString("UITextureMap.Knob.Height"), 0) = 256;
    WeUITextureMapEntry e = g_UIMain.GetTextureMapEntry(WeString("Knob"));
    EXPECT_FLOAT_EQ(e.u0, 64 / 512.0f);
    EXPECT_FLOAT_EQ(e.v0, 128 / 1024.0f);
    EXPECT_FLOAT_EQ(e.u1, 96 / 512.0f);
    EXPECT_FLOAT_EQ(e.v1, 384 / 1024.0f);
    WeUITextureMapEntry none = g_UIMain.GetTextureMapEntry(WeString("Nothing"));
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.u1, 0.0f);
    // A wheel on a child without a callback still reaches its parent; keys bubble only when asked.
    static int wheels = 0, keys = 0;
    Probe* parent = new Probe(Root(), "parent", 0, 0, 0.5f, 0.5f);
    Probe* child = new Probe(parent, "child", 0, 0, 0.1f, 0.1f);
    parent->m_OnMouseWheel = [](int32_t, WeUIComponent*) -> int32_t { return ++wheels; };
    parent->m_OnKeyDown = [](int32_t, WeUIComponent*) -> int32_t { return ++keys; };
    child->OnMouseWheel(120);
    child->OnKeyDown(5);
    EXPECT_EQ(wheels, 1);
    EXPECT_EQ(keys, 0);
    child->m_BubbleKeyDown = 1;
    child->OnKeyDown(5);
    EXPECT_EQ(keys, 1);
    // Right and bottom edges hit; input off hides the subtree.
    EXPECT_TRUE(child->HitTest(child->GetScreenX() + child->m_PixelWidth, child->GetScreenY() + child->m_PixelHeight));
    parent->m_InputEnabled = 0;
    EXPECT_EQ(WeUIComponent::FindDeepestAt(Root(), 5, 5, 0), Root());
}

TEST_F(WeUIMainTest, KeysReachTheFocusAndClicksAndWheelsTheHovered)
{
    // Two buttons side by side in a window; the mouse rests on "left".
    Probe* window = new Probe(Root(), "window", 0, 0, 0.5f, 0.5f);
    new Probe(window, "left", 0, 0, 100 / 1024.0f, 100 / 768.0f);
    new Probe(window, "right", 200 / 1024.0f, 0, 100 / 1024.0f, 100 / 768.0f);
    g_UIMain.PostMouseMove(50, 50, 0);
    g_UIMain.ProcessEvents();
    g_Log.clear();
    struct
    {
        const char* step;
        void (*post)();
        std::vector<std::string> log;
        const char* focus;
    } cases[] = {
        // Focus is Root until something is pressed or set: keys reach no probe.
        {"key before focus", [] { g_UIMain.PostKeyDown(30); }, {}, "Root"},
        {"press focuses", [] { g_UIMain.PostMouseDown(0); }, {"left:Down"}, "left"},
        {"release", [] { g_UIMain.PostMouseUp(0); }, {"left:Up", "left:Move"}, "left"},
        // Scan codes and characters (negative) both reach the focus, down and up.
        {"keys",
         []
         {
             g_UIMain.PostKeyDown(30);
             g_UIMain.PostKeyDown(-'a');
             g_UIMain.PostKeyUp(30);
         },
         {"left:Key", "left:Key", "left:KeyUp"},
         "left"},
        // Double clicks and wheels go to the hovered component, which need not be the focus.
        {"to right", [] { g_UIMain.PostMouseMove(250, 50, 0); }, {"left:Leave", "right:Enter", "right:Move"}, "left"},
        {"double click", [] { g_UIMain.PostDoubleClick(); }, {"right:DoubleClick"}, "left"},
        {"wheel", [] { g_UIMain.PostMouseWheel(-120); }, {"right:Wheel-120", "window:Wheel-120"}, "left"},
        {"key still to focus", [] { g_UIMain.PostKeyDown(28); }, {"left:Key"}, "left"},
        // SetFocus blurs the old focus first.
        {"set focus", [] { g_UIMain.SetFocus(WeString("right")); }, {"left:Blur"}, "right"},
        {"key to new focus", [] { g_UIMain.PostKeyUp(28); }, {"right:KeyUp"}, "right"},
        // Input off: the events drain and reach nobody.
        {"input off",
         []
         {
             g_UIMain.m_InputEnabled = 0;
             g_UIMain.PostKeyDown(1);
             g_UIMain.PostDoubleClick();
             g_UIMain.PostMouseWheel(120);
         },
         {},
         "right"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.step);
        c.post();
        g_UIMain.ProcessEvents();
        EXPECT_EQ(g_Log, c.log);
        EXPECT_STREQ(g_UIMain.m_Focus->m_Name.c_str(), c.focus);
        g_Log.clear();
    }
    EXPECT_TRUE(g_UIMain.m_EventQueue.IsEmpty());
    g_UIMain.m_InputEnabled = 1;
    // A wheel on Root (over nothing) and a double click there reach no probe.
    g_UIMain.PostMouseMove(900, 700, 0);
    g_UIMain.PostDoubleClick();
    g_UIMain.PostMouseWheel(120);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(g_Log, (std::vector<std::string>{"right:Leave"}));
}

TEST_F(WeUIMainTest, LeaveAndEnterHandlersThatDeleteNeverFreeTheComponentBeingHovered)
{
    // Leaving "a" removes the panel that holds "b", the component the mouse moves onto.
    Probe* a = new Probe(Root(), "a", 0, 0, 100 / 1024.0f, 100 / 768.0f);
    Probe* panel = new Probe(Root(), "panel", 200 / 1024.0f, 0, 200 / 1024.0f, 200 / 768.0f);
    new Probe(panel, "b", 0, 0, 100 / 1024.0f, 100 / 768.0f);
    a->m_OnMouseLeave = [](WeUIComponent*) -> int32_t
    {
        g_UIMain.RemoveComponent(WeString("panel"));
        return 0;
    };
    g_UIMain.PostMouseMove(50, 50, 0);
    g_UIMain.ProcessEvents();
    g_Log.clear();
    g_UIMain.PostMouseMove(250, 50, 0);
    g_UIMain.ProcessEvent();
    // "b" is neither entered nor hovered; the panel and "b" are deleted after the handlers.
    EXPECT_EQ(g_Log, (std::vector<std::string>{"a:Leave", "panel:Deleted", "b:Deleted"}));
    EXPECT_EQ(g_UIMain.m_Hovered, Root());
    EXPECT_EQ(g_UIMain.m_DispatchDepth, 0);
    // An Enter handler that removes its own component: hovered falls back to Root, no Move reaches it.
    Probe* c = new Probe(Root(), "c", 500 / 1024.0f, 0, 100 / 1024.0f, 100 / 768.0f);
    c->m_OnMouseEnter = [](WeUIComponent*) -> int32_t
    {
        g_UIMain.RemoveComponent(WeString("c"));
        return 0;
    };
    g_UIMain.ProcessEvents();
    g_Log.clear();
    g_UIMain.PostMouseMove(550, 50, 0);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(g_Log, (std::vector<std::string>{"c:Enter", "c:Deleted"}));
    EXPECT_EQ(g_UIMain.m_Hovered, Root());
}

TEST_F(WeUIMainTest, DestroyingTwiceInOneDispatchDeletesOnceAndRootsStay)
{
    Probe* w = new Probe(Root(), "w", 0, 0, 0.5f, 0.5f);
    g_UIMain.BeginDispatch();
    g_UIMain.DestroyComponent(w);
    g_UIMain.DestroyComponent(w);
    g_UIMain.EndDispatch();
    EXPECT_EQ(std::count(g_Log.begin(), g_Log.end(), "w:Deleted"), 1);
    // The roots are the manager's: by-name removal, close, hide and show leave them alone.
    for (const char* root : {"Root", "Root FadeOut", "Root FadeIn"})
    {
        SCOPED_TRACE(root);
        g_UIMain.RemoveComponent(WeString(root));
        g_UIMain.CloseComponent(WeString(root), false);
        g_UIMain.HideComponent(WeString(root), false);
        g_UIMain.ShowComponent(WeString(root), false);
    }
    ASSERT_NE(g_UIMain.m_Root, nullptr);
    ASSERT_NE(g_UIMain.m_RootFadeOut, nullptr);
    ASSERT_NE(g_UIMain.m_RootFadeIn, nullptr);
    EXPECT_EQ(g_UIMain.m_Root->m_InputEnabled, 1);
    EXPECT_TRUE(g_UIMain.m_RootFadeIn->m_Children.IsEmpty());
    Ticks(30);
    Probe* b = new Probe(Root(), "b", 0, 0, 0.5f, 0.5f);
    g_UIMain.PostMouseMove(10, 10, 0);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(g_UIMain.m_Hovered, b);
}

// Logs the release-anywhere notice; the first one to hear it removes itself and the next sibling.
class Sweeper : public Probe
{
public:
    using Probe::Probe;
    void OnMouseUpAnywhere(WeUIComponent* target) override
    {
        g_Log.push_back(Tag("Anywhere"));
        if (m_Sweep)
        {
            g_UIMain.RemoveComponent(WeString("second"));
            g_UIMain.RemoveComponent(m_Name);
        }
        WeUIComponent::OnMouseUpAnywhere(target);
    }
    bool m_Sweep = false;
};

TEST_F(WeUIMainTest, ReleaseAnywhereHandlersDeleteOnlyAfterTheWholeWalk)
{
    // Walked back to front: "first" (the oldest child) hears it first and removes itself and "second".
    Sweeper* first = new Sweeper(Root(), "first", 0, 0, 0.1f, 0.1f);
    new Sweeper(first, "inner", 0, 0, 0.1f, 0.1f);
    new Sweeper(Root(), "second", 0.2f, 0, 0.1f, 0.1f);
    new Sweeper(Root(), "third", 0.4f, 0, 0.1f, 0.1f);
    first->m_Sweep = true;
    g_UIMain.PostMouseMove(900, 700, 0);
    g_UIMain.PostMouseDown(0);
    g_UIMain.PostMouseUp(0);
    g_UIMain.ProcessEvents();
    // Neither the removed subtree nor the removed sibling hears it; the rest of the walk goes on, and the
    // deletions follow it.
    EXPECT_EQ(g_Log, (std::vector<std::string>{"first:Anywhere", "third:Anywhere", "second:Deleted", "first:Deleted",
                                               "inner:Deleted"}));
    EXPECT_EQ(g_UIMain.m_DispatchDepth, 0);
    EXPECT_EQ(g_UIMain.m_Root->m_Children.Count(), 1);
}

// The cursor with the shipped skin, on a recording device.
class WeUIMainCursorTest : public UIRenderTest
{
};

TEST_F(WeUIMainCursorTest, TheFrontPassAloneDrawsTheArrowWhereTheMouseIs)
{
    WeUITextureMapEntry arrow = g_UIMain.GetTextureMapEntry(WeString("MouseArrow"));
    ASSERT_GT(arrow.width, 0);
    ASSERT_GT(arrow.height, 0);
    EXPECT_EQ(g_UIMain.m_CursorWidth, arrow.width);
    EXPECT_EQ(g_UIMain.m_CursorHeight, arrow.height);
    g_UIMain.PostMouseMove(300, 200, 0);
    g_UIMain.ProcessEvents();
    g_UIMain.DrawBackLayer();
    g_UIMain.DrawMainLayer();
    EXPECT_TRUE(SkinQuads().empty());
    g_UIMain.DrawFrontLayer();
    std::vector<UIQuad> quads = SkinQuads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].x0, 300.0f);
    EXPECT_EQ(quads[0].y0, 200.0f);
    EXPECT_EQ(quads[0].x1, float(300 + arrow.width));
    EXPECT_EQ(quads[0].y1, float(200 + arrow.height));
    EXPECT_EQ(quads[0].colour, 0xFFFFFFFFu);
    // Its texture coordinates are the arrow's part of the skin (half a texel in, as every canvas quad).
    const GfxDrawRecord* draw = g_GfxRecorder.Draws().back();
    WeCanvasVertex v[4];
    std::memcpy(v, draw->vertices.data(), sizeof(v));
    EXPECT_NEAR(v[0].u, arrow.u0, 1.0 / 64);
    EXPECT_NEAR(v[0].v, arrow.v0, 1.0 / 64);
    // Screens switch it off.
    g_GfxRecorder.ClearLog();
    g_UIShowCursor = 0;
    g_UIMain.DrawFrontLayer();
    EXPECT_TRUE(SkinQuads().empty());
}

}  // namespace
