// What the display draws over the scene and the whole screen: the blood and translocator overlays, the
// rival tags, the lock message and the incoming warning with their sounds, the wrong-way message, the
// healing text, the brackets on pickups and mines, the lock rings and the crosshair.
#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysics.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeapon.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameCameraPreset.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CUberText.h"
#include "Game/shell/HudCells.h"
#include "Game/shell/HudDrawing.h"
#include "Game/shell/HudText.h"
#include "Game/shell/PathNodeFields.h"

namespace
{

using namespace HudCells;

constexpr float Pi = 3.14159265358979f;
constexpr int32_t RaceStatePaused = 6;
constexpr float BloodTime = 0.7f;
constexpr float TranslocatorTime = 1.0f;
constexpr float TagDistance = 500.0f;
constexpr float MarkerDistance = 600.0f;
constexpr float MarkerMinDot = 0.5f;
constexpr float WrongWayInterval = 0.5f;
constexpr int32_t StealthMineKind = 17;

struct Tuning
{
    int32_t& lockStep = GetConfigInt(WeString("game.Hud.LockStep"), 50);
    int32_t& warningStep = GetConfigInt(WeString("game.Hud.WarningStep"), 50);
    int32_t& maximalWarningDistance = GetConfigInt(WeString("game.Hud.MaximalWarningDistance"), 200);
    float& lockingRotationSpeed = GetConfigFloat(WeString("game.Hud.LockingRotationSpeed"), 5.0f);
    float& lockedRotationSpeed = GetConfigFloat(WeString("game.Hud.LockedRotationSpeed"), 1.0f);
    float& tuberNamePos = GetConfigFloat(WeString("game.Hud.TuberNamePos"), 0.01f);
    float& healthBarPos = GetConfigFloat(WeString("game.Hud.HealthBarPos"), 0.01f);
    float& healthBarAlpha = GetConfigFloat(WeString("game.Hud.HealthBarAlpha"), 1.0f);
    float& crosshairRotationSpeed = GetConfigFloat(WeString("game.Hud.CrosshairRotationSpeed"), 0.0f);
};

const Tuning& GetTuning()
{
    static const Tuning tuning;
    return tuning;
}

bool Paused()
{
    return CurrentRaceState() == RaceStatePaused;
}

float GameTime()
{
    return float(g_Timer.m_TotalTime);
}

D3DXVECTOR3 Forward(const CTuber* craft)
{
    const D3DXMATRIX& m = craft->GetWorldMatrix();
    return D3DXVECTOR3(m._31, m._32, m._33);
}

float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 d = a - b;
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

// The whole distance rounded down to a multiple of step (as it is when the step is 0 or less).
int32_t RoundedDistance(float distance, int32_t step)
{
    const int32_t whole = distance < 1.0e9f ? int32_t(distance) : 1000000000;
    return step > 0 ? whole / step * step : whole;
}

void DrawFullScreen(WeTexture* texture, float alpha)
{
    if (texture != nullptr)
        g_Canvas.DrawQuad(0, 0, g_ScreenSize.width, g_ScreenSize.height, HudWhite(alpha), texture, 1);
}

const CInputBindings& CurrentBindings()
{
    const CProfile* profile = g_ProfileManager.GetCurrent();
    if (profile != nullptr && profile->m_Bindings != nullptr)
        return *profile->m_Bindings;
    return g_OptionsSettings.m_Bindings;
}

bool OnDifferentBranch(const CTuber* a, const CTuber* b)
{
    const int32_t own = a->m_CurrentNode != nullptr ? PathNodeFields::GetBranchTag(*a->m_CurrentNode) : 0;
    const int32_t other = b->m_CurrentNode != nullptr ? PathNodeFields::GetBranchTag(*b->m_CurrentNode) : 0;
    return own != 0 && other != 0 && own != other;
}

}  // namespace

void CMainGameInterface::DrawBloodScreen()
{
    CTuber* craft = g_Game.m_PlayerTuber;
    if (craft == nullptr || !craft->m_HitFlash)
        return;
    m_BloodTimer += g_Timer.m_FrameDeltaF;
    if (craft->m_HitRestartFlash)
    {
        // A new hit restarts the flash at full strength.
        m_BloodTimer = 0.0f;
        craft->m_HitRestartFlash = false;
    }
    if (m_BloodTimer >= BloodTime)
    {
        m_BloodTimer = 0.0f;
        craft->m_HitFlash = false;
        return;
    }
    DrawFullScreen(m_BloodScreen, 1.0f - m_BloodTimer / BloodTime);
}

