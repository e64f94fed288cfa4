#include "Engine/ui/WeUIComboBox.h"

#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRect.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"

WeUIComboBox::WeUIComboBox(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height)
    : WeUIComponent(parent, name)
{
    m_FadeSpeed = 10.0f;
    m_RowHeight = float(g_UIMain.GetTextureMapEntry(WeString("ComboboxButton_Normal")).height) / 768.0f;
    m_Text = new WeUIText(this, WeString(""), 0, 0, 0, 0);
    m_Text->m_Format = WeUITextCentreY;
    m_EditLeft = new WeUIRect(this, WeString("ComboboxEditLeft"), 0, 0, 0, 0, false);
    m_EditMiddle = new WeUIRect(this, WeString("ComboboxEditMiddle"), 0, 0, 0, 0, false);
    m_Button = g_UIMain.CreateSkinButton(name + "$Button", WeString(""), name, WeString("ComboboxButton"));
    m_Button->m_OnMouseUp = OnButtonClicked;
    m_List = g_UIMain.CreateWindowFromRect(name + "$List", WeString(""), name, 0, 0, 0, 0);
    m_List->m_ShowTitle = 0;
    m_List->SetTopMost(true);
    m_List->m_Visible = 0;
    // The list fades with its box, not at the windows' rate.
    m_List->SetFadeSpeed(m_FadeSpeed);
    SetRect(x, y, width, height);
}

WeUIComboBox::~WeUIComboBox()
{
    delete m_Text;
    delete m_EditLeft;
    delete m_EditMiddle;
}

void WeUIComboBox::SetFadeSpeed(float speed)
{
    m_FadeSpeed = speed;
    m_List->SetFadeSpeed(speed);
}

void WeUIComboBox::SetRect(float x, float y, float width, float height)
{
    float left = float(g_UIMain.GetTextureMapEntry(WeString("ComboboxEditLeft")).width) / 1024.0f;
    float button = float(g_UIMain.GetTextureMapEntry(WeString("ComboboxButton_Normal")).width) / 1024.0f;
    float middle = width - left - button;
    m_X = x;
    m_Y = y;
    m_Width = width;
    m_Height = height;
    m_EditLeft->SetRect(0, 0, left, m_RowHeight);
    m_EditMiddle->SetRect(left, 0, middle, m_RowHeight);
    m_Button->SetRect(width - button, 0, button, m_RowHeight);
    m_List->SetRect(0, m_RowHeight, width, float(m_ItemCount) * m_RowHeight);
    m_Text->SetRect(left, 0, middle, m_RowHeight);
    UpdateLayout();
}

void WeUIComboBox::UpdateLayout()
{
    m_CollapsedPixelHeight = g_UIMain.ToPixelY(m_RowHeight);
    m_ExpandedPixelHeight = m_CollapsedPixelHeight * (m_ItemCount + 1);
    m_ExpandedHeight = float(m_ItemCount + 1) * m_RowHeight;
    // While the list shows, the box's own rectangle covers it, so that hit testing reaches the items.
    m_Height = m_List->m_Visible ? m_ExpandedHeight : m_RowHeight;
    WeUIComponent::UpdateLayout();
    m_PixelHeight = m_List->m_Visible ? m_ExpandedPixelHeight : m_CollapsedPixelHeight;
    m_EditLeft->UpdatePixelRect();
    m_EditMiddle->UpdatePixelRect();
    m_Text->UpdatePixelRect();
}

void WeUIComboBox::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    DropVanishedSelection();
    m_EditLeft->Draw();
    m_EditMiddle->Draw();
    m_Text->Draw();
    WeUIComponent::Render();
}

bool WeUIComboBox::IsOpen() const
{
    return m_List->m_Visible && m_List->m_FadeDirection != -1;
}

void WeUIComboBox::CloseList()
{
    m_PixelHeight = m_CollapsedPixelHeight;
    m_List->StartFadeOut();
}

void WeUIComboBox::ToggleList()
{
    // The list is drawn in the top-most pass; in front of its siblings the box also hit-tests first.
    BringToFront();
    if (IsOpen())
    {
        CloseList();
        return;
    }
    m_PixelHeight = m_ExpandedPixelHeight;
    m_List->StartFadeIn();
}

int32_t WeUIComboBox::OnMouseUp(int32_t button)
{
    ToggleList();
    return WeUIComponent::OnMouseUp(button);
}

