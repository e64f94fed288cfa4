#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WePackageWriter.h"
#include "Engine/foundation/WeRandomTable.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeRenderItemSink.h"
#include "Tests/Engine/world/WorldTestSupport.h"

namespace
{

constexpr float Frame = 1.0f / 60.0f;

struct QueuedItem
{
    WeMaterial* material;
    WeActor* actor;
    D3DXMATRIX matrix;
};

std::vector<QueuedItem>& Queued()
{
    static std::vector<QueuedItem> items;
    return items;
}

void RecordItem(WeMaterial* material, WeActor* actor, const D3DXMATRIX* matrix, int32_t)
{
    Queued().push_back({material, actor, *matrix});
}

class WeNewParticleSystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitRandomTable(1234u);
        g_Timer.m_FrameDeltaF = Frame;
        Queued().clear();
    }
    void TearDown() override
    {
        g_Timer.m_FrameDeltaF = 0.0f;
        g_RenderItemSink = nullptr;
        g_RenderDevice.m_ParticleOption = 1;
    }

    // A system in the world with the given emitters (none: the default one).
    WeNewParticleSystem* Add(const std::vector<WeParticleEmitter>& emitters, int32_t target = 0)
    {
        WeNewParticleSystem* system = new WeNewParticleSystem();
        for (const WeParticleEmitter& e : emitters)
            system->m_Emitters.PushBack(e);
        system->m_TargetCount = target;
        m_World.AddActor(system);
        return system;
    }

    // Ticks the world for the given seconds, updating the system as a drawn one would be.
    void Run(WeNewParticleSystem* system, float seconds)
    {
        const int ticks = static_cast<int>(std::lround(seconds / Frame));
        for (int i = 0; i < ticks; ++i)
        {
            m_World.Tick();
            if (system)
                system->Update();
        }
    }

    static WeParticleEmitter Emitter(float rate, float duration = 0.0f, float life = 1.0f)
    {
        WeParticleEmitter e;
        e.rate[0] = rate;
        e.duration = duration;
        e.fadeIn[0] = 0.0f;
        e.sustain[0] = life;
        e.fadeOut[0] = 0.0f;
        return e;
    }

    WeWorld m_World;
};

TEST_F(WeNewParticleSystemTest, DefaultEmitterSettlesAtFifty)
{
    WeNewParticleSystem* system = Add({});
    ASSERT_EQ(system->m_Emitters.Count(), 1);
    Run(system, 1.0f);
    EXPECT_NEAR(system->GetLiveCount(), 10, 1);
    Run(system, 9.0f);
    EXPECT_NEAR(system->GetLiveCount(), 50, 1);
}

TEST_F(WeNewParticleSystemTest, TargetCountIsHeldFromTheFirstUpdate)
{
    WeNewParticleSystem* system = Add({}, 20);
    Run(system, Frame);
    EXPECT_EQ(system->GetLiveCount(), 20);
    Run(system, 7.0f);
    EXPECT_EQ(system->GetLiveCount(), 20);
}

TEST_F(WeNewParticleSystemTest, TimedEmitterHandsOverToAnEndlessOne)
{
    WeNewParticleSystem* system = Add({Emitter(10.0f, 2.0f, 100.0f), Emitter(20.0f, 0.0f, 100.0f)});
    Run(system, 1.0f);
    EXPECT_EQ(system->m_CurrentEmitter, system->m_Emitters.FirstNode());
    Run(system, 2.0f);
    EXPECT_EQ(system->m_CurrentEmitter, system->m_Emitters.LastNode());
    EXPECT_NEAR(system->GetLiveCount(), 20 + 20, 2);
    Run(system, 5.0f);
    EXPECT_EQ(system->m_CurrentEmitter, system->m_Emitters.LastNode());
    EXPECT_NEAR(system->GetLiveCount(), 20 + 6 * 20, 2);
}

