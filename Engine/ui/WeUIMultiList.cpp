#include "Engine/ui/WeUIMultiList.h"

#include <cstring>

#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUINinePartRect.h"
#include "Engine/ui/WeUIRect.h"
#include "Engine/ui/WeUIScrollFrame.h"
#include "Engine/ui/WeUIText.h"

namespace
{

// A cell tells its list when it goes, however it is deleted, so that the selection never keeps it.
class Cell : public WeUILabel
{
public:
    Cell(WeUIMultiList* list, WeUIComponent* parent, const WeString& name, const WeString& text, float x, float y,
         float width, float height)
        : WeUILabel(parent, name, text, x, y, width, height, false, 0.0f, 0.0f, nullptr), m_List(list)
    {
    }
    ~Cell() override
    {
        if (m_List != nullptr)
            m_List->OnCellDestroyed(this);
    }
    WeUIMultiList* m_List;
};

void ForgetList(WeUIComponent* component)
{
    for (auto* node = component->m_Children.FirstNode(); node != nullptr; node = component->m_Children.NextNode(node))
        if (Cell* cell = dynamic_cast<Cell*>(node->payload))
            cell->m_List = nullptr;
}

// Byte order, unsigned; numeric columns put shorter texts first.
int32_t Compare(const WeString& a, const WeString& b, bool numeric)
{
    if (numeric && a.Length() != b.Length())
        return a.Length() < b.Length() ? -1 : 1;
    int32_t n = a.Length() < b.Length() ? a.Length() : b.Length();
    int32_t c = std::memcmp(a.c_str(), b.c_str(), size_t(n));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return a.Length() == b.Length() ? 0 : (a.Length() < b.Length() ? -1 : 1);
}

}  // namespace

WeUIMultiList::WeUIMultiList(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height,
                             const WeList<float>* columnWidths)
    : WeUIComponent(parent, name), m_RowFontFace("*")
{
    if (columnWidths != nullptr)
        for (auto* node = columnWidths->FirstNode(); node != nullptr; node = columnWidths->NextNode(node))
            m_ColumnWidths.push_back(node->payload);
    m_HeaderHeight = g_UIMain.FullScreenToLayoutH(
        float(g_UIMain.GetTextureMapEntry(WeString("MultiListHeaderButton_Normal")).height) / 768.0f);
    m_Frame = new WeUINinePartRect(this, WeString("MultiList"), 0, 0, width, height);
    float splitterWidth = float(g_UIMain.GetTextureMapEntry(WeString("HeaderBarSplitterNormal")).width) / 1024.0f;
    m_Splitter = new WeUIRect(this, WeString("HeaderBarSplitterNormal"), 0, 0, splitterWidth, height, false);
    m_ScrollFrame = new WeUIScrollFrame(this, name + "$ScrollFrame", 0, m_HeaderHeight, width, height - m_HeaderHeight);
    SetRect(x, y, width, height);
}

WeUIMultiList::~WeUIMultiList()
{
    // The cells outlive this part of the list (the base deletes the children): they must not call back.
    ForgetList(m_ScrollFrame);
    delete m_Frame;
    delete m_Splitter;
}

void WeUIMultiList::SetRect(float x, float y, float width, float height)
{
    m_Frame->SetRect(0, 0, width, height);
    m_Splitter->SetRect(m_Splitter->m_X, 0, m_Splitter->m_Width, height);
    m_ScrollFrame->SetView(0, m_HeaderHeight, width, height - m_HeaderHeight);
    m_ScrollFrame->SetContentWidth(width);
    WeUIComponent::SetRect(x, y, width, height);
}

void WeUIMultiList::UpdateLayout()
{
    WeUIComponent::UpdateLayout();
    m_Frame->SetRect(m_Frame->m_X, m_Frame->m_Y, m_Frame->m_Width, m_Frame->m_Height);
    m_Splitter->UpdatePixelRect();
}

void WeUIMultiList::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    if (m_DrawFrame)
        m_Frame->Draw();
    WeUIComponent::Render();
    float x = 0.0f;
    for (size_t i = 0; i + 1 < m_HeaderWidth.size(); ++i)
    {
        x += m_HeaderWidth[i];
        m_Splitter->SetRect(x, 0, m_Splitter->m_Width, m_Splitter->m_Height);
        m_Splitter->Draw();
    }
}

WeString WeUIMultiList::HeaderName(int32_t column) const
{
    WeString name = m_Name + "$";
    name.AppendInt(column);
    return name;
}

