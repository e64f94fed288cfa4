// Multi-column lists through the real dispatch: names and places of headers and cells, row selection in
// the list's colour, sorting (stable, toggling, numeric by length first), removing rows, and the faults
// around deleted cells: from inside their own handlers, by name from outside, a list whose name holds '$',
// rows out of range.
#include <gtest/gtest.h>

#include <string>

#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Engine/ui/WeUIScrollFrame.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIVScrollBar.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{

enum class Action
{
    None,
    RemoveSelectedRow,
    ResetColumns,
};
Action g_Action = Action::None;
int g_Calls = 0;

int32_t OnListUp(int32_t, WeUIComponent* sender)
{
    ++g_Calls;
    auto* list = static_cast<WeUIMultiList*>(sender);
    if (g_Action == Action::RemoveSelectedRow)
        list->RemoveSelectedRow();
    return 0;
}

int32_t OnCellDouble(WeUIComponent* sender)
{
    ++g_Calls;
    // The cell's list: cell -> scroll frame -> list.
    auto* list = static_cast<WeUIMultiList*>(sender->m_Parent->m_Parent);
    if (g_Action == Action::ResetColumns)
    {
        WeStringList captions;
        captions.PushBack(WeString("Only"));
        list->SetColumns(captions, nullptr);
    }
    return 0;
}

constexpr float X(float px)
{
    return px / 1024.0f;
}
constexpr float Y(float px)
{
    return px / 768.0f;
}

class WeUIMultiListTest : public UIRenderTest
{
protected:
    void SetUp() override
    {
        UIRenderTest::SetUp();
        g_Action = Action::None;
        g_Calls = 0;
        for (const char* state : {"_Normal", "_Over", "_Clicked"})
        {
            SetPart((std::string("MultiListHeaderButton") + state).c_str(), 0, 0, 30, 20);
            SetPart((std::string("VScrollBarUpButton") + state).c_str(), 0, 20, 16, 16);
            SetPart((std::string("VScrollBarDownButton") + state).c_str(), 16, 20, 16, 16);
            SetPart((std::string("VScrollBarThumb") + state).c_str(), 32, 20, 16, 32);
        }
        SetPart("HeaderBarSplitterNormal", 30, 0, 2, 20);
    }
    // A list at (100, 100), 400 x 200, with columns of 100, 200 and (the default) 30 reference pixels; rows
    // are 14 pixels high under a 20-pixel header.
    WeUIMultiList* MakeList(const char* name = "list")
    {
        WeList<float> widths;
        widths.PushBack(X(100));
        widths.PushBack(X(200));
        auto* list = new WeUIMultiList(Root(), WeString(name), X(100), Y(100), X(400), Y(200), &widths);
        WeStringList captions;
        for (const char* c : {"Name", "Score", "Extra"})
            captions.PushBack(WeString(c));
        WeList<uint8_t> numeric;
        numeric.PushBack(0);
        numeric.PushBack(1);
        list->SetColumns(captions, &numeric);
        list->SetHeaderEnabled(true);
        return list;
    }
    static void AddRow(WeUIMultiList* list, const char* name, const char* score, intptr_t data = 0)
    {
        WeStringList texts;
        texts.PushBack(WeString(name));
        texts.PushBack(WeString(score));
        list->AddRow(&texts, data);
    }
    // Column `column` from top to bottom, joined by spaces.
    static std::string Column(WeUIMultiList* list, int column)
    {
        std::string out;
        for (int row = 0; row < list->GetRowCount(); ++row)
        {
            WeUILabel* cell = list->GetCell(column, row);
            out += (row ? " " : "") + std::string(cell != nullptr ? cell->m_Text->m_Text.c_str() : "-");
        }
        return out;
    }
    static void Click(int x, int y)
    {
        g_UIMain.PostMouseMove(x, y, 0);
        g_UIMain.PostMouseDown(0);
        g_UIMain.PostMouseUp(0);
        g_UIMain.ProcessEvents();
    }
    // Screen y of the middle of a row.
    static int RowY(int row) { return 100 + 20 + row * 14 + 7; }
};

