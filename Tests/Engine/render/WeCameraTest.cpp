#include <cmath>

#include <gtest/gtest.h>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeCameraScreen.h"
#include "Platform/math/D3DXMatrixFunctions.h"

namespace
{

void ExpectRow(const D3DXMATRIX& m, int row, float x, float y, float z, float w)
{
    SCOPED_TRACE(row);
    EXPECT_NEAR(m.m[row][0], x, 1e-5f);
    EXPECT_NEAR(m.m[row][1], y, 1e-5f);
    EXPECT_NEAR(m.m[row][2], z, 1e-5f);
    EXPECT_NEAR(m.m[row][3], w, 1e-5f);
}

class WeCameraTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved = g_CameraScreen;
        // A device made and shut down by an earlier test leaves its screen (and a raised change flag) here.
        g_CameraScreen = WeCameraScreen{};
    }
    void TearDown() override
    {
        g_CameraScreen = saved;
        g_Timer.m_TotalTimeF = 0;
    }
    void UpdateAt(WeCamera& camera, float time)
    {
        g_Timer.m_TotalTimeF = time;
        camera.Update();
    }
    WeCameraScreen saved;
};

}  // namespace

TEST_F(WeCameraTest, AspectZeroFollowsTheScreenOnlyWhenItChanged)
{
    g_CameraScreen.aspect = 4.0f / 3.0f;
    WeCamera camera;
    D3DXMATRIX expected;
    D3DXMatrixPerspectiveFovLH(&expected, camera.m_Fov, 4.0f / 3.0f, 1.0f, 1000.0f);
    EXPECT_EQ(camera.m_Projection, expected);

    g_CameraScreen.aspect = 2.0f;
    camera.Update();
    EXPECT_EQ(camera.m_Projection, expected);  // no mode change reported yet
    g_CameraScreen.screenChanged = 1;
    camera.Update();
    D3DXMatrixPerspectiveFovLH(&expected, camera.m_Fov, 2.0f, 1.0f, 1000.0f);
    EXPECT_EQ(camera.m_Projection, expected);

    WeCamera fixed;
    fixed.SetProjection(1.0f, 2.0f, 500.0f, 1.5f);
    g_CameraScreen.aspect = 3.0f;
    fixed.Update();
    D3DXMatrixPerspectiveFovLH(&expected, 1.0f, 1.5f, 2.0f, 500.0f);
    EXPECT_EQ(fixed.m_Projection, expected);
}

TEST_F(WeCameraTest, OrthographicIgnoresFovAndAspect)
{
    WeCamera camera;
    camera.m_Orthographic = 1;
    camera.SetProjection(0.3f, 2.0f, 50.0f, 7.0f);
    D3DXMATRIX expected;
    D3DXMatrixOrthoLH(&expected, 100.0f, 100.0f, 2.0f, 50.0f);
    EXPECT_EQ(camera.m_Projection, expected);
}

TEST_F(WeCameraTest, UpdateBuildsViewTargetAndFrustum)
{
    WeCamera camera;
    camera.m_Position = D3DXVECTOR3(1, 2, 3);
    camera.m_Direction = D3DXVECTOR3(0, 0, 2);
    camera.Update();
    EXPECT_EQ(camera.m_Target, D3DXVECTOR3(1, 2, 5));
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &camera.m_View, &camera.m_Projection);
    EXPECT_EQ(camera.m_ViewProjection, product);
    EXPECT_EQ(camera.m_Frustum.m_ViewProjection, product);
    EXPECT_EQ(camera.m_Frustum.m_Eye, camera.m_Position);
}