WeString WeUIMultiList::CellName(int32_t column, int32_t row) const
{
    WeString name = m_Name + "$";
    name.AppendInt(column);
    name += "$";
    name.AppendInt(row);
    return name;
}

WeUIComponent* WeUIMultiList::GetHeader(int32_t column)
{
    WeUIComponent* c = g_UIMain.FindComponent(HeaderName(column));
    return c != nullptr && c->m_Parent == this ? c : nullptr;
}

WeUILabel* WeUIMultiList::GetCell(int32_t column, int32_t row)
{
    if (column < 0 || row < 0)
        return nullptr;
    WeUIComponent* c = g_UIMain.FindComponent(CellName(column, row));
    return c != nullptr && c->m_Parent == m_ScrollFrame ? static_cast<WeUILabel*>(c) : nullptr;
}

void WeUIMultiList::DeleteCell(WeUIComponent* cell)
{
    // The callers empty the selection themselves; a deferred deletion must not recount the rows later.
    if (Cell* c = dynamic_cast<Cell*>(cell))
        c->m_List = nullptr;
    g_UIMain.DestroyComponent(cell);
}

void WeUIMultiList::SetRowCount(int32_t count)
{
    m_RowCount = count;
    m_ContentHeight = GetRowHeight() * float(count);
    m_ScrollFrame->SetContentHeight(m_ContentHeight);
}

void WeUIMultiList::SetColumns(const WeStringList& captions, const WeList<uint8_t>* numeric)
{
    for (int32_t i = 0; i < GetColumnCount(); ++i)
        if (WeUIComponent* header = GetHeader(i))
            g_UIMain.DestroyComponent(header);
    m_Captions.clear();
    m_Numeric.clear();
    m_HeaderX.clear();
    m_HeaderWidth.clear();
    m_Selection.clear();
    m_SelectionTexts.clear();
    // Deferred while a cell's own handler runs; the cells leave the frame at once either way.
    while (!m_ScrollFrame->m_Children.IsEmpty())
        DeleteCell(m_ScrollFrame->m_Children.Front());
    SetRowCount(0);
    if (numeric != nullptr)
        for (auto* node = numeric->FirstNode(); node != nullptr; node = numeric->NextNode(node))
            m_Numeric.push_back(node->payload);
    float x = 0.0f;
    int32_t column = 0;
    for (auto* node = captions.FirstNode(); node != nullptr; node = captions.NextNode(node), ++column)
    {
        float width = size_t(column) < m_ColumnWidths.size() ? m_ColumnWidths[size_t(column)] : 30.0f / 1024.0f;
        auto* header = static_cast<WeUIButton*>(
            g_UIMain.CreateSkinButton(HeaderName(column), node->payload, m_Name, WeString("MultiListHeaderButton")));
        header->SetRect(x, 0, width, m_HeaderHeight);
        header->m_Caption->m_Face = m_RowFontFace;
        header->m_Caption->m_Size = m_RowFontSize;
        header->m_Caption->UpdateFont();
        header->m_Caption->m_Format = WeUITextCentreY;
        header->m_Caption->SetOffsetX(6.0f / 1024.0f);
        header->m_OnMouseUp = OnHeaderClicked;
        header->m_InputEnabled = m_HeaderEnabled;
        m_Captions.push_back(node->payload);
        m_HeaderX.push_back(x);
        m_HeaderWidth.push_back(width);
        x += width;
    }
}

void WeUIMultiList::AddRow(const WeStringList* texts, const WeList<intptr_t>* cellData)
{
    float rowHeight = GetRowHeight();
    auto* text = texts != nullptr ? texts->FirstNode() : nullptr;
    auto* data = cellData != nullptr ? cellData->FirstNode() : nullptr;
    for (int32_t column = 0; column < GetColumnCount(); ++column)
    {
        auto* cell = new Cell(this, m_ScrollFrame, CellName(column, m_RowCount),
                              text != nullptr ? text->payload : WeString(""), m_HeaderX[size_t(column)],
                              float(m_RowCount) * rowHeight, m_HeaderWidth[size_t(column)], rowHeight);
        cell->m_Text->m_Face = m_RowFontFace;
        cell->m_Text->m_Size = m_RowFontSize;
        cell->m_Text->UpdateFont();
        cell->m_Text->m_Format = WeUITextCentreY;
        cell->m_Text->SetOffsetX(6.0f / 1024.0f);
        for (int i = 0; i < 4; ++i)
            cell->m_Colour[i] = m_NormalColour[i];
        cell->m_OnMouseUp = OnCellClicked;
        cell->m_OnDoubleClick = OnCellDoubleClicked;
        // The frame scrolls on the wheel motion of moves; the list's own callbacks hear clicks and keys.
        cell->m_BubbleMouseMove = 1;
        cell->m_BubbleMouseUp = 1;
        cell->m_BubbleKeyDown = 1;
        cell->m_UserData = data != nullptr ? data->payload : 0;
        if (text != nullptr)
            text = texts->NextNode(text);
        if (data != nullptr)
            data = cellData->NextNode(data);
    }
    SetRowCount(m_RowCount + 1);
}

