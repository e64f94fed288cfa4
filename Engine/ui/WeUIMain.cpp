#include "Engine/ui/WeUIMain.h"

#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/ui/WeFontTable.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIRoot.h"

WeUIMain g_UIMain;
uint8_t& g_UIInputEnabled = g_UIMain.m_InputEnabled;
uint8_t& g_UIShowCursor = g_UIMain.m_ShowCursor;
uint8_t& g_UITreeChanged = g_UIMain.m_TreeChanged;
double& g_UIFrameTime = g_UIMain.m_FrameTime;
float (&g_UICaptionColor)[4] = g_UIMain.m_CaptionColor;
WeHashTable<WeUIComponent*>& g_UIComponentRegistry = g_UIMain.m_ComponentRegistry;
WeHashTable<WeUIComponent*>& g_UITopMostRegistry = g_UIMain.m_TopMostRegistry;

namespace
{

void ColourFromCode(int32_t code, float rgba[4])
{
    uint32_t c = uint32_t(code);
    rgba[0] = float((c >> 16) & 0xFF) / 255.0f;
    rgba[1] = float((c >> 8) & 0xFF) / 255.0f;
    rgba[2] = float(c & 0xFF) / 255.0f;
    rgba[3] = float((c >> 24) & 0xFF) / 255.0f;
}

// A registry entry goes only when it names this very component.
void RemoveEntry(WeHashTable<WeUIComponent*>& table, const WeString& name, WeUIComponent* component)
{
    WeUIComponent* found = nullptr;
    if (table.Find(name, &found) && found == component)
        table.Remove(name);
}

}  // namespace

WeUIMain::~WeUIMain() = default;

void WeUIMain::Init()
{
    m_TextureMapPrefix = "UITextureMap.";
    m_SkinImageName = GetConfigString(m_TextureMapPrefix + "General.Imagefile", WeString(""));
    BeginBusy();
    m_SkinTexture = g_TextureManager.GetTexture(m_SkinImageName, false, 0, true);
    if (m_SkinTexture != nullptr && m_SkinTexture != g_TextureManager.m_DefaultBlack &&
        m_SkinTexture != g_TextureManager.m_DefaultWhite)
        m_SkinTexture->SetMinimumQuality(2);
    EndBusy();
    m_HeldButtons = 0;
    m_DispatchedPresses = 0;
    m_ScreenWidth = g_ScreenSize.width;
    m_ScreenHeight = g_ScreenSize.height;
    m_SrcX = GetConfigInt(WeString("UI.Components.SrcX"), 0);
    m_SrcY = GetConfigInt(WeString("UI.Components.SrcY"), 0);
    // A layout area without size would divide by zero.
    m_SrcW = GetConfigInt(WeString("UI.Components.SrcW"), 1024);
    m_SrcH = GetConfigInt(WeString("UI.Components.SrcH"), 768);
    if (m_SrcW <= 0)
        m_SrcW = 1024;
    if (m_SrcH <= 0)
        m_SrcH = 768;
    UpdateScreenMapping();
    m_Root = new WeUIRoot(WeString("Root"));
    m_RootFadeOut = new WeUIRoot(WeString("Root FadeOut"));
    m_RootFadeIn = new WeUIRoot(WeString("Root FadeIn"));
    m_Modal = nullptr;
    m_AcceptedButtons = 1;
    m_TreeChanged = 0;
    m_Focus = m_Root;
    m_Hovered = m_Root;
    m_CursorEntry = GetTextureMapEntry(WeString("MouseArrow"));
    m_ShowCursor = 1;
    m_CurrentLayer = 0;
    m_InTopMostPass = 0;
    g_Engine.GetMousePosition(&m_CursorX, &m_CursorY);
    m_CursorWidth = m_CursorEntry.width;
    m_CursorHeight = m_CursorEntry.height;
    m_TitleWidth = float(GetConfigInt(WeString("UI.Window.TitleWidth"), 100)) / 1024.0f;
    m_TitleHeight = float(GetConfigInt(WeString("UI.Window.TitleHeight"), 100)) / 768.0f;
    m_DefaultFontSize = GetConfigInt(WeString("UI.Texts.DefaultFontSize"), 8);
    m_DefaultColorCode = GetConfigInt(WeString("UI.Texts.DefaultColor"), int32_t(0xFFC0E8FF));
    m_CaptionFontSize = GetConfigInt(WeString("UI.Texts.CaptionFontSize"), 9);
    m_CaptionColorCode = GetConfigInt(WeString("UI.Texts.CaptionColor"), int32_t(0xFF27414B));
    m_DefaultFadeSpeed = GetConfigFloat(WeString("UI.Fade.Default"), 0.2f);
    ColourFromCode(m_CaptionColorCode, m_CaptionColor);
    // The render device draws the three passes through these.
    g_RenderDevice.m_DrawBackLayer = [] { g_UIMain.DrawBackLayer(); };
    g_RenderDevice.m_DrawMainLayer = [] { g_UIMain.DrawMainLayer(); };
    g_RenderDevice.m_DrawFrontLayer = [] { g_UIMain.DrawFrontLayer(); };
    m_Active = 1;
    m_InputEnabled = 1;
}