void WeUIComboBox::OnMouseUpAnywhere(WeUIComponent* target)
{
    if (IsOpen() && !Contains(target))
        CloseList();
}

WeUILabel* WeUIComboBox::AddItem(const WeString& text, intptr_t userData, bool select)
{
    WeString name = m_List->m_Name + "$Item ";
    name.AppendInt(m_ItemCount);
    const float noShadow[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    auto* item = new WeUILabel(m_List, name, text, 0, float(m_ItemCount) * m_RowHeight, m_Width, m_RowHeight, false,
                               0.0f, 0.0f, noShadow);
    // Blue, shown only as the hover highlight.
    item->m_Colour[0] = 0.0f;
    item->m_Colour[1] = 0.0f;
    item->m_Colour[2] = 1.0f;
    item->m_Colour[3] = 1.0f;
    item->m_Text->m_Size = m_Text->m_Size;
    item->m_Text->UpdateFont();
    item->m_UserData = userData;
    item->m_OnMouseUp = OnItemClicked;
    item->m_OnMouseEnter = OnItemEnter;
    item->m_OnMouseLeave = OnItemLeave;
    ++m_ItemCount;
    m_List->SetRect(0, m_RowHeight, m_Width, float(m_ItemCount) * m_RowHeight);
    UpdateLayout();
    if (select)
        SetSelection(item);
    return item;
}

void WeUIComboBox::SetItems(const WeStringList& items)
{
    SetSelection(nullptr);
    // Inside an item's own handler the deletion waits until the handler has returned.
    while (!m_List->m_Children.IsEmpty())
        g_UIMain.DestroyComponent(m_List->m_Children.Front());
    m_ItemCount = 0;
    m_List->SetRect(0, m_RowHeight, m_Width, 0);
    for (auto* node = items.FirstNode(); node != nullptr; node = items.NextNode(node))
        AddItem(node->payload, 0, false);
    UpdateLayout();
}

void WeUIComboBox::SetSelection(WeUILabel* item)
{
    m_Selected = item;
    m_SelectedName = item != nullptr ? item->m_Name : WeString("");
    m_Text->m_Text = item != nullptr ? item->m_Text->m_Text : WeString("");
}

void WeUIComboBox::DropVanishedSelection()
{
    // Only the pointer is compared while the item may be gone: the name lookup finds the live item, if any.
    if (m_Selected == nullptr)
        return;
    WeUIComponent* live = g_UIMain.FindComponent(m_SelectedName);
    if (live == m_Selected && m_List->HasChild(live))
        return;
    SetSelection(nullptr);
}

WeUILabel* WeUIComboBox::GetSelection()
{
    DropVanishedSelection();
    return m_Selected;
}

WeUILabel* WeUIComboBox::GetItem(int32_t index)
{
    if (index < 0)
        return nullptr;
    WeString name = m_List->m_Name + "$Item ";
    name.AppendInt(index);
    WeUIComponent* c = g_UIMain.FindComponent(name);
    return c != nullptr && c->m_Parent == m_List ? static_cast<WeUILabel*>(c) : nullptr;
}

void WeUIComboBox::SetSelectedIndex(int32_t index, int32_t fallback)
{
    WeUILabel* item = GetItem(index);
    if (item == nullptr)
        item = GetItem(fallback);
    SetSelection(item);
}

int32_t WeUIComboBox::GetSelectedIndex()
{
    if (GetSelection() == nullptr)
        return -1;
    return m_Selected->m_Name.GetTokenFromEnd(' ', 0).ToInt();
}

int32_t WeUIComboBox::OnButtonClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    static_cast<WeUIComboBox*>(sender->m_Parent)->ToggleList();
    return 0;
}

int32_t WeUIComboBox::OnItemClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    auto* combo = static_cast<WeUIComboBox*>(sender->m_Parent->m_Parent);
    combo->BringToFront();
    combo->SetSelection(static_cast<WeUILabel*>(sender));
    combo->ToggleList();
    return combo->m_OnChange != nullptr ? combo->m_OnChange(combo) : 0;
}

int32_t WeUIComboBox::OnItemEnter(WeUIComponent* sender)
{
    static_cast<WeUILabel*>(sender)->m_NoBackground = 0;
    return 0;
}

int32_t WeUIComboBox::OnItemLeave(WeUIComponent* sender)
{
    static_cast<WeUILabel*>(sender)->m_NoBackground = 1;
    return 0;
}
