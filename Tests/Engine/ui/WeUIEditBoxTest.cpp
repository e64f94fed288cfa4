// The edit box on UTF-8 text: key scripts (typing up to the limit, replacing a selection, Backspace, Delete,
// the caret keys with and without Shift, multi-byte characters as whole units, surrogate halves), the Enter
// and Escape callbacks, keys consumed from the input device, the brush shown once focused, and selection
// with the mouse through the characters' midpoints.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "Engine/runtime/WeInput.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeUIEditBox.h"
#include "Engine/ui/WeUIRect.h"
#include "Engine/ui/WeUIText.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{

std::vector<std::string> g_Events;

int32_t OnEnter(int32_t value, WeUIComponent* sender)
{
    g_Events.push_back("enter " + std::to_string(value) + " " + sender->m_Name.c_str());
    return 0;
}

int32_t OnEscape(int32_t value, WeUIComponent*)
{
    g_Events.push_back("escape " + std::to_string(value));
    return 0;
}

int32_t OnKeyUp(int32_t key, WeUIComponent*)
{
    g_Events.push_back("keyup " + std::to_string(key));
    return 0;
}

constexpr int Shift = 1000;  // added to a key: held with Shift

class WeUIEditBoxTest : public UIRenderTest
{
protected:
    void SetUp() override
    {
        UIRenderTest::SetUp();
        g_Events.clear();
        g_Input.m_Shift = 0;
        SetPart("EditBoxLeft", 0, 0, 8, 24);
        SetPart("EditBoxMiddle", 8, 0, 8, 24);
        SetPart("EditBoxRight", 16, 0, 8, 24);
        SetPart("EditBoxCarat", 24, 0, 2, 16);
        SetPart("TextSelectionBrush", 26, 0, 4, 16);
        box = new WeUIEditBox(Root(), WeString("edit"), 100.0f / 1024, 100.0f / 768, 300.0f / 1024, 24.0f / 768);
    }
    void TearDown() override
    {
        g_Input.m_Shift = 0;
        UIRenderTest::TearDown();
    }
    // Positive: a key code (plus Shift to hold Shift); negative: a typed character.
    void Keys(std::initializer_list<int> keys)
    {
        for (int key : keys)
        {
            g_Input.m_Shift = key > Shift ? 1 : 0;
            box->OnKeyDown(key > Shift ? key - Shift : key);
        }
        g_Input.m_Shift = 0;
    }
    void Type(const char* ascii)
    {
        for (const char* c = ascii; *c; ++c)
            box->OnKeyDown(-int(*c));
    }
    std::string Text() const { return box->GetText().c_str(); }
    int32_t Width(const char* text) const
    {
        int32_t size[2] = {0, 0};
        box->m_Text->m_Font->GetTextExtent(WeString(text), size, 0);
        return size[0];
    }
    WeUIEditBox* box = nullptr;
};

TEST_F(WeUIEditBoxTest, TypingStopsAtTheLimitButReplacesASelection)
{
    for (int i = 0; i < 31; ++i)
        box->OnKeyDown(-'x');
    EXPECT_EQ(Text(), std::string(30, 'x'));
    EXPECT_EQ(box->GetCaret(), 30);
    Keys({203 + Shift});
    Keys({-0xE9});  // é replaces the selected x: 30 code points, 31 bytes
    EXPECT_EQ(Text(), std::string(29, 'x') + "\xC3\xA9");
    EXPECT_EQ(box->GetCaret(), 31);
    EXPECT_EQ(box->GetAnchor(), 31);
    Keys({-'y'});
    EXPECT_EQ(box->GetText().Length(), 31);
}

TEST_F(WeUIEditBoxTest, NoMaximumBlocksAllTyping)
{
    for (int max : {0, -1})
    {
        SCOPED_TRACE(max);
        box->SetText(WeString("ab"));
        box->m_MaxLength = max;
        Type("c");
        box->MoveCaretToEnd();
        Type("d");
        EXPECT_EQ(Text(), "ab");
    }
}

TEST_F(WeUIEditBoxTest, EditingKeyScripts)
{
    struct
    {
        const char* start;
        std::initializer_list<int> keys;
        const char* text;
        int caret, anchor;
    } cases[] = {
        {"hello", {14}, "hell", 4, 4},
        {"hello", {199, 14}, "hello", 0, 0},                        // Backspace at 0
        {"hello", {203 + Shift}, "hello", 4, 5},                    // Shift+Left selects the code point before
        {"hello", {203 + Shift, 203}, "hello", 4, 4},               // Left collapses to the selection's start
        {"hello", {203 + Shift, 203 + Shift, 205}, "hello", 5, 5},  // Right to its end
        {"hello", {199, 207 + Shift}, "hello", 5, 0},               // Home, Shift+End: all
        {"hello", {199, 207 + Shift, 211}, "", 0, 0},               // Delete removes the selection
        {"hello", {199, 211, 211}, "llo", 0, 0},
        {"hello", {203, 203 + Shift, 14}, "helo", 3, 3},  // Backspace removes the selection
        {"hello", {205}, "hello", 5, 5},                  // Right at the end stays
        // Multi-byte characters are stepped over and removed whole: a, é (2 bytes), € (3 bytes).
        {"a\xC3\xA9\xE2\x82\xAC", {203}, "a\xC3\xA9\xE2\x82\xAC", 3, 3},
        {"a\xC3\xA9\xE2\x82\xAC", {203, 203}, "a\xC3\xA9\xE2\x82\xAC", 1, 1},
        {"a\xC3\xA9\xE2\x82\xAC", {14}, "a\xC3\xA9", 3, 3},
        {"a\xC3\xA9\xE2\x82\xAC", {203, 203, 211}, "a\xE2\x82\xAC", 1, 1},
        {"a\xC3\xA9\xE2\x82\xAC", {203, -0x20AC}, "a\xC3\xA9\xE2\x82\xAC\xE2\x82\xAC", 6, 6},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.start) + " -> " + c.text);
        box->SetText(WeString(c.start));
        Keys(c.keys);
        EXPECT_EQ(Text(), c.text);
        EXPECT_EQ(box->GetCaret(), c.caret);
        EXPECT_EQ(box->GetAnchor(), c.anchor);
    }
}

