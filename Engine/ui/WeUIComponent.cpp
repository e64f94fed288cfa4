#include "Engine/ui/WeUIComponent.h"

#include <algorithm>
#include <vector>

#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRoot.h"

WeUIComponent::WeUIComponent(WeUIComponent* parent, const WeString& name) : m_Name(name), m_Parent(parent)
{
    WeUIComponent* existing = g_UIMain.FindComponent(name);
    if (existing != nullptr)
    {
        // Names are unique and the newest wins; but a component never destroys its own parent or ancestor:
        // that one only gives up the name.
        if (parent != nullptr && IsDescendantOf(parent, existing))
            g_UIMain.Unregister(existing);
        else
            g_UIMain.DestroyComponent(existing);
    }
    if (parent != nullptr)
    {
        parent->AddChild(this);
        m_FadeSpeed = parent->m_FadeSpeed;
        m_Layer = parent->m_Layer;
    }
    g_UIMain.Register(this);
}

WeUIComponent::~WeUIComponent()
{
    g_UIMain.OnComponentDestroyed(this);
    DestroyChildren();
}

int32_t WeUIComponent::GetScreenX()
{
    return m_Parent != nullptr ? m_Parent->GetScreenX() + m_PixelX : g_UIMain.ToScreenX(m_PixelX);
}

int32_t WeUIComponent::GetScreenY()
{
    return m_Parent != nullptr ? m_Parent->GetScreenY() + m_PixelY : g_UIMain.ToScreenY(m_PixelY);
}

void WeUIComponent::SetRect(float x, float y, float width, float height)
{
    m_X = x;
    m_Y = y;
    m_Width = width;
    m_Height = height;
    UpdateLayout();
}

void WeUIComponent::LayoutTree()
{
    UpdateLayout();
    for (auto* node = m_Children.FirstNode(); node != nullptr; node = m_Children.NextNode(node))
        node->payload->LayoutTree();
}

void WeUIComponent::UpdateLayout()
{
    float x = m_X, y = m_Y, w = m_Width, h = m_Height;
    if (m_FullScreen)
    {
        x = g_UIMain.FullScreenToLayoutX(m_X);
        y = g_UIMain.FullScreenToLayoutY(m_Y);
        w = g_UIMain.FullScreenToLayoutX(m_X + m_Width) - x;
        h = g_UIMain.FullScreenToLayoutY(m_Y + m_Height) - y;
    }
    // The size comes from the two converted edges, so that adjacent rectangles meet.
    m_PixelX = g_UIMain.ToPixelX(x);
    m_PixelY = g_UIMain.ToPixelY(y);
    m_PixelWidth = g_UIMain.ToPixelX(x + w) - m_PixelX;
    m_PixelHeight = g_UIMain.ToPixelY(y + h) - m_PixelY;
    for (auto* node = m_Children.FirstNode(); node != nullptr; node = m_Children.NextNode(node))
        node->payload->UpdateLayout();
}

bool WeUIComponent::HitTest(int32_t x, int32_t y)
{
    int32_t sx = GetScreenX(), sy = GetScreenY();
    return m_InputEnabled && x >= sx && x <= sx + m_PixelWidth && y >= sy && y <= sy + m_PixelHeight;
}

int32_t WeUIComponent::OnMouseDown(int32_t button)
{
    m_PressDirection = 1;
    m_HoverDirection = -1;
    m_HeldButtons = uint16_t(m_HeldButtons | (1u << (button & 15)));
    int32_t result = m_OnMouseDown != nullptr ? m_OnMouseDown(button, this) : 0;
    if (m_BubbleMouseDown && m_Parent != nullptr)
        return m_Parent->OnMouseDown(button);
    return result;
}

int32_t WeUIComponent::OnMouseUp(int32_t button)
{
    m_PressDirection = -1;
    m_HoverDirection = 1;
    m_HeldButtons = uint16_t(m_HeldButtons & ~(1u << (button & 15)));
    int32_t result = m_OnMouseUp != nullptr ? m_OnMouseUp(button, this) : 0;
    if (m_BubbleMouseUp && m_Parent != nullptr)
        return m_Parent->OnMouseUp(button);
    return result;
}

int32_t WeUIComponent::OnSignal(int32_t value)
{
    return m_OnSignal != nullptr ? m_OnSignal(value, this) : 0;
}

int32_t WeUIComponent::OnDoubleClick()
{
    return m_OnDoubleClick != nullptr ? m_OnDoubleClick(this) : 0;
}

