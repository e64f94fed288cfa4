// The UI manager's creators of the composite widgets: scroll bars and frames, combo boxes, multi-column
// lists, edit boxes, colour frames and movies, built from their layout lines and keys.
#include "Engine/foundation/WeConfig.h"
#include "Engine/ui/WeUIColorFrame.h"
#include "Engine/ui/WeUIComboBox.h"
#include "Engine/ui/WeUIEditBox.h"
#include "Engine/ui/WeUIHScrollBar.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIMovie.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Engine/ui/WeUIScrollFrame.h"
#include "Engine/ui/WeUIText.h"

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

int32_t FontSizeOf(const WeString& name)
{
    return GetConfigInt(Key(name, "$Font"), g_UIMain.m_DefaultFontSize);
}

// A combo box of the configured name (keys) under another name (the row variants).
WeUIComboBox* MakeComboBox(const WeString& name, const WeString& widgetName, const WeString& parentName,
                           float rowOffset, int32_t (*callback)(WeUIComponent* sender))
{
    WeString line = WeUIMain::GetLayoutLine(name);
    float r[4];
    WeUIMain::GetLayoutRect(line, 1, r);
    auto* combo = new WeUIComboBox(g_UIMain.FindParent(parentName), widgetName, r[0], r[1] + rowOffset, r[2], 0.0f);
    WeUIMain::ApplyFullScreen(combo, name);
    combo->m_Text->m_Size = FontSizeOf(name);
    combo->m_Text->UpdateFont();
    combo->m_OnChange = callback;
    combo->SetFadeSpeed(WeUIMain::GetFadeSpeed(WeUIKind::ComboBox));
    return combo;
}

WeUIColorFrame* MakeColorFrame(const WeString& name, const WeString& widgetName, const WeString& parentName,
                               float rowOffset, WeUIKind fade)
{
    WeString line = WeUIMain::GetLayoutLine(name);
    float r[4];
    WeUIMain::GetLayoutRect(line, 1, r);
    auto* frame = new WeUIColorFrame(g_UIMain.FindParent(parentName), widgetName, r[0], r[1] + rowOffset, r[2], r[3]);
    WeUIMain::ApplyFullScreen(frame, name);
    ColourOfCode(GetConfigInt(Key(name, "$Color"), int32_t(0xFFFFFFFF)), frame->m_Colour);
    frame->SetFadeSpeed(WeUIMain::GetFadeSpeed(fade));
    return frame;
}

// The widgets whose layout line holds only their rectangle.
template <typename Widget>
Widget* MakePlain(const WeString& name, const WeString& parentName, WeUIKind fade)
{
    float r[4];
    WeUIMain::GetLayoutRect(WeUIMain::GetLayoutLine(name), 1, r);
    auto* widget = new Widget(g_UIMain.FindParent(parentName), name, r[0], r[1], r[2], r[3]);
    WeUIMain::ApplyFullScreen(widget, name);
    widget->SetFadeSpeed(WeUIMain::GetFadeSpeed(fade));
    return widget;
}

}  // namespace

WeUIHScrollBar* WeUIMain::CreateHScrollBar(const WeString& name, const WeString& parentName,
                                           int32_t (*callback)(WeUIComponent* sender))
{
    auto* bar = MakePlain<WeUIHScrollBar>(name, parentName, WeUIKind::HScrollBar);
    bar->m_OnChange = callback;
    return bar;
}

WeUIScrollFrame* WeUIMain::CreateScrollFrame(const WeString& name, const WeString& parentName)
{
    return MakePlain<WeUIScrollFrame>(name, parentName, WeUIKind::VScrollBar);
}

WeUIComboBox* WeUIMain::CreateComboBox(const WeString& name, const WeString& parentName,
                                       int32_t (*callback)(WeUIComponent* sender))
{
    return MakeComboBox(name, name, parentName, 0.0f, callback);
}

WeUIComboBox* WeUIMain::CreateComboBoxRow(const WeString& name, const WeString& parentName, int32_t row,
                                          int32_t (*callback)(WeUIComponent* sender))
{
    return MakeComboBox(name, GetRowName(name, row), parentName, GetRowOffset(name, row), callback);
}

WeUIEditBox* WeUIMain::CreateEditBox(const WeString& name, const WeString& parentName)
{
    return MakePlain<WeUIEditBox>(name, parentName, WeUIKind::Label);
}

WeUIColorFrame* WeUIMain::CreateColorFrame(const WeString& name, const WeString& parentName)
{
    return MakeColorFrame(name, name, parentName, 0.0f, WeUIKind::Label);
}

WeUIColorFrame* WeUIMain::CreateColorFrameRow(const WeString& name, const WeString& parentName, int32_t row)
{
    return MakeColorFrame(name, GetRowName(name, row), parentName, GetRowOffset(name, row), WeUIKind::ColorFrame);
}

WeUIMovie* WeUIMain::CreateMovie(const WeString& name, const WeString& parentName)
{
    return MakePlain<WeUIMovie>(name, parentName, WeUIKind::Label);
}

WeUIMultiList* WeUIMain::CreateMultiList(const WeString& name, const WeString& parentName)
{
    WeString line = GetLayoutLine(name);
    float r[4];
    GetLayoutRect(line, 1, r);
    // Widths until the first token that is 0 or empty.
    WeString widthsLine = GetConfigString(Key(name, "$ColumnWidths"), WeString(""));
    WeList<float> widths;
    for (int32_t i = 0;; ++i)
    {
        int32_t width = GetLayoutToken(widthsLine, i);
        if (width == 0)
            break;
        widths.PushBack(float(width) / 1024.0f);
    }
    auto* list = new WeUIMultiList(FindParent(parentName), name, r[0], r[1], r[2], r[3], &widths);
    ApplyFullScreen(list, name);
    int32_t colour = GetLayoutToken(line, 5);
    if (colour == 0)
        colour = GetConfigInt(WeString("UI.List.SelectedColor"), int32_t(0xFFA0A0A0));
    ColourOfCode(colour, list->m_SelectionColour);
    list->m_RowFontSize = FontSizeOf(name);
    list->SetFadeSpeed(GetFadeSpeed(WeUIKind::HScrollBar));
    return list;
}