TEST_F(WeNewParticleSystemTest, OpacityCurveEndsTheParticle)
{
    // Fade-in 0, sustain 1 s, fade-out 1 s, one particle a second.
    for (float endAlpha : {0.0f, 1.0f})
    {
        WeParticleEmitter e = Emitter(1.0f, 0.0f, 1.0f);
        e.fadeOut[0] = 1.0f;
        e.endColor[3] = endAlpha;
        WeNewParticleSystem* system = Add({e});
        Run(system, 1.5f);
        ASSERT_EQ(system->GetLiveCount(), 1);
        EXPECT_NEAR(system->m_Particles.Front()->color[3], endAlpha == 0.0f ? 0.5f : 1.0f, 0.02f);
        Run(system, 3.0f);
        // Start alpha 1 and end alpha 0 reach 0 at the end of the sustain: one lives at a time, not two.
        EXPECT_EQ(system->GetLiveCount(), endAlpha == 0.0f ? 1 : 2) << endAlpha;
    }
}

TEST_F(WeNewParticleSystemTest, LocalAndWorldSpaceAtSpawn)
{
    for (bool local : {false, true})
    {
        WeParticleEmitter e = Emitter(60.0f);
        e.direction[0] = 0.0f;
        e.direction[1] = 0.0f;
        e.direction[2] = 1.0f;
        e.speed[0] = 2.0f;
        WeNewParticleSystem* system = new WeNewParticleSystem();
        system->m_Emitters.PushBack(e);
        system->m_LocalSpace = local;
        D3DXMATRIX turn;
        D3DXMatrixRotationY(&turn, 1.5707964f);  // +z becomes +x
        system->SetLocationAndOrientation(D3DXVECTOR3(100.0f, 0.0f, 0.0f), turn);
        m_World.AddActor(system);
        Run(system, Frame);
        ASSERT_GE(system->GetLiveCount(), 1);
        const WeParticle& p = *system->m_Particles.Front();
        EXPECT_NEAR(p.startPosition.x, local ? 0.0f : 100.0f, 1e-4f);
        EXPECT_NEAR(p.velocity.x, local ? 0.0f : 2.0f, 1e-4f);
        EXPECT_NEAR(p.velocity.z, local ? 2.0f : 0.0f, 1e-4f);
        EXPECT_EQ(p.owner, system);
    }
}

TEST_F(WeNewParticleSystemTest, StoppingSystemRetiresWhenNeverDrawn)
{
    // Never drawn, and drawn with the particle switch off: both must still go once their particles died.
    for (bool render : {false, true})
    {
        g_RenderDevice.m_ParticleOption = 0;
        WeMaterial material;
        WeNewParticleSystem* system = Add({Emitter(50.0f, 0.0f, 1.0f)});
        system->m_Material = &material;
        Run(system, 0.5f);
        ASSERT_GT(system->GetLiveCount(), 0);
        system->SetLifeTime(Frame);
        const int before = m_World.GetActors().Count();
        for (int i = 0; i < 120 && m_World.GetActors().Count() == before; ++i)
        {
            m_World.Tick();
            if (render && m_World.GetActors().Count() == before)
                system->Render(0);
        }
        EXPECT_EQ(m_World.GetActors().Count(), before - 1) << render;
    }
}

TEST_F(WeNewParticleSystemTest, DrawnStoppingSystemAdvancesOncePerTick)
{
    WeMaterial material;
    WeNewParticleSystem* system = Add({Emitter(60.0f, 0.0f, 10.0f)});
    system->m_Material = &material;
    Run(system, 0.5f);
    system->Expire();
    for (int i = 0; i < 30; ++i)
    {
        m_World.Tick();
        system->Render(0);
        system->Render(0);
    }
    // The oldest particle was spawned at the first tick: its age is the time run since, once over.
    EXPECT_NEAR(system->m_Particles.Front()->age, 1.0f, 0.05f);
}

