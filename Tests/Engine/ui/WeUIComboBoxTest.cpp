// Combo boxes through the real dispatch: items named and placed in order, the empty list, selection by index
// with a fallback, the change callback only for item clicks, closing on a release elsewhere, and refilling
// the items from inside an item's own handler.
#include <gtest/gtest.h>

#include <string>

#include "Engine/ui/WeUIComboBox.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{

std::vector<int> g_Selected;
bool g_Refill = false;

int32_t OnChange(WeUIComponent* sender)
{
    auto* combo = static_cast<WeUIComboBox*>(sender);
    g_Selected.push_back(combo->GetSelectedIndex());
    if (g_Refill)
    {
        WeStringList items;
        items.PushBack(WeString("x"));
        items.PushBack(WeString("y"));
        combo->SetItems(items);
    }
    return 3;
}

class WeUIComboBoxTest : public UIRenderTest
{
protected:
    void SetUp() override
    {
        UIRenderTest::SetUp();
        g_Selected.clear();
        g_Refill = false;
        for (const char* state : {"_Normal", "_Over", "_Clicked"})
            SetPart((std::string("ComboboxButton") + state).c_str(), 0, 0, 20, 24);
        SetPart("ComboboxEditLeft", 20, 0, 8, 24);
        SetPart("ComboboxEditMiddle", 28, 0, 8, 24);
        combo = new WeUIComboBox(Root(), WeString("combo"), 100.0f / 1024, 100.0f / 768, 200.0f / 1024, 0.0f);
        combo->m_OnChange = OnChange;
    }
    void Fill()
    {
        combo->AddItem(WeString("a"), 10, false);
        combo->AddItem(WeString("b"), 11, false);
        combo->AddItem(WeString("c"), 12, false);
    }
    static void Click(int x, int y)
    {
        g_UIMain.PostMouseMove(x, y, 0);
        g_UIMain.PostMouseDown(0);
        g_UIMain.PostMouseUp(0);
        g_UIMain.ProcessEvents();
    }
    // Opens the list with the button and lets it fade in.
    void Open()
    {
        Click(290, 110);
        Ticks(30);
        ASSERT_TRUE(combo->IsOpen());
    }
    WeUIComboBox* combo = nullptr;
};

TEST_F(WeUIComboBoxTest, EmptyBoxOpensAListOfNoHeight)
{
    EXPECT_EQ(combo->m_CollapsedPixelHeight, 24);
    EXPECT_EQ(combo->m_ExpandedPixelHeight, 24);
    EXPECT_EQ(combo->m_Button->m_PixelX, 180);
    Open();
    EXPECT_EQ(combo->m_List->m_PixelHeight, 0);
    EXPECT_EQ(combo->m_PixelHeight, 24);
    EXPECT_EQ(combo->GetSelectedIndex(), -1);
}

TEST_F(WeUIComboBoxTest, ItemsAreNamedAndStackedInTheListWindow)
{
    Fill();
    WeUILabel* item = combo->GetItem(2);
    ASSERT_NE(item, nullptr);
    EXPECT_STREQ(item->m_Name.c_str(), "combo$List$Item 2");
    EXPECT_EQ(item->m_Parent, combo->m_List);
    EXPECT_EQ(item->m_UserData, 12);
    EXPECT_EQ(item->GetScreenY(), 100 + 24 + 48);
    EXPECT_EQ(item->m_PixelWidth, 200);
    EXPECT_EQ(combo->m_List->m_PixelHeight, 72);
    EXPECT_EQ(combo->m_ExpandedPixelHeight, 96);
    EXPECT_TRUE(combo->m_List->m_TopMost);
    EXPECT_FALSE(combo->m_List->m_Visible);
}

TEST_F(WeUIComboBoxTest, SelectedIndexFallsBackAndNeverCallsBack)
{
    Fill();
    struct
    {
        int index, fallback, selected;
        const char* text;
    } cases[] = {{1, -1, 1, "b"}, {5, 0, 0, "a"}, {5, -1, -1, ""}, {-1, 2, 2, "c"}, {-1, 7, -1, ""}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.index * 10 + c.fallback);
        combo->SetSelectedIndex(c.index, c.fallback);
        EXPECT_EQ(combo->GetSelectedIndex(), c.selected);
        EXPECT_STREQ(combo->m_Text->m_Text.c_str(), c.text);
    }
    combo->SetSelection(combo->GetItem(1));
    EXPECT_TRUE(g_Selected.empty());
}

