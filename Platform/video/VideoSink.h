#pragma once
#include <cstdint>

// Receives what a playing movie produces. Both calls come on the decoder thread, never after
// VideoPlayer::Stop (or Close) has returned, and never at the same time as each other.
class VideoSink
{
public:
    virtual ~VideoSink() = default;

    // One video frame at its presentation time (seconds from the start of the movie): width x height
    // pixels, top row first, rows of width * 4 bytes, each pixel B, G, R, X in memory (the X8R8G8B8
    // layout of a texture). The pixels are only valid during the call.
    virtual void OnVideoFrame(const uint8_t* pixels, int width, int height, double time)
    {
        (void)pixels, (void)width, (void)height, (void)time;
    }

    // Decoded sound, in order, ahead of the pictures: by the time OnVideoFrame receives the frame of time
    // t, the sound up to t plus the player's sound lead has arrived (all of it when the track ends
    // sooner), unless the file is interleaved too badly for the bounded read-ahead. frameCount frames of
    // `channels` (1 or 2) interleaved signed 16-bit samples at sampleRate. Only when the movie was
    // opened with sound and has a sound track.
    virtual void OnAudio(const int16_t* samples, int frameCount, int channels, int sampleRate)
    {
        (void)samples, (void)frameCount, (void)channels, (void)sampleRate;
    }
};