TEST_F(WeNewParticleSystemTest, ZeroRateEmittersDoNotBankTheClock)
{
    // A silent timed emitter lasts its duration, then the next one emits at its own pace.
    WeNewParticleSystem* system = Add({Emitter(0.0f, 1.0f, 100.0f), Emitter(10.0f, 0.0f, 100.0f)});
    Run(system, 0.5f);
    EXPECT_EQ(system->GetLiveCount(), 0);
    Run(system, 1.0f);
    EXPECT_EQ(system->m_CurrentEmitter, system->m_Emitters.LastNode());
    EXPECT_NEAR(system->GetLiveCount(), 5, 1);

    // A silent endless emitter drops the clock: turning it on later gives no burst.
    WeNewParticleSystem* endless = Add({Emitter(0.0f, 0.0f, 100.0f)});
    Run(endless, 3.0f);
    EXPECT_EQ(endless->GetLiveCount(), 0);
    endless->m_Emitters.Front().rate[0] = 10.0f;
    Run(endless, Frame);
    EXPECT_LE(endless->GetLiveCount(), 1);
}

TEST_F(WeNewParticleSystemTest, DurationThatIsNotANumberEmitsAsEndless)
{
    WeNewParticleSystem* system = Add({Emitter(10.0f, std::nanf(""), 100.0f), Emitter(20.0f, 1.0f, 100.0f)});
    Run(system, 2.0f);
    EXPECT_EQ(system->m_CurrentEmitter, system->m_Emitters.FirstNode());
    EXPECT_NEAR(system->GetLiveCount(), 20, 1);
}

TEST_F(WeNewParticleSystemTest, AbsurdRateIsBounded)
{
    WeNewParticleSystem* system = Add({Emitter(1.0e9f, 0.0f, 100.0f)});
    Run(system, 2 * Frame);
    EXPECT_LE(system->GetLiveCount(), WeNewParticleSystem::MaxLiveParticles);
    EXPECT_GT(system->GetLiveCount(), 1000);
    EXPECT_EQ(system->m_EmissionClock, 0.0f);
}

TEST_F(WeNewParticleSystemTest, ZeroLifeRatesStayFinite)
{
    // Fade-out -1 cancels the fade-in: life 0 while the particle still shows during its fade-in.
    WeParticleEmitter e = Emitter(60.0f, 0.0f, 0.0f);
    e.fadeIn[0] = 1.0f;
    e.fadeOut[0] = -1.0f;
    e.endSize[0] = 5.0f;
    e.endColor[0] = 0.0f;
    WeNewParticleSystem* system = Add({e});
    Run(system, Frame);
    ASSERT_GE(system->GetLiveCount(), 1);
    const WeParticle& p = *system->m_Particles.Front();
    EXPECT_EQ(p.inverseLife, 0.0f);
    EXPECT_TRUE(std::isfinite(p.sizeRate));
    EXPECT_TRUE(std::isfinite(p.colorRate[0]));
    EXPECT_TRUE(std::isfinite(p.size));
    EXPECT_TRUE(std::isfinite(p.color[0]));
}

TEST_F(WeNewParticleSystemTest, SteadyEmissionAllocatesNothingAndDestructionGivesNodesBack)
{
    WeList<WeParticle>& shared = WeNewParticleSystem::SharedParticles();
    const int liveBefore = shared.Count();
    WeNewParticleSystem* system = Add({Emitter(30.0f, 0.0f, 1.0f)});
    Run(system, 3.0f);
    const int nodes = shared.Count() + shared.FreeCount();
    const int own = system->m_Particles.Count() + system->m_Particles.FreeCount();
    Run(system, 5.0f);
    EXPECT_EQ(shared.Count() + shared.FreeCount(), nodes);
    EXPECT_EQ(system->m_Particles.Count() + system->m_Particles.FreeCount(), own);
    ASSERT_GT(system->GetLiveCount(), 0);
    delete system;
    EXPECT_EQ(shared.Count(), liveBefore);
}

