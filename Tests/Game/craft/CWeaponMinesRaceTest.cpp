// The mines on the real race: the race's own collision and trigger reports, explosions made by the race from
// the queue, crafts driven by scripts.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePhysicHandle.h"
#include "Game/craft/CExplosion.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponContactMine.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/craft/CWeaponEMPMine.h"
#include "Game/craft/CWeaponElectricMine.h"
#include "Game/craft/CWeaponForceFieldMine.h"
#include "Game/craft/CWeaponHomingMine.h"
#include "Game/craft/CWeaponMotionMine.h"
#include "Game/craft/CWeaponNukeMine.h"
#include "Game/craft/CWeaponPlasmaBolt.h"
#include "Game/craft/CWeaponProximityMine.h"
#include "Game/craft/CWeaponSingularityMine.h"
#include "Game/craft/CWeaponStealthMine.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Tests/Game/craft/CraftTestSupport.h"
#include "Tests/Game/craft/WeaponKindsTestSupport.h"

namespace
{
using WeaponTest::Find;
using WeaponTest::Length;
using WeaponTest::Place;

constexpr float Step = 1.0f / 64.0f;

// The layer's craft (slot 0) and a rival driven by a script (slot 1); the third craft parked far away.
struct CWeaponMinesRace : ::testing::Test
{
    void SetUp() override
    {
        RaceRigOptions o = CraftTest::Options(2);
        o.racePhase = true;
        o.weapons = true;
        rig = std::make_unique<RaceRig>(o);
        rig->SetSlotScript(1, [this](int64_t, CInputMessage& m) { m.m_Forward = drive ? 1 : 0; });
        rig->SetSlotScript(2, [](int64_t, CInputMessage&) {});
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
        // Past the start's preview and countdown: crafts answer their throttle only while racing.
        ASSERT_TRUE(rig->RunUntil([this] { return rig->RaceState() == CPlayGamePhase::Racing; }, 60.0));
        a = rig->Craft(0);
        b = rig->Craft(1);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(a->IsEnemy(b));
        Park();
    }
    void TearDown() override
    {
        ClearExplosionRequests();
        rig.reset();
    }
    // Everyone out of the way: the layer far ahead, the rival and the third craft further still.
    void Park()
    {
        Place(a, D3DXVECTOR3(0.0f, 2.0f, 1200.0f));
        Place(b, D3DXVECTOR3(4.0f, 2.0f, 1400.0f));
        if (CTuber* c = rig->Craft(2))
            Place(c, D3DXVECTOR3(-4.0f, 2.0f, 1600.0f));
    }
    // Lays a mine of the kind behind the layer standing at z, then sends the layer away unless told to stay.
    CWeapon* Lay(int32_t kind, float z = 300.0f, bool stay = false)
    {
        Place(a, D3DXVECTOR3(0.0f, 2.0f, z));
        rig->Tick();
        CWeapon::Fire(a, kind, 0);
        CWeapon* mine = a->m_Mines.IsEmpty() ? nullptr : a->m_Mines.Back();
        EXPECT_NE(mine, nullptr);
        EXPECT_EQ(mine ? mine->m_Kind : 0, kind);
        if (!stay)
            Place(a, D3DXVECTOR3(0.0f, 2.0f, 1200.0f));
        return mine;
    }
    bool Alive(int32_t kind) const
    {
        for (CWeapon* w : Find<CWeapon>(a->m_World))
            if (w->m_Kind == kind && !w->m_Spent)
                return true;
        return false;
    }
    std::vector<CExplosion*> Explosions(int32_t kind) const
    {
        std::vector<CExplosion*> out;
        for (CExplosion* x : Find<CExplosion>(a->m_World))
            if (x->m_Kind == kind)
                out.push_back(x);
        return out;
    }
    // Every weapon and explosion gone; twice, for the blast an armed nuke mine posts as it goes.
    void Clear()
    {
        drive = false;
        for (int32_t pass = 0; pass < 2; ++pass)
        {
            for (CWeapon* w : Find<CWeapon>(a->m_World))
                w->Expire();
            for (CExplosion* x : Find<CExplosion>(a->m_World))
                x->Expire();
            Park();
            rig->Tick(2);
            ClearExplosionRequests();
        }
        a->m_Health = b->m_Health = 10000.0f;
    }

    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
    CTuber* a = nullptr;
    CTuber* b = nullptr;
    bool drive = false;
};

// A craft standing still as it lays a mine leaves it lying: the mine drops clear of the craft's own box, so
// the layer does not set it off on itself, whatever the kind.
TEST_F(CWeaponMinesRace, AMineLaidAtRestStaysLaid)
{
    float z = 200.0f;
    for (int32_t kind = 11; kind <= 20; ++kind)
    {
        SCOPED_TRACE(testing::Message() << "kind " << kind);
        z += 60.0f;
        a->m_Health = 10000.0f;
        CWeapon* mine = Lay(kind, z, true);
        ASSERT_NE(mine, nullptr);
        for (int32_t tick = 0; tick < 16; ++tick)
        {
            rig->Tick();
            Place(a, D3DXVECTOR3(0.0f, 2.0f, z));
        }
        EXPECT_TRUE(Alive(kind));
        EXPECT_TRUE(Explosions(kind).empty());
        EXPECT_FLOAT_EQ(a->m_Health, 10000.0f);
        Clear();
    }
}

// A blast reaching a laid mine sets it off by the mine's own rule: every kind that goes off on a body that is
// not level geometry does, the singularity mine (whose body meets shots only) and the nuke mine (which
// answers crafts and shots only) stay; a mine beyond the blast's reach stays whatever its kind.
TEST_F(CWeaponMinesRace, ABlastSetsOffTheMinesInItsReach)
{
    struct Row
    {
        int32_t kind;
        float offset;  // from the mine to the blast's centre, across the track
        bool goesOff;
    } rows[] = {
        {11, 6.0f, true},  {13, 6.0f, true},  {14, 6.0f, true},   {15, 6.0f, true},
        {16, 6.0f, true},  {17, 6.0f, true},  {19, 6.0f, true},   {20, 6.0f, true},
        {12, 6.0f, false}, {18, 6.0f, false}, {11, 60.0f, false}, {14, 60.0f, false},
    };
    float z = 200.0f;
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "kind " << row.kind << " offset " << row.offset);
        // A fresh stretch of track for each row.
        z += 60.0f;
        CWeapon* mine = Lay(row.kind, z);
        ASSERT_NE(mine, nullptr);
        rig->Tick(2);
        ClearExplosionRequests();
        // Someone else's blast: the layer's rival fired it, so it is no mine of its own doing.
        const D3DXVECTOR3 at = mine->GetWorldPosition() + D3DXVECTOR3(0.0f, 0.0f, -row.offset);
        RequestSplashExplosion(at, b, 20.0f, 10.0f, 1, 1);
        bool off = false;
        for (int32_t tick = 0; tick < 16 && !off; ++tick)
        {
            rig->Tick();
            off = !Explosions(row.kind).empty();
        }
        EXPECT_EQ(off, row.goesOff);
        EXPECT_EQ(Alive(row.kind), !row.goesOff);
        Clear();
    }
}

