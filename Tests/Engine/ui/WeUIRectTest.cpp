// Skinned rectangles and nine-part frames: texture-map lookup, placement on the owner, the tint and the
// hover and press cross-fade, and the nine parts' layout (unclamped when the frame is small).
#include <gtest/gtest.h>

#include "Engine/ui/WeUINinePartRect.h"
#include "Engine/ui/WeUIRect.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{

class WeUIRectTest : public UIRenderTest
{
};

TEST_F(WeUIRectTest, TextureMapEntryGivesEdgeCoordinates)
{
    SetFloat("UITextureMap.General.NativeHorzRes", 512);
    SetFloat("UITextureMap.General.NativeVertRes", 1024);
    SetPart("RectUvPart", 0, 512, 64, 32);
    WeUIRect rect(Root(), WeString("RectUvPart"), 0, 0, 0.1f, 0.1f, false);
    EXPECT_FLOAT_EQ(rect.m_Normal.u0, 0.0f);
    EXPECT_FLOAT_EQ(rect.m_Normal.v0, 0.5f);
    EXPECT_FLOAT_EQ(rect.m_Normal.u1, 0.125f);
    EXPECT_FLOAT_EQ(rect.m_Normal.v1, 0.53125f);
    // A part without keys is all zero, and still draws its quad.
    WeUIRect missing(Root(), WeString("RectNoSuchPart"), 0, 0, 0.1f, 0.1f, false);
    EXPECT_EQ(missing.m_Normal.width, 0);
    EXPECT_FLOAT_EQ(missing.m_Normal.u1, 0.0f);
    EXPECT_FLOAT_EQ(missing.m_Normal.v1, 0.0f);
    missing.Draw();
    EXPECT_EQ(SkinQuads().size(), 1u);
}

TEST_F(WeUIRectTest, DrawsOnTheOwnerAndCrossFadesStates)
{
    SetPart("RectBtn_Normal", 0, 0, 8, 8);
    SetPart("RectBtn_Over", 8, 0, 8, 8);
    SetPart("RectBtn_Clicked", 16, 0, 8, 8);
    auto* owner = new WeUIComponent(Root(), WeString("rectOwner"));
    owner->SetRect(100.0f / 1024, 200.0f / 768, 0.2f, 0.2f);
    owner->m_Colour[0] = 0.0f;
    owner->Update();
    WeUIRect rect(owner, WeString("RectBtn"), 10.0f / 1024, 20.0f / 768, 50.0f / 1024, 40.0f / 768, true);
    EXPECT_EQ(rect.m_Over.x, 8);
    EXPECT_EQ(rect.m_Clicked.x, 16);
    rect.Draw();
    EXPECT_EQ(rect.m_DrawX, 110);
    EXPECT_EQ(rect.m_DrawY, 220);
    auto idle = SkinQuads();
    ASSERT_EQ(idle.size(), 3u);
    EXPECT_EQ(idle[0].x0, 110.0f);
    EXPECT_EQ(idle[0].y1, 260.0f);
    // Normal in the owner's colour, over and clicked invisible while the owner is idle.
    EXPECT_EQ(idle[0].colour, 0xFF00FFFFu);
    EXPECT_EQ(idle[1].Alpha(), 0u);
    EXPECT_EQ(idle[2].Alpha(), 0u);
    // Fully pressed: the clicked image is opaque.
    owner->m_PressLevel = 1.0;
    owner->Update();
    g_GfxRecorder.ClearLog();
    rect.Draw();
    auto pressed = SkinQuads();
    ASSERT_EQ(pressed.size(), 3u);
    EXPECT_EQ(pressed[2].Alpha(), 255u);
}

TEST_F(WeUIRectTest, NinePartFrameKeepsCornersAndStretchesTheRest)
{
    for (const char* p : {"NineTopLeft", "NineTop", "NineTopRight", "NineLeft", "NineBackground", "NineRight",
                          "NineBottomLeft", "NineBottom", "NineBottomRight"})
        SetPart(p, 0, 0, 16, 16);
    auto* owner = new WeUIComponent(Root(), WeString("nineOwner"));
    owner->SetRect(0, 0, 1, 1);
    struct
    {
        float w, h;      // frame, reference pixels
        float bgW, bgH;  // background, reference pixels
    } cases[] = {{300, 200, 268, 168}, {20, 10, -12, -22}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.w);
        WeUINinePartRect frame(owner, WeString("Nine"), 0, 0, c.w / 1024, c.h / 768);
        EXPECT_NEAR(frame.m_Background->m_X * 1024, 16, 1e-3);
        EXPECT_NEAR(frame.m_Background->m_Y * 768, 16, 1e-3);
        EXPECT_NEAR(frame.m_Background->m_Width * 1024, c.bgW, 1e-3);
        EXPECT_NEAR(frame.m_Background->m_Height * 768, c.bgH, 1e-3);
        EXPECT_NEAR(frame.m_BottomRight->m_X * 1024, c.w - 16, 1e-3);
        EXPECT_NEAR(frame.m_BottomRight->m_Y * 768, c.h - 16, 1e-3);
        EXPECT_NEAR(frame.m_Right->m_Height * 768, c.h - 32, 1e-3);
        EXPECT_NEAR(frame.m_Top->m_Width * 1024, c.w - 32, 1e-3);
    }
    // SetRect moves every part; the frame draws its nine parts from the top left.
    WeUINinePartRect frame(owner, WeString("Nine"), 0, 0, 0.1f, 0.1f);
    frame.SetRect(100.0f / 1024, 100.0f / 768, 300.0f / 1024, 200.0f / 768);
    EXPECT_EQ(frame.m_PixelWidth, 300);
    EXPECT_EQ(frame.m_Background->m_PixelX, 116);
    EXPECT_EQ(frame.m_Background->m_PixelWidth, 268);
    g_GfxRecorder.ClearLog();
    frame.Draw();
    auto quads = SkinQuads();
    ASSERT_EQ(quads.size(), 9u);
    EXPECT_EQ(quads[0].x0, 100.0f);
    EXPECT_EQ(quads[8].x1, 400.0f);
    EXPECT_EQ(quads[8].y1, 300.0f);
}

}  // namespace