TEST_F(WeNewParticleSystemTest, RenderQueuesOneIdentityItemWhileParticlesLive)
{
    g_RenderItemSink = &RecordItem;
    WeMaterial material;
    WeNewParticleSystem* system = Add({Emitter(10.0f, 0.0f, 0.5f)});
    system->SetLocation(D3DXVECTOR3(5.0f, 6.0f, 7.0f));
    system->m_Material = &material;
    m_World.Tick();
    system->Render(0);
    EXPECT_TRUE(Queued().empty());  // nothing spawned yet
    for (int i = 0; i < 12; ++i)
    {
        m_World.Tick();
        system->Render(0);
    }
    ASSERT_GT(system->GetLiveCount(), 0);
    Queued().clear();
    m_World.Tick();
    system->Render(0);
    system->Render(0);  // a second pass in the same tick queues again without simulating again
    ASSERT_EQ(Queued().size(), 2u);
    EXPECT_EQ(Queued()[0].material, &material);
    EXPECT_EQ(Queued()[0].actor, system);
    EXPECT_EQ(Queued()[0].matrix._41, 0.0f);
    EXPECT_EQ(Queued()[0].matrix._11, 1.0f);
    EXPECT_EQ(Queued()[0].matrix._22, 1.0f);

    // Once every particle died nothing is queued.
    system->m_Emitters.Front().rate[0] = 0.0f;
    for (int i = 0; i < 60; ++i)
    {
        m_World.Tick();
        system->Render(0);
    }
    EXPECT_EQ(system->GetLiveCount(), 0);
    Queued().clear();
    m_World.Tick();
    system->Render(0);
    EXPECT_TRUE(Queued().empty());
}

TEST_F(WeNewParticleSystemTest, NameShowsCountAndInactivity)
{
    WeNewParticleSystem* system = Add({}, 3);
    system->m_Active = false;
    system->m_WasActive = true;
    system->m_Active = true;
    Run(system, Frame);
    system->m_Active = false;
    const std::string name = system->GetName().c_str();
    EXPECT_EQ(name.substr(name.find(" [")), " [3] INACTIVE");
}

TEST_F(WeNewParticleSystemTest, ReactivationRestartsTheSequence)
{
    WeNewParticleSystem* system = Add({Emitter(10.0f, 1.0f), Emitter(10.0f)});
    Run(system, 1.5f);
    EXPECT_EQ(system->m_CurrentEmitter, system->m_Emitters.LastNode());
    system->m_Active = false;
    Run(system, Frame);
    system->m_Active = true;
    m_World.Tick();
    EXPECT_EQ(system->m_CurrentEmitter, system->m_Emitters.FirstNode());
    EXPECT_EQ(system->m_EmitterTime, 0.0f);
}

class WeNewParticleSystemRecord : public ::testing::Test
{
protected:
    bool Bytes(const std::function<void(WeFileStream&)>& body, WeFileStream& in)
    {
        const std::string path = m_Folder.Path("record" + std::to_string(m_Files++) + ".bin");
        WeFileStream out;
        if (!out.Create(path.c_str()))
            return false;
        body(out);
        out.Close();
        return in.Open(path.c_str());
    }
    static void WriteHeader(WeFileStream& s, int32_t version, int32_t count)
    {
        s.WriteInt32(version);
        s.WriteFloat(33.0f);
        s.WriteString("Materials.Fire");
        s.WriteByte(1);
        s.WriteByte(1);
        const int32_t layout = (version < 0 ? -version : version);
        if (layout >= 2 || layout == 0 || layout > 3)
            s.WriteInt32(7);
        if (layout >= 3 || layout == 0)
            s.WriteInt32(9);
        s.WriteInt32(count);
    }
    ScratchFolder m_Folder;
    int m_Files = 0;
};