void CMainGameInterface::DrawTranslocatorScreen()
{
    CTuber* craft = g_Game.m_PlayerTuber;
    if (craft == nullptr || !craft->m_Translocated)
        return;
    craft->m_TranslocationTimer += g_Timer.m_FrameDeltaF;
    if (craft->m_TranslocationTimer > TranslocatorTime)
    {
        craft->m_Translocated = false;
        craft->m_TranslocationTimer = 0.0f;
        return;
    }
    const int32_t frame = int32_t(std::fmod(GameTime() * 50.0f, float(TranslocatorFrames)));
    DrawFullScreen(m_TranslocatorScreens[std::clamp(frame, 0, TranslocatorFrames - 1)],
                   1.0f - craft->m_TranslocationTimer);
}

void CMainGameInterface::DrawRivalTags()
{
    const CTuber* player = g_Game.m_PlayerTuber;
    if (m_RivalTagMode == 0 || player == nullptr)
        return;
    const Tuning& tuning = GetTuning();
    const int32_t width = g_ScreenSize.width, height = g_ScreenSize.height;
    const D3DXVECTOR3 here = player->GetWorldPosition();
    for (int32_t slot = 0; slot < ParticipantSlots; ++slot)
    {
        const CRaceParticipant* p = g_RaceSettings.GetParticipant(slot);
        if (p == nullptr || !p->IsRacing() || p->m_Craft == nullptr)
            continue;
        const CTuber* rival = p->m_Craft;
        if (rival == player || rival->m_Finished || rival->m_Invisible || OnDifferentBranch(player, rival))
            continue;
        const D3DXVECTOR3 there = rival->GetWorldPosition();
        float x = 0.0f, y = 0.0f;
        const float distance = Distance(there, here);
        if (!ProjectHudPoint(there, x, y) || !(distance <= TagDistance))
            continue;
        float opacity = 0.8f - distance / 1000.0f;
        if (rival->m_Destroyed)
            opacity = rival->m_Model != nullptr ? rival->m_Model->m_Values[3] : 0.0f;

        if (m_RivalTagMode & 2)
        {
            // Built as a string: a name may hold any character, '%' included.
            WeString text = p->m_DisplayName;
            text.AppendText(" (");
            text.AppendInt(int32_t(distance));
            text.AppendChar(')');
            DrawHudText(text, g_Game.m_Font12, float(HudPixel(x, width)) / float(width), y + tuning.tuberNamePos,
                        HudColour(rival->m_TrailColor[0], rival->m_TrailColor[1], rival->m_TrailColor[2], opacity), 1);
        }
        if (m_RivalTagMode & 1)
        {
            WeTexture* white = g_TextureManager.m_DefaultWhite;
            const int32_t w = int32_t(float(width) * 0.05f), h = int32_t(float(height) * 0.012f);
            const float alpha = tuning.healthBarAlpha * opacity;
            const int32_t px = HudPixel(x, width);
            const int32_t py = HudPixel(y, height) + int32_t(float(height) * tuning.healthBarPos);
            const int32_t left = px - w / 2, top = py - h / 2 + 10;
            g_Canvas.DrawQuad(left, top, w, h, HudColour(1.0f, 1.0f, 1.0f, alpha), white, 1);
            g_Canvas.DrawQuad(left + 1, top + 1, w - 2, h - 2, HudColour(0.0f, 0.0f, 0.0f, alpha), white, 1);
            const float share =
                rival->m_MaxHealth > 0.0f ? std::clamp(rival->m_Health / rival->m_MaxHealth, 0.0f, 1.0f) : 0.0f;
            const int32_t fill = int32_t(float(w - 4) * share);
            if (fill > 0)
                g_Canvas.DrawQuad(left + 2, top + 2, fill, h - 4,
                                  rival->m_Invulnerable ? HudColour(0.0f, 1.0f, 0.0f, alpha)
                                                        : HudColour(1.0f, 0.0f, 0.0f, alpha),
                                  white, 1);
        }
    }
}

void CMainGameInterface::DrawLockMessage()
{
    CTuber* craft = g_Game.m_PlayerTuber;
    if (!m_Visible || Paused() || craft == nullptr)
        return;
    if (!craft->m_FullyLocked)
    {
        if (m_LockMessageTimer == 0.0f)
            return;
        if (m_LockMessageTimer > 2.0f)
        {
            m_LockMessageTimer = 0.0f;
            return;
        }
    }
    craft->FindNearestIncomingWeapon();
    const CWeapon* weapon = craft->m_NearestIncomingWeapon;
    if (weapon != nullptr)
    {
        const CTuber* owner = weapon->m_Owner;
        m_LockMessage = g_Localization.GetText(WeString("MSG: LOCK"));
        m_LockMessage.AppendText("  ");
        if (owner != nullptr && owner->m_Participant != nullptr)
            m_LockMessage.Append(owner->m_Participant->m_DisplayName);
        m_LockMessage.AppendText("  ");
        const float distance = owner != nullptr ? Distance(owner->GetWorldPosition(), craft->GetWorldPosition()) : 0.0f;
        m_LockMessage.AppendInt(RoundedDistance(distance, GetTuning().lockStep));
    }
    const float alpha = std::clamp(std::sin(m_LockMessageTimer * Pi * 0.5f), 0.0f, 1.0f);
    DrawHudText(m_LockMessage, g_Game.m_Font24, 0.55f, 0.8f, HudColour(1.0f, 1.0f, 0.0f, alpha), 0);
    m_LockMessageTimer += g_Timer.m_FrameDeltaF;
    if (craft->m_FullyLocked)
        m_LockMessageTimer = std::min(m_LockMessageTimer, 1.0f);
    if (m_LockSoundTimer >= 1.0f)
    {
        m_LockSoundTimer = 0.0f;
        PlayOneShotSound(WeString("Sounds.Interface.Lock"));
    }
}

