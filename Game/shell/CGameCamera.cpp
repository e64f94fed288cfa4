#include "Game/shell/CGameCamera.h"

#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeRaycastHit.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameCameraPreset.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Platform/physics/NxTypes.h"
#include "Platform/system/SysRandom.h"

namespace
{
float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    D3DXVECTOR3 out;
    D3DXVec3Cross(&out, &a, &b);
    return out;
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(Dot(v, v));
}

// A vector too short to have a direction keeps the fallback.
D3DXVECTOR3 NormalizedOr(const D3DXVECTOR3& v, const D3DXVECTOR3& fallback)
{
    const float length = Length(v);
    return length > 1e-6f && std::isfinite(length) ? v / length : fallback;
}

D3DXVECTOR3 Row(const D3DXMATRIX& m, int32_t row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

struct Settings
{
    const float& shakeVector = GetConfigFloat("cameras.Shake.CameraShakeVector", 2.5f);
    const float& invTurboAttenuator = GetConfigFloat("cameras.Shake.InvTurboAttenuator", 0.01f);
    const float& invShakeAtt = GetConfigFloat("cameras.Shake.InvCameraShakeAtt", 0.02f);
    const float& shakeSoftAtt = GetConfigFloat("cameras.Shake.CameraShakeSoftAtt", 200.0f);
    const float& invShakeIncreaseAtt = GetConfigFloat("cameras.Shake.InvCameraShakeIncreaseAtt", 0.01f);
    const float& radialMotionBlur = GetConfigFloat("cameras.Tuber.RadialMotionBlur", 0.1f);
    const float& fovSpeed = GetConfigFloat("cameras.Tuber.FOVSpeed", 5.0f);
};

const Settings& GetSettings()
{
    static const Settings settings;
    return settings;
}

// The forward axis of the path node nearest a point, or null without a path.
bool NearestNodeForward(const D3DXVECTOR3& point, D3DXVECTOR3& forward, D3DXVECTOR3* projected)
{
    if (g_Game.m_Map == nullptr)
        return false;
    WePathNode* node = nullptr;
    WePathNode* next = nullptr;
    D3DXVECTOR3 onTrack = point;
    g_Game.m_Map->FindTrackPosition(point, &node, &next, nullptr, nullptr, &onTrack, nullptr);
    if (node == nullptr)
        return false;
    forward = NormalizedOr(Row(node->GetWorldMatrix(), 2), D3DXVECTOR3(0.0f, 0.0f, 1.0f));
    if (projected != nullptr)
        *projected = onTrack;
    return true;
}

// The first wall facing the ray within length; a ray that starts inside geometry leaves it through back faces,
// which are passed 1 mm at a time.
bool FirstFacingWall(const D3DXVECTOR3& from, const D3DXVECTOR3& ray, float length, WeRaycastHit& wall,
                     float& travelled)
{
    D3DXVECTOR3 start = from;
    travelled = 0.0f;
    for (int32_t cast = 0; cast < CGameCamera::MaxHitCasts && travelled < length; ++cast)
    {
        WeRaycastHit hit;
        if (!g_Physics.RaycastClosest(start, ray, NX_STATIC_SHAPES, hit, 0xFFFFFFFFu, length - travelled, 0))
            return false;
        travelled += hit.distance;
        if (Dot(hit.normal, ray) < 0.0f)
        {
            wall = hit;
            return true;
        }
        travelled += 0.001f;
        start = hit.impact + ray * 0.001f;
    }
    return false;
}

// No wall turned towards the craft between it and the point.
bool InSight(const D3DXVECTOR3& craft, const D3DXVECTOR3& point)
{
    const D3DXVECTOR3 offset = point - craft;
    const float length = Length(offset);
    WeRaycastHit wall;
    float travelled = 0.0f;
    return !(length > 1e-4f) || !FirstFacingWall(craft, offset / length, length, wall, travelled);
}
}  // namespace

CGameCamera::CGameCamera()
{
    m_Near = 0.2f;
    m_Far = 3000.0f;
}

CGameCamera::~CGameCamera() = default;