void WeUIComponent::OnMouseWheel(int32_t delta)
{
    if (m_OnMouseWheel != nullptr)
        m_OnMouseWheel(delta, this);
    if (m_BubbleMouseWheel && m_Parent != nullptr)
        m_Parent->OnMouseWheel(delta);
}

int32_t WeUIComponent::OnMouseMove(int32_t x, int32_t y, int32_t z)
{
    int32_t result = m_OnMouseMove != nullptr ? m_OnMouseMove(x, y, z, this) : 0;
    if (m_BubbleMouseMove && m_Parent != nullptr)
        return m_Parent->OnMouseMove(x, y, z);
    return result;
}

int32_t WeUIComponent::OnKeyDown(int32_t key)
{
    int32_t result = m_OnKeyDown != nullptr ? m_OnKeyDown(key, this) : 0;
    if (m_BubbleKeyDown && m_Parent != nullptr)
        return m_Parent->OnKeyDown(key);
    return result;
}

int32_t WeUIComponent::OnKeyUp(int32_t key)
{
    int32_t result = m_OnKeyUp != nullptr ? m_OnKeyUp(key, this) : 0;
    if (m_BubbleKeyUp && m_Parent != nullptr)
        return m_Parent->OnKeyUp(key);
    return result;
}

int32_t WeUIComponent::OnMouseEnter()
{
    m_Hovered = 1;
    m_HoverDirection = 1;
    return m_OnMouseEnter != nullptr ? m_OnMouseEnter(this) : 0;
}

int32_t WeUIComponent::OnMouseLeave()
{
    m_Hovered = 0;
    m_HoverDirection = -1;
    return m_OnMouseLeave != nullptr ? m_OnMouseLeave(this) : 0;
}

namespace
{

void Ramp(double& level, int32_t& direction, double step)
{
    if (direction > 0)
    {
        level += step;
        if (level >= 1.0)
        {
            level = 1.0;
            direction = 0;
        }
    }
    else if (direction < 0)
    {
        level -= step;
        if (level <= 0.0)
        {
            level = 0.0;
            direction = 0;
        }
    }
}

}  // namespace

void WeUIComponent::Update()
{
    double step = double(m_FadeSpeed) * g_UIMain.m_FrameTime;
    if (m_FadeDirection > 0)
    {
        m_Alpha += step;
        if (m_Alpha >= 1.0)
        {
            m_Alpha = 1.0;
            m_InputEnabled = 1;
            m_FadeDirection = 0;
        }
    }
    else if (m_FadeDirection < 0)
    {
        m_Alpha -= step;
        if (m_Alpha <= 0.0)
        {
            m_Alpha = 0.0;
            m_Visible = 0;
            m_FadeDirection = 0;
        }
    }
    Ramp(m_PressLevel, m_PressDirection, step);
    Ramp(m_HoverLevel, m_HoverDirection, step);
    double alpha = m_Alpha * double(m_Colour[3]);
    if (m_InheritAlpha && m_Parent != nullptr)
        alpha *= m_Parent->m_InheritedAlpha;
    m_InheritedAlpha = alpha;
    double drawn = alpha * double(m_Opacity);
    for (int i = 0; i < 3; ++i)
        m_EffectiveColour[i] = m_HoverColour[i] = m_PressColour[i] = m_Colour[i];
    m_EffectiveColour[3] = float(drawn);
    m_HoverColour[3] = float(drawn * m_HoverLevel);
    m_PressColour[3] = float(drawn * m_PressLevel);
    for (auto* node = m_Children.FirstNode(); node != nullptr; node = m_Children.NextNode(node))
        node->payload->Update();
}

void WeUIComponent::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    for (auto* node = m_Children.LastNode(); node != nullptr; node = m_Children.PrevNode(node))
        node->payload->Render();
}

void WeUIComponent::SetFullScreen(bool fullScreen)
{
    m_FullScreen = fullScreen ? 1 : 0;
    UpdateLayout();
}

void WeUIComponent::StartFadeIn()
{
    m_Visible = 1;
    m_FadeDirection = 1;
    m_Alpha = m_FadeFromCurrent ? double(m_EffectiveColour[3]) : 0.0;
    m_InputEnabled = 0;
}

void WeUIComponent::StartFadeOut()
{
    m_Visible = 1;
    m_FadeDirection = -1;
    m_Alpha = m_FadeFromCurrent ? double(m_EffectiveColour[3]) : 1.0;
    m_InputEnabled = 0;
}

