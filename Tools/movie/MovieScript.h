#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A movie description: its size, rate and length, the layers drawn back to front in every frame and the
// voices of its sound track. The text has one statement to a line, a word and then key=value pairs:
//
//   movie size=640x360 rate=25 seconds=6
//   fade in=0.5 out=0.8
//   sound rate=44100 level=0.8
//   gradient from=#FF0B1020 to=#FF1B2336 angle=90
//   polygon x=0.5 y=0.5 radius=0.2..0.3 sides=6 outline=0.005 spin=30 colour=#FFFFB020 at=2..6
//   tone freq=220,329.63 wave=saw attack=0.01 decay=1.2 sustain=0.3 release=1 at=2..6
//   footage dir=Frames
//
// `footage` draws a folder of PNG frames ("frame-00000.png" on) over the whole frame, one at the movie's rate
// from the start of its span, the last one held; the layers after it draw over it. Without `dir` the folder
// is the one wemovie is given with --footage.
//
// A number may be a range "a..b", which moves from a to b over the statement's time span ("at", the
// whole movie by default); colours are #AARRGGBB and may be ranges too. Positions are fractions of the
// frame's width (x) and height (y); lengths are fractions of its height, so that circles stay round.
// Lines starting with ';' or '#' are comments.
struct MovieRange
{
    double from = 0.0;
    double to = 0.0;
    double At(double u) const { return from + (to - from) * u; }
};

struct MovieColour
{
    float a = 1.0f, r = 1.0f, g = 1.0f, b = 1.0f;  // 0..1
};

struct MovieColourRange
{
    MovieColour from;
    MovieColour to;
    MovieColour At(double u) const;
};

enum class MovieLayerKind
{
    Fill,      // the whole frame in one colour
    Gradient,  // the whole frame, from one colour to another along an angle
    Rect,      // a rotated rectangle
    Polygon,   // a regular polygon; sides=0 is a circle
    Line,      // a segment with round ends
    Tunnel,    // polygon rings flying towards the viewer
    Streaks,   // speed lines flying out from a point
    Dots,      // small lights drifting upwards
    Text,      // capitals, digits and a few signs in a block font
    Footage,   // a folder of PNG frames, full frame
};

enum class MovieBlend
{
    Over,
    Add,
};

struct MovieLayer
{
    MovieLayerKind kind = MovieLayerKind::Fill;
    int line = 0;
    double start = 0.0, end = 0.0;  // the time span
    double fade = 0.0;              // seconds to fade in at the start of the span and out at its end
    bool ease = false;              // ranges move smoothly rather than at an even pace
    MovieBlend blend = MovieBlend::Over;
    MovieColourRange colour;
    MovieColourRange colour2;  // the gradient's far colour
    MovieRange x{0.5, 0.5}, y{0.5, 0.5}, x2{0.5, 0.5}, y2{0.5, 0.5};
    MovieRange w{0.1, 0.1}, h{0.1, 0.1};
    MovieRange radius{0.1, 0.1};
    MovieRange angle;  // degrees
    MovieRange outline;
    MovieRange width{0.004, 0.004};
    MovieRange glow;
    MovieRange length{0.2, 0.2};
    MovieRange size{0.1, 0.1};
    MovieRange twist;    // tunnel: degrees of turn from one ring to the next
    MovieRange gap;      // text: the part of each cell left dark, 0..0.5
    double spin = 0.0;   // degrees per second
    double rate = 1.0;   // tunnel, streaks, dots: cycles per second
    double pulse = 0.0;  // seconds of one brightness pulse; 0: steady
    double pulseDepth = 0.5;
    int sides = 0;
    int count = 1;
    uint32_t seed = 1;
    std::string text;
};

enum class MovieWave
{
    Sine,
    Triangle,
    Saw,
    Square,
    Noise,
};

struct MovieVoice
{
    int line = 0;
    double start = 0.0, end = 0.0;
    MovieWave wave = MovieWave::Sine;
    std::vector<MovieRange> freqs;  // Hz; one oscillator (or two, detuned) for each
    double detune = 0.0;            // cents between the two oscillators of a note
    MovieRange gain{0.2, 0.2};
    MovieRange pan;           // -1 left .. 1 right
    MovieRange cutoff{0, 0};  // Hz of the low-pass filter; 0: open
    double attack = 0.01, decay = 0.0, sustain = 1.0, release = 0.1;
    uint32_t seed = 1;
};

struct MovieScript
{
    int width = 0;
    int height = 0;
    int rate = 25;
    double seconds = 0.0;
    double fadeIn = 0.0;
    double fadeOut = 0.0;
    int sampleRate = 0;  // 0: no sound track
    double level = 0.8;  // the sound's peak after normalising
    int videoBitRate = 1000000;
    std::vector<MovieLayer> layers;
    // The folder of the footage layers that name none (wemovie's --footage).
    std::string footageDir;
    std::vector<MovieVoice> voices;

    int FrameCount() const;

    // Parses a description; on failure returns false with error set to "<name>:<line>: <reason>".
    bool Parse(const std::string& text, const std::string& name, std::string& error);
};
