#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/craft/CWeaponSwarmer.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CWeaponFactory.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

struct CTuberWeapons : ::testing::Test
{
    void SetUp() override
    {
        rig = std::make_unique<RaceRig>(CraftTest::Options(1));
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
        rig->Tick();
        a = rig->Craft(0);
        b = rig->Craft(1);
        ASSERT_NE(a, nullptr);
        CraftTest::FaceAlongZ(a);
        rig->Tick();
        CraftTest::FaceAlongZ(a);
        g_CraftLinkStandIns.Reset();
        a->m_BuiltInPrimaryKind = 1;
        a->m_BuiltInPrimaryAmmo = 10;
        a->m_BuiltInSecondaryKind = 11;
        a->m_BuiltInSecondaryAmmo = 10;
        a->m_PrimaryShotTimer = a->m_SecondaryShotTimer = 1000.0f;
        a->m_TeleportGrace = false;
        a->m_MeasuredSpeed = 0.0f;
    }
    void TearDown() override
    {
        for (auto& [kind, perShot] : saved)
            g_WeaponDescriptions.Get(kind).m_AmmoPerShot = perShot;
        ClearExplosionRequests();
        g_CraftLinkStandIns.Reset();
        rig.reset();
    }
    // The slots and flags every case starts from.
    void SetUpCase()
    {
        a->m_BuiltInPrimaryKind = 1;
        a->m_BuiltInPrimaryAmmo = 10;
        a->m_BuiltInSecondaryKind = 11;
        a->m_BuiltInSecondaryAmmo = 10;
        a->m_PickupPrimaryKind = a->m_PickupPrimaryAmmo = a->m_PickupSecondaryKind = a->m_PickupSecondaryAmmo = 0;
        a->m_PrimaryShotTimer = a->m_SecondaryShotTimer = 1000.0f;
        a->m_TeleportGrace = a->m_WeaponsDisabled = a->m_UnlimitedAmmo = false;
        a->m_MeasuredSpeed = 0.0f;
    }
    void SetAmmoPerShot(int32_t kind, int32_t n)
    {
        saved.push_back({kind, g_WeaponDescriptions.Get(kind).m_AmmoPerShot});
        g_WeaponDescriptions.Get(kind).m_AmmoPerShot = n;
    }
    // A static wall across the track the given distance ahead of the craft.
    WeActor* WallAhead(float distance)
    {
        WeActor* wall = new WeActor();
        wall->m_HasModel = false;
        wall->m_PhysicModel.physicsClass = 1;
        wall->m_PhysicModel.explicitSize = true;
        wall->m_PhysicModel.size = D3DXVECTOR3(20.0f, 20.0f, 0.25f);
        wall->m_Static = true;
        wall->SetLocation(a->GetWorldPosition() + D3DXVECTOR3(0.0f, 0.0f, distance));
        a->m_World->AddActor(wall);
        return wall;
    }

    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
    CTuber* a = nullptr;
    CTuber* b = nullptr;
    std::vector<std::pair<int32_t, int32_t>> saved;
};

TEST_F(CTuberWeapons, APickupWithTooFewShotsIsDroppedForTheBuiltInWeapon)
{
    SetAmmoPerShot(3, 2);
    a->m_PickupPrimaryKind = 3;
    a->m_PickupPrimaryAmmo = 1;
    a->UpdateWeaponSelection();
    EXPECT_EQ(a->m_PickupPrimaryKind, 0);
    EXPECT_EQ(a->m_PickupPrimaryAmmo, 0);
    EXPECT_EQ(a->m_SelectedPrimaryKind, 1);
}

