#include "Game/shell/CPickupAnimationWeapon.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/HudDrawing.h"

namespace
{

float HudScale()
{
    return g_UIReferenceSize.height > 0 ? float(g_ScreenSize.height) / float(g_UIReferenceSize.height) : 1.0f;
}

}  // namespace

WeTexture* GetWeaponPicture(int32_t index)
{
    // No kind has no picture: the slot stays empty rather than showing the black placeholder.
    if (index < 1 || index > CWeaponDescriptionManager::PictureKindCount)
        return nullptr;
    return g_WeaponDescriptions.Get(index).m_PickupPicture;
}

CPickupAnimationWeapon::CPickupAnimationWeapon(int32_t pickupType) : m_PickupType(pickupType)
{
    m_WeaponIndex = PickupTypeToWeaponIndex(pickupType);
    m_Icon = GetWeaponPicture(m_WeaponIndex);
    const int32_t width = g_ScreenSize.width, height = g_ScreenSize.height;
    const int32_t size = int32_t(128.0f * HudScale());
    m_StartX = width / 2;
    m_StartY = height / 2;
    m_StartWidth = m_StartHeight = size;
    const float slot = IsWeaponPickup(pickupType) ? g_MainGameInterface.m_WeaponSlotX : g_MainGameInterface.m_MineSlotX;
    m_TargetX = HudPixel(slot, width);
    m_TargetY = height - int32_t(64.0f * HudScale());
    m_TargetWidth = m_TargetHeight = size;
    m_X = m_StartX;
    m_Y = m_StartY;
    m_Width = m_StartWidth;
    m_Height = m_StartHeight;

    const CWeaponDescription& description = g_WeaponDescriptions.Get(m_WeaponIndex);
    // Built as a string: a display name may hold any character, '%' included.
    m_Caption = description.m_DisplayName;
    m_Caption.AppendText(" (");
    m_Caption.AppendInt(description.m_PickupAmmo);
    m_Caption.AppendChar(')');
    m_CaptionColor[0] = 1.0f;
    m_CaptionColor[1] = 0.0f;
    m_CaptionColor[2] = 0.0f;
    m_CaptionColor[3] = 1.0f;
    ShowCaption();
    PlayOneShotSound(WeString("Sounds.Voice.Pickup") + description.m_Keyword);
}

void CPickupAnimationWeapon::Update()
{
    static float& speed = GetConfigFloat(WeString("game.Hud.WeaponAnimSpeed"), 4.0f);
    m_Progress += speed * g_Timer.m_FrameDeltaF;
    // A speed of 0 or less (or not a number) would keep the icon in flight for ever.
    if (m_Progress >= 1.0f || !(speed > 0.0f))
    {
        m_Progress = 1.0f;
        m_Finished = 1;
    }
    m_X = m_StartX + int32_t(float(m_TargetX - m_StartX) * m_Progress);
    m_Y = m_StartY + int32_t(float(m_TargetY - m_StartY) * m_Progress);
    m_Width = m_StartWidth + int32_t(float(m_TargetWidth - m_StartWidth) * m_Progress);
    m_Height = m_StartHeight + int32_t(float(m_TargetHeight - m_StartHeight) * m_Progress);
}

void CPickupAnimationWeapon::Render()
{
    if (m_Icon == nullptr)
        return;
    const float sx = g_UIReferenceSize.width > 0 ? float(g_ScreenSize.width) / float(g_UIReferenceSize.width) : 1.0f;
    const float sy = HudScale();
    struct Echo
    {
        float offset, alpha;
    };
    const Echo echoes[3] = {{30.0f, 0.8f}, {15.0f, 0.9f}, {0.0f, 1.0f}};
    for (const Echo& e : echoes)
    {
        const int32_t x = m_X + int32_t(e.offset * sx) - m_Width / 2;
        const int32_t y = m_Y + int32_t(e.offset * sy) - m_Height / 2;
        g_Canvas.DrawQuad(x, y, m_Width, m_Height, HudWhite(e.alpha * m_Progress), m_Icon, 1);
    }
}
