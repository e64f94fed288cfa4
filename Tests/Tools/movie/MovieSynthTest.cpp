#include "Tools/movie/MovieSynth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace
{

MovieScript Parse(const std::string& text)
{
    MovieScript script;
    std::string error;
    EXPECT_TRUE(script.Parse(text, "synth.txt", error)) << error;
    return script;
}

TEST(MovieSynth, ATonePlaysAtItsPitchWhereItIsPannedNormalisedToTheLevel)
{
    MovieScript script = Parse("movie size=64x48 rate=10 seconds=1\n"
                               "sound rate=22050 level=0.5\n"
                               "tone freq=441 wave=sine pan=-1 attack=0 release=0 at=0.2..0.8\n");
    std::vector<float> sound = MovieSynth::Render(script);
    ASSERT_EQ(sound.size(), 22050u * 2);
    float peak = 0.0f, right = 0.0f;
    int crossings = 0;
    for (size_t i = 0; i < 22050; ++i)
    {
        peak = std::max(peak, std::fabs(sound[i * 2]));
        right = std::max(right, std::fabs(sound[i * 2 + 1]));
        if (i > 0 && (sound[i * 2] < 0) != (sound[(i - 1) * 2] < 0))
            ++crossings;
    }
    EXPECT_NEAR(peak, 0.5f, 1e-4f);
    EXPECT_LT(right, 1e-4f);
    EXPECT_NEAR(crossings / 0.6 / 2.0, 441.0, 3.0);
    // Silent outside its span.
    EXPECT_EQ(sound[size_t(0.1 * 22050) * 2], 0.0f);
    EXPECT_EQ(sound[size_t(0.9 * 22050) * 2], 0.0f);
}

TEST(MovieSynth, EnvelopesRiseDecayToTheSustainAndRelease)
{
    MovieVoice voice;
    voice.attack = 0.1;
    voice.decay = 0.5;
    voice.sustain = 0.25;
    voice.release = 0.2;
    EXPECT_DOUBLE_EQ(MovieSynth::Envelope(voice, 0.0, 2.0), 0.0);
    EXPECT_DOUBLE_EQ(MovieSynth::Envelope(voice, 0.05, 2.0), 0.5);
    EXPECT_DOUBLE_EQ(MovieSynth::Envelope(voice, 0.1, 2.0), 1.0);
    EXPECT_NEAR(MovieSynth::Envelope(voice, 1.5, 2.0), 0.25, 0.01);
    EXPECT_NEAR(MovieSynth::Envelope(voice, 1.9, 2.0), 0.25 * 0.25, 0.01);
    EXPECT_DOUBLE_EQ(MovieSynth::Envelope(voice, 2.0, 2.0), 0.0);
    EXPECT_DOUBLE_EQ(MovieSynth::Envelope(voice, 2.5, 2.0), 0.0);
}

TEST(MovieSynth, TheSoundFadesWithThePictureAndIsRepeatable)
{
    MovieScript script = Parse("movie size=64x48 rate=10 seconds=2\n"
                               "fade in=0.5 out=0.5\n"
                               "sound rate=8000\n"
                               "noise gain=1 attack=0 release=0 cutoff=1000..3000 seed=9\n"
                               "tone freq=100..300,200 wave=saw detune=20 attack=0 release=0\n"
                               "tone freq=150 wave=square attack=0 release=0\n"
                               "tone freq=90 wave=triangle attack=0 release=0\n");
    std::vector<float> sound = MovieSynth::Render(script);
    ASSERT_EQ(sound.size(), 16000u * 2);
    EXPECT_EQ(sound[0], 0.0f);
    EXPECT_EQ(sound[size_t(1.9 * 8000) * 2], 0.0f) << "silent from the last frame on";
    float loud = 0.0f;
    for (size_t i = 7000; i < 9000; ++i)
        loud = std::max(loud, std::fabs(sound[i * 2]));
    EXPECT_GT(loud, 0.3f);
    for (float s : sound)
        ASSERT_TRUE(std::isfinite(s) && std::fabs(s) <= 0.8f + 1e-5f);
    EXPECT_EQ(sound, MovieSynth::Render(script));

    MovieScript silent = Parse("movie size=64x48 rate=10 seconds=1\n");
    EXPECT_TRUE(MovieSynth::Render(silent).empty());
}

}  // namespace