void CGameCamera::LoadPresets()
{
    CGameCameraPresets& table = g_CameraPresets;
    const int32_t count = GetConfigInt("cameras.Init.Count", 1);
    table.m_Count = count < 1 ? 1 : (count > CGameCameraPresets::MaxNumbered ? CGameCameraPresets::MaxNumbered : count);
    for (int32_t i = 0; i < CGameCameraPresets::MaxNumbered; ++i)
    {
        table.m_Numbered[i] = CGameCameraPreset();
        if (i < table.m_Count)
        {
            WeString prefix("cameras.Camera");
            prefix.AppendInt(i + 1);
            table.m_Numbered[i].Load(prefix);
        }
    }
    table.m_Finishing.Load(WeString("cameras.FinishingCamera"));
    table.m_Reverse.Load(WeString("cameras.ReverseCamera"));
}

void CGameCamera::SelectActivePreset()
{
    const CGameCameraPresets& table = g_CameraPresets;
    const bool playerFinished = g_Game.m_PlayerTuber != nullptr && g_Game.m_PlayerTuber->m_Finished;
    const bool normalEnd =
        g_PlayGamePhase.m_RaceState == CPlayGamePhase::Finished && g_PlayGamePhase.m_FinishReason == 0;
    if (playerFinished || normalEnd)
        m_ActivePreset = &table.m_Finishing;
    else if (g_Game.m_ReverseView != 0)
        m_ActivePreset = &table.m_Reverse;
    else
    {
        if (m_PresetIndex < 0 || m_PresetIndex >= table.m_Count)
            m_PresetIndex = 0;
        m_ActivePreset = &table.m_Numbered[m_PresetIndex];
    }
}

void CGameCamera::NextPreset()
{
    m_PresetIndex = m_PresetIndex + 1 >= g_CameraPresets.m_Count ? 0 : m_PresetIndex + 1;
}

void CGameCamera::SelectPreset(int32_t index)
{
    if (index >= 0 && index < g_CameraPresets.m_Count)
        m_PresetIndex = index;
}

void CGameCamera::ResetPresetState()
{
    m_ViewDirection = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    m_SmoothUp = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    m_CurrentDistance = m_CurrentBackDistance = m_CurrentUpDistance = 0.0f;
    m_PreviousCraftSpeed = 0.0f;
    m_ShakeElapsed = m_ShakeDuration = 0.0f;
    m_ShakeMode = NoShake;
    m_PresetIndex = 0;
    m_ActivePreset = nullptr;
    m_Active = 0;
    m_PreviousReverseView = 0;
    g_Game.m_ReverseView = 0;
    m_HistoryReset = 1;
}

void CGameCamera::Shake(int32_t mode, float seconds)
{
    m_ShakeMode = mode;
    m_ShakeDuration = seconds;
    m_ShakeElapsed = 0.0f;
}

float CGameCamera::FovForSpeed(const CGameCameraPreset& p, float v, float n, float m)
{
    // Without a top speed there is no fraction of it.
    if (!(n > 0.0f) || !(v > 0.0f))
        return p.m_MinFOV;
    if (v >= m)
        return p.m_TurboFOV;
    if (v >= n)
        return m - n < 0.001f ? p.m_MaxFOV : p.m_MaxFOV + (p.m_TurboFOV - p.m_MaxFOV) * (v - n) / (m - n);
    const float f = v / n;
    if (f <= p.m_MinFOVSpeed)
        return p.m_MinFOV;
    if (f >= p.m_MaxFOVSpeed)
        return p.m_MaxFOV;
    return p.m_MinFOV + (p.m_MaxFOV - p.m_MinFOV) * (f - p.m_MinFOVSpeed) / (p.m_MaxFOVSpeed - p.m_MinFOVSpeed);
}

