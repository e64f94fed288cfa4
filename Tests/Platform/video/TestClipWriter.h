#pragma once
#include <cstdint>
#include <string>

// Writes small movies for the tests with libavcodec: frame i is filled with ClipColour(i), frames at
// 10 per second; the sound track (stereo 22050 Hz 16-bit) holds ClipLeft on the left and ClipRight
// on the right for the whole movie.
struct ClipOptions
{
    const char* codec;      // video encoder name, e.g. "mpeg4"
    const char* container;  // muxer name, e.g. "avi"
    int frames = 10;
    bool video = true;
    bool audio = true;
    int width = 64;
    int height = 48;
    int bFrames = 0;    // reordered frames the encoder may use
    int channels = 2;   // 1: ClipLeft only; more: ClipLeft in every channel but the second
    int ptsGapAt = -1;  // frames from this one on are shown ptsGap frame times later
    int64_t ptsGap = 0;
    bool split = false;       // the right half of every frame black
    bool splitRows = false;   // the bottom half of every frame black
    double audioShift = 0.0;  // seconds the sound is stamped later than its pictures
    bool interleave = true;   // false: every picture first, then all the sound
};

struct ClipColour
{
    uint8_t r, g, b;
};

constexpr int ClipWidth = 64;
constexpr int ClipHeight = 48;
constexpr int ClipRate = 22050;
constexpr int16_t ClipLeft = 1000;
constexpr int16_t ClipRight = -2000;

ClipColour ClipColourOf(int frame);
bool WriteClip(const std::string& path, const ClipOptions& options);