void WeUIMain::Shutdown()
{
    // Root first: its components leave the fade-in list as they go, so that list never deletes them.
    delete m_Root;
    m_Root = nullptr;
    delete m_RootFadeOut;
    m_RootFadeOut = nullptr;
    delete m_RootFadeIn;
    m_RootFadeIn = nullptr;
    // Widgets created under an unknown parent belong to no tree: they go with the manager.
    std::vector<WeUIComponent*> orphans;
    for (auto* e = m_ComponentRegistry.First(); e != nullptr; e = m_ComponentRegistry.Next())
        if (e->value != nullptr && e->value->m_Parent == nullptr)
            orphans.push_back(e->value);
    for (WeUIComponent* c : orphans)
        delete c;
    for (WeUIComponent* c : m_Deferred)
        delete c;
    m_Deferred.clear();
    m_Focus = m_Hovered = m_Modal = nullptr;
    m_Active = 0;
    g_RenderDevice.m_DrawBackLayer = nullptr;
    g_RenderDevice.m_DrawMainLayer = nullptr;
    g_RenderDevice.m_DrawFrontLayer = nullptr;
}

void WeUIMain::OnResize(int32_t width, int32_t height)
{
    // A minimised window reports no size: the old mapping stays.
    if (width <= 0 || height <= 0)
        return;
    m_ScreenWidth = width;
    m_ScreenHeight = height;
    UpdateScreenMapping();
    for (WeUIRoot* root : {m_Root, m_RootFadeOut, m_RootFadeIn})
        if (root != nullptr)
            root->LayoutTree();
}

void WeUIMain::UpdateScreenMapping()
{
    float scale = GetConfigFloat(WeString("UI.Components.Scale"), 1.0f);
    if (int64_t(m_ScreenHeight) * m_SrcW > int64_t(m_ScreenWidth) * m_SrcH)
    {
        m_LayoutPixelWidth = int32_t(float(m_ScreenWidth) * scale);
        m_LayoutPixelHeight = int32_t(float(m_SrcH) / float(m_SrcW) * float(m_ScreenWidth) * scale);
    }
    else
    {
        m_LayoutPixelWidth = int32_t(float(m_SrcW) / float(m_SrcH) * float(m_ScreenHeight) * scale);
        m_LayoutPixelHeight = int32_t(float(m_ScreenHeight) * scale);
    }
    m_OffsetX = (m_ScreenWidth - m_LayoutPixelWidth) / 2;
    m_OffsetY = (m_ScreenHeight - m_LayoutPixelHeight) / 2;
    if (m_LayoutPixelWidth > 0 && m_LayoutPixelHeight > 0)
    {
        m_FullScreenScaleX = float(m_ScreenWidth) / float(m_LayoutPixelWidth);
        m_FullScreenScaleY = float(m_ScreenHeight) / float(m_LayoutPixelHeight);
        m_FullScreenOffsetX = -(float(m_OffsetX) / float(m_LayoutPixelWidth));
        m_FullScreenOffsetY = -(float(m_OffsetY) / float(m_LayoutPixelHeight));
    }
}

