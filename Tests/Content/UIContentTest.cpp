// The UI part of the pack: every skin part the toolkit asks for has its place in the generated atlas, no two
// overlap, every button style has its three states, the skin texture loads at the atlas size, fade rates are
// positive and every configured face is installed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/ui/WeUIMain.h"
#include "Platform/fonts/FontLibrary.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

std::vector<std::string> States(const std::string& base)
{
    return {base + "_Normal", base + "_Over", base + "_Clicked"};
}

std::vector<std::string> ButtonStyles()
{
    WeStringList keys;
    ListConfigKeys(WeString("UI.Button_"), keys);
    std::vector<std::string> styles;
    for (const WeString& key : keys)
    {
        // "UI.Button_<S>.<Key>"
        std::string k = key.c_str();
        std::string style = k.substr(10, k.find('.', 10) - 10);
        if (std::find(styles.begin(), styles.end(), style) == styles.end())
            styles.push_back(style);
    }
    return styles;
}

std::vector<std::string> RequiredParts()
{
    std::vector<std::string> parts = {
        "MouseArrow",        "Titlebar",           "CheckboxNormal",          "CheckboxMark",
        "ProgressBarLeft",   "ProgressBarMiddle",  "ProgressBarRight",        "ProgressBarLitSegment",
        "ComboboxEditLeft",  "ComboboxEditMiddle", "HeaderBarSplitterNormal", "HScrollBarSegment",
        "VScrollBarSegment", "EditBoxLeft",        "EditBoxMiddle",           "EditBoxRight",
        "EditBoxCarat",      "TextSelectionBrush", "PanelBackground"};
    for (const char* nine : {"Window", "MultiList"})
        for (const char* p :
             {"TopLeft", "Top", "TopRight", "Left", "Background", "Right", "BottomLeft", "Bottom", "BottomRight"})
            parts.push_back(std::string(nine) + p);
    for (const char* multi :
         {"ComboboxButton", "MultiListHeaderButton", "HScrollBarLeftButton", "HScrollBarRightButton", "HScrollBarThumb",
          "VScrollBarUpButton", "VScrollBarDownButton", "VScrollBarThumb"})
        for (const std::string& s : States(multi))
            parts.push_back(s);
    for (const std::string& style : ButtonStyles())
        for (const std::string& s : States("Button_" + style))
            parts.push_back(s);
    return parts;
}

class UIContent : public RecordingRender
{
};

TEST_F(UIContent, EverySkinPartLiesInTheAtlasWithoutOverlap)
{
    float horz = GetConfigFloat(WeString("UITextureMap.General.NativeHorzRes"), 0.0f);
    float vert = GetConfigFloat(WeString("UITextureMap.General.NativeVertRes"), 0.0f);
    ASSERT_GT(horz, 0.0f);
    ASSERT_GT(vert, 0.0f);
    std::vector<std::string> styles = ButtonStyles();
    EXPECT_GE(styles.size(), 2u);
    std::vector<std::string> parts = RequiredParts();
    std::vector<WeUITextureMapEntry> entries;
    for (const std::string& name : parts)
    {
        SCOPED_TRACE(name);
        WeUITextureMapEntry e = g_UIMain.GetTextureMapEntry(WeString(name.c_str()));
        EXPECT_GT(e.width, 0);
        EXPECT_GT(e.height, 0);
        EXPECT_GE(e.x, 0);
        EXPECT_GE(e.y, 0);
        EXPECT_LE(float(e.x + e.width), horz);
        EXPECT_LE(float(e.y + e.height), vert);
        entries.push_back(e);
    }
    for (size_t i = 0; i < entries.size(); ++i)
        for (size_t j = i + 1; j < entries.size(); ++j)
        {
            const WeUITextureMapEntry &a = entries[i], &b = entries[j];
            bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y || b.y + b.height <= a.y;
            EXPECT_TRUE(apart) << parts[i] << " overlaps " << parts[j];
        }
}

TEST_F(UIContent, SkinTextureLoadsAtTheAtlasSize)
{
    HWND w = window;
    ASSERT_TRUE(g_RenderDevice.Create(nullptr, w, 64, 64, 0, 0, 0, 2, 2, 1));
    WeString image = GetConfigString(WeString("UITextureMap.General.Imagefile"), WeString(""));
    EXPECT_STREQ(image.c_str(), "Textures.UI.Skin");
    WeTexture* skin = g_TextureManager.GetTexture(image, false, 0, true);
    ASSERT_NE(skin, nullptr);
    EXPECT_NE(skin, g_TextureManager.m_DefaultBlack);
    EXPECT_NE(skin, g_TextureManager.m_DefaultWhite);
    EXPECT_EQ(float(skin->m_Width), GetConfigFloat(WeString("UITextureMap.General.NativeHorzRes"), 0.0f));
    EXPECT_EQ(float(skin->m_Height), GetConfigFloat(WeString("UITextureMap.General.NativeVertRes"), 0.0f));
}

TEST(UIContentConfig, FadeRatesArePositiveAndFacesInstalled)
{
    for (const char* kind :
         {"Default", "Window", "Button", "Label", "ComboBox", "CheckBox", "HScrollBar", "VScrollBar", "ColorFrame"})
        EXPECT_GT(GetConfigFloat(WeString("UI.Fade.") + kind, 0.0f), 0.0f) << kind;
    std::vector<int> charsets = {0};
    WeString list = GetConfigString(WeString("UI.Fonts.Charsets"), WeString(""));
    for (int i = 0; !list.GetToken(',', i).IsEmpty(); ++i)
        charsets.push_back(list.GetToken(',', i).ToInt(10));
    for (const char* key : {"UI.Fonts.DefaultFontName", "UI.Fonts.DefaultUnicodeFontName"})
    {
        WeString face = GetConfigString(WeString(key), WeString(""));
        EXPECT_FALSE(face.IsEmpty()) << key;
        for (int charset : charsets)
            EXPECT_TRUE(FontLibrary::FaceExists(face.c_str(), charset)) << face.c_str() << " " << charset;
    }
    EXPECT_GT(GetConfigFloat(WeString("game.Input.MouseWheelFactor"), 0.0f), 0.0f);
    EXPECT_EQ(GetConfigInt(WeString("UI.Window.TitleWidth"), 0), 240);
}

}  // namespace