D3DXVECTOR3 CGameCamera::KeepOffGeometry(const CGameCameraPreset& p, const D3DXVECTOR3& craft, const D3DXVECTOR3& eye)
{
    const D3DXVECTOR3 offset = eye - craft;
    const float distance = Length(offset);
    if (!(distance > 1e-4f))
        return eye;
    const D3DXVECTOR3 ray = offset / distance;
    float wanted = distance;
    if (p.m_MinHitDistance > 0.001f)
    {
        // Lengthened by what keeps MinHitDistance from a wall met at the ray's angle to the track. Along the
        // track (the usual chase) the angle's sine is 0: floored, and the ray capped at the largest distance.
        D3DXVECTOR3 forward;
        const float c = NearestNodeForward(eye, forward, nullptr) ? Dot(ray, forward) : 0.0f;
        const float sine2 = std::fmax(1.0f - c * c, 0.01f);
        wanted = distance + p.m_MinHitDistance / std::sqrt(sine2);
        const float cap = std::fmax(distance, p.m_MaxDistance);
        if (wanted > cap)
            wanted = cap;
    }
    WeRaycastHit wall;
    float travelled = 0.0f;
    if (!FirstFacingWall(craft, ray, wanted, wall, travelled) || travelled >= wanted)
        return eye;
    const D3DXVECTOR3 normal = NormalizedOr(wall.normal, -ray);
    // In a crease the step off one wall can cross the other: then the eye stays on the ray, short of the wall,
    // where nothing stands between it and the craft.
    if (travelled <= distance)
    {
        const D3DXVECTOR3 placed = wall.impact + normal * p.m_MinHitDistance;
        return InSight(craft, placed) ? placed
                                      : craft + ray * std::fmax(travelled - p.m_MinHitDistance, 0.5f * travelled);
    }
    // The wall lies beyond the eye: only push the eye off its plane.
    const float off = Dot(eye - wall.impact, normal);
    if (off >= p.m_MinHitDistance)
        return eye;
    const D3DXVECTOR3 pushed = eye + normal * (p.m_MinHitDistance - off);
    return InSight(craft, pushed) ? pushed : eye;
}

void CGameCamera::Follow(CTuber* craft, const CGameCameraPreset& p, D3DXVECTOR3& direction, D3DXVECTOR3& up,
                         D3DXVECTOR3& eye)
{
    const float dt = g_Timer.m_FrameDeltaF;
    const D3DXMATRIX& world = craft->GetWorldMatrix();
    const D3DXVECTOR3 craftUp = Row(world, 1);
    const D3DXVECTOR3 craftForward = Row(world, 2);
    const D3DXVECTOR3 craftPosition = Row(world, 3);
    const bool snap = g_Game.m_Snap != 0;
    const bool reverseChanged = g_Game.m_ReverseView != m_PreviousReverseView;

    D3DXVECTOR3 pathForward;
    D3DXVECTOR3 projected;
    if (p.m_Centered && NearestNodeForward(craftPosition, pathForward, &projected))
    {
        eye = projected - pathForward * p.m_BackDistance;
        const D3DXVECTOR3 toCraft = NormalizedOr(craftPosition - eye, pathForward);
        direction = NormalizedOr(toCraft * p.m_LookFactor + pathForward * (1.0f - p.m_LookFactor), pathForward);
        const D3DXVECTOR3 right = NormalizedOr(Cross(craftUp, direction), D3DXVECTOR3(1.0f, 0.0f, 0.0f));
        up = Cross(direction, right);
        m_CurrentDistance = p.m_BackDistance;
        return;
    }

    // A zero factor gives no direction to look in: the stored one stays.
    const D3DXVECTOR3 target = NormalizedOr(craftForward * p.m_ViewDirection, direction);
    if (snap || p.m_NoShaking)
        m_PreviousCraftSpeed = 0.0f;
    const float speed = craft->m_MeasuredSpeed;
    const float s = std::fmin(speed, craft->m_MaxSpeed);
    const float g = craft->m_Acceleration * dt;
    float r = std::fabs(g) >= 0.001f ? (s - m_PreviousCraftSpeed) / g : 0.0f;
    if (!(r >= 5.0f))
        r = 0.0f;
    const float targetDistance = std::fmax(p.m_MinDistance, p.m_Accel * r + p.m_Distance);
    m_PreviousCraftSpeed = speed;
    const bool hard = snap || p.m_NoShaking || reverseChanged;
    const float a = hard ? 1.0f : std::fmin(1.0f, p.m_Speed * dt);
    const float b = hard ? 1.0f : std::fmin(1.0f, p.m_AngularSpeed * dt);
    if (g_Game.m_ResetDirection != 0)
    {
        direction = target;
        g_Game.m_ResetDirection = 0;
    }
    if (Dot(direction, target) < -0.99f)
        direction += Cross(craftUp, target) * 0.1f;
    direction += (target - direction) * b;
    up += (craftUp - up) * b;
    m_CurrentDistance += (std::fmin(targetDistance, p.m_MaxDistance) - m_CurrentDistance) * a;
    m_CurrentBackDistance += (p.m_BackDistance - m_CurrentBackDistance) * a;
    m_CurrentUpDistance += (p.m_UpDistance - m_CurrentUpDistance) * a;
    const float k = p.m_Distance < 0.001f ? 1.0f : m_CurrentDistance / p.m_Distance;
    eye = craftPosition - direction * (k * m_CurrentBackDistance) + up * (k * m_CurrentUpDistance);
    if (!p.m_NoHitCheck)
        eye = KeepOffGeometry(p, craftPosition, eye);
}