TEST_F(CTuberWeapons, SelectionRules)
{
    struct Case
    {
        const char* name;
        std::function<void(CTuber*)> set;
        bool primary;
        int32_t expected;
    };
    const std::vector<Case> cases = {
        {"ready", [](CTuber*) {}, true, 1},
        {"mine ready", [](CTuber*) {}, false, 11},
        {"disabled", [](CTuber* c) { c->m_WeaponsDisabled = true; }, true, 0},
        {"safety lock", [](CTuber*) { g_WeaponFactory.m_SafetyLockExpired = 0; }, true, 0},
        {"teleport grace", [](CTuber* c) { c->m_TeleportGrace = true; }, false, 0},
        {"teleport grace primary", [](CTuber* c) { c->m_TeleportGrace = true; }, true, 1},
        {"no ammo", [](CTuber* c) { c->m_BuiltInPrimaryAmmo = 0; }, true, 0},
        {"no ammo unlimited",
         [](CTuber* c)
         {
             c->m_BuiltInPrimaryAmmo = 0;
             c->m_UnlimitedAmmo = true;
         },
         true, 1},
        {"too soon", [](CTuber* c) { c->m_PrimaryShotTimer = 0.0f; }, true, 0},
        {"pickup first",
         [](CTuber* c)
         {
             c->m_PickupPrimaryKind = 8;
             c->m_PickupPrimaryAmmo = 50;
         },
         true, 8},
        {"pickup not ready does not fall back",
         [](CTuber* c)
         {
             c->m_PickupPrimaryKind = 8;
             c->m_PickupPrimaryAmmo = 50;
             c->m_PrimaryShotTimer = 0.0f;
         },
         true, 0},
        {"no kind", [](CTuber* c) { c->m_BuiltInSecondaryKind = 0; }, false, 0},
    };
    for (const Case& c : cases)
    {
        SetUpCase();
        c.set(a);
        EXPECT_EQ(a->SelectWeapon(c.primary), c.expected) << c.name;
        g_CraftLinkStandIns.Reset();
        g_WeaponFactory.m_SafetyLockExpired = 1;
    }
}

TEST_F(CTuberWeapons, WallRaysIncludingTheStartAtSpeed)
{
    WeActor* wall = WallAhead(5.0f);
    rig->Tick();
    CraftTest::FaceAlongZ(a);
    EXPECT_EQ(a->SelectWeapon(true), 0);  // 1.73 + 4 reaches the wall
    wall->Expire();
    wall = WallAhead(9.0f);
    rig->Tick();
    CraftTest::FaceAlongZ(a);
    a->m_MeasuredSpeed = 0.0f;
    EXPECT_EQ(a->SelectWeapon(true), 1);
    // At top speed the shot starts about 9.5 units further ahead: the ray reaches as far.
    a->m_MeasuredSpeed = a->m_MaxSpeed;
    EXPECT_EQ(a->SelectWeapon(true), 0);
    a->m_MeasuredSpeed = 0.0f;
    wall->Expire();

    // The double bolt also needs the way clear behind; mines are laid behind.
    wall = WallAhead(-5.0f);
    rig->Tick();
    CraftTest::FaceAlongZ(a);
    EXPECT_EQ(a->SelectWeapon(true), 1);
    a->m_BuiltInPrimaryKind = 2;
    EXPECT_EQ(a->SelectWeapon(true), 0);
    EXPECT_EQ(a->SelectWeapon(false), 0);
    wall->Expire();
    wall = WallAhead(-10.0f);
    rig->Tick();
    CraftTest::FaceAlongZ(a);
    EXPECT_EQ(a->SelectWeapon(false), 11);
    a->m_BuiltInSecondaryKind = 15;  // the force-field mine needs 5 more
    EXPECT_EQ(a->SelectWeapon(false), 0);
    wall->Expire();
}

TEST_F(CTuberWeapons, SpendingFromTheButtonThatFired)
{
    struct Case
    {
        const char* name;
        bool primary;
        bool unlimited;
        int32_t builtInPrimary, builtInSecondary, pickupPrimary;
    };
    const Case cases[] = {
        {"primary", true, false, 9, 10, 0},
        {"secondary of the same kind", false, false, 10, 9, 0},
        {"unlimited", true, true, 10, 10, 0},
    };
    for (const Case& c : cases)
    {
        SetUpCase();
        a->m_BuiltInSecondaryKind = 1;  // both buttons hold kind 1
        a->m_UnlimitedAmmo = c.unlimited;
        a->m_SelectedPrimaryKind = a->m_SelectedSecondaryKind = 1;
        a->FireWeapon(c.primary);
        EXPECT_EQ(a->m_BuiltInPrimaryAmmo, c.builtInPrimary) << c.name;
        EXPECT_EQ(a->m_BuiltInSecondaryAmmo, c.builtInSecondary) << c.name;
        EXPECT_FLOAT_EQ(c.primary ? a->m_PrimaryShotTimer : a->m_SecondaryShotTimer, 0.0f) << c.name;
    }
    // A picked-up slot left below one shot is emptied.
    SetUpCase();
    SetAmmoPerShot(8, 2);
    a->m_PickupPrimaryKind = 8;
    a->m_PickupPrimaryAmmo = 3;
    a->m_SelectedPrimaryKind = 8;
    a->FireWeapon(true);
    EXPECT_EQ(a->m_PickupPrimaryKind, 0);
    EXPECT_EQ(a->m_BuiltInPrimaryAmmo, 10);
    // A destroyed or finished craft fires nothing.
    SetUpCase();
    a->m_SelectedPrimaryKind = 1;
    a->m_Finished = true;
    a->FireWeapon(true);
    EXPECT_EQ(a->m_BuiltInPrimaryAmmo, 10);
    a->m_Finished = false;
}