void CMainGameInterface::DrawIncomingWarning()
{
    CTuber* craft = g_Game.m_PlayerTuber;
    if (!m_Visible || Paused() || craft == nullptr)
        return;
    craft->FindNearestIncomingWeapon();
    const CWeapon* weapon = craft->m_NearestIncomingWeapon;
    if (weapon == nullptr)
        return;
    const Tuning& tuning = GetTuning();
    const int32_t d =
        RoundedDistance(Distance(weapon->GetWorldPosition(), craft->GetWorldPosition()), tuning.warningStep);
    // Below the maximal distance, not at it: 230 units (200 rounded) shows nothing, 199 (150) shows.
    if (d < tuning.maximalWarningDistance)
    {
        WeString text = g_Localization.GetText(WeString("MSG: WARNING"));
        text.AppendText("  ");
        text.AppendInt(d);
        DrawHudText(text, g_Game.m_Font24, 0.15f, 0.8f, 0xFFFF0000u, 0);
    }
    if (m_WarningSoundTimer > 1.0f)
    {
        m_WarningSoundTimer = 0.0f;
        PlayOneShotSound(WeString("Sounds.Interface.Warning"));
    }
}

void CMainGameInterface::CheckWrongWay()
{
    const CTuber* craft = g_Game.m_PlayerTuber;
    if (!m_Visible || craft == nullptr || !craft->m_WrongWay || craft->m_Finished || craft->m_Destroyed ||
        m_WrongWayTimer < WrongWayInterval || Paused())
        return;
    CUberText* text = new CUberText(g_Localization.GetText(WeString("MSG: WRONG_WAY")), 0, 1, g_Game.m_Font32);
    text->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    text->SetHoldTime(0.0f);
    text->SetOutTime(0.25f);
    AddMessage(text);
    m_WrongWayTimer = 0.0f;
}

void CMainGameInterface::DrawHealingText()
{
    const CTuber* craft = g_Game.m_PlayerTuber;
    if (!m_Visible || craft == nullptr || !craft->m_Healing)
        return;
    const float red = 255.0f * ((std::sin(10.0f * GameTime()) + 1.0f) * 0.25f + 0.5f);
    const uint32_t colour = 0xB2000000u | (uint32_t(std::clamp(int32_t(red), 0, 255)) << 16);
    DrawHudText(g_Localization.GetText(WeString("MSG: HEALING")), g_Game.m_Font20, 0.5f, 0.82f, colour, 1);
}

void CMainGameInterface::DrawMarker(bool isMine, float& timer, const D3DXVECTOR3& position)
{
    const CTuber* craft = g_Game.m_PlayerTuber;
    if (m_LockingAtlas == nullptr || craft == nullptr)
        return;
    const D3DXVECTOR3 here = craft->GetWorldPosition();
    const D3DXVECTOR3 offset = position - here;
    const float distance = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
    float px = 0.0f, py = 0.0f;
    bool shown = distance > 1.0e-4f && distance <= MarkerDistance;
    if (shown)
    {
        const D3DXVECTOR3 direction = offset / distance;
        const D3DXVECTOR3 forward = Forward(craft);
        shown = forward.x * direction.x + forward.y * direction.y + forward.z * direction.z >= MarkerMinDot &&
                !g_Physics.RaycastAny(here, direction, 1, 7, distance) && ProjectHudPoint(position, px, py);
    }
    if (!shown)
    {
        timer = 0.0f;
        return;
    }
    timer += 2.0f * g_Timer.m_FrameDeltaF;
    const float v = std::min(1.0f, timer);
    const float s = std::sin(4.0f * timer);
    const float width = float(g_ScreenSize.width), height = float(g_ScreenSize.height);
    const int32_t bw = int32_t(width / 1024.0f * 16.0f), bh = int32_t(height / 768.0f * 31.0f);
    const float y = py - (float(bh) / height) * 0.5f;
    const float halfWidth = (float(bw) / width) * 0.5f;
    const float left = v * px - halfWidth - 0.03f - 0.01f * s;
    const float right = px + (1.0f - v) * (1.0f - px) - halfWidth + 0.03f + 0.01f * s;
    const uint32_t colour = HudWhite(v);
    const int32_t top = HudPixel(y, g_ScreenSize.height);
    DrawHudCell(m_LockingAtlas, isMine ? MineBracketLeft : PickupBracketLeft, HudPixel(left, g_ScreenSize.width), top,
                bw, bh, colour);
    DrawHudCell(m_LockingAtlas, isMine ? MineBracketRight : PickupBracketRight, HudPixel(right, g_ScreenSize.width),
                top, bw, bh, colour);
}

