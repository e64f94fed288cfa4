// The pickup animations in a race: the weapon icon's and the ability icon's flights to their slots, their
// captions and the live list.
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CPickupAction.h"
#include "Game/shell/CPickupAnimationAbility.h"
#include "Game/shell/CPickupAnimationWeapon.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CUberText.h"
#include "Tests/Game/shell/HudRaceSupport.h"

namespace
{

class CPickupAnimationRace : public HudRace
{
protected:
    void SetUp() override { Start(); }
    void TearDown() override
    {
        CPickupAnimation::DeleteAll();
        HudRace::TearDown();
    }
    // Updates until finished; the number of updates it took.
    static int Fly(CPickupAnimation& a)
    {
        int steps = 0;
        while (!a.IsFinished() && steps < 1000)
        {
            AdvanceFrame();
            a.Update();
            ++steps;
        }
        return steps;
    }
    const CUberText* LastMessage() const { return hud.m_Messages.IsEmpty() ? nullptr : hud.m_Messages.Back(); }
};

}  // namespace

TEST_F(CPickupAnimationRace, AWeaponIconReachesItsSlotInAQuarterSecond)
{
    struct Case
    {
        int32_t type;
        float slot;
    };
    for (const Case c : {Case{PickupHomingMissile, hud.m_WeaponSlotX}, Case{PickupContactMine, hud.m_MineSlotX}})
    {
        CPickupAnimationWeapon* a = new CPickupAnimationWeapon(c.type);
        EXPECT_EQ(CPickupAnimation::CountLive(), 1);
        EXPECT_EQ(a->m_X, 512);
        EXPECT_EQ(a->m_Width, 128);
        EXPECT_EQ(Fly(*a), 16) << c.type;
        EXPECT_EQ(a->m_X, int(1024.0f * c.slot));
        EXPECT_EQ(a->m_Y, 768 - 64);
        const CWeaponDescription& d = g_WeaponDescriptions.Get(PickupTypeToWeaponIndex(c.type));
        const CUberText* caption = LastMessage();
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->m_Text, d.m_DisplayName + " (" + std::to_string(d.m_PickupAmmo).c_str() + ")");
        EXPECT_EQ(caption->m_Color[0], 1.0f);
        EXPECT_EQ(caption->m_Color[1], 0.0f);
        delete a;
        EXPECT_EQ(CPickupAnimation::CountLive(), 0);
    }
}

TEST_F(CPickupAnimationRace, AnAbilityIconShrinksIntoThePowerUpStack)
{
    CPickupAnimationAbility* a = new CPickupAnimationAbility(PickupQuadDamage);
    EXPECT_EQ(a->m_IconCell, 128);
    EXPECT_EQ(a->m_Size, 192);
    // Its progress must pass a quarter of a second.
    EXPECT_EQ(Fly(*a), 17);
    EXPECT_EQ(a->m_X, 1024 - 74);
    // No power-up runs yet: the first row of the stack.
    EXPECT_EQ(a->m_Y, int(0.22f * 768.0f) + 16);
    EXPECT_EQ(a->m_Size, 64);
    const CUberText* caption = LastMessage();
    ASSERT_NE(caption, nullptr);
    const WeString name = g_Localization.GetText(WeString("Pickups: QuadDamage: NAME"));
    EXPECT_EQ(caption->m_Text, name.ToUpper() + "!");
    EXPECT_EQ(caption->m_Color[2], 1.0f);
    delete a;
}

TEST_F(CPickupAnimationRace, CaptionsPrintAPercentSignAsItStands)
{
    CWeaponDescription& d = g_WeaponDescriptions.Get(PickupTypeToWeaponIndex(PickupPlasmaBolt));
    const WeString saved = d.m_DisplayName;
    d.m_DisplayName = "100%s %d Bolt";
    CPickupAnimationWeapon a(PickupPlasmaBolt);
    d.m_DisplayName = saved;
    ASSERT_NE(LastMessage(), nullptr);
    EXPECT_EQ(LastMessage()->m_Text, WeString("100%s %d Bolt (") + std::to_string(d.m_PickupAmmo).c_str() + ")");
}

TEST_F(CPickupAnimationRace, TheRaceUpdatesTheListAndDeletesTheFinished)
{
    new CPickupAnimationWeapon(PickupPlasmaBolt);
    new CPickupAnimationAbility(PickupInvisibility);
    for (int i = 0; i < 16; ++i)
    {
        AdvanceFrame();
        CPickupAnimation::UpdateAll();
    }
    EXPECT_EQ(CPickupAnimation::CountLive(), 1);
    AdvanceFrame();
    CPickupAnimation::UpdateAll();
    EXPECT_EQ(CPickupAnimation::CountLive(), 0);
}

TEST_F(CPickupAnimationRace, TheAbilityIconFliesToItsRunningPowerUpsRow)
{
    CPickupAction invisibility(0, 7.5f), quad(2, 7.5f);
    player->m_PowerUps.PushBack(&invisibility);
    player->m_PowerUps.PushBack(&quad);
    struct Case
    {
        int32_t ability;
        int32_t row;
    };
    // Quad damage runs second in the list; invulnerability does not run and takes the next row.
    for (const Case c : {Case{PickupQuadDamage, 1}, Case{PickupInvulnerability, 2}, Case{PickupInvisibility, 0}})
    {
        CPickupAnimationAbility a(c.ability);
        EXPECT_EQ(a.m_TargetY, int(0.22f * 768.0f) + 64 * c.row + 16) << c.ability;
    }
    player->m_PowerUps.Reset();
}