TEST_F(CTuberWeapons, PickingUpRestoresThePickupAmmo)
{
    int32_t minigunBox = 0;
    for (int32_t type : g_PickupTypes)
        if (PickupTypeToWeaponIndex(type) == 8)
            minigunBox = type;
    ASSERT_NE(minigunBox, 0);
    CPickup pickup(minigunBox);
    pickup.m_Type = minigunBox;
    const int32_t full = g_WeaponDescriptions.Get(8).m_PickupAmmo;
    a->CollectWeaponPickup(&pickup);
    EXPECT_EQ(a->m_PickupPrimaryKind, 8);
    EXPECT_EQ(a->m_PickupPrimaryAmmo, std::min(full, 999));
    a->m_PickupPrimaryAmmo = 3;
    a->m_PrimaryShotTimer = 0.0f;
    a->CollectWeaponPickup(&pickup);
    EXPECT_EQ(a->m_PickupPrimaryAmmo, std::min(full, 999));  // set, not added
    EXPECT_FLOAT_EQ(a->m_PrimaryShotTimer, 1000.0f);
    const int32_t saved = g_WeaponDescriptions.Get(8).m_PickupAmmo;
    g_WeaponDescriptions.Get(8).m_PickupAmmo = 5000;
    a->CollectWeaponPickup(&pickup);
    EXPECT_EQ(a->m_PickupPrimaryAmmo, 999);
    g_WeaponDescriptions.Get(8).m_PickupAmmo = saved;
}

TEST_F(CTuberWeapons, ReloadLogics)
{
    const int32_t full = g_WeaponDescriptions.Get(1).m_PickupAmmo;
    struct Case
    {
        const char* logic;
        int32_t ammo, expected;
    };
    const Case cases[] = {
        {"0", 3, full},
        {"1", 3, std::min(3 + full, 999)},
        {"1", 990, 999},
        {"2", 3, std::max(3, full)},
        {"2", full + 5, full + 5},
        {"7", full + 5, full},
    };
    for (const Case& c : cases)
    {
        ConfigOverride logic("tuber.Weapons.ReloadLogic", c.logic);
        a->m_BuiltInPrimaryAmmo = c.ammo;
        a->ReloadWeapons();
        EXPECT_EQ(a->m_BuiltInPrimaryAmmo, c.expected) << c.logic << " " << c.ammo;
    }
}

TEST_F(CTuberWeapons, SwarmerBurstHandsOutIndices)
{
    SetAmmoPerShot(5, 4);
    std::vector<int32_t> indices;
    a->StartSwarmerBurst();
    const float interval = g_WeaponDescriptions.Get(5).m_FireInterval;
    for (int frame = 0; frame < 200 && a->m_SwarmerBurstCount > 0; ++frame)
    {
        const int32_t before = a->m_SwarmerBurstCount;
        g_Timer.m_FrameDeltaF = interval / 16.0f;
        a->UpdateWeaponTimers();
        if (a->m_SwarmerBurstCount == before + 1)
            indices.push_back(before);
    }
    EXPECT_EQ(indices, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(a->m_SwarmerBurstCount, 0);
    // A burst of no rockets ends at once.
    SetAmmoPerShot(5, 0);
    a->StartSwarmerBurst();
    a->UpdateWeaponTimers();
    EXPECT_EQ(a->m_SwarmerBurstCount, 0);
    g_Timer.m_FrameDeltaF = 1.0f / 64.0f;
}

TEST_F(CTuberWeapons, DisableTimersReEnable)
{
    a->SetWeaponsDisabled(true);
    a->m_EmpDisableTimer = 0.0f;
    a->m_SlowingDisableTimer = 0.0f;
    g_Timer.m_FrameDeltaF = 1.0f;
    for (int i = 0; i < 3; ++i)
        a->UpdateWeaponTimers();
    EXPECT_FLOAT_EQ(a->m_SlowingDisableTimer, -1.0f);  // 3 s
    EXPECT_TRUE(a->m_WeaponsDisabled);
    for (int i = 0; i < 2; ++i)
        a->UpdateWeaponTimers();
    EXPECT_FLOAT_EQ(a->m_EmpDisableTimer, -1.0f);  // 5 s
    EXPECT_FALSE(a->m_WeaponsDisabled);
    g_Timer.m_FrameDeltaF = 1.0f / 64.0f;
}

}  // namespace
