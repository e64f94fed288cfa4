#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Tools/soundgen/SoundRecipe.h"

TEST(SoundRecipe, BadRecipesNameTheirLineAndReason)
{
    struct Case
    {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"", "line 0: no 'sound' line"},
        {"layer wave=sine\n", "line 1: the first line is 'sound'"},
        {"sound channels=6 rate=44100 length=1\n", "line 1: channels is 1 or 2"},
        {"sound channels=1 rate=8000 length=1\n", "line 1: rate is 22050 or 44100"},
        {"sound channels=1 rate=44100 length=0\n", "line 1: length lies in 0..60 s"},
        {"sound channels=1 rate=44100 length=1 speed=2\n", "line 1: unknown key 'speed'"},
        {"sound channels=1 rate=44100 length=1\n", "line 1: no layer or pattern"},
        {"# a comment\nsound channels=1 rate=44100 length=1\nlayer wave=buzz\n", "line 3: unknown wave 'buzz'"},
        {"sound channels=1 rate=44100 length=1\nlayer freq=H4\n",
         "line 2: 'freq' needs a frequency or a note, not 'H4'"},
        {"sound channels=1 rate=44100 length=1\nlayer amp=loud\n", "line 2: 'amp' needs a number, not 'loud'"},
        {"sound channels=1 rate=44100 length=1\nlayer pan=2\n", "line 2: pan lies in -1..1"},
        {"sound channels=1 rate=44100 length=1\nlayer sine\n", "line 2: expected key=value, not 'sine'"},
        {"sound channels=1 rate=44100 length=1\npattern step=1\n",
         "line 2: a pattern needs 'notes:' and at least one note"},
        {"sound channels=1 rate=44100 length=1\npattern notes: C4 X9\n", "line 2: unknown note 'X9'"},
        {"sound channels=1 rate=44100 length=1\ntempo bpm=1000\n", "line 2: tempo takes bpm=20..300"},
        {"sound channels=1 rate=44100 length=1\nblend x=1\n", "line 2: unknown command 'blend'"},
        // Numbers far out of range are refused before they are converted or synthesised for ever.
        {"sound channels=1e300 rate=44100 length=1\n", "line 1: channels is 1 or 2"},
        {"sound channels=1.5 rate=44100 length=1\n", "line 1: channels is 1 or 2"},
        {"sound channels=1 rate=-1e300 length=1\n", "line 1: rate is 22050 or 44100"},
        {"sound channels=1 rate=44100 length=1 seed=1e20\n", "line 1: seed is a whole number in 0..4294967295"},
        {"sound channels=1 rate=44100 length=1 seed=-1\n", "line 1: seed is a whole number in 0..4294967295"},
        {"sound channels=1 rate=44100 length=1\nlayer voices=1e20\n", "line 2: voices lie in 1..8"},
        {"sound channels=1 rate=44100 length=1 loop=1\nlayer dur=1e9\n", "line 2: times lie in 0..60 s"},
        {"sound channels=1 rate=44100 length=1\nlayer release=1e300\n", "line 2: times lie in 0..60 s"},
        {"sound channels=1 rate=44100 length=1\nlayer start=1e30\n", "line 2: times lie in 0..60 s"},
        {"sound channels=1 rate=44100 length=60\npattern step=1e-300 notes: x\n",
         "line 2: 'step' is at least 1/64 of a beat"},
    };
    for (const Case& c : cases)
    {
        SoundRecipe recipe;
        EXPECT_FALSE(recipe.Parse(c.text)) << c.text;
        EXPECT_EQ(recipe.GetError(), c.error) << c.text;
    }
}

TEST(SoundRecipe, RendersTheSameSamplesAtTheLevelAsked)
{
    const std::string text = "sound channels=2 rate=22050 length=0.5 level=-20 seed=3\n"
                             "layer wave=noise amp=0.5 cutoff=2000 pan=-0.5\n"
                             "tempo bpm=120\n"
                             "pattern wave=saw step=0.5 amp=0.4 pan=0.5 notes: A2 - C3\n";
    SoundRecipe a, b;
    ASSERT_TRUE(a.Parse(text)) << a.GetError();
    ASSERT_TRUE(b.Parse(text));
    const std::vector<int16_t> pcm = a.Render();
    EXPECT_EQ(pcm, b.Render());
    ASSERT_EQ(pcm.size(), 2u * 11025u);
    double sum = 0.0;
    for (int16_t s : pcm)
        sum += (s / 32767.0) * (s / 32767.0);
    EXPECT_NEAR(20.0 * std::log10(std::sqrt(sum / pcm.size())), -20.0, 0.1);
}

TEST(SoundRecipe, LoopsWrapTheirTailsRoundToTheStart)
{
    // A note that starts just before the end of a loop goes on at its start; without loop it is cut.
    const char* looped = "sound channels=1 rate=22050 length=1 loop=1\n"
                         "layer wave=sine freq=440 start=0.9 dur=0.2 attack=0 release=0\n";
    const char* cut = "sound channels=1 rate=22050 length=1 loop=0\n"
                      "layer wave=sine freq=440 start=0.9 dur=0.2 attack=0 release=0\n";
    SoundRecipe loop, once;
    ASSERT_TRUE(loop.Parse(looped));
    ASSERT_TRUE(once.Parse(cut));
    auto energy = [](const std::vector<int16_t>& pcm, size_t from, size_t to)
    {
        double e = 0.0;
        for (size_t i = from; i < to; ++i)
            e += static_cast<double>(pcm[i]) * pcm[i];
        return e;
    };
    const std::vector<int16_t> a = loop.Render(), b = once.Render();
    EXPECT_GT(energy(a, 0, 2000), 0.0);
    EXPECT_EQ(energy(b, 0, 2000), 0.0);
    EXPECT_GT(energy(b, 20000, 22050), 0.0);
}