void WeUIMain::Tick()
{
    if (!m_Active)
        return;
    m_FrameTime = double(g_Timer.m_FrameDeltaF);
    m_RootFadeOut->Update();
    m_RootFadeOut->DestroyHiddenChildren();
    if (m_RootFadeOut->m_Children.IsEmpty() && !m_RootFadeIn->m_Children.IsEmpty())
        m_RootFadeIn->StartQueuedFadeIns();
    m_Root->Update();
}

WeUIComponent* WeUIMain::FindComponent(const WeString& name)
{
    WeUIComponent* found = nullptr;
    return m_ComponentRegistry.Find(name, &found) ? found : nullptr;
}

WeUIComponent* WeUIMain::FindNonRoot(const WeString& name)
{
    // The roots live from Init to Shutdown: a screen cannot remove, fade or queue them by name.
    WeUIComponent* c = FindComponent(name);
    return IsRoot(c) ? nullptr : c;
}

void WeUIMain::RemoveComponent(const WeString& name)
{
    // While dispatching, DestroyComponent defers the deletion itself.
    DestroyComponent(FindNonRoot(name));
}

void WeUIMain::Register(WeUIComponent* component)
{
    m_ComponentRegistry.Insert(component->m_Name, component);
}

void WeUIMain::Unregister(WeUIComponent* component)
{
    RemoveEntry(m_ComponentRegistry, component->m_Name, component);
    RemoveEntry(m_TopMostRegistry, component->m_Name, component);
}

void WeUIMain::BlurIfInside(WeUIComponent* component)
{
    if (m_Focus != nullptr && m_Focus != m_Root && WeUIComponent::IsDescendantOf(m_Focus, component))
    {
        m_Focus->OnBlur();
        m_Focus = m_Root;
    }
}

void WeUIMain::Detach(WeUIComponent* component)
{
    if (m_RootFadeIn != nullptr)
        m_RootFadeIn->RemoveChild(component);
    if (m_RootFadeOut != nullptr)
        m_RootFadeOut->RemoveChild(component);
    if (component->m_Parent != nullptr)
        component->m_Parent->RemoveChild(component);
    // The subtree leaves the registries and every role now, so nothing reaches it before it is deleted.
    std::vector<WeUIComponent*> stack = {component};
    while (!stack.empty())
    {
        WeUIComponent* c = stack.back();
        stack.pop_back();
        Unregister(c);
        if (m_RootFadeIn != nullptr && c != component)
            m_RootFadeIn->RemoveChild(c);
        for (auto* node = c->m_Children.FirstNode(); node != nullptr; node = c->m_Children.NextNode(node))
            stack.push_back(node->payload);
    }
    if (m_Hovered != nullptr && WeUIComponent::IsDescendantOf(m_Hovered, component))
        m_Hovered = m_Root;
    if (m_Focus != nullptr && WeUIComponent::IsDescendantOf(m_Focus, component))
        m_Focus = m_Root;
    if (m_Modal != nullptr && WeUIComponent::IsDescendantOf(m_Modal, component))
        m_Modal = nullptr;
}

bool WeUIMain::IsPendingDeletion(const WeUIComponent* component) const
{
    for (const WeUIComponent* c = component; c != nullptr; c = c->m_Parent)
        if (std::find(m_Deferred.begin(), m_Deferred.end(), c) != m_Deferred.end())
            return true;
    return false;
}

bool WeUIMain::IsRoot(const WeUIComponent* component) const
{
    return component != nullptr && (component == m_Root || component == m_RootFadeOut || component == m_RootFadeIn);
}

void WeUIMain::DestroyComponent(WeUIComponent* component)
{
    // A deletion already waiting for its dispatch is not queued twice.
    if (component == nullptr || IsPendingDeletion(component))
        return;
    Detach(component);
    if (m_DispatchDepth > 0)
    {
        m_Deferred.push_back(component);
        return;
    }
    delete component;
}