TEST_F(WeUIMultiListTest, HeadersAndCellsAreNamedAndPlacedByColumn)
{
    WeUIMultiList* list = MakeList();
    AddRow(list, "ann", "12", 77);
    AddRow(list, "bob", "7");
    EXPECT_EQ(list->GetColumnCount(), 3);
    WeUIComponent* header = g_UIMain.FindComponent(WeString("list$2"));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->m_PixelX, 300);
    EXPECT_EQ(header->m_PixelWidth, 30);
    EXPECT_EQ(header->m_PixelHeight, 20);
    WeUILabel* cell = list->GetCell(1, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_STREQ(cell->m_Name.c_str(), "list$1$1");
    EXPECT_EQ(cell->m_Parent, list->m_ScrollFrame);
    EXPECT_EQ(cell->GetScreenX(), 200);
    EXPECT_EQ(cell->GetScreenY(), 134);
    EXPECT_EQ(cell->m_PixelWidth, 200);
    EXPECT_STREQ(cell->m_Text->m_Text.c_str(), "7");
    // Texts that run out leave the cell empty; the row data reaches every cell of its row.
    EXPECT_STREQ(list->GetCell(2, 0)->m_Text->m_Text.c_str(), "");
    EXPECT_EQ(list->GetCell(2, 0)->m_UserData, 77);
    EXPECT_EQ(list->GetCell(3, 0), nullptr);
    EXPECT_EQ(list->GetRowCount(), 2);
    EXPECT_FLOAT_EQ(list->m_ScrollFrame->m_Height, 2 * Y(14));
}

TEST_F(WeUIMultiListTest, DrawsFrameThenHeadersThenASplitterAtEachInnerBoundary)
{
    WeUIMultiList* list = MakeList();
    AddRow(list, "ann", "12");
    for (bool frame : {true, false})
    {
        SCOPED_TRACE(frame);
        list->m_DrawFrame = frame ? 1 : 0;
        Ticks(1);
        g_GfxRecorder.ClearLog();
        g_UIMain.DrawMainLayer();
        auto quads = SkinQuads();
        // Nine frame parts, three headers of three states, two splitters.
        ASSERT_EQ(quads.size(), (frame ? 9u : 0u) + 9u + 2u);
        const UIQuad& first = quads[quads.size() - 2];
        const UIQuad& second = quads.back();
        EXPECT_EQ(first.x0, 200.0f);
        EXPECT_EQ(first.x1, 202.0f);
        EXPECT_EQ(second.x0, 400.0f);
        EXPECT_EQ(second.y0, 100.0f);
        EXPECT_EQ(second.y1, 300.0f);
        if (frame)
        {
            EXPECT_EQ(quads[0].x0, 100.0f);
            EXPECT_EQ(quads[0].y0, 100.0f);
        }
    }
}

TEST_F(WeUIMultiListTest, ClickSelectsTheRowInTheListsColourAndClearingRestoresIt)
{
    WeUIMultiList* list = MakeList();
    AddRow(list, "ann", "12");
    AddRow(list, "bob", "7");
    list->m_OnMouseUp = OnListUp;
    EXPECT_FALSE(list->HasSelection());
    EXPECT_EQ(list->GetSelectedRow(), -1);
    list->RemoveSelectedRow();  // nothing without a selection
    EXPECT_EQ(list->GetRowCount(), 2);
    Click(150, RowY(1));
    EXPECT_EQ(g_Calls, 1);  // the click bubbled to the list's own callback
    EXPECT_EQ(list->GetSelectedRow(), 1);
    ASSERT_EQ(list->m_Selection.size(), 3u);
    EXPECT_STREQ(list->m_SelectionTexts[1].c_str(), "7");
    for (int column = 0; column < 3; ++column)
    {
        EXPECT_EQ(list->GetCell(column, 1)->m_NoBackground, 0);
        EXPECT_EQ(list->GetCell(column, 1)->m_Colour[0], 1.0f);
        EXPECT_EQ(list->GetCell(column, 1)->m_Colour[1], 0.0f);
        EXPECT_EQ(list->GetCell(column, 0)->m_NoBackground, 1);
    }
    // Another click moves the selection.
    Click(150, RowY(0));
    EXPECT_EQ(list->GetSelectedRow(), 0);
    EXPECT_EQ(list->GetCell(0, 1)->m_NoBackground, 1);
    list->SetNormalColour(0.5f, 0.5f, 0.5f, 1.0f);
    list->ClearSelection();
    EXPECT_EQ(list->GetSelectedCell(), nullptr);
    EXPECT_EQ(list->GetCell(1, 0)->m_NoBackground, 1);
    EXPECT_EQ(list->GetCell(1, 0)->m_Colour[0], 0.5f);
}

