// The UI manager's creators: widgets built from their layout lines and keys in the configuration store.
#include "Engine/foundation/WeConfig.h"
#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUICheckBox.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIPicture.h"
#include "Engine/ui/WeUIProgressBar.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"

namespace
{

void ColourOfCode(int32_t code, float rgba[4])
{
    uint32_t c = uint32_t(code);
    rgba[0] = float((c >> 16) & 0xFF) / 255.0f;
    rgba[1] = float((c >> 8) & 0xFF) / 255.0f;
    rgba[2] = float(c & 0xFF) / 255.0f;
    rgba[3] = float((c >> 24) & 0xFF) / 255.0f;
}

WeString Key(const WeString& name, const char* suffix)
{
    return WeString("UI.Components.") + name + suffix;
}

}  // namespace

WeString WeUIMain::GetLayoutLine(const WeString& name)
{
    return GetConfigString(Key(name, ""), WeString(""));
}

int32_t WeUIMain::GetLayoutToken(const WeString& line, int32_t index)
{
    return line.GetToken(',', index).ToInt(10);
}

void WeUIMain::GetLayoutRect(const WeString& line, int32_t first, float rect[4])
{
    rect[0] = float(GetLayoutToken(line, first)) / 1024.0f;
    rect[1] = float(GetLayoutToken(line, first + 1)) / 768.0f;
    rect[2] = float(GetLayoutToken(line, first + 2)) / 1024.0f;
    rect[3] = float(GetLayoutToken(line, first + 3)) / 768.0f;
}

float WeUIMain::GetRowOffset(const WeString& name, int32_t row)
{
    return float(row * GetConfigInt(Key(name, "$DeltaY"), 10)) / 768.0f;
}

WeString WeUIMain::GetRowName(const WeString& name, int32_t row)
{
    WeString rowName = name + " ";
    rowName.AppendInt(row);
    return rowName;
}

WeUIComponent* WeUIMain::FindParent(const WeString& parentName)
{
    return FindComponent(parentName.IsEmpty() ? WeString("Root") : parentName);
}

float WeUIMain::GetFadeSpeed(WeUIKind kind)
{
    static const char* const Names[] = {"Window",   "Button",     "Label",      "ComboBox",
                                        "CheckBox", "HScrollBar", "VScrollBar", "ColorFrame"};
    float fallback = GetConfigFloat(WeString("UI.Fade.Default"), 0.2f);
    return GetConfigFloat(WeString("UI.Fade.") + Names[int(kind)], fallback);
}

void WeUIMain::ApplyFullScreen(WeUIComponent* component, const WeString& name)
{
    component->SetFullScreen(GetConfigBool(Key(name, "$FullScreen"), false));
}

namespace
{

// The steps both configured window kinds share after construction.
WeUIWindow* FinishWindow(WeUIWindow* w, const WeString& name, const WeString& line)
{
    WeUIMain::ApplyFullScreen(w, name);
    w->m_TitleAtRight = WeUIMain::GetLayoutToken(line, 5) != 0 ? 1 : 0;
    w->LayoutTitle();
    w->m_Caption->m_Size = g_UIMain.m_CaptionFontSize;
    w->m_Caption->UpdateFont();
    ColourOfCode(g_UIMain.m_CaptionColorCode, w->m_Caption->m_Colour);
    w->SetFadeSpeed(WeUIMain::GetFadeSpeed(WeUIKind::Window));
    return w;
}

}  // namespace

WeUIWindow* WeUIMain::CreateWindow(const WeString& name, const WeString& caption, const WeString& parentName)
{
    WeString line = GetLayoutLine(name);
    float r[4];
    GetLayoutRect(line, 1, r);
    auto* w = new WeUIWindow(FindParent(parentName), name, caption, r[0], r[1], r[2], r[3], m_TitleWidth, m_TitleHeight,
                             false, WeString(""));
    return FinishWindow(w, name, line);
}

WeUIWindow* WeUIMain::CreatePanelWindow(const WeString& name, const WeString& caption, const WeString& parentName)
{
    WeString line = GetLayoutLine(name);
    float r[4];
    GetLayoutRect(line, 1, r);
    auto* w = new WeUIWindow(FindParent(parentName), name, caption, r[0], r[1], r[2], r[3], m_TitleWidth, m_TitleHeight,
                             true, line.GetToken(',', 0));
    return FinishWindow(w, name, line);
}

WeUIWindow* WeUIMain::CreateWindowFromRect(const WeString& name, const WeString& caption, const WeString& parentName,
                                           int32_t x, int32_t y, int32_t width, int32_t height)
{
    auto* w = new WeUIWindow(FindParent(parentName), name, caption, float(x) / 1024.0f, float(y) / 768.0f,
                             float(width) / 1024.0f, float(height) / 768.0f, m_TitleWidth, m_TitleHeight, false,
                             WeString(""));
    w->SetFadeSpeed(GetFadeSpeed(WeUIKind::Window));
    return w;
}

