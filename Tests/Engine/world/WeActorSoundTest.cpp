// An actor's looping positional sound, heard through the loopback audio device: it starts at the
// actor once the listener comes within its reach, and goes silent with the actor.
#include <gtest/gtest.h>

#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WeActor.h"
#include "Tests/Engine/runtime/SoundTestSupport.h"

using namespace soundtest;

namespace
{
class WeActorSound : public SoundFixture
{
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        WriteSound("Sounds.Tuber.Engine", EncodeTone(Rate, 1));
        ASSERT_TRUE(StartDevice());
    }

    static WeActor* MakeActor(const D3DXVECTOR3& position, float maxDistance)
    {
        WeActor* actor = new WeActor;
        actor->m_SoundName = "Sounds.Tuber.Engine";
        actor->m_SoundMaxDistance = maxDistance;
        actor->SetLocation(position);
        actor->Init();
        return actor;
    }
};
}  // namespace

TEST_F(WeActorSound, LoopStartsWithinReachAndStopsWithTheActor)
{
    const int32_t registered = g_AudioDevice.GetRegisteredCount();
    WeActor* actor = MakeActor(D3DXVECTOR3(0.0f, 0.0f, 50.0f), 100.0f);
    ASSERT_NE(actor->m_Sound, nullptr);
    EXPECT_FLOAT_EQ(actor->m_Sound->GetMaxDistance(), 100.0f);

    // Out of reach: nothing plays, and the sound holds no source from one tick to the next.
    g_SoundListener.SetPosition(D3DXVECTOR3(0.0f, 0.0f, -200.0f));
    for (int tick = 0; tick < 3; ++tick)
    {
        actor->Tick();
        Advance(441);
    }
    EXPECT_FALSE(actor->m_Sound->IsPlaying());
    EXPECT_EQ(actor->m_Sound->GetSource(), nullptr);
    EXPECT_EQ(g_AudioDevice.GetRegisteredCount(), registered);

    // Within reach: placed at the actor and looping, registered once however often it ticks.
    g_SoundListener.SetPosition(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    actor->Tick();
    actor->Tick();
    ASSERT_TRUE(actor->m_Sound->IsPlaying());
    EXPECT_EQ(actor->m_Sound->GetPosition().z, 50.0f);
    EXPECT_EQ(g_AudioDevice.GetRegisteredCount(), registered + 1);
    EXPECT_GT(Advance(4410).Max(), 0.05);
    EXPECT_GT(Advance(44100).Max(), 0.05);

    // Gone with the actor: the loop does not play on in the pool.
    delete actor;
    EXPECT_EQ(g_AudioDevice.GetRegisteredCount(), registered);
    Settle();
    EXPECT_LT(Advance(4410).Max(), 0.0001);
}

TEST_F(WeActorSound, NoReachMeansEverywhereAndNoNameMeansNoSound)
{
    WeActor* far = MakeActor(D3DXVECTOR3(0.0f, 0.0f, 5000.0f), 0.0f);
    ASSERT_NE(far->m_Sound, nullptr);
    far->Tick();
    EXPECT_TRUE(far->m_Sound->IsPlaying());

    // A new sound name takes effect at the next start; the old loop stops.
    far->m_SoundName = "";
    far->StartSound();
    EXPECT_EQ(far->m_Sound, nullptr);
    far->Tick();
    Settle();
    EXPECT_LT(Advance(4410).Max(), 0.0001);
    delete far;
}