void CMainGameInterface::DrawMineMarkers()
{
    for (int32_t slot = 0; slot < ParticipantSlots; ++slot)
    {
        const CRaceParticipant* p = g_RaceSettings.GetParticipant(slot);
        if (p == nullptr || p->m_Craft == nullptr)
            continue;
        for (CWeapon* mine : p->m_Craft->m_Mines)
        {
            if (mine != nullptr && mine->m_Kind != StealthMineKind)
                DrawMarker(true, mine->m_MarkerTimer, mine->GetWorldPosition());
        }
    }
}

void CMainGameInterface::DrawPickupMarkers()
{
    if (g_Game.m_Map == nullptr)
        return;
    for (CPickup* pickup : g_Game.m_Map->m_Pickups)
    {
        if (pickup != nullptr && pickup->m_Available && !IsCoinPickup(pickup->m_Type))
            DrawMarker(false, pickup->m_MarkerTimer, pickup->GetWorldPosition());
    }
}

void CMainGameInterface::DrawLockRings()
{
    const CTuber* craft = g_Game.m_PlayerTuber;
    if (craft == nullptr || craft->m_LockTarget == nullptr || m_LockingAtlas == nullptr)
        return;
    float x = 0.0f, y = 0.0f;
    if (!ProjectHudPoint(craft->m_LockTarget->GetWorldPosition(), x, y))
        return;
    const Tuning& tuning = GetTuning();
    const float d = craft->m_LockTimer - craft->m_LockDuration;
    const float a = d < 0.0f ? d * tuning.lockingRotationSpeed : d * tuning.lockedRotationSpeed;
    const float f = craft->m_LockLevel;
    const float cx = x * float(g_ScreenSize.width), cy = y * float(g_ScreenSize.height);
    for (int32_t i = 0; i < 3; ++i)
    {
        const float start = float(i) / 3.0f;
        if (!(f >= start))
            continue;
        const float o = std::min(1.0f, (f - start) * 1.5f);
        const float z = float(int32_t((3.33f - 3.0f * o) * 256.0f));
        const float angle = d < 0.0f && i != 1 ? -a : a;
        DrawHudCellRotated(m_LockingAtlas, LockRings[i], cx - z * 0.5f, cy - z * 0.5f, z, z, angle, HudWhite(0.8f * o));
    }
}

void CMainGameInterface::DrawCrosshair()
{
    CTuber* craft = g_Game.m_PlayerTuber;
    if (craft == nullptr || m_LockingAtlas == nullptr || !CurrentBindings().showCrosshair ||
        !g_RaceSettings.m_Weapons || craft->m_Destroyed)
        return;
    if (g_Game.m_Camera != nullptr && g_Game.m_Camera->m_ActivePreset == &g_CameraPresets.m_Reverse)
        return;
    float x = 0.5f, y = 0.5f;
    uint32_t colour = 0xFFFFFFFFu;
    const int32_t kind = craft->GetPrimaryWeaponKind();
    if (kind == 1 || kind == 2 || kind == 4 || kind == 8)
    {
        static float& lockDistance = GetConfigFloat(WeString("tuber.Weapons.BoltLockDistance"), 500.0f);
        static float& lockMinDot = GetConfigFloat(WeString("tuber.Weapons.BoltLockMinDot"), 0.995f);
        const CTuber* target = craft->FindTarget(lockDistance, lockMinDot, false, 0);
        float tx = 0.0f, ty = 0.0f;
        if (target != nullptr && ProjectHudPoint(target->GetWorldPosition(), tx, ty))
        {
            x = tx;
            y = ty;
            colour = 0xFFFF0000u;
        }
    }
    const float size = float(int32_t(float(g_ScreenSize.width) / 1024.0f * 32.0f));
    DrawHudCellRotated(m_LockingAtlas, Crosshair, x * float(g_ScreenSize.width) - size * 0.5f,
                       y * float(g_ScreenSize.height) - size * 0.5f, size, size,
                       GetTuning().crosshairRotationSpeed * GameTime(), colour);
}