void WeUIMain::OnComponentDestroyed(WeUIComponent* component)
{
    Unregister(component);
    if (m_Hovered == component)
        m_Hovered = m_Root;
    if (m_Focus == component)
        m_Focus = m_Root;
    if (m_RootFadeIn != nullptr && component != m_RootFadeIn)
        m_RootFadeIn->RemoveChild(component);
    if (m_RootFadeOut != nullptr && component != m_RootFadeOut)
        m_RootFadeOut->RemoveChild(component);
    if (m_Modal == component)
        m_Modal = nullptr;
    if (component == m_Root)
    {
        m_Root = nullptr;
        m_Hovered = m_Focus = nullptr;
    }
}

void WeUIMain::ProcessDeferredRemovals()
{
    if (m_DispatchDepth > 0)
        return;
    while (!m_Deferred.empty())
    {
        WeUIComponent* c = m_Deferred.front();
        m_Deferred.erase(m_Deferred.begin());
        delete c;
    }
}

void WeUIMain::BeginDispatch()
{
    ++m_DispatchDepth;
    m_Dispatching = 1;
}

void WeUIMain::EndDispatch()
{
    if (--m_DispatchDepth > 0)
        return;
    m_DispatchDepth = 0;
    m_Dispatching = 0;
    ProcessDeferredRemovals();
}

void WeUIMain::DestroyFadingOut()
{
    if (m_RootFadeOut == nullptr)
        return;
    while (!m_RootFadeOut->m_Children.IsEmpty())
        DestroyComponent(m_RootFadeOut->m_Children.Front());
}

bool WeUIMain::IsFadeOutDone() const
{
    return m_RootFadeOut == nullptr || m_RootFadeOut->m_Children.IsEmpty();
}

void WeUIMain::ShowComponent(const WeString& name, bool fromCurrent)
{
    WeUIComponent* c = FindNonRoot(name);
    if (c == nullptr || c->m_FadeDirection == 1 || m_RootFadeIn == nullptr)
        return;
    if (m_RootFadeOut->HasChild(c))
    {
        // Being closed: its parent before the close is not kept, so it returns under Root.
        m_RootFadeOut->RemoveChild(c);
        c->m_Parent = m_Root;
        m_Root->AddChild(c);
    }
    c->m_FadeDirection = 1;
    c->m_Visible = 0;
    c->m_InputEnabled = 0;
    c->m_FadeFromCurrent = fromCurrent ? 1 : 0;
    m_RootFadeIn->AddChild(c);
}

void WeUIMain::CloseComponent(const WeString& name, bool fromCurrent)
{
    WeUIComponent* c = FindNonRoot(name);
    if (c == nullptr || c->m_FadeDirection == -1 || m_RootFadeOut == nullptr)
        return;
    m_RootFadeIn->RemoveChild(c);
    // Invisible, or in no tree to fade out of: gone at once.
    if (!c->m_Visible || c->m_Parent == nullptr)
    {
        DestroyComponent(c);
        return;
    }
    BlurIfInside(c);
    c->m_InputEnabled = 0;
    c->m_Parent->RemoveChild(c);
    m_Hovered = m_Root;
    c->m_Parent = m_RootFadeOut;
    m_RootFadeOut->AddChild(c);
    c->m_FadeFromCurrent = fromCurrent ? 1 : 0;
    c->m_FadeDirection = -1;
    c->StartFadeOut();
}

void WeUIMain::HideComponent(const WeString& name, bool fromCurrent)
{
    WeUIComponent* c = FindNonRoot(name);
    if (c == nullptr || c->m_FadeDirection == -1 || m_RootFadeOut == nullptr)
        return;
    BlurIfInside(c);
    m_RootFadeIn->RemoveChild(c);
    m_RootFadeOut->RemoveChild(c);
    c->m_FadeFromCurrent = fromCurrent ? 1 : 0;
    c->m_FadeDirection = -1;
    c->StartFadeOut();
}

