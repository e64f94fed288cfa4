#pragma once
#include <cstdint>

#include "Engine/world/WeFrustum.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR3.h"

// One recorded state of a camera, for effects that look back in time (motion blur).
struct WeCameraState
{
    D3DXVECTOR3 position;
    D3DXMATRIX basis;  // the orientation basis as it stood when the state was recorded
    float fov = 0.0f;
    float nearPlane = 0.0f;
    float farPlane = 0.0f;
    float aspect = 0.0f;
    float time = 0.0f;  // the timer's total time
};

// The engine's viewpoint. Owners move position, direction and up, then call Update once a frame;
// the matrices, the frustum and the bases are read directly.
class WeCamera
{
public:
    static constexpr int32_t HistorySize = 1000;

    WeCamera();
    virtual ~WeCamera() = default;

    virtual void Update();
    void UpdateProjection();
    void SetFov(float radians);
    void SetNearPlane(float nearPlane);
    void SetFarPlane(float farPlane);
    // An aspect of 0 follows the screen.
    void SetProjection(float fov, float nearPlane, float farPlane, float aspect);
    // The camera's placement in the world: the basis rows with the position as the fourth row.
    D3DXMATRIX GetWorldMatrix() const;

    float m_Fov = 0.785398f;
    float m_Near = 1.0f;
    float m_Far = 1000.0f;
    float m_Aspect = 0.0f;
    WeFrustum m_Frustum;
    D3DXVECTOR3 m_Position;
    D3DXVECTOR3 m_Direction{0.0f, 0.0f, 1.0f};
    D3DXVECTOR3 m_Up{0.0f, 1.0f, 0.0f};
    D3DXVECTOR3 m_Target{0.0f, 0.0f, 1.0f};
    D3DXMATRIX m_View;
    D3DXMATRIX m_Projection;
    D3DXMATRIX m_ViewProjection;
    D3DXMATRIX m_Basis;       // rows: right, true up, direction, (0, 0, 0, 1)
    D3DXMATRIX m_LevelBasis;  // the same on the world's up axis
    uint8_t m_HistoryReset = 1;
    WeCameraState m_History[HistorySize];
    int32_t m_HistoryOldest = 0;
    int32_t m_HistoryNewest = 0;
    uint8_t m_Orthographic = 0;
    float m_OrthoWidth = 100.0f;
    float m_OrthoHeight = 100.0f;

private:
    void RecordHistory();
    void BuildBases();
};