TEST_F(WeUIMultiListTest, SortingIsStableTogglesAndComparesNumbersByLengthFirst)
{
    WeUIMultiList* list = MakeList();
    const char* rows[][2] = {{"b", "9"}, {"a", "10"}, {"b", "100"}, {"c", "2"}, {"a", "9"}};
    for (const auto& r : rows)
        AddRow(list, r[0], r[1]);
    // Tag each row by its original index to see stability.
    for (int row = 0; row < 5; ++row)
        list->GetCell(2, row)->m_Text->m_Text.AppendInt(row);
    struct
    {
        int column;
        bool numeric;
        const char* names;
        const char* tags;
    } steps[] = {
        {0, false, "a a b b c", "1 4 0 2 3"},  // ascending, equal texts keep their order
        {0, false, "c b b a a", "3 2 0 4 1"},  // the same column again: descending
        {1, true, "c b a a b", "3 0 4 1 2"},   // another column: ascending again, numeric
        {1, true, "b a a b c", "2 1 4 0 3"},   // descending by number
        {1, false, "a b c a b", "1 2 3 4 0"},  // ascending again, as text: "10" < "100" < "2" < "9"
    };
    for (const auto& s : steps)
    {
        SCOPED_TRACE(s.tags);
        list->SortByColumn(s.column, s.numeric);
        EXPECT_EQ(Column(list, 0), s.names);
        EXPECT_EQ(Column(list, 2), s.tags);
        // Cells sit at their row after the sort.
        EXPECT_EQ(list->GetCell(1, 3)->GetScreenY(), 100 + 20 + 3 * 14);
    }
    EXPECT_EQ(g_UIMain.FindComponent(WeString("listTMPName$0$0")), nullptr);
}

TEST_F(WeUIMultiListTest, HeaderClickSortsWithItsColumnsFlag)
{
    WeUIMultiList* list = MakeList();
    for (const char* score : {"10", "9", "100"})
        AddRow(list, score, score);
    Click(250, 110);  // header 1: numeric
    EXPECT_EQ(Column(list, 1), "9 10 100");
    Click(410, 110);  // header 2: beyond the flag list, not numeric; empty texts keep the order
    EXPECT_EQ(Column(list, 1), "9 10 100");
    Click(250, 110);  // header 1 again after another column: ascending
    EXPECT_EQ(Column(list, 1), "9 10 100");
    Click(250, 110);
    EXPECT_EQ(Column(list, 1), "100 10 9");
    Click(150, 110);  // header 0: text
    EXPECT_EQ(Column(list, 0), "10 100 9");
}

TEST_F(WeUIMultiListTest, RemoveRowRenamesAndMovesTheLaterRows)
{
    WeUIMultiList* list = MakeList();
    AddRow(list, "r0", "0");
    AddRow(list, "r1", "1");
    AddRow(list, "r2", "2");
    WeUILabel* moved = list->GetCell(0, 2);
    list->SelectCellAt(0, 0);
    for (int bad : {-1, 3, 100})
    {
        list->RemoveRow(bad);
        EXPECT_EQ(Column(list, 0), "r0 r1 r2");
    }
    list->RemoveRow(1);
    EXPECT_EQ(Column(list, 0), "r0 r2");
    EXPECT_EQ(list->GetCell(0, 1), moved);
    EXPECT_STREQ(moved->m_Name.c_str(), "list$0$1");
    EXPECT_EQ(moved->GetScreenY(), 100 + 20 + 14);
    EXPECT_EQ(list->GetCell(0, 2), nullptr);
    EXPECT_EQ(list->GetRowCount(), 2);
    EXPECT_FLOAT_EQ(list->m_ContentHeight, 2 * Y(14));
    EXPECT_FALSE(list->HasSelection());
}

