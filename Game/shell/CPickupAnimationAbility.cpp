#include "Game/shell/CPickupAnimationAbility.h"
#include <algorithm>

#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/HudDrawing.h"

namespace
{

struct AbilityEntry
{
    int32_t type;
    const char* name;
    int16_t iconCell;
    int32_t powerUp;
};

constexpr AbilityEntry Abilities[] = {
    {PickupInvisibility, "Invisibility", 64, 0},
    {PickupInvulnerability, "Invulnerability", 0, 1},
    {PickupKestEngine, "KestEngine", 192, 3},
    {PickupQuadDamage, "QuadDamage", 128, 2},
};

const AbilityEntry* FindAbility(int32_t type)
{
    for (const AbilityEntry& entry : Abilities)
        if (entry.type == type)
            return &entry;
    return nullptr;
}

WeString AsciiUpper(const WeString& text)
{
    WeString out;
    for (int32_t i = 0; i < text.Length(); ++i)
    {
        const char c = text.c_str()[i];
        out.AppendChar(c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c);
    }
    return out;
}

// The row of the power-up stack the ability's icon flies to: its running power-up's, or the next free one.
int32_t TargetRow(int32_t powerUp)
{
    CMainGameInterface::PowerUpView views[CMainGameInterface::MaxPowerUps];
    const int32_t count =
        CMainGameInterface::ListPowerUps(g_Game.m_PlayerTuber, views, CMainGameInterface::MaxPowerUps);
    for (int32_t i = 0; i < count; ++i)
        if (views[i].type == powerUp)
            return i;
    return count;
}

}  // namespace

CPickupAnimationAbility::CPickupAnimationAbility(int32_t abilityType) : m_AbilityType(abilityType)
{
    const AbilityEntry* entry = FindAbility(abilityType);
    const int32_t width = g_ScreenSize.width, height = g_ScreenSize.height;
    m_StartX = width / 2;
    m_StartY = height / 2;
    m_X = m_StartX;
    m_Y = m_StartY;
    m_Size = 192;
    if (entry == nullptr)
    {
        // Not an ability: nothing to show.
        m_Finished = 1;
        return;
    }
    WeString key("Pickups: ");
    key.AppendText(entry->name);
    key.AppendText(": NAME");
    m_Caption = AsciiUpper(g_Localization.GetText(key));
    m_Caption.AppendChar('!');
    m_CaptionColor[0] = 0.0f;
    m_CaptionColor[1] = 0.0f;
    m_CaptionColor[2] = 1.0f;
    m_CaptionColor[3] = 1.0f;
    ShowCaption();
    PlayOneShotSound(WeString("Sounds.Voice.Pickup") + entry->name);
    m_IconCell = entry->iconCell;

    const float sx = g_UIReferenceSize.width > 0 ? float(width) / float(g_UIReferenceSize.width) : 1.0f;
    const float sy = g_UIReferenceSize.height > 0 ? float(height) / float(g_UIReferenceSize.height) : 1.0f;
    const int32_t row = TargetRow(entry->powerUp);
    m_TargetX = width - int32_t(74.0f * sx);
    m_TargetY = int32_t(0.22f * float(height)) + int32_t(float(64 * row + 16) * sy);
}

void CPickupAnimationAbility::Update()
{
    m_Progress += g_Timer.m_FrameDeltaF;
    if (m_Progress > 0.25f)
    {
        m_Progress = 1.0f;
        m_Finished = 1;
    }
    const float e = std::min(1.0f, 4.0f * m_Progress);
    m_X = m_StartX + int32_t(float(m_TargetX - m_StartX) * e);
    m_Y = m_StartY + int32_t(float(m_TargetY - m_StartY) * e);
    m_Size = int32_t((1.0f - e) * 128.0f + 64.0f);
}

void CPickupAnimationAbility::Render()
{
    WeTexture* atlas = g_MainGameInterface.m_HudAtlas;
    if (m_IconCell < 0 || atlas == nullptr)
        return;
    DrawHudCell(atlas, HudCell{m_IconCell, 392, m_IconCell + 64, 456}, m_X, m_Y, m_Size, m_Size, HudWhite(0.75f));
}