TEST_F(WeUIComboBoxTest, ItemClickSelectsClosesAndCallsBack)
{
    Fill();
    Open();
    EXPECT_EQ(combo->m_PixelHeight, 96);
    // Hovering an item lights its blue background.
    g_UIMain.PostMouseMove(150, 100 + 24 + 48 + 12, 0);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(combo->GetItem(2)->m_NoBackground, 0);
    Click(150, 100 + 24 + 48 + 12);
    EXPECT_EQ(g_Selected, std::vector<int>{2});
    EXPECT_STREQ(combo->m_Text->m_Text.c_str(), "c");
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_EQ(combo->m_PixelHeight, 24);
    Ticks(30);
    EXPECT_FALSE(combo->m_List->m_Visible);
}

TEST_F(WeUIComboBoxTest, OpenListIsDrawnOverWidgetsCreatedLater)
{
    Fill();
    float black[4] = {0, 0, 0, 1};
    auto* cover = new WeUILabel(Root(), WeString("cover"), WeString(""), 0, 0, 1, 1, false, 0, 0, black);
    cover->m_NoBackground = 0;
    auto listQuadAfterCover = []
    {
        int coverAt = -1, listAt = -1, i = 0;
        for (const UIQuad& q : Quads())
        {
            if (q.x0 == 0.0f && q.x1 == 1024.0f && coverAt < 0)
                coverAt = i;
            if (q.x0 == 100.0f && q.y0 == 124.0f && listAt < 0)
                listAt = i;
            ++i;
        }
        return listAt > coverAt && coverAt >= 0;
    };
    Ticks(1);
    g_UIMain.DrawMainLayer();
    EXPECT_FALSE(listQuadAfterCover());
    cover->m_InputEnabled = 0;
    Open();
    g_GfxRecorder.ClearLog();
    g_UIMain.DrawMainLayer();
    EXPECT_TRUE(listQuadAfterCover());
}

TEST_F(WeUIComboBoxTest, ReleaseElsewhereClosesTheList)
{
    Fill();
    Open();
    Click(600, 600);
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_TRUE(g_Selected.empty());
    // A click on the field toggles it open again, and a second one closes it.
    Ticks(30);
    Click(150, 110);
    EXPECT_TRUE(combo->IsOpen());
    Ticks(30);
    Click(150, 110);
    EXPECT_FALSE(combo->IsOpen());
}

TEST_F(WeUIComboBoxTest, RefillingFromTheChangeCallbackKeepsTheClickedItemAlive)
{
    Fill();
    Open();
    g_Refill = true;
    Click(150, 100 + 24 + 24 + 12);
    EXPECT_EQ(g_Selected, std::vector<int>{1});
    EXPECT_EQ(combo->GetItemCount(), 2);
    EXPECT_EQ(combo->GetSelection(), nullptr);
    ASSERT_NE(combo->GetItem(1), nullptr);
    EXPECT_STREQ(combo->GetItem(1)->m_Text->m_Text.c_str(), "y");
    EXPECT_EQ(combo->GetItem(2), nullptr);
    EXPECT_EQ(combo->m_List->m_Children.Count(), 2);
    EXPECT_EQ(combo->m_ExpandedPixelHeight, 72);
}

TEST_F(WeUIComboBoxTest, ASelectedItemDeletedFromOutsideLeavesNoSelection)
{
    Fill();
    combo->SetSelectedIndex(1, -1);
    ASSERT_NE(combo->GetSelection(), nullptr);
    // Deleted by name, as a screen would: the box neither reads the freed item nor shows its text.
    g_UIMain.RemoveComponent(WeString("combo$List$Item 1"));
    EXPECT_EQ(combo->GetSelection(), nullptr);
    EXPECT_EQ(combo->GetSelectedIndex(), -1);
    EXPECT_STREQ(combo->m_Text->m_Text.c_str(), "");
    // Deleted inside a handler (its deletion waits), then drawn: the selection is gone at once.
    combo->SetSelectedIndex(2, -1);
    g_UIMain.BeginDispatch();
    g_UIMain.RemoveComponent(WeString("combo$List$Item 2"));
    EXPECT_EQ(combo->GetSelectedIndex(), -1);
    g_UIMain.EndDispatch();
    combo->SetSelectedIndex(0, -1);
    g_UIMain.RemoveComponent(WeString("combo$List$Item 0"));
    g_UIMain.DrawMainLayer();
    EXPECT_STREQ(combo->m_Text->m_Text.c_str(), "");
    EXPECT_EQ(combo->GetSelection(), nullptr);
}

}  // namespace
