#pragma once
#include <cstdint>
#include <memory>
#include <string>

// Writes a movie file for the content tools: VP8 pictures and, optionally, Vorbis sound in Matroska,
// whatever the file's name ends in (the player probes the contents). The same pictures and samples give
// the same bytes: the encoders run on one thread and nothing time- or random-dependent is stored.
//
// Pictures and sound are written in the order they play: each WriteFrame, then the sound up to the end
// of that frame; the container interleaves them.
class VideoWriter
{
public:
    struct Settings
    {
        int width = 0;   // even
        int height = 0;  // even
        int frameRate = 25;
        int videoBitRate = 1000000;  // bits per second, the encoder's target
        int keyInterval = 50;        // frames between key frames
        int sampleRate = 0;          // 0: no sound track
        int channels = 2;            // 1 or 2
        int soundBitRate = 96000;
    };

    VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;
    ~VideoWriter();

    // False (with Error() saying why) when the settings are out of range, an encoder is missing or the
    // file cannot be created.
    bool Open(const std::string& path, const Settings& settings);
    // One picture: width x height X8R8G8B8 pixels (B, G, R, X in memory), top row first, rows of
    // width * 4 bytes.
    bool WriteFrame(const uint8_t* pixels);
    // frameCount frames of interleaved samples in -1..1, `channels` to a frame.
    bool WriteSound(const float* samples, int frameCount);
    // Flushes both encoders and finishes the file; false when anything on the way failed. An unfinished
    // file is removed.
    bool Close();

    const std::string& Error() const { return m_Error; }

private:
    struct State;
    bool Fail(const std::string& why);
    // An Open that failed: releases everything and removes what it created.
    bool Abandon(const std::string& why);
    void Release();

    std::unique_ptr<State> m_State;
    std::string m_Error;
};
