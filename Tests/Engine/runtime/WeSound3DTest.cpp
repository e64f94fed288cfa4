#include <AL/al.h>
#include <gtest/gtest.h>

#include "Engine/runtime/WeSound3D.h"
#include "Engine/runtime/WeSoundListener.h"
#include "Engine/runtime/WeSoundSourcePool.h"
#include "Engine/runtime/WeUnmanagedSound.h"
#include "SoundTestSupport.h"

using namespace soundtest;

namespace
{
class Positional : public SoundFixture
{
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        WriteSound("Sounds.Tuber.Engine", EncodeTone(Rate, 1));
        ASSERT_TRUE(StartDevice());
    }
};
}  // namespace

TEST_F(Positional, PlaysAndRegistersOnlyWithinItsMaximumDistance)
{
    WeSound3D far("Sounds.Tuber.Engine", false);
    EXPECT_FLOAT_EQ(far.GetMaxDistance(), 1000.0f);
    far.SetPosition(D3DXVECTOR3(0, 0, 1001));
    far.Play(true);
    EXPECT_FALSE(far.IsPlaying());
    EXPECT_FALSE(g_AudioDevice.Is3DSoundRegistered(&far));

    const int32_t before = g_AudioDevice.GetRegisteredCount();
    {
        WeSound3D near("Sounds.Tuber.Engine", false);
        near.SetPosition(D3DXVECTOR3(0, 0, 999));
        near.Play(true);
        near.Play(true);
        near.Stop();
        near.Play(true);
        EXPECT_TRUE(near.IsPlaying());
        EXPECT_EQ(g_AudioDevice.GetRegisteredCount(), before + 1);
        // A distance of 0 set after registering means no limit, and still leaves the registry on
        // destruction.
        near.SetMaxDistance(0.0f);
        g_SoundListener.SetPosition(D3DXVECTOR3(0, 0, -5000));
        Advance(441 * 3);
        EXPECT_TRUE(near.IsPlaying());
    }
    EXPECT_EQ(g_AudioDevice.GetRegisteredCount(), before);
}

TEST_F(Positional, ReplayedLoopKeepsItsAttenuation)
{
    // At 100 units, within the reference distance of 200, the sound is heard at full gain.
    WeSound3D atListener("Sounds.Tuber.Engine", false);
    atListener.Play(true);
    const double reference = Advance(4410).Max();
    atListener.Stop();

    WeSound3D loop("Sounds.Tuber.Engine", false);
    loop.SetPosition(D3DXVECTOR3(0, 0, 100));
    loop.Play(true);
    const double first = Advance(4410).Max();
    EXPECT_NEAR(first / reference, 1.0, 0.1);
    loop.Stop();
    Advance(441);
    ASSERT_EQ(loop.GetSource(), nullptr);
    EXPECT_EQ(loop.GetPosition().z, 100.0f);
    loop.Play(true);
    ASSERT_NE(loop.GetSource(), nullptr);
    float rolloff = -1.0f, maxDistance = -1.0f;
    ALint relative = -1;
    alGetSourcef(loop.GetSource()->GetSource(), AL_ROLLOFF_FACTOR, &rolloff);
    alGetSourcef(loop.GetSource()->GetSource(), AL_MAX_DISTANCE, &maxDistance);
    alGetSourcei(loop.GetSource()->GetSource(), AL_SOURCE_RELATIVE, &relative);
    EXPECT_FLOAT_EQ(rolloff, 1.0f);
    EXPECT_FLOAT_EQ(maxDistance, 1000.0f);
    EXPECT_EQ(relative, AL_FALSE);
    EXPECT_NEAR(Advance(4410).Max() / reference, 1.0, 0.1);
}

TEST_F(Positional, DistantLoopStopsOnceAndNeitherChurnsNorSteals)
{
    WeSound3D loop("Sounds.Tuber.Engine", false);
    loop.SetPosition(D3DXVECTOR3(0, 0, 500));
    loop.Play(true);
    Advance(441);
    EXPECT_TRUE(loop.IsPlaying());

    // Spend the whole budget on priority loops.
    std::vector<std::unique_ptr<WeSound>> priority;
    while (g_SoundSourcePool.GetFree() > 0)
    {
        priority.push_back(std::make_unique<WeSound>("Sounds.Tuber.Engine", true));
        priority.back()->Play(true);
    }
    g_SoundListener.SetPosition(D3DXVECTOR3(0, 0, -600));
    Advance(441 * 3);
    EXPECT_FALSE(loop.IsPlaying());
    EXPECT_EQ(loop.GetSource(), nullptr);
    const int32_t free = g_SoundSourcePool.GetFree();
    Advance(441 * 10);
    EXPECT_EQ(loop.GetSource(), nullptr);
    EXPECT_EQ(g_SoundSourcePool.GetFree(), free);
    for (const auto& sound : priority)
        EXPECT_TRUE(sound->IsPlaying());
    EXPECT_TRUE(g_AudioDevice.Is3DSoundRegistered(&loop));
}

TEST_F(Positional, RightIsRightInTheGamesFrame)
{
    WeSound3D hum("Sounds.Tuber.Engine", false);
    hum.SetPosition(D3DXVECTOR3(10, 0, 0));
    hum.Play(true);
    Levels levels = Advance(4410);
    EXPECT_GT(levels.right, levels.left * 2) << levels.left << " " << levels.right;

    // Turned round (facing -z), the same sound is on the left.
    g_SoundListener.SetOrientation(D3DXVECTOR3(0, 0, -1), D3DXVECTOR3(0, 1, 0));
    levels = Advance(4410);
    EXPECT_GT(levels.left, levels.right * 2) << levels.left << " " << levels.right;

    EXPECT_EQ(hum.GetPosition().x, 10.0f);
    EXPECT_EQ(hum.WeSound::GetPosition().x, 10.0f);
    EXPECT_EQ(hum.WeSound::GetPosition().z, 0.0f);
}