// Mines laid side by side go off one after another: the first blast reaches the next mine, whose own blast
// reaches the one after it, while a mine laid far down the track stays.
TEST_F(CWeaponMinesRace, AChainOfMinesGoesOffBlastByBlast)
{
    std::vector<CWeapon*> chain;
    for (float z : {300.0f, 314.0f, 328.0f})
        chain.push_back(Lay(14, z));
    CWeapon* far = Lay(17, 600.0f);
    ASSERT_NE(far, nullptr);
    rig->Tick(2);
    RequestSplashExplosion(chain.front()->GetWorldPosition() + D3DXVECTOR3(0.0f, 0.0f, -6.0f), b, 20.0f, 10.0f, 1, 1);
    rig->Tick(32);
    EXPECT_FALSE(Alive(14));
    EXPECT_GE(Explosions(14).size(), 3u);
    EXPECT_TRUE(Alive(17));
    Clear();
}

// Before it is armed the force field holds every craft that drives into it; once armed, the first craft to
// meet it collapses it harmlessly (one field request, no damage) and drives on through where it stood.
TEST_F(CWeaponMinesRace, TheForceFieldHoldsCraftsUntilArmedThenCollapses)
{
    const float activation = g_WeaponDescriptions.Get(15).m_ActivationTime;
    ASSERT_GT(activation, 0.5f);
    CWeapon* mine = Lay(15);
    ASSERT_NE(mine, nullptr);
    const float wall = mine->GetWorldPosition().z;
    // The rival runs at the field from behind at race speed, before the field is armed.
    Place(b, D3DXVECTOR3(3.0f, 2.0f, wall - 16.0f));
    b->SetVelocity(D3DXVECTOR3(0.0f, 0.0f, 120.0f));
    drive = true;
    float furthest = -1e9f;
    const int32_t heldTicks = int32_t(activation * 0.8f / Step) - 2;
    for (int32_t tick = 0; tick < heldTicks; ++tick)
    {
        rig->Tick();
        furthest = std::max(furthest, b->GetWorldPosition().z);
    }
    EXPECT_LT(furthest, wall) << "the rival went through the unarmed field";
    EXPECT_TRUE(Alive(15));
    EXPECT_TRUE(Explosions(15).empty());

    // Armed, the next touch sets it off: one blast of the field's visual, costing nothing, and the rival
    // drives on.
    const float health = b->m_Health;
    // Each blast once, by its number, with its visual read while it is alive.
    std::vector<std::pair<int64_t, int32_t>> blasts;
    for (int32_t tick = 0; tick < 128 && b->GetWorldPosition().z < wall + 20.0f; ++tick)
    {
        rig->Tick();
        for (CExplosion* x : Explosions(15))
        {
            const int64_t number = int64_t(x->m_Number);
            if (std::none_of(blasts.begin(), blasts.end(), [number](const auto& e) { return e.first == number; }))
            {
                auto* local = dynamic_cast<CExplosionLocalized*>(x);
                blasts.emplace_back(number, local ? local->m_VisualIndex : -1);
            }
        }
    }
    ASSERT_EQ(blasts.size(), 1u);
    EXPECT_EQ(blasts.front().second, 7);
    EXPECT_FALSE(Alive(15));
    EXPECT_GT(b->GetWorldPosition().z, wall + 20.0f) << "the rival did not drive on";
    EXPECT_FLOAT_EQ(b->m_Health, health);
    Clear();
}