WeUIButton* WeUIMain::CreateButton(const WeString& name, const WeString& caption, const WeString& parentName,
                                   int32_t (*callback)(int32_t button, WeUIComponent* sender))
{
    WeString line = GetLayoutLine(name);
    WeString style = line.GetToken(',', 0);
    WeString styleKey = WeString("UI.Button_") + style;
    float x = float(GetLayoutToken(line, 1)) / 1024.0f;
    float y = float(GetLayoutToken(line, 2)) / 768.0f;
    float w = float(GetConfigInt(styleKey + ".Width", 100)) / 1024.0f;
    float h = float(GetConfigInt(styleKey + ".Height", 100)) / 768.0f;
    auto* b = new WeUIButton(FindParent(parentName), name, caption, WeString("Button_") + style, x, y, w, h);
    ApplyFullScreen(b, name);
    b->m_Caption->m_Size = GetConfigInt(styleKey + ".TextFont", m_DefaultFontSize);
    b->m_Caption->UpdateFont();
    ColourOfCode(GetConfigInt(styleKey + ".TextColorNormal", int32_t(0xFFFFFFFF)), b->m_Caption->m_Colour);
    b->m_OnMouseUp = callback;
    b->SetFadeSpeed(GetFadeSpeed(WeUIKind::Button));
    return b;
}

WeUIButton* WeUIMain::CreateSkinButton(const WeString& name, const WeString& caption, const WeString& parentName,
                                       const WeString& skinName)
{
    auto* b =
        new WeUIButton(FindParent(parentName), name, caption, skinName, 0.0f, 0.0f, 10.0f / 1024.0f, 10.0f / 768.0f);
    ApplyFullScreen(b, name);
    b->SetFadeSpeed(GetFadeSpeed(WeUIKind::Button));
    return b;
}

WeUILabel* WeUIMain::CreateLabel(const WeString& name, const WeString& text, const WeString& parentName, int32_t format)
{
    WeString line = GetLayoutLine(name);
    float r[4];
    GetLayoutRect(line, 1, r);
    WeString shadow = GetConfigString(Key(name, "$Shadow"), WeString(""));
    float shadowColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float dx = 0.0f, dy = 0.0f;
    if (!shadow.IsEmpty())
    {
        dx = float(GetLayoutToken(shadow, 0)) / 1024.0f;
        dy = float(GetLayoutToken(shadow, 1)) / 768.0f;
        ColourOfCode(GetLayoutToken(shadow, 2), shadowColour);
    }
    auto* label = new WeUILabel(FindParent(parentName), name, text, r[0], r[1], r[2], r[3], !shadow.IsEmpty(), dx, dy,
                                shadowColour);
    ApplyFullScreen(label, name);
    label->m_Text->m_Face = GetConfigString(Key(name, "$FontName"), WeString("*"));
    label->m_Text->UpdateFont();
    label->m_Text->m_Size = GetConfigInt(Key(name, "$Font"), m_DefaultFontSize);
    label->m_Text->UpdateFont();
    ColourOfCode(GetConfigInt(Key(name, "$Color"), m_DefaultColorCode), label->m_Text->m_Colour);
    if (format >= 0)
        label->m_Text->m_Format = format;
    label->SetFadeSpeed(GetFadeSpeed(WeUIKind::Label));
    return label;
}

WeUICheckBox* WeUIMain::CreateCheckBox(const WeString& name, const WeString& parentName,
                                       int32_t (*callback)(int32_t button, WeUIComponent* sender))
{
    float r[4];
    GetLayoutRect(GetLayoutLine(name), 1, r);
    auto* box = new WeUICheckBox(FindParent(parentName), name, WeString("Checkbox"), r[0], r[1], r[2], r[3]);
    ApplyFullScreen(box, name);
    box->m_OnMouseUp = callback;
    box->SetFadeSpeed(GetFadeSpeed(WeUIKind::CheckBox));
    return box;
}

WeUIPicture* WeUIMain::CreatePicture(const WeString& name, const WeString& parentName)
{
    float r[4];
    GetLayoutRect(GetLayoutLine(name), 1, r);
    auto* picture = new WeUIPicture(FindParent(parentName), name, r[0], r[1], r[2], r[3]);
    ApplyFullScreen(picture, name);
    ColourOfCode(GetConfigInt(Key(name, "$Color"), int32_t(0xFFFFFFFF)), picture->m_Colour);
    picture->SetFadeSpeed(GetFadeSpeed(WeUIKind::Label));
    return picture;
}

WeUIProgressBar* WeUIMain::CreateProgressBar(const WeString& name, const WeString& parentName)
{
    float r[4];
    GetLayoutRect(GetLayoutLine(name), 1, r);
    auto* bar = new WeUIProgressBar(FindParent(parentName), name, r[0], r[1], r[2], r[3]);
    ApplyFullScreen(bar, name);
    bar->SetFadeSpeed(GetFadeSpeed(WeUIKind::Label));
    return bar;
}

// Composite widgets' creators follow.