void WeUIMain::SetFocus(const WeString& name)
{
    WeUIComponent* c = FindComponent(name);
    if (c == nullptr)
        return;
    if (m_Focus != nullptr)
        m_Focus->OnBlur();
    m_Focus = c;
    c->OnFocus();
}

void WeUIMain::SetModal(const WeString& name)
{
    m_Modal = FindComponent(name);
}

WeUITextureMapEntry WeUIMain::GetTextureMapEntry(const WeString& name)
{
    WeUITextureMapEntry e;
    WeString prefix = m_TextureMapPrefix.IsEmpty() ? WeString("UITextureMap.") : m_TextureMapPrefix;
    float horz = GetConfigFloat(prefix + "General.NativeHorzRes", 512.0f);
    float vert = GetConfigFloat(prefix + "General.NativeVertRes", 1024.0f);
    // A resolution of zero or less would divide by it.
    if (horz <= 0.0f)
        horz = 512.0f;
    if (vert <= 0.0f)
        vert = 1024.0f;
    WeString part = prefix + name;
    e.x = GetConfigInt(part + ".XPos", 0);
    e.y = GetConfigInt(part + ".YPos", 0);
    e.width = GetConfigInt(part + ".Width", 0);
    e.height = GetConfigInt(part + ".Height", 0);
    e.u0 = float(e.x) / horz;
    e.v0 = float(e.y) / vert;
    e.u1 = float(e.x + e.width) / horz;
    e.v1 = float(e.y + e.height) / vert;
    return e;
}

WeFont* WeUIMain::GetFont(int32_t size, const WeString& face)
{
    float scale = GetConfigFloat(WeString("UI.Fonts.UIFontScale"), 1.0f);
    WeString key = face.IsEmpty() ? WeString("*") : face;
    key += ":";
    key.AppendInt(int32_t(std::lround(double(size) * double(scale))));
    return g_FontTable.GetFont(key);
}

bool WeUIMain::ShouldDraw(const WeUIComponent* component) const
{
    return component != nullptr && component->m_Visible && component->m_Layer == m_CurrentLayer &&
           (m_InTopMostPass || !component->m_TopMost);
}

bool WeUIMain::AncestorsVisible(const WeUIComponent* component, bool needInput) const
{
    for (const WeUIComponent* p = component->m_Parent; p != nullptr; p = p->m_Parent)
        if (!p->m_Visible || (needInput && !p->m_InputEnabled))
            return false;
    return true;
}

void WeUIMain::DrawLayer(int32_t layer)
{
    m_CurrentLayer = layer;
    m_Root->Render();
    m_RootFadeOut->Render();
    DrawTopMost();
}

void WeUIMain::DrawBackLayer()
{
    if (m_Active)
    {
        DrawLayer(-1);
        m_CurrentLayer = 0;
    }
    g_Canvas.Flush();
}

void WeUIMain::DrawMainLayer()
{
    if (m_Active)
        DrawLayer(0);
    g_Canvas.Flush();
}

void WeUIMain::DrawFrontLayer()
{
    if (m_Active)
    {
        DrawLayer(1);
        m_CurrentLayer = 0;
        if (m_ShowCursor)
            DrawCursor();
    }
    g_Canvas.Flush();
}

void WeUIMain::DrawTopMost()
{
    m_InTopMostPass = 1;
    for (auto* e = m_TopMostRegistry.First(); e != nullptr; e = m_TopMostRegistry.Next())
    {
        WeUIComponent* c = e->value;
        // Inside a hidden window a top-most part stays hidden too.
        if (c != nullptr && c->m_Visible && c->m_Layer == m_CurrentLayer && AncestorsVisible(c, false))
            c->Render();
    }
    m_InTopMostPass = 0;
}

void WeUIMain::DrawCursor()
{
    if (!m_Active)
        return;
    g_Canvas.Flush();
    g_Canvas.DrawQuadUV(m_CursorX, m_CursorY, m_CursorWidth, m_CursorHeight, m_CursorEntry.u0, m_CursorEntry.v0,
                        m_CursorEntry.u1, m_CursorEntry.v1, 0xFFFFFFFF, m_SkinTexture, 1);
}