// A homing mine that has taken an enemy chases it at its speed, a velocity change of Speed a tick, never so
// fast that it steps through the craft between two ticks, and the chase ends in a hit: the mine's blast at
// the craft. The craft waits still at the end of the chase or drives past the mine at race speed.
TEST_F(CWeaponMinesRace, TheHomingChaseEndsInAHit)
{
    const CWeaponDescription& d = g_WeaponDescriptions.Get(13);
    ASSERT_GT(d.m_Speed, 0.0f);
    struct Row
    {
        const char* what;
        float from;   // the rival's distance behind the mine once the mine has taken it
        float speed;  // the rival's speed along the track
    } rows[] = {{"still at 30 units", 30.0f, 0.0f}, {"driving past", 12.0f, 150.0f}};
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.what);
        auto* mine = static_cast<CWeaponHomingMine*>(Lay(13));
        ASSERT_NE(mine, nullptr);
        const D3DXVECTOR3 laid = mine->GetWorldPosition();
        // Armed; the rival comes within reach and the mine takes it.
        rig->Tick(int32_t(d.m_ActivationTime / Step) + 2);
        Place(b, laid + D3DXVECTOR3(2.0f, 0.5f, -10.0f));
        for (int32_t tick = 0; tick < 8 && mine->m_Target != b; ++tick)
        {
            rig->Tick();
            Place(b, laid + D3DXVECTOR3(2.0f, 0.5f, -10.0f));
        }
        ASSERT_EQ(mine->m_Target, b);
        D3DXVECTOR3 at = laid + D3DXVECTOR3(2.0f, 0.5f, -row.from);
        const D3DXVECTOR3 velocity(0.0f, 0.0f, row.speed);
        Place(b, at);
        b->SetVelocity(velocity);
        float fastest = 0.0f, early = -1.0f, later = -1.0f;
        D3DXVECTOR3 last = mine->GetWorldPosition();
        int32_t chased = 0;
        bool hit = false;
        for (int32_t tick = 0; tick < 640 && !hit; ++tick)
        {
            rig->Tick();
            hit = !Explosions(13).empty();
            if (hit)
                break;
            ++chased;
            const D3DXVECTOR3 p = mine->GetWorldPosition();
            fastest = std::max(fastest, Length(p - last));
            last = p;
            if (chased == 2)
                early = Length(WeaponTest::BodyVelocity(mine));
            if (chased == 6)
                later = Length(WeaponTest::BodyVelocity(mine));
            at += velocity * Step;
            Place(b, at);
            b->SetVelocity(velocity);
        }
        ASSERT_TRUE(hit) << "the chase never ended";
        // The first ticks of the chase: Speed gained each tick, give or take the step the target moved.
        if (row.speed == 0.0f)
        {
            EXPECT_NEAR(later - early, 4.0f * d.m_Speed, 0.25f * d.m_Speed);
        }
        // Never more than the mine's own size in one tick, so it cannot step through its target.
        EXPECT_LT(fastest, 3.0f);
        CExplosion* x = Explosions(13).front();
        EXPECT_LT(Length(x->GetWorldPosition() - b->GetWorldPosition()), 6.0f);
        // The blast's damage reaches the rival, held where it was hit.
        at = b->GetWorldPosition();
        for (int32_t tick = 0; tick < 8; ++tick)
        {
            Place(b, at);
            rig->Tick();
        }
        EXPECT_LT(b->m_Health, 10000.0f);
        Clear();
    }
}