void CGameCamera::Update()
{
    const float dt = g_Timer.m_FrameDeltaF;
    const Settings& settings = GetSettings();
    if (m_ShakeMode != NoShake)
    {
        m_ShakeElapsed += dt;
        if (m_ShakeElapsed >= m_ShakeDuration)
        {
            m_ShakeMode = NoShake;
            m_ShakeElapsed = m_ShakeDuration = 0.0f;
        }
    }
    D3DXVECTOR3 direction = m_ViewDirection;
    D3DXVECTOR3 up = m_SmoothUp;
    D3DXVECTOR3 eye = m_Position;
    SelectActivePreset();
    CTuber* craft = g_Game.m_PlayerTuber;
    if (craft == nullptr)
    {
        m_Active = 0;
        return;
    }
    m_Active = 1;
    if (g_PlayGamePhase.m_RaceState == CPlayGamePhase::Paused)
        return;
    const CGameCameraPreset& p = *m_ActivePreset;
    if (!p.m_Stopping)
        Follow(craft, p, direction, up, eye);
    m_PreviousReverseView = g_Game.m_ReverseView;

    // Each component uniform in [-v, v], then made a unit vector.
    const float spread = settings.shakeVector;
    D3DXVECTOR3 shake;
    for (int32_t i = 0; i < 3; ++i)
        shake[i] = (float(SysRandom::Next()) * (1.0f / 32767.0f) * 2.0f - 1.0f) * spread;
    shake = NormalizedOr(shake, D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    if (!craft->m_Destroyed && craft->m_Turbo)
        direction += shake * settings.invTurboAttenuator;
    else if (m_ShakeMode == HitShake)
        direction += shake * settings.invShakeAtt;
    else if (m_ShakeMode == SoftShake && m_ShakeDuration > 0.0f)
        direction += shake * (1.0f / ((m_ShakeElapsed / m_ShakeDuration + 0.5f) * settings.shakeSoftAtt));
    else if (m_ShakeMode == RisingShake && m_ShakeDuration > 0.0f)
        direction += shake * (settings.invShakeIncreaseAtt * m_ShakeElapsed / m_ShakeDuration);
    m_ViewDirection = NormalizedOr(direction, m_ViewDirection);
    m_SmoothUp = NormalizedOr(up, D3DXVECTOR3(0.0f, 1.0f, 0.0f));

    if (!craft->m_Destroyed)
        craft->m_ModelVisible = m_CurrentDistance >= p.m_MinVisibleDistance;

    const float v = craft->m_MeasuredSpeed;
    const float n = craft->m_MaxSpeed;
    const float fraction = n > 0.0f ? std::fmax(0.0f, v / n) : 0.0f;
    craft->m_SpeedFraction = fraction;
    g_PostProcess.m_RadialBlurStrength = fraction * settings.radialMotionBlur;

    float fov = FovForSpeed(p, v, n, craft->m_TurboMaxSpeed);
    if (craft->m_FieldOfView >= 0.0f)
    {
        float factor = dt * settings.fovSpeed;
        factor = std::fmax(std::fmin(factor, 1.0f), 0.1f * dt);
        fov = craft->m_FieldOfView + (fov - craft->m_FieldOfView) * factor;
    }
    craft->m_FieldOfView = fov;
    SetFov(fov);

    if (g_Game.m_Snap != 0)
        m_HistoryReset = 1;
    g_Game.m_Snap = 0;
    m_Position = eye;
    m_Direction = m_ViewDirection;
    m_Up = m_SmoothUp;
    WeCamera::Update();
}