TEST_F(WeNewParticleSystemRecord, SystemAndEmitterVersions)
{
    struct Case
    {
        int32_t systemVersion;
        int32_t emitterVersion;
        int32_t target;
        int32_t setting;
    };
    const Case cases[] = {{3, 3, 7, 9}, {-3, -2, 7, 9}, {2, 1, 7, 0}, {1, 3, 0, 0}, {0, 0, 7, 9}, {7, 9, 7, 9}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "system " << c.systemVersion << " emitter " << c.emitterVersion);
        WeFileStream in;
        ASSERT_TRUE(Bytes(
            [&](WeFileStream& s)
            {
                WriteHeader(s, c.systemVersion, 1);
                const int32_t ev = c.emitterVersion < 0 ? -c.emitterVersion : c.emitterVersion;
                s.WriteInt32(c.emitterVersion);
                for (int i = 0; i <= 14; ++i)
                    s.WriteFloat(100.0f + i);
                if (ev == 1)
                    s.WriteFloat(0.5f);  // one spread for all three axes
                else
                    for (int i = 15; i <= 17; ++i)
                        s.WriteFloat(0.5f);
                s.WriteFloat(118.0f);
                s.WriteFloat(119.0f);
                if (ev == 1 || ev == 2)
                {
                    s.WriteFloat(0.0f);
                    s.WriteFloat(-1.0f);
                    s.WriteFloat(0.0f);
                    s.WriteFloat(9.81f);
                }
                else
                {
                    s.WriteFloat(0.0f);
                    s.WriteFloat(-9.81f);
                    s.WriteFloat(0.0f);
                }
                for (int i = 23; i < 39; ++i)
                    s.WriteFloat(100.0f + i);
            },
            in));
        WeNewParticleSystem system;
        ASSERT_TRUE(system.LoadProperties(in));
        EXPECT_EQ(in.Tell(), in.GetSize());
        EXPECT_FLOAT_EQ(system.m_BoundingRadius, 33.0f);
        EXPECT_STREQ(system.m_MaterialName.c_str(), "Materials.Fire");
        EXPECT_TRUE(system.m_VelocityAligned);
        EXPECT_TRUE(system.m_LocalSpace);
        EXPECT_EQ(system.m_TargetCount, c.target);
        EXPECT_EQ(system.m_Setting, c.setting);
        ASSERT_EQ(system.m_Emitters.Count(), 1);
        const WeParticleEmitter& e = system.m_Emitters.Front();
        EXPECT_FLOAT_EQ(e.duration, 100.0f);
        EXPECT_FLOAT_EQ(e.direction[2], 114.0f);
        EXPECT_FLOAT_EQ(e.directionSpread[2], 0.5f);
        EXPECT_FLOAT_EQ(e.speed[1], 119.0f);
        EXPECT_FLOAT_EQ(e.acceleration[0], 0.0f);
        EXPECT_FLOAT_EQ(e.acceleration[1], -9.81f);
        EXPECT_FLOAT_EQ(e.endColor[3], 138.0f);
    }
}

TEST_F(WeNewParticleSystemRecord, DamagedCountsLeaveTheDefaults)
{
    for (int32_t count : {-1, 2, 1 << 30})
    {
        WeFileStream in;
        ASSERT_TRUE(Bytes(
            [&](WeFileStream& s)
            {
                WriteHeader(s, 3, count);
                WeParticleEmitter().Write(s);  // one where more are claimed
            },
            in));
        WeNewParticleSystem system;
        EXPECT_FALSE(system.LoadProperties(in)) << count;
        EXPECT_FLOAT_EQ(system.m_BoundingRadius, 2000.0f);
        EXPECT_STREQ(system.m_MaterialName.c_str(), "MapEditor.Materials.DefaultParticleSystem");
        EXPECT_EQ(system.m_Emitters.Count(), 0);
    }
}