TEST_F(WeUIMultiListTest, CellsDeletedInsideTheirOwnHandlersAreDeferred)
{
    WeUIMultiList* list = MakeList();
    for (const char* name : {"r0", "r1", "r2"})
        AddRow(list, name, "1");
    list->m_OnMouseUp = OnListUp;
    list->m_OnDoubleClick = OnCellDouble;
    g_Action = Action::RemoveSelectedRow;
    Click(150, RowY(1));
    EXPECT_EQ(Column(list, 0), "r0 r2");
    EXPECT_FALSE(list->HasSelection());
    g_Action = Action::ResetColumns;
    g_UIMain.PostMouseMove(150, RowY(0), 0);
    g_UIMain.PostDoubleClick();
    g_UIMain.ProcessEvents();
    EXPECT_EQ(g_Calls, 2);
    EXPECT_EQ(list->GetColumnCount(), 1);
    EXPECT_EQ(list->GetRowCount(), 0);
    EXPECT_FLOAT_EQ(list->m_ContentHeight, 0.0f);
    EXPECT_EQ(list->m_ScrollFrame->m_Children.Count(), 0);
    EXPECT_EQ(g_UIMain.FindComponent(WeString("list$1")), nullptr);
    EXPECT_EQ(g_UIMain.FindComponent(WeString("list$0$0")), nullptr);
}

TEST_F(WeUIMultiListTest, CellsDeletedByNameLeaveTheSelection)
{
    WeUIMultiList* list = MakeList();
    for (const char* name : {"r0", "r1", "r2"})
        AddRow(list, name, "1");
    list->SelectCellAt(1, 2);
    ASSERT_EQ(list->m_Selection.size(), 3u);
    for (int column = 0; column < 3; ++column)
    {
        WeString name("list$");
        name.AppendInt(column);
        name += "$2";
        g_UIMain.RemoveComponent(name);
    }
    EXPECT_FALSE(list->HasSelection());
    EXPECT_TRUE(list->m_SelectionTexts.empty());
    // The last row went with its cells.
    EXPECT_EQ(list->GetRowCount(), 2);
    EXPECT_FLOAT_EQ(list->m_ContentHeight, 2 * Y(14));
    list->ClearSelection();
    list->SelectCellAt(0, 0);
    g_UIMain.RemoveComponent(WeString("list$1$0"));
    EXPECT_EQ(list->m_Selection.size(), 2u);
    EXPECT_EQ(list->GetRowCount(), 2);
    list->ClearSelection();
}

TEST_F(WeUIMultiListTest, ANameWithDollarSelectsTheRightRow)
{
    WeUIMultiList* list = MakeList("menu$list");
    for (const char* name : {"r0", "r1", "r2"})
        AddRow(list, name, "1");
    list->SelectCell(list->GetCell(1, 2));
    EXPECT_EQ(list->GetSelectedRow(), 2);
    ASSERT_EQ(list->m_Selection.size(), 3u);
    EXPECT_EQ(list->m_Selection[0], list->GetCell(0, 2));
    EXPECT_STREQ(list->GetCell(0, 2)->m_Name.c_str(), "menu$list$0$2");
}

TEST_F(WeUIMultiListTest, WheelOverTheCellsScrollsTheFrame)
{
    WeUIMultiList* list = MakeList();
    for (int i = 0; i < 40; ++i)
        AddRow(list, "row", "1");
    ASSERT_TRUE(list->m_ScrollFrame->m_VScroll->m_Visible);
    g_UIMain.PostMouseMove(150, RowY(2), -120);
    g_UIMain.PostMouseWheel(-120);
    g_UIMain.ProcessEvents();
    EXPECT_NEAR(list->m_ScrollFrame->m_VScroll->GetPosition(), 0.22f, 1e-6);
    // Rows outside the view are cut by the scissor: the frame's view is the list below its header.
    EXPECT_EQ(list->m_ScrollFrame->m_ViewPixelY, 20);
    EXPECT_EQ(list->m_ScrollFrame->m_ViewPixelHeight, 180);
}

}  // namespace