bool WeUIComponent::HasChild(const WeUIComponent* child) const
{
    for (auto* node = m_Children.FirstNode(); node != nullptr; node = m_Children.NextNode(node))
        if (node->payload == child)
            return true;
    return false;
}

void WeUIComponent::AddChild(WeUIComponent* child)
{
    m_Children.PushFront(child);
    g_UIMain.m_TreeChanged = 1;
}

void WeUIComponent::RemoveChild(WeUIComponent* child)
{
    for (auto* node = m_Children.FirstNode(); node != nullptr; node = m_Children.NextNode(node))
    {
        if (node->payload == child)
        {
            m_Children.Remove(node);
            g_UIMain.m_TreeChanged = 1;
            return;
        }
    }
}

void WeUIComponent::MoveChildToFront(WeUIComponent* child)
{
    if (!HasChild(child))
        return;
    bool changed = g_UIMain.m_TreeChanged;
    RemoveChild(child);
    m_Children.PushFront(child);
    g_UIMain.m_TreeChanged = changed;
}

void WeUIComponent::MoveChildToBack(WeUIComponent* child)
{
    if (!HasChild(child))
        return;
    bool changed = g_UIMain.m_TreeChanged;
    RemoveChild(child);
    m_Children.PushBack(child);
    g_UIMain.m_TreeChanged = changed;
}

void WeUIComponent::BringToFront()
{
    if (m_Parent != nullptr)
        m_Parent->MoveChildToFront(this);
}

void WeUIComponent::SendToBack()
{
    if (m_Parent != nullptr)
        m_Parent->MoveChildToBack(this);
}

void WeUIComponent::DestroyChildren()
{
    while (!m_Children.IsEmpty())
    {
        auto* node = m_Children.LastNode();
        WeUIComponent* child = node->payload;
        m_Children.Remove(node);
        delete child;
    }
}

bool WeUIComponent::Contains(WeUIComponent* component) const
{
    return IsDescendantOf(component, this);
}

bool WeUIComponent::IsDescendantOf(const WeUIComponent* component, const WeUIComponent* ancestor)
{
    for (const WeUIComponent* c = component; c != nullptr; c = c->m_Parent)
        if (c == ancestor)
            return true;
    return false;
}

WeUIComponent* WeUIComponent::FindDeepestAt(WeUIComponent* component, int32_t x, int32_t y, int32_t layer)
{
    if (component == nullptr || !component->m_Visible || !component->m_InputEnabled || !component->HitTest(x, y))
        return nullptr;
    for (auto* node = component->m_Children.FirstNode(); node != nullptr; node = component->m_Children.NextNode(node))
    {
        if (node->payload->m_Layer != layer)
            continue;
        if (WeUIComponent* r = FindDeepestAt(node->payload, x, y, layer))
            return r;
    }
    return component;
}

void WeUIComponent::NotifyMouseUpAnywhere(WeUIComponent* target)
{
    // Handlers may reorder or remove children: walk a copy, skipping what has left this list meanwhile.
    std::vector<WeUIComponent*> children;
    for (auto* node = m_Children.LastNode(); node != nullptr; node = m_Children.PrevNode(node))
        children.push_back(node->payload);
    for (WeUIComponent* child : children)
    {
        if (child->m_Parent != this || !HasChild(child))
            continue;
        child->OnMouseUpAnywhere(target);
        if (child->m_Parent == this && HasChild(child))
            child->NotifyMouseUpAnywhere(target);
    }
}

bool WeUIComponent::Rename(const WeString& name)
{
    WeUIComponent* holder = g_UIMain.FindComponent(name);
    if (holder != nullptr && holder != this)
        return false;
    bool topMost = m_TopMost;
    g_UIMain.Unregister(this);
    m_Name = name;
    g_UIMain.Register(this);
    if (topMost)
        g_UIMain.m_TopMostRegistry.Insert(m_Name, this);
    return true;
}

void WeUIComponent::SetTopMost(bool topMost)
{
    if ((m_TopMost != 0) == topMost)
        return;
    if (topMost)
        g_UIMain.m_TopMostRegistry.Insert(m_Name, this);
    else
    {
        WeUIComponent* found = nullptr;
        if (g_UIMain.m_TopMostRegistry.Find(m_Name, &found) && found == this)
            g_UIMain.m_TopMostRegistry.Remove(m_Name);
    }
    m_TopMost = topMost ? 1 : 0;
}
