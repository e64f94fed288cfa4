#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Engine/ui/WeUIEvent.h"
#include "Engine/ui/WeUITextureMapEntry.h"

class WeFont;
class WeTexture;
class WeUIButton;
class WeUICheckBox;
class WeUIColorFrame;
class WeUIComboBox;
class WeUIComponent;
class WeUIEditBox;
class WeUIHScrollBar;
class WeUILabel;
class WeUIMovie;
class WeUIMultiList;
class WeUIPicture;
class WeUIProgressBar;
class WeUIRoot;
class WeUIScrollFrame;
class WeUIWindow;

// The kinds of configured widget, each with its fade key "UI.Fade." + name (WeUIMain::GetFadeSpeed).
enum class WeUIKind
{
    Window,
    Button,
    Label,
    ComboBox,
    CheckBox,
    HScrollBar,
    VScrollBar,
    ColorFrame,
};

// The UI manager: the skin, the mapping from layout fractions to screen pixels, the registries of live and
// top-most components, the three roots, focus, hover and modal, the input queue and its dispatch, the
// per-frame fades and the three draw passes the render device calls.
class WeUIMain
{
public:
    WeUIMain() = default;
    virtual ~WeUIMain();
    WeUIMain(const WeUIMain&) = delete;
    WeUIMain& operator=(const WeUIMain&) = delete;

    void Init();
    void Shutdown();
    void OnResize(int32_t width, int32_t height);
    void Tick();
    void UpdateScreenMapping();

    WeUIComponent* FindComponent(const WeString& name);
    void RemoveComponent(const WeString& name);
    // Unlinks and unregisters the component; deletes it now, or when the outermost dispatch returns.
    void DestroyComponent(WeUIComponent* component);
    void ProcessDeferredRemovals();
    void DestroyFadingOut();
    bool IsFadeOutDone() const;
    void ShowComponent(const WeString& name, bool fromCurrent);
    void CloseComponent(const WeString& name, bool fromCurrent);
    void HideComponent(const WeString& name, bool fromCurrent);
    void SetFocus(const WeString& name);
    void SetModal(const WeString& name);
    void ClearModal() { m_Modal = nullptr; }

    // Fractions come from configuration: a pixel that is not a number is 0, and pixels stop at a billion
    // either way, so that neither the conversion nor a sum of a few of them leaves int's range.
    static int32_t ToPixel(float px) { return px == px ? int32_t(std::clamp(px, -1.0e9f, 1.0e9f)) : 0; }
    int32_t ToPixelX(float f) const { return ToPixel(float(m_LayoutPixelWidth) * f); }
    int32_t ToPixelY(float f) const { return ToPixel(float(m_LayoutPixelHeight) * f); }
    float FromPixelX(int32_t px) const { return m_LayoutPixelWidth ? float(px) / float(m_LayoutPixelWidth) : 0.0f; }
    float FromPixelY(int32_t px) const { return m_LayoutPixelHeight ? float(px) / float(m_LayoutPixelHeight) : 0.0f; }
    int32_t ToScreenX(int32_t px) const { return px + m_OffsetX; }
    int32_t ToScreenY(int32_t px) const { return px + m_OffsetY; }
    float FullScreenToLayoutX(float f) const { return f * m_FullScreenScaleX + m_FullScreenOffsetX; }
    float FullScreenToLayoutY(float f) const { return f * m_FullScreenScaleY + m_FullScreenOffsetY; }
    float FullScreenToLayoutW(float f) const { return f * m_FullScreenScaleX; }
    float FullScreenToLayoutH(float f) const { return f * m_FullScreenScaleY; }

    WeUITextureMapEntry GetTextureMapEntry(const WeString& name);
    WeFont* GetFont(int32_t size, const WeString& face);