// ---- Events ----

void WeUIMain::PostKeyDown(int32_t key)
{
    WeUIEvent& e = m_EventQueue.PushBack();
    e.type = WeUIEventKeyDown;
    e.key = key;
}

void WeUIMain::PostKeyUp(int32_t key)
{
    WeUIEvent& e = m_EventQueue.PushBack();
    e.type = WeUIEventKeyUp;
    e.key = key;
}

void WeUIMain::PostMouseMove(int32_t x, int32_t y, int32_t z)
{
    WeUIEvent& e = m_EventQueue.PushBack();
    e.type = WeUIEventMouseMove;
    e.x = x;
    e.y = y;
    e.z = z;
}

void WeUIMain::PostMouseDown(int32_t button)
{
    if (button < 0 || button > 15 || !(m_AcceptedButtons & (1u << button)))
        return;
    WeUIEvent& e = m_EventQueue.PushBack();
    e.type = WeUIEventMouseDown;
    e.button = button;
}

void WeUIMain::PostMouseUp(int32_t button)
{
    if (button < 0 || button > 15 || !(m_AcceptedButtons & (1u << button)))
        return;
    WeUIEvent& e = m_EventQueue.PushBack();
    e.type = WeUIEventMouseUp;
    e.button = button;
}

void WeUIMain::PostDoubleClick()
{
    m_EventQueue.PushBack().type = WeUIEventDoubleClick;
}

void WeUIMain::PostMouseWheel(int32_t delta)
{
    WeUIEvent& e = m_EventQueue.PushBack();
    e.type = WeUIEventMouseWheel;
    e.y = delta;
}

void WeUIMain::ProcessEvents()
{
    while (!m_EventQueue.IsEmpty())
        ProcessEvent();
}

void WeUIMain::ProcessEvent()
{
    bool pending = false;
    int32_t px = 0, py = 0, pz = 0;
    if (m_TreeChanged)
    {
        pending = true;
        px = m_LastMouseX;
        py = m_LastMouseY;
        m_TreeChanged = 0;
    }
    for (auto* node = m_EventQueue.FirstNode(); node != nullptr;)
    {
        auto* next = m_EventQueue.NextNode(node);
        if (node->payload.type == WeUIEventMouseMove)
        {
            pending = true;
            px = node->payload.x;
            py = node->payload.y;
            pz = node->payload.z;
            m_EventQueue.Remove(node);
        }
        node = next;
    }
    if (pending)
        DispatchMouseMove(px, py, pz);
    WeUIEvent e;
    if (!m_EventQueue.PopFront(e))
        return;
    switch (e.type)
    {
    case WeUIEventKeyDown: DispatchKeyDown(e.key); break;
    case WeUIEventKeyUp: DispatchKeyUp(e.key); break;
    case WeUIEventMouseDown:
        // The held state follows every button event, dispatched or not.
        m_HeldButtons = uint16_t(m_HeldButtons | (1u << (e.button & 15)));
        if (m_InputEnabled)
            m_DispatchedPresses = uint16_t(m_DispatchedPresses | (1u << (e.button & 15)));
        DispatchMouseDown(e.button);
        break;
    case WeUIEventMouseUp:
    {
        uint16_t bit = uint16_t(1u << (e.button & 15));
        m_HeldButtons = uint16_t(m_HeldButtons & ~bit);
        bool pressed = (m_DispatchedPresses & bit) != 0;
        m_DispatchedPresses = uint16_t(m_DispatchedPresses & ~bit);
        // A release whose press no component saw clicks nothing.
        if (pressed)
            DispatchMouseUp(e.button);
        break;
    }
    case WeUIEventDoubleClick: DispatchDoubleClick(); break;
    case WeUIEventMouseWheel: DispatchMouseWheel(e.y); break;
    default: break;
    }
}