// A mine kind's reach for one row, put back when the row ends: as configured, 0, below 0, or with its key gone
// from the configuration (which reads as 0).
class ReachOverride
{
public:
    enum Mode
    {
        Configured,
        Zero,
        Negative,
        Missing
    };
    ReachOverride(int32_t kind, Mode mode) : m_Record(g_WeaponDescriptions.Get(kind))
    {
        m_Saved = m_Record.m_EffectiveRadius;
        if (mode == Zero)
            m_Record.m_EffectiveRadius = 0.0f;
        else if (mode == Negative)
            m_Record.m_EffectiveRadius = -3.0f;
        else if (mode == Missing)
        {
            m_Entry = LookupConfigEntry(
                (std::string("Weapons.") + CWeaponDescriptionManager::GetKeyword(kind) + ".EffectiveRadius").c_str(),
                false);
            EXPECT_NE(m_Entry, nullptr);
            if (!m_Entry)
                return;
            m_Text = m_Entry->text;
            m_FromFile = m_Entry->fromFile;
            m_Entry->text = WeString();
            m_Entry->fromFile = m_Entry->hasValue = false;
            m_Entry->ParseText();
            m_Record.Load();
        }
    }
    ~ReachOverride()
    {
        if (m_Entry)
        {
            m_Entry->text = m_Text;
            m_Entry->fromFile = m_FromFile;
            m_Entry->hasValue = true;
            m_Entry->ParseText();
            m_Record.Load();
        }
        m_Record.m_EffectiveRadius = m_Saved;
    }
    ReachOverride(const ReachOverride&) = delete;
    ReachOverride& operator=(const ReachOverride&) = delete;

private:
    CWeaponDescription& m_Record;
    float m_Saved = 0.0f;
    WeConfigEntry* m_Entry = nullptr;
    WeString m_Text;
    bool m_FromFile = false;
};