TEST_F(WeUIEditBoxTest, SurrogateHalvesAndControlCharactersAreNotTyped)
{
    box->SetText(WeString("ab"));
    for (int unit : {0xD83D, 0xDE00, 0xDBFF, 0xDC00, 31, 8})
    {
        SCOPED_TRACE(unit);
        EXPECT_EQ(box->OnKeyDown(-unit), 0);
        EXPECT_EQ(Text(), "ab");
    }
    Type(" ");
    EXPECT_EQ(Text(), "ab ");
}

TEST_F(WeUIEditBoxTest, EnterAndEscapeCallBackAndHandledKeysAreConsumed)
{
    box->m_OnEnter = OnEnter;
    box->m_OnEscape = OnEscape;
    box->m_OnKeyUp = OnKeyUp;
    g_Input.m_Edges[28] = 1;
    g_Input.m_PendingEdges = 1;
    EXPECT_EQ(box->OnKeyDown(28), 1);
    EXPECT_EQ(g_Input.m_Edges[28], 0);
    // Without an edge to consume the key is handled all the same, but reported unconsumed.
    EXPECT_EQ(box->OnKeyDown(156), 0);
    EXPECT_EQ(box->OnKeyDown(1), 0);
    // A key the box does not edit with is neither handled nor passed on.
    EXPECT_EQ(box->OnKeyDown(30), 0);
    std::vector<std::string> expected = {"enter 1 edit", "keyup 28", "enter 1 edit",
                                         "keyup 156",    "escape 1", "keyup 1"};
    EXPECT_EQ(g_Events, expected);
    // Through the queue to the focused box.
    g_UIMain.SetFocus(WeString("edit"));
    g_UIMain.PostKeyDown(-'Q');
    g_UIMain.ProcessEvents();
    EXPECT_EQ(Text(), "Q");
}

TEST_F(WeUIEditBoxTest, MoveCaretToEndShowsTheBrushOverTheTextOnceFocused)
{
    box->SetText(WeString("Ace 7"));
    box->MoveCaretToEnd();
    EXPECT_EQ(box->GetAnchor(), 0);
    EXPECT_EQ(box->GetCaret(), 5);
    Ticks(1);
    g_UIMain.DrawMainLayer();
    EXPECT_EQ(SkinQuads().size(), 3u);  // the frame only
    g_UIMain.SetFocus(WeString("edit"));
    g_GfxRecorder.ClearLog();
    g_UIMain.DrawMainLayer();
    auto quads = SkinQuads();
    ASSERT_EQ(quads.size(), 5u);
    int textWidth = Width("Ace 7");
    EXPECT_GT(textWidth, 20);
    EXPECT_EQ(quads[3].x0, float(108 + textWidth));  // caret at the end
    EXPECT_EQ(quads[4].x0, 108.0f);                  // brush over the whole text
    EXPECT_EQ(quads[4].x1 - quads[4].x0, float(textWidth));
    EXPECT_EQ(quads[4].y0, 104.0f);
    EXPECT_EQ(quads[4].y1, 120.0f);
}

TEST_F(WeUIEditBoxTest, MouseSelectsThroughTheCharactersMidpoints)
{
    box->SetText(WeString("a\xC3\xA9"
                          "c"));
    int a = Width("a"), e = Width("\xC3\xA9"), c = Width("c");
    std::vector<int32_t> expected = {108 + a / 2, 108 + a + e / 2, 108 + a + e / 2, 108 + a + e + c / 2};
    EXPECT_EQ(box->m_Boundaries, expected);
    // Pressed just right of a's middle, dragged beyond the text, released.
    g_UIMain.PostMouseMove(108 + a / 2 + 1, 110, 0);
    g_UIMain.PostMouseDown(0);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(box->GetCaret(), 1);
    EXPECT_EQ(box->GetAnchor(), 1);
    g_UIMain.PostMouseMove(350, 110, 0);
    g_UIMain.PostMouseUp(0);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(box->GetCaret(), 4);
    EXPECT_EQ(box->GetAnchor(), 1);
    EXPECT_EQ(box->m_MouseSelecting, 0);
    // Left of the first middle is index 0; on the é's middle the index is its first byte's.
    g_UIMain.PostMouseMove(109, 110, 0);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(box->m_MouseIndex, 0);
    g_UIMain.PostMouseMove(108 + a + e / 2 - 1, 110, 0);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(box->m_MouseIndex, 1);
}

}  // namespace
