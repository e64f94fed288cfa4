#pragma once
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeCriticalSection.h"
#include "Platform/video/VideoSink.h"

// A movie's sound on one OpenAL source of its own, outside the sound device's pool (as the music's is):
// 2-D, at the listener, stereo straight to the speakers. The decoder thread only copies samples in
// (OnAudio); the main thread moves them into OpenAL buffers and keeps the source behind the pictures,
// never ahead of them. OpenAL is called from the main thread only, and never once the context the
// source was made on is gone (destroying it freed the source and buffers).
class WeMovieSound : public VideoSink
{
public:
    // What Update keeps queued on the source at least, when the movie has sent that much.
    static constexpr double MinimumQueued = 0.25;

    WeMovieSound();
    ~WeMovieSound() override;
    WeMovieSound(const WeMovieSound&) = delete;
    WeMovieSound& operator=(const WeMovieSound&) = delete;

    // True when an OpenAL context is current, so that a source can be made.
    static bool ContextAvailable();

    // Makes the source on the current context; false (and nothing made) without one.
    bool Create();
    // Deletes the source and its buffers (forgets them when their context is gone) and every sample.
    void Destroy();
    bool HasSource() const { return m_Source != 0; }
    uint32_t GetSource() const { return m_Source; }

    // Main thread, once a frame. firstFrameSeen: a frame of the current run has been shown, whose time
    // is pictureTime; the source starts then, from the sound of that time.
    void Update(bool firstFrameSeen, double pictureTime);
    // Main thread, while the player is stopped: drops every queued sample. rewound: the next samples
    // are the track's first.
    void Drop(bool rewound);

    // Seconds of sound queued on the source and not yet played.
    double QueuedSeconds();
    // Movie time of the sample being played, or -1 when the source is not playing.
    double PlayingTime();
    // Times the source was found run dry while sound was waiting for it.
    int32_t GetUnderruns() const { return m_Underruns; }
    bool IsStarted() const { return m_Started; }

    void OnAudio(const int16_t* samples, int frameCount, int channels, int sampleRate) override;

private:
    struct Queued
    {
        uint32_t buffer;
        double start;  // movie time of its first sample
        int32_t frames;
    };

    bool ContextIsOurs() const;
    // Forgets source and buffers without calling OpenAL.
    void Forget();
    void ApplyGain();
    void ReclaimProcessed();
    // Skips the waiting sound older than the picture and pads with silence up to sound that starts later,
    // so that the next sound queued plays the picture's time.
    void Align(double pictureTime);
    void Fill();
    void QueueBuffer(const int16_t* samples, int32_t frames, double start);
    void PlayFromQueue();

    void* m_Context = nullptr;  // ALCcontext the source belongs to
    uint32_t m_Source = 0;
    std::vector<uint32_t> m_FreeBuffers;
    std::vector<Queued> m_Queued;  // in the source's queue order
    bool m_Started = false;
    bool m_Played = false;  // anything was queued since the start
    int32_t m_Underruns = 0;

    // Shared with the decoder thread.
    WeCriticalSection m_Lock;
    std::vector<int16_t> m_Waiting;  // interleaved samples not yet on the source
    size_t m_WaitingRead = 0;        // samples of m_Waiting already taken
    int64_t m_Received = 0;          // frames received since the track's start
    int32_t m_Channels = 0;
    int32_t m_Rate = 0;
};