TEST_F(WeNewParticleSystemRecord, SaveLoadAndCopy)
{
    WeNewParticleSystem a;
    a.m_MaterialName = "Materials.Smoke";
    a.m_BoundingRadius = 12.0f;
    a.m_TargetCount = 4;
    a.m_Setting = -2;
    a.m_LevelFacing = true;
    WeParticleEmitter e;
    e.acceleration[1] = -3.0f;
    e.endColor[2] = 0.25f;
    a.m_Emitters.PushBack(e);
    a.m_Emitters.PushBack(WeParticleEmitter());
    WeFileStream in;
    ASSERT_TRUE(Bytes([&](WeFileStream& s) { a.Save(s); }, in));
    WeNewParticleSystem b;
    ASSERT_TRUE(b.Load(in));
    EXPECT_STREQ(b.m_MaterialName.c_str(), "Materials.Smoke");
    EXPECT_EQ(b.m_TargetCount, 4);
    EXPECT_EQ(b.m_Setting, -2);
    ASSERT_EQ(b.m_Emitters.Count(), 2);
    EXPECT_FLOAT_EQ(b.m_Emitters.Front().acceleration[1], -3.0f);
    EXPECT_FLOAT_EQ(b.m_Emitters.Front().endColor[2], 0.25f);

    WeNewParticleSystem c;
    a.CopyTo(&c);
    EXPECT_FLOAT_EQ(c.m_BoundingRadius, 12.0f);
    EXPECT_TRUE(c.m_LevelFacing);
    EXPECT_EQ(c.m_Emitters.Count(), 2);
    EXPECT_EQ(c.m_Type, WeActorTypeParticleSystem);
}

TEST_F(WeNewParticleSystemRecord, DefinitionFromLooseTreeAndPackage)
{
    WeFileSystem tree;
    tree.SetRoot(m_Folder.Path("Packages").c_str());
    WeNewParticleSystem source;
    source.m_MaterialName = "Materials.Sparks";
    source.m_TargetCount = 6;
    source.m_Emitters.PushBack(WeParticleEmitter());
    source.m_Emitters.PushBack(WeParticleEmitter());
    ASSERT_TRUE(tree.Create("Assets.Explosions.Test", WeNewParticleSystem::PackageType, true));
    source.SaveProperties(*tree.GetStream());
    ASSERT_TRUE(tree.EndCreate());

    WeNewParticleSystem loose;
    ASSERT_TRUE(loose.LoadDefinition(&tree, "Assets.Explosions.Test"));
    EXPECT_STREQ(loose.m_Label.c_str(), "Assets.Explosions.Test");
    EXPECT_EQ(loose.m_TargetCount, 6);
    EXPECT_EQ(loose.m_Emitters.Count(), 2);
    EXPECT_EQ(loose.m_CurrentEmitter, loose.m_Emitters.FirstNode());

    WePackageWriter writer;
    ASSERT_TRUE(writer.Pack(m_Folder.Path("Packages").c_str(), m_Folder.Path("Packages.dat").c_str()));
    WeDataFile pack;
    pack.SetPath(m_Folder.Path("Packages.dat").c_str());
    WeNewParticleSystem packed;
    ASSERT_TRUE(packed.LoadDefinition(&pack, "Assets.Explosions.Test"));
    EXPECT_STREQ(packed.m_MaterialName.c_str(), "Materials.Sparks");
    EXPECT_EQ(packed.m_Emitters.Count(), 2);

    WeNewParticleSystem missing;
    EXPECT_FALSE(missing.LoadDefinition(&pack, "Assets.Explosions.None"));
    EXPECT_EQ(missing.m_Emitters.Count(), 0);
}

TEST_F(WeNewParticleSystemRecord, MapRecordsMakeParticleSystems)
{
    ASSERT_TRUE(WriteMapFile(m_Folder.Path("fx.map"), 0,
                             [](WeFileStream& s)
                             {
                                 WeNewParticleSystem system;
                                 system.m_TargetCount = 5;
                                 WriteActor(s, system);
                             }));
    WeWorld world;
    world.SetMapsFolder(m_Folder.Path().c_str());
    ASSERT_TRUE(LoadWhole(world, "fx"));
    WeNewParticleSystem* system = nullptr;
    for (auto* e = world.GetActors().First(); e != nullptr; e = world.GetActors().Next())
        if (auto* found = dynamic_cast<WeNewParticleSystem*>(e->value))
            system = found;
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->m_TargetCount, 5);
    EXPECT_TRUE(system->m_LoadedFromMap);
    EXPECT_EQ(system->m_Emitters.Count(), 1);
}

}  // namespace
