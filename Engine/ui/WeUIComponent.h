#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"

class WeUIComponent;

// Callbacks game code installs; the sending component comes last.
using WeUIValueCallback = int32_t (*)(int32_t value, WeUIComponent* sender);
using WeUISenderCallback = int32_t (*)(WeUIComponent* sender);
using WeUIMoveCallback = int32_t (*)(int32_t x, int32_t y, int32_t z, WeUIComponent* sender);

// The base of every widget: a unique name, a place in the tree, a rectangle in fractions of the layout
// area (relative to the parent), a colour with a fade alpha and hover and press ramps, visibility and input
// flags, a draw layer and the event callbacks.
class WeUIComponent
{
public:
    WeUIComponent(WeUIComponent* parent, const WeString& name);
    virtual ~WeUIComponent();
    WeUIComponent(const WeUIComponent&) = delete;
    WeUIComponent& operator=(const WeUIComponent&) = delete;

    virtual void SetFadeSpeed(float speed) { m_FadeSpeed = speed; }
    virtual int32_t GetScreenX();
    virtual int32_t GetScreenY();
    virtual void SetRect(float x, float y, float width, float height);
    virtual void LayoutTree();
    virtual void UpdateLayout();
    virtual bool HitTest(int32_t x, int32_t y);
    virtual int32_t OnMouseDown(int32_t button);
    virtual int32_t OnMouseUp(int32_t button);
    virtual int32_t OnSignal(int32_t value);
    virtual int32_t OnDoubleClick();
    virtual void OnMouseWheel(int32_t delta);
    virtual int32_t OnMouseMove(int32_t x, int32_t y, int32_t z);
    virtual int32_t OnKeyDown(int32_t key);
    virtual int32_t OnKeyUp(int32_t key);
    virtual int32_t OnMouseEnter();
    virtual int32_t OnMouseLeave();
    virtual void OnFocus() {}
    virtual void OnBlur() {}
    virtual void Update();
    virtual void Render();
    virtual void OnMouseUpAnywhere(WeUIComponent* target) { (void)target; }

    void SetFullScreen(bool fullScreen);
    void StartFadeIn();
    void StartFadeOut();
    void AddChild(WeUIComponent* child);
    void RemoveChild(WeUIComponent* child);
    void MoveChildToFront(WeUIComponent* child);
    void MoveChildToBack(WeUIComponent* child);
    void BringToFront();
    void SendToBack();
    void DestroyChildren();
    bool Contains(WeUIComponent* component) const;
    static bool IsDescendantOf(const WeUIComponent* component, const WeUIComponent* ancestor);
    static WeUIComponent* FindDeepestAt(WeUIComponent* component, int32_t x, int32_t y, int32_t layer);
    void NotifyMouseUpAnywhere(WeUIComponent* target);
    // False, and nothing changes, when a live component already holds the new name.
    bool Rename(const WeString& name);
    void SetTopMost(bool topMost);
    bool HasChild(const WeUIComponent* child) const;

    WeString m_Name;
    WeUIComponent* m_Parent = nullptr;
    float m_Colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    uint8_t m_InheritAlpha = 1;
    uint8_t m_Visible = 1;
    uint8_t m_InputEnabled = 1;
    int32_t m_PixelX = 0;
    int32_t m_PixelY = 0;
    int32_t m_PixelWidth = 1;
    int32_t m_PixelHeight = 1;
    float m_X = 0.0f;
    float m_Y = 0.0f;
    float m_Width = 0.0f;
    float m_Height = 0.0f;
    uint8_t m_Hovered = 0;
    uint16_t m_HeldButtons = 0;
    WeList<WeUIComponent*> m_Children;
    WeUIValueCallback m_OnMouseDown = nullptr;
    WeUIValueCallback m_OnMouseUp = nullptr;
    WeUIValueCallback m_OnSignal = nullptr;
    WeUISenderCallback m_OnDoubleClick = nullptr;
    WeUIValueCallback m_OnMouseWheel = nullptr;
    WeUIMoveCallback m_OnMouseMove = nullptr;
    WeUIValueCallback m_OnKeyDown = nullptr;
    WeUIValueCallback m_OnKeyUp = nullptr;
    WeUISenderCallback m_OnMouseEnter = nullptr;
    WeUISenderCallback m_OnMouseLeave = nullptr;
    int32_t m_PressDirection = 0;
    int32_t m_HoverDirection = 0;
    int32_t m_FadeDirection = 0;
    // Kept in double: float steps of 1/60 s would take a frame more than the fade speed promises.
    double m_PressLevel = 0.0;
    double m_HoverLevel = 0.0;
    double m_Alpha = 1.0;
    uint8_t m_FadeFromCurrent = 0;
    float m_FadeSpeed = 5.0f;
    uint8_t m_BubbleMouseMove = 0;
    uint8_t m_BubbleMouseWheel = 1;
    uint8_t m_BubbleMouseUp = 0;
    uint8_t m_BubbleMouseDown = 0;
    uint8_t m_BubbleKeyUp = 0;
    uint8_t m_BubbleKeyDown = 0;
    float m_EffectiveColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float m_HoverColour[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    float m_PressColour[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    uint8_t m_FullScreen = 0;
    int32_t m_Layer = 0;
    uint8_t m_TopMost = 0;
    intptr_t m_UserData = 0;
    // Dims what this component draws (its effective, hover and press colours); children do not inherit it.
    float m_Opacity = 1.0f;
    // The effective alpha before the opacity factor, the value children inherit.
    double m_InheritedAlpha = 1.0;
};