// A mine whose reach is 0 or less gets no trigger volume: a rival waiting inside the reach the kind would have
// is left alone once the mine is armed, and the mine still goes off when the rival runs into it. The row with
// the configured reach shows the same wait is enough to set the kind off.
TEST_F(CWeaponMinesRace, AMineOfNoReachHasNoTriggerAndActsByContactOnly)
{
    // Health to spare, so no blast of a row wrecks the rival.
    b->m_Health = 10000.0f;
    // The rival held at a place: its driver would take it for stuck and let it fly through everything.
    const auto hold = [this](const D3DXVECTOR3& at)
    {
        Place(b, at);
        b->m_StuckTimer = 0.0f;
        if (b->m_Ghost)
        {
            b->m_Ghost = false;
            b->SetCollisionEnabled(true);
        }
    };
    // A fresh stretch of track for each row, short of where the crafts are parked.
    float z = 150.0f;
    for (int32_t kind : {13, 14, 16, 17, 19, 20})
    {
        for (ReachOverride::Mode mode :
             {ReachOverride::Configured, ReachOverride::Zero, ReachOverride::Negative, ReachOverride::Missing})
        {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " reach mode " << mode);
            const ReachOverride reach(kind, mode);
            const bool reaches = mode == ReachOverride::Configured;
            ASSERT_EQ(g_WeaponDescriptions.Get(kind).m_EffectiveRadius > 0.0f, reaches);
            z += 36.0f;
            CWeapon* mine = Lay(kind, z);
            ASSERT_NE(mine, nullptr);
            int32_t triggers = 0;
            for (CTrigger* t : Find<CTrigger>(a->m_World))
                triggers += t->m_Owner == mine ? 1 : 0;
            EXPECT_EQ(triggers, reaches ? 1 : 0);

            // Beside the mine, clear of its box and inside even the stealth mine's reach, until well after it
            // is armed. The motion mine sets out the other way.
            const D3DXVECTOR3 beside = mine->GetWorldPosition() + D3DXVECTOR3(-5.5f, 0.0f, 0.0f);
            ASSERT_FALSE(b->m_Destroyed);
            const float health = b->m_Health;
            bool acted = false;
            const int32_t wait = int32_t((g_WeaponDescriptions.Get(kind).m_ActivationTime + 0.4f) / Step);
            for (int32_t tick = 0; tick < wait && !acted; ++tick)
            {
                hold(beside);
                rig->Tick();
                acted = !Alive(kind) || !Explosions(kind).empty() || b->m_Health < health || b->m_WeaponsDisabled ||
                        mine->m_Target == b;
            }
            EXPECT_EQ(acted, reaches);
            if (!reaches)
            {
                // Contact only: the rival set down on the mine sets it off.
                ASSERT_TRUE(Alive(kind));
                for (int32_t tick = 0; tick < 8 && Alive(kind); ++tick)
                {
                    hold(mine->GetWorldPosition() + D3DXVECTOR3(0.5f, 0.0f, 0.0f));
                    rig->Tick();
                }
                EXPECT_FALSE(Alive(kind));
                EXPECT_FALSE(Explosions(kind).empty());
            }
            Clear();
            // Whatever the last blast did to the rival's weapons ends with the row.
            b->SetWeaponsDisabled(false);
            b->m_EmpDisableTimer = -1.0f;
        }
    }
}

// The live objects of every pool the mines draw from, and the explosions they make.
std::vector<int32_t> PoolCounts()
{
    return {WeLight::Pool().LiveCount(),
            WeNewParticleSystem::Pool().LiveCount(),
            CTrigger::Pool().LiveCount(),
            CWeaponContactMine::Pool().LiveCount(),
            CWeaponSingularityMine::Pool().LiveCount(),
            CWeaponHomingMine::Pool().LiveCount(),
            CWeaponProximityMine::Pool().LiveCount(),
            CWeaponForceFieldMine::Pool().LiveCount(),
            CWeaponMotionMine::Pool().LiveCount(),
            CWeaponStealthMine::Pool().LiveCount(),
            CWeaponNukeMine::Pool().LiveCount(),
            CWeaponElectricMine::Pool().LiveCount(),
            CWeaponEMPMine::Pool().LiveCount()};
}

