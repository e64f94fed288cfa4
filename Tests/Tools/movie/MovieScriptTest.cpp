#include "Tools/movie/MovieScript.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace
{

TEST(MovieScript, ReadsSizesRangesColoursAndDefaults)
{
    const char* text = "; a comment\n"
                       "# another\n"
                       "movie size=320x180 rate=25 seconds=2 kbits=600\r\n"
                       "fade in=0.5 out=0.25\n"
                       "sound rate=22050 level=0.5\n"
                       "\n"
                       "gradient from=#FF0B1020 to=#FF2A3140 angle=90\n"
                       "polygon x=0.25..0.75 radius=0.1 sides=6 outline=0.01 spin=30 colour=#80FF0000..#FF00FF00 "
                       "at=0.5..1.5 ease=1 blend=add\n"
                       "text string=GO_NOW size=0.2\n"
                       "tone freq=220,330..440 wave=saw detune=10 attack=0.1 decay=0.5 sustain=0.3 at=1..2\n"
                       "noise cutoff=200..4000 pan=-1..1\n";
    MovieScript script;
    std::string error;
    ASSERT_TRUE(script.Parse(text, "t.txt", error)) << error;
    EXPECT_EQ(script.width, 320);
    EXPECT_EQ(script.height, 180);
    EXPECT_EQ(script.FrameCount(), 50);
    EXPECT_EQ(script.videoBitRate, 600000);
    EXPECT_DOUBLE_EQ(script.fadeIn, 0.5);
    EXPECT_EQ(script.sampleRate, 22050);
    EXPECT_DOUBLE_EQ(script.level, 0.5);
    ASSERT_EQ(script.layers.size(), 3u);

    const MovieLayer& polygon = script.layers[1];
    EXPECT_EQ(polygon.kind, MovieLayerKind::Polygon);
    EXPECT_EQ(polygon.line, 8);
    EXPECT_DOUBLE_EQ(polygon.x.At(0.5), 0.5);
    EXPECT_DOUBLE_EQ(polygon.start, 0.5);
    EXPECT_DOUBLE_EQ(polygon.end, 1.5);
    EXPECT_TRUE(polygon.ease);
    EXPECT_EQ(polygon.blend, MovieBlend::Add);
    EXPECT_NEAR(polygon.colour.from.a, 128.0 / 255.0, 1e-6);
    EXPECT_FLOAT_EQ(polygon.colour.from.r, 1.0f);
    EXPECT_FLOAT_EQ(polygon.colour.At(1.0).g, 1.0f);

    // Unset spans are the whole movie; '_' is a blank in a string.
    const MovieLayer& text2 = script.layers[2];
    EXPECT_EQ(text2.text, "GO NOW");
    EXPECT_DOUBLE_EQ(text2.start, 0.0);
    EXPECT_DOUBLE_EQ(text2.end, 2.0);

    ASSERT_EQ(script.voices.size(), 2u);
    ASSERT_EQ(script.voices[0].freqs.size(), 2u);
    EXPECT_DOUBLE_EQ(script.voices[0].freqs[1].to, 440.0);
    EXPECT_EQ(script.voices[0].wave, MovieWave::Saw);
    EXPECT_EQ(script.voices[1].wave, MovieWave::Noise);
    EXPECT_DOUBLE_EQ(script.voices[1].pan.from, -1.0);
}

TEST(MovieScript, NumbersIgnoreTheProcessLocale)
{
    // A locale with a decimal comma, where one is installed.
    const char* before = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = before ? before : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    MovieScript script;
    std::string error;
    bool parsed = script.Parse("movie size=64x48 rate=10 seconds=1.5\n", "t.txt", error);
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_TRUE(parsed) << error;
    EXPECT_DOUBLE_EQ(script.seconds, 1.5);
}

struct Bad
{
    const char* text;
    const char* error;  // the start of the message
};

TEST(MovieScript, MistakesNameTheFileLineAndReason)
{
    const Bad cases[] = {
        {"", "d.txt:0: no \"movie\" line"},
        {"rect\n", "d.txt:1: the first statement must be \"movie\""},
        {"movie size=64x48 seconds=1\nmovie size=64x48 seconds=1\n", "d.txt:2: a second \"movie\" line"},
        {"movie size=63x48 seconds=1\n", "d.txt:1: \"size\" must be"},
        {"movie size=64 seconds=1\n", "d.txt:1: \"size\" must be"},
        {"movie size=4000x48 seconds=1\n", "d.txt:1: \"size\" must be"},
        {"movie size=64x48\n", "d.txt:1: \"movie\" needs \"seconds\""},
        {"movie size=64x48 seconds=0.01 rate=25\n", "d.txt:1: bad value for \"seconds\""},
        {"movie size=64x48 seconds=1 rate=25.5\n", "d.txt:1: bad value for \"rate\""},
        {"movie size=64x48 seconds=1e999\n", "d.txt:1: bad value for \"seconds\""},
        {"movie size=64x48 seconds=nan\n", "d.txt:1: bad value for \"seconds\""},
        {"movie size=64x48 seconds=1\nwobble x=1\n", "d.txt:2: unknown statement \"wobble\""},
        {"movie size=64x48 seconds=1\nrect x=0.5 x=0.6\n", "d.txt:2: \"x\" given twice"},
        {"movie size=64x48 seconds=1\nrect x 0.5\n", "d.txt:2: expected key=value"},
        {"movie size=64x48 seconds=1\nrect x=\n", "d.txt:2: expected key=value"},
        {"movie size=64x48 seconds=1\nrect radius=0.5\n", "d.txt:2: \"rect\" has no key \"radius\""},
        {"movie size=64x48 seconds=1\nrect colour=#FF00FF\n", "d.txt:2: bad value for \"colour\""},
        {"movie size=64x48 seconds=1\nrect colour=#GG00FF00\n", "d.txt:2: bad value for \"colour\""},
        {"movie size=64x48 seconds=1\nrect w=1..\n", "d.txt:2: bad value for \"w\""},
        {"movie size=64x48 seconds=1\nrect at=0.5..0.2\n", "d.txt:2: bad value for \"at\""},
        {"movie size=64x48 seconds=1\nrect at=0.5..2\n", "d.txt:2: \"at\" reaches past the end"},
        {"movie size=64x48 seconds=1\nrect blend=multiply\n", "d.txt:2: bad value for \"blend\""},
        {"movie size=64x48 seconds=1\npolygon sides=65\n", "d.txt:2: bad value for \"sides\""},
        {"movie size=64x48 seconds=1\ntunnel count=0\n", "d.txt:2: bad value for \"count\""},
        {"movie size=64x48 seconds=1\nstreaks count=100000\n", "d.txt:2: bad value for \"count\""},
        {"movie size=64x48 seconds=1\ntext size=0.1\n", "d.txt:2: \"text\" needs \"string\""},
        {"movie size=64x48 seconds=1\nfade in=0.7 out=0.7\n", "d.txt:0: the fades are longer than the movie"},
        {"movie size=64x48 seconds=1\ntone freq=440\n", "d.txt:2: a voice without a \"sound\" line"},
        {"movie size=64x48 seconds=1\nsound\ntone wave=saw\n", "d.txt:3: \"tone\" needs \"freq\""},
        {"movie size=64x48 seconds=1\nsound\ntone freq=440,0\n", "d.txt:3: bad value for \"freq\""},
        {"movie size=64x48 seconds=1\nsound\ntone freq=440 wave=organ\n", "d.txt:3: bad value for \"wave\""},
        {"movie size=64x48 seconds=1\nsound\nnoise freq=440\n", "d.txt:3: \"noise\" has no key \"freq\""},
        {"movie size=64x48 seconds=1\nsound rate=100\n", "d.txt:2: bad value for \"rate\""},
    };
    for (const Bad& c : cases)
    {
        MovieScript script;
        std::string error;
        EXPECT_FALSE(script.Parse(c.text, "d.txt", error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << " gave: " << error;
    }
}

TEST(MovieScript, LongTextsAndManyStatementsAreRefused)
{
    MovieScript script;
    std::string error;
    EXPECT_FALSE(script.Parse("movie size=64x48 seconds=1\ntext string=" + std::string(65, 'A') + "\n", "d", error));
    std::string many = "movie size=64x48 seconds=1\n";
    for (int i = 0; i < 600; ++i)
        many += "fill colour=#01000000\n";
    EXPECT_FALSE(script.Parse(many, "d", error));
    EXPECT_NE(error.find("too many statements"), std::string::npos) << error;
}

}  // namespace