void WeUIMultiList::AddRow(const WeStringList* texts, intptr_t rowData)
{
    WeList<intptr_t> data;
    for (int32_t column = 0; column < GetColumnCount(); ++column)
        data.PushBack(rowData);
    AddRow(texts, &data);
}

void WeUIMultiList::SetCellText(const WeString& text, int32_t column, int32_t row)
{
    if (WeUILabel* cell = GetCell(column, row))
        cell->m_Text->m_Text = text;
}

void WeUIMultiList::SetColumnEnabled(bool enabled, int32_t column)
{
    for (int32_t row = 0; row < m_RowCount; ++row)
        if (WeUILabel* cell = GetCell(column, row))
            cell->m_InputEnabled = enabled ? 1 : 0;
}

void WeUIMultiList::SetHeaderEnabled(bool enabled)
{
    m_HeaderEnabled = enabled ? 1 : 0;
    for (int32_t i = 0; i < GetColumnCount(); ++i)
        if (WeUIComponent* header = GetHeader(i))
            header->m_InputEnabled = m_HeaderEnabled;
}

void WeUIMultiList::SetNormalColour(float r, float g, float b, float a)
{
    m_NormalColour[0] = r;
    m_NormalColour[1] = g;
    m_NormalColour[2] = b;
    m_NormalColour[3] = a;
}

void WeUIMultiList::SelectCell(WeUIComponent* cell)
{
    if (cell == nullptr)
        return;
    std::vector<WeUILabel*> cells;
    if (m_RowSelection)
    {
        // The row is the last field, the column the one before: the list's own name may hold '$' too.
        int32_t row = cell->m_Name.GetTokenFromEnd('$', 0).ToInt();
        for (int32_t column = 0; column < GetColumnCount(); ++column)
            if (WeUILabel* c = GetCell(column, row))
                cells.push_back(c);
    }
    else if (cell->m_Parent == m_ScrollFrame)
        cells.push_back(static_cast<WeUILabel*>(cell));
    for (WeUILabel* c : cells)
    {
        for (int i = 0; i < 4; ++i)
            c->m_Colour[i] = m_SelectionColour[i];
        c->m_NoBackground = 0;
        m_Selection.push_back(c);
        m_SelectionTexts.push_back(c->m_Text->m_Text);
    }
}

void WeUIMultiList::SelectCellAt(int32_t column, int32_t row)
{
    SelectCell(GetCell(column, row));
}

void WeUIMultiList::ClearSelection()
{
    for (WeUILabel* c : m_Selection)
    {
        c->m_NoBackground = 1;
        for (int i = 0; i < 4; ++i)
            c->m_Colour[i] = m_NormalColour[i];
    }
    m_Selection.clear();
    m_SelectionTexts.clear();
}

WeUILabel* WeUIMultiList::GetSelectedCell() const
{
    return m_Selection.empty() ? nullptr : m_Selection.front();
}

int32_t WeUIMultiList::GetSelectedRow() const
{
    return m_Selection.empty() ? -1 : m_Selection.front()->m_Name.GetTokenFromEnd('$', 0).ToInt();
}

void WeUIMultiList::RemoveSelectedRow()
{
    RemoveRow(GetSelectedRow());
}

void WeUIMultiList::RemoveRow(int32_t row)
{
    if (row < 0 || row >= m_RowCount)
        return;
    ClearSelection();
    for (int32_t column = 0; column < GetColumnCount(); ++column)
        if (WeUILabel* cell = GetCell(column, row))
            DeleteCell(cell);
    // The deleted row has left the registry, so its names are free for the row below.
    for (int32_t later = row + 1; later < m_RowCount; ++later)
        for (int32_t column = 0; column < GetColumnCount(); ++column)
            if (WeUILabel* cell = GetCell(column, later))
            {
                cell->Rename(CellName(column, later - 1));
                cell->SetRect(cell->m_X, cell->m_Y - cell->m_Height, cell->m_Width, cell->m_Height);
            }
    SetRowCount(m_RowCount - 1);
}