// Every mine kind laid on a race and ended each way (a craft driving into it once armed, a shot, the end of
// its life, still lying there when the race is torn down): once the world is gone every pool is back where it
// started.
TEST(CWeaponMinesRacePools, EveryMineEndsAndThePoolsReturnToTheirStart)
{
    enum Ending
    {
        CraftDrivesIn,
        Shot,
        OutOfLife,
        AtTeardown
    };
    CraftTest::Catalogue catalogue;
    const std::vector<int32_t> before = PoolCounts();
    for (Ending ending : {CraftDrivesIn, Shot, OutOfLife, AtTeardown})
    {
        SCOPED_TRACE(testing::Message() << "ending " << ending);
        {
            RaceRigOptions o = CraftTest::Options(2);
            o.racePhase = true;
            o.weapons = true;
            RaceRig rig(o);
            std::string error;
            ASSERT_TRUE(rig.Start(&error)) << error;
            rig.Tick();
            CTuber* a = rig.Craft(0);
            CTuber* b = rig.Craft(1);
            ASSERT_NE(a, nullptr);
            ASSERT_NE(b, nullptr);
            if (CTuber* c = rig.Craft(2))
                Place(c, D3DXVECTOR3(-4.0f, 2.0f, 2000.0f));
            Place(b, D3DXVECTOR3(4.0f, 2.0f, 1800.0f));
            std::vector<D3DXVECTOR3> laid;
            for (int32_t kind = 11; kind <= 20; ++kind)
            {
                Place(a, D3DXVECTOR3(0.0f, 2.0f, 300.0f + 60.0f * float(kind - 11)));
                rig.Tick();
                CWeapon::Fire(a, kind, 0);
                ASSERT_FALSE(a->m_Mines.IsEmpty());
                laid.push_back(a->m_Mines.Back()->GetWorldPosition());
            }
            Place(a, D3DXVECTOR3(0.0f, 2.0f, 1400.0f));
            rig.Tick(2);
            if (ending == CraftDrivesIn)
            {
                // Armed, each mine meets the rival set down on it.
                rig.Tick(int32_t(2.5f / Step));
                for (const D3DXVECTOR3& p : laid)
                {
                    Place(b, p + D3DXVECTOR3(0.5f, 0.0f, 0.0f));
                    rig.Tick(4);
                    b->m_Health = 10000.0f;
                }
                Place(b, D3DXVECTOR3(4.0f, 2.0f, 1800.0f));
            }
            else if (ending == Shot)
            {
                for (CWeapon* mine : a->m_Mines)
                {
                    auto* bolt = new CWeaponPlasmaBolt();
                    bolt->m_Owner = b;
                    bolt->m_Kind = 1;
                    bolt->m_Description = &g_WeaponDescriptions.Get(1);
                    bolt->Launch();
                    mine->OnCollision(bolt);
                    bolt->OnCollision(mine);
                }
            }
            else if (ending == OutOfLife)
            {
                for (CWeapon* mine : a->m_Mines)
                    mine->SetLifeTime(0.05f);
            }
            rig.Tick(ending == AtTeardown ? 8 : 64);
            // A craft only brakes in a singularity mine's reach: that one waits for the end of its life.
            const int32_t staying = ending == AtTeardown ? 10 : ending == CraftDrivesIn ? 1 : 0;
            EXPECT_EQ(a->m_Mines.Count(), staying);
            if (ending == CraftDrivesIn && a->m_Mines.Count() == 1)
            {
                EXPECT_EQ(a->m_Mines.Back()->m_Kind, 12);
            }
            ClearExplosionRequests();
        }
        EXPECT_EQ(PoolCounts(), before);
    }
}

}  // namespace