    // ---- Widgets from configuration (WeUIMainCreate.cpp) ----
    // The layout line "UI.Components." + name: comma-separated tokens in reference pixels.
    static WeString GetLayoutLine(const WeString& name);
    // Token `index` of a layout line as an integer ('#' for hexadecimal); an empty or missing token is 0.
    static int32_t GetLayoutToken(const WeString& line, int32_t index);
    // Tokens first .. first + 3 as x, y, width, height in layout fractions.
    static void GetLayoutRect(const WeString& line, int32_t first, float rect[4]);
    // How far row `row` of a row variant lies below the base name's y: row x "$DeltaY" (10) reference pixels.
    static float GetRowOffset(const WeString& name, int32_t row);
    // The name of row `row` of a row variant: name + " " + row.
    static WeString GetRowName(const WeString& name, int32_t row);
    // A creator's parent: "Root" for an empty name; null (the widget stays out of every tree) when unknown.
    WeUIComponent* FindParent(const WeString& parentName);
    // "UI.Fade." + the kind's name, defaulting to "UI.Fade.Default".
    static float GetFadeSpeed(WeUIKind kind);
    // "$FullScreen" of the configured name onto the component.
    static void ApplyFullScreen(WeUIComponent* component, const WeString& name);

    WeUIWindow* CreateWindow(const WeString& name, const WeString& caption, const WeString& parentName);
    WeUIWindow* CreatePanelWindow(const WeString& name, const WeString& caption, const WeString& parentName);
    WeUIWindow* CreateWindowFromRect(const WeString& name, const WeString& caption, const WeString& parentName,
                                     int32_t x, int32_t y, int32_t width, int32_t height);
    WeUIButton* CreateButton(const WeString& name, const WeString& caption, const WeString& parentName,
                             int32_t (*callback)(int32_t button, WeUIComponent* sender));
    WeUIButton* CreateSkinButton(const WeString& name, const WeString& caption, const WeString& parentName,
                                 const WeString& skinName);
    // Format flags 0 or more replace the label's own (wrapped, centred vertically); -1 keeps them.
    WeUILabel* CreateLabel(const WeString& name, const WeString& text, const WeString& parentName, int32_t format);
    WeUICheckBox* CreateCheckBox(const WeString& name, const WeString& parentName,
                                 int32_t (*callback)(int32_t button, WeUIComponent* sender));
    WeUIPicture* CreatePicture(const WeString& name, const WeString& parentName);
    WeUIProgressBar* CreateProgressBar(const WeString& name, const WeString& parentName);
    // ---- The composite widgets from configuration (WeUIMainCreateComposite.cpp) ----
    WeUIHScrollBar* CreateHScrollBar(const WeString& name, const WeString& parentName,
                                     int32_t (*callback)(WeUIComponent* sender));
    WeUIScrollFrame* CreateScrollFrame(const WeString& name, const WeString& parentName);
    WeUIComboBox* CreateComboBox(const WeString& name, const WeString& parentName,
                                 int32_t (*callback)(WeUIComponent* sender));
    // Named name + " " + row, row x "$DeltaY" below the base name's place; every key is the base name's.
    WeUIComboBox* CreateComboBoxRow(const WeString& name, const WeString& parentName, int32_t row,
                                    int32_t (*callback)(WeUIComponent* sender));
    WeUIMultiList* CreateMultiList(const WeString& name, const WeString& parentName);
    WeUIEditBox* CreateEditBox(const WeString& name, const WeString& parentName);
    WeUIColorFrame* CreateColorFrame(const WeString& name, const WeString& parentName);
    WeUIColorFrame* CreateColorFrameRow(const WeString& name, const WeString& parentName, int32_t row);
    WeUIMovie* CreateMovie(const WeString& name, const WeString& parentName);

    bool ShouldDraw(const WeUIComponent* component) const;
    void DrawBackLayer();
    void DrawMainLayer();
    void DrawFrontLayer();
    void DrawTopMost();
    void DrawCursor();

    void PostKeyDown(int32_t key);
    void PostKeyUp(int32_t key);
    void PostMouseMove(int32_t x, int32_t y, int32_t z);
    void PostMouseDown(int32_t button);
    void PostMouseUp(int32_t button);
    void PostDoubleClick();
    void PostMouseWheel(int32_t delta);
    void ProcessEvents();
    void ProcessEvent();
    void DispatchKeyDown(int32_t key);
    void DispatchKeyUp(int32_t key);
    void DispatchMouseMove(int32_t x, int32_t y, int32_t z);
    void DispatchMouseDown(int32_t button);
    void DispatchMouseUp(int32_t button);
    void DispatchDoubleClick();
    void DispatchMouseWheel(int32_t delta);