void WeUIMultiList::SortByColumn(int32_t column, bool numeric)
{
    if (column == m_SortColumn)
        m_SortAscending = m_SortAscending ? 0 : 1;
    else
        m_SortAscending = 1;
    m_SortColumn = column;
    if (m_RowCount <= 0)
        return;
    std::vector<WeString> keys;
    for (int32_t row = 0; row < m_RowCount; ++row)
    {
        WeUILabel* cell = GetCell(column, row);
        keys.push_back(cell != nullptr ? cell->m_Text->m_Text : WeString(""));
    }
    // Insertion keeps equal texts in their order when ascending.
    std::vector<int32_t> order = {0};
    for (int32_t row = 1; row < m_RowCount; ++row)
    {
        size_t at = order.size();
        for (size_t p = 0; p < order.size(); ++p)
        {
            int32_t c = Compare(keys[size_t(row)], keys[size_t(order[p])], numeric);
            if (m_SortAscending ? c < 0 : c >= 0)
            {
                at = p;
                break;
            }
        }
        order.insert(order.begin() + std::ptrdiff_t(at), row);
    }
    float rowHeight = GetRowHeight();
    std::vector<WeUILabel*> moved;
    std::vector<WeString> finalNames;
    for (int32_t c = 0; c < GetColumnCount(); ++c)
        for (size_t p = 0; p < order.size(); ++p)
            if (WeUILabel* cell = GetCell(c, order[p]))
            {
                moved.push_back(cell);
                finalNames.push_back(CellName(c, int32_t(p)));
            }
    // Through names no cell holds, so that no rename meets a name still in use.
    for (size_t i = 0; i < moved.size(); ++i)
    {
        WeString temporary =
            m_Name + "TMPName$" + finalNames[i].GetTokenFromEnd('$', 0) + "$" + finalNames[i].GetTokenFromEnd('$', 1);
        moved[i]->Rename(temporary);
    }
    for (size_t i = 0; i < moved.size(); ++i)
    {
        moved[i]->Rename(finalNames[i]);
        int32_t p = finalNames[i].GetTokenFromEnd('$', 0).ToInt();
        moved[i]->SetRect(moved[i]->m_X, float(p) * rowHeight, moved[i]->m_Width, moved[i]->m_Height);
    }
}

bool WeUIMultiList::RowHasCell(int32_t row)
{
    for (int32_t column = 0; column < GetColumnCount(); ++column)
        if (GetCell(column, row) != nullptr)
            return true;
    return false;
}

void WeUIMultiList::OnCellDestroyed(WeUILabel* cell)
{
    for (size_t i = 0; i < m_Selection.size();)
    {
        if (m_Selection[i] == cell)
        {
            m_Selection.erase(m_Selection.begin() + std::ptrdiff_t(i));
            m_SelectionTexts.erase(m_SelectionTexts.begin() + std::ptrdiff_t(i));
        }
        else
            ++i;
    }
    // Deleted from outside (by name): rows at the end left without cells no longer count.
    int32_t count = m_RowCount;
    while (count > 0 && !RowHasCell(count - 1))
        --count;
    if (count != m_RowCount)
        SetRowCount(count);
}

int32_t WeUIMultiList::OnHeaderClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    auto* list = static_cast<WeUIMultiList*>(sender->m_Parent);
    int32_t column = sender->m_Name.GetTokenFromEnd('$', 0).ToInt();
    bool numeric = column >= 0 && size_t(column) < list->m_Numeric.size() && list->m_Numeric[size_t(column)] != 0;
    list->SortByColumn(column, numeric);
    return 0;
}

int32_t WeUIMultiList::OnCellClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    auto* list = static_cast<Cell*>(sender)->m_List;
    if (list == nullptr)
        return 0;
    list->ClearSelection();
    list->SelectCell(sender);
    return 0;
}

int32_t WeUIMultiList::OnCellDoubleClicked(WeUIComponent* sender)
{
    auto* list = static_cast<Cell*>(sender)->m_List;
    return list != nullptr && list->m_OnDoubleClick != nullptr ? list->m_OnDoubleClick(sender) : 0;
}