void WeUIMain::DispatchMouseMove(int32_t x, int32_t y, int32_t z)
{
    // The cursor follows the mouse also while input is off (during a fade).
    m_LastMouseX = x;
    m_LastMouseY = y;
    m_CursorX = x;
    m_CursorY = y;
    if (!m_InputEnabled || m_Root == nullptr)
        return;
    if (m_HeldButtons == 0)
    {
        WeUIComponent* start = m_Modal != nullptr ? m_Modal : m_Root;
        WeUIComponent* result = nullptr;
        for (int32_t layer = 1; layer >= -1 && result == nullptr; --layer)
        {
            for (auto* e = m_TopMostRegistry.First(); e != nullptr && result == nullptr; e = m_TopMostRegistry.Next())
            {
                WeUIComponent* t = e->value;
                if (t == nullptr || t->m_Layer != layer || !WeUIComponent::IsDescendantOf(t, start) ||
                    !AncestorsVisible(t, true))
                    continue;
                result = WeUIComponent::FindDeepestAt(t, x, y, layer);
            }
            if (result != nullptr)
                break;
            WeUIComponent* r = WeUIComponent::FindDeepestAt(start, x, y, layer);
            if (r != nullptr && r != start)
                result = r;
        }
        // Leave and Enter handlers run in the bracket too: what they delete waits, so the component about to be
        // hovered is never freed under this walk; one they took out of the tree is not hovered at all.
        BeginDispatch();
        if (result != m_Hovered)
        {
            if (m_Hovered != nullptr)
                m_Hovered->OnMouseLeave();
            if (result != nullptr && IsPendingDeletion(result))
                result = nullptr;
            if (result != nullptr)
                result->OnMouseEnter();
            if (result != nullptr && IsPendingDeletion(result))
                result = nullptr;
            m_Hovered = result;
            if (m_Hovered == nullptr)
                m_Hovered = m_Root;
        }
        if (m_Hovered != nullptr)
            m_Hovered->OnMouseMove(x, y, z);
        EndDispatch();
        return;
    }
    if (m_Hovered == nullptr)
        return;
    BeginDispatch();
    m_Hovered->OnMouseMove(x, y, z);
    EndDispatch();
}

void WeUIMain::DispatchMouseDown(int32_t button)
{
    if (!m_InputEnabled)
        return;
    if (m_Focus != nullptr)
        m_Focus->OnBlur();
    m_HeldButtons = uint16_t(m_HeldButtons | (1u << (button & 15)));
    if (m_Hovered != nullptr)
    {
        BeginDispatch();
        m_Hovered->OnMouseDown(button);
        EndDispatch();
    }
    m_Focus = m_Hovered;
    if (m_Focus != nullptr)
        m_Focus->OnFocus();
}

void WeUIMain::DispatchMouseUp(int32_t button)
{
    if (!m_InputEnabled)
        return;
    m_HeldButtons = uint16_t(m_HeldButtons & ~(1u << (button & 15)));
    BeginDispatch();
    if (m_Hovered != nullptr)
        m_Hovered->OnMouseUp(button);
    PostMouseMove(m_LastMouseX, m_LastMouseY, 0);
    // Inside the bracket too: what these handlers remove is deleted once they have all run.
    if (m_Root != nullptr)
        m_Root->NotifyMouseUpAnywhere(m_Hovered);
    EndDispatch();
}

void WeUIMain::DispatchKeyDown(int32_t key)
{
    if (!m_InputEnabled || m_Focus == nullptr)
        return;
    BeginDispatch();
    m_Focus->OnKeyDown(key);
    EndDispatch();
}

void WeUIMain::DispatchKeyUp(int32_t key)
{
    if (!m_InputEnabled || m_Focus == nullptr)
        return;
    BeginDispatch();
    m_Focus->OnKeyUp(key);
    EndDispatch();
}

void WeUIMain::DispatchDoubleClick()
{
    if (!m_InputEnabled || m_Hovered == nullptr)
        return;
    BeginDispatch();
    m_Hovered->OnDoubleClick();
    EndDispatch();
}

void WeUIMain::DispatchMouseWheel(int32_t delta)
{
    if (!m_InputEnabled || m_Hovered == nullptr)
        return;
    BeginDispatch();
    m_Hovered->OnMouseWheel(delta);
    EndDispatch();
}