TEST_F(WeCameraTest, BasesAgainstHandComputedRows)
{
    WeCamera camera;
    camera.m_Direction = D3DXVECTOR3(0, 0, 1);
    camera.m_Up = D3DXVECTOR3(1, 1, 0);
    camera.Update();
    const float h = std::sqrt(0.5f);
    ExpectRow(camera.m_Basis, 0, h, -h, 0, 0);
    ExpectRow(camera.m_Basis, 1, h, h, 0, 0);
    ExpectRow(camera.m_Basis, 2, 0, 0, 1, 0);
    ExpectRow(camera.m_Basis, 3, 0, 0, 0, 1);
    ExpectRow(camera.m_LevelBasis, 0, 1, 0, 0, 0);
    ExpectRow(camera.m_LevelBasis, 1, 0, 1, 0, 0);

    // Only the right vectors are normalised.
    camera.m_Direction = D3DXVECTOR3(0, 1, 1);
    camera.m_Up = D3DXVECTOR3(0, 1, 0);
    camera.m_Position = D3DXVECTOR3(4, 5, 6);
    camera.Update();
    ExpectRow(camera.m_Basis, 0, 1, 0, 0, 0);
    ExpectRow(camera.m_Basis, 1, 0, 1, -1, 0);
    ExpectRow(camera.m_LevelBasis, 1, 0, 1, -1, 0);
    const D3DXMATRIX world = camera.GetWorldMatrix();
    ExpectRow(world, 2, 0, 1, 1, 0);
    ExpectRow(world, 3, 4, 5, 6, 1);
}

TEST_F(WeCameraTest, DegenerateInputGivesZeroRowsNotNaN)
{
    const D3DXVECTOR3 directions[] = {D3DXVECTOR3(0, 3, 0), D3DXVECTOR3(0, 0, 0)};
    for (const D3DXVECTOR3& d : directions)
    {
        WeCamera camera;
        camera.m_Direction = d;
        camera.Update();
        ExpectRow(camera.m_Basis, 0, 0, 0, 0, 0);
        ExpectRow(camera.m_Basis, 1, 0, 0, 0, 0);
        ExpectRow(camera.m_LevelBasis, 0, 0, 0, 0, 0);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_FALSE(std::isnan(camera.m_View.m[r][c]));
    }
}

TEST_F(WeCameraTest, HistoryRecordsOneStatePerTimerTime)
{
    WeCamera camera;
    UpdateAt(camera, 1.0f);  // the first update only resets
    EXPECT_EQ(camera.m_HistoryNewest, 0);
    camera.m_Position = D3DXVECTOR3(7, 0, 0);
    UpdateAt(camera, 2.0f);
    UpdateAt(camera, 2.0f);
    EXPECT_EQ(camera.m_HistoryNewest, 1);
    EXPECT_EQ(camera.m_History[1].time, 2.0f);
    EXPECT_EQ(camera.m_History[1].position, D3DXVECTOR3(7, 0, 0));
    // The basis recorded is the one the previous update built.
    camera.m_Direction = D3DXVECTOR3(1, 0, 0);
    const D3DXMATRIX before = camera.m_Basis;
    UpdateAt(camera, 3.0f);
    EXPECT_EQ(camera.m_History[2].basis, before);
    EXPECT_NE(camera.m_Basis, before);
}

TEST_F(WeCameraTest, HistoryRingFirstLapOverwriteAndReset)
{
    WeCamera camera;
    UpdateAt(camera, 0.5f);
    for (int i = 1; i <= 999; ++i)
        UpdateAt(camera, static_cast<float>(i));
    EXPECT_EQ(camera.m_HistoryOldest, 0);
    EXPECT_EQ(camera.m_HistoryNewest, 999);
    EXPECT_EQ(camera.m_History[1].time, 1.0f);
    UpdateAt(camera, 1000.0f);  // the first lap ends in slot 0
    EXPECT_EQ(camera.m_HistoryNewest, 0);
    EXPECT_EQ(camera.m_HistoryOldest, 1);
    EXPECT_EQ(camera.m_History[0].time, 1000.0f);
    UpdateAt(camera, 1001.0f);  // overwrites the oldest
    EXPECT_EQ(camera.m_HistoryNewest, 1);
    EXPECT_EQ(camera.m_HistoryOldest, 2);
    EXPECT_EQ(camera.m_History[1].time, 1001.0f);

    camera.m_HistoryReset = 1;
    UpdateAt(camera, 1002.0f);
    EXPECT_EQ(camera.m_HistoryOldest, 0);
    EXPECT_EQ(camera.m_HistoryNewest, 0);
    EXPECT_EQ(camera.m_HistoryReset, 0);
    EXPECT_EQ(camera.m_History[2].time, 2.0f);  // nothing recorded by the resetting update
    UpdateAt(camera, 1003.0f);
    EXPECT_EQ(camera.m_HistoryNewest, 1);
}