    // The dispatch bracket; nested brackets count, deferred deletions run when the outermost one closes.
    void BeginDispatch();
    void EndDispatch();
    // The component, or one of its ancestors, was destroyed inside the running dispatch and awaits deletion.
    bool IsPendingDeletion(const WeUIComponent* component) const;
    // One of the three roots, which only Shutdown deletes.
    bool IsRoot(const WeUIComponent* component) const;

    // What components call on the manager.
    void Register(WeUIComponent* component);
    void Unregister(WeUIComponent* component);
    void OnComponentDestroyed(WeUIComponent* component);

    uint8_t m_Active = 0;
    uint8_t m_InputEnabled = 1;
    WeString m_TextureMapPrefix;
    WeHashTable<WeUIComponent*> m_ComponentRegistry;
    int32_t m_ScreenWidth = 0;
    int32_t m_ScreenHeight = 0;
    int32_t m_SrcX = 0;
    int32_t m_SrcY = 0;
    int32_t m_SrcW = 1024;
    int32_t m_SrcH = 768;
    int32_t m_LayoutPixelWidth = 0;
    int32_t m_LayoutPixelHeight = 0;
    int32_t m_OffsetX = 0;
    int32_t m_OffsetY = 0;
    float m_FullScreenScaleX = 1.0f;
    float m_FullScreenScaleY = 1.0f;
    float m_FullScreenOffsetX = 0.0f;
    float m_FullScreenOffsetY = 0.0f;
    WeString m_SkinImageName;
    WeTexture* m_SkinTexture = nullptr;
    WeUIRoot* m_Root = nullptr;
    WeUIRoot* m_RootFadeOut = nullptr;
    WeUIRoot* m_RootFadeIn = nullptr;
    WeHashTable<WeUIComponent*> m_TopMostRegistry;
    WeUIComponent* m_Modal = nullptr;
    WeUIComponent* m_Focus = nullptr;
    WeUIComponent* m_Hovered = nullptr;
    uint8_t m_Dispatching = 0;
    uint16_t m_HeldButtons = 0;
    float m_TitleWidth = 0.0f;
    float m_TitleHeight = 0.0f;
    int32_t m_CaptionFontSize = 9;
    int32_t m_CaptionColorCode = int32_t(0xFF27414B);
    int32_t m_DefaultFontSize = 8;
    int32_t m_DefaultColorCode = int32_t(0xFFC0E8FF);
    float m_DefaultFadeSpeed = 0.2f;
    float m_CaptionColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int32_t m_LastMouseX = 0;
    int32_t m_LastMouseY = 0;
    WeUITextureMapEntry m_CursorEntry;
    int32_t m_CursorX = 0;
    int32_t m_CursorY = 0;
    int32_t m_CursorWidth = 0;
    int32_t m_CursorHeight = 0;
    uint8_t m_ShowCursor = 1;
    double m_FrameTime = 0.0;
    uint8_t m_TreeChanged = 0;
    WeList<WeUIEvent> m_EventQueue;
    int32_t m_CurrentLayer = 0;
    uint8_t m_InTopMostPass = 0;
    uint16_t m_AcceptedButtons = 1;

    // Depth of nested dispatch brackets, and the components deleted once the outermost closes.
    int32_t m_DispatchDepth = 0;
    std::vector<WeUIComponent*> m_Deferred;
    // Buttons whose press reached a component: only their releases are dispatched.
    uint16_t m_DispatchedPresses = 0;

private:
    WeUIComponent* FindNonRoot(const WeString& name);
    // Unlinks a component from its parent and the two fade roots, unregisters its subtree and moves any
    // role (hovered, focus, modal) inside it back to Root.
    void Detach(WeUIComponent* component);
    void BlurIfInside(WeUIComponent* component);
    bool AncestorsVisible(const WeUIComponent* component, bool needInput) const;
    void DrawLayer(int32_t layer);
};

extern WeUIMain g_UIMain;

// The manager's fields under the names the game and its screens use for them.
extern uint8_t& g_UIInputEnabled;
extern uint8_t& g_UIShowCursor;
extern uint8_t& g_UITreeChanged;
extern double& g_UIFrameTime;
extern float (&g_UICaptionColor)[4];
extern WeHashTable<WeUIComponent*>& g_UIComponentRegistry;
extern WeHashTable<WeUIComponent*>& g_UITopMostRegistry;
