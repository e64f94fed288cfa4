#pragma once
#include "Platform/video/VideoFrameRing.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class VideoDecoder;
class VideoSink;

// Plays one movie file on a decoder thread of its own: each video frame is published at its
// presentation time into a three-buffer rotation that the main thread takes the newest frame from
// (and handed to the sink, if any), and decoded sound goes to the sink. Every public call is made
// from one thread (the main thread); only the sink runs on the decoder thread.
//
// Like a filter graph: Open leaves the movie stopped at its start; Run plays from where it stands,
// Pause holds it there, Stop ends the thread (no sink call after Stop returns) and keeps the position;
// reaching the end raises the completion event once per run that gets there, and the player keeps
// standing at the end until Rewind.
class VideoPlayer
{
public:
    VideoPlayer();
    VideoPlayer(const VideoPlayer&) = delete;
    VideoPlayer& operator=(const VideoPlayer&) = delete;
    ~VideoPlayer();

    // Opens a movie by file name; '\' in the name separates folders as '/' does. The container is
    // probed from the contents, not taken from the name. withSound false ignores any sound track.
    // False (and closed) when the file is missing, unreadable, or holds no decodable video.
    bool Open(const std::string& fileName, bool withSound);
    void Close();
    bool IsOpen() const;

    // Where frames and sound go besides the frame rotation; set while stopped. Not owned.
    void SetSink(VideoSink* sink);
    // Real-time pacing (the default) or every frame as fast as it decodes, for tools and tests.
    void SetRealTime(bool realTime);
    // How far ahead of each frame the sound reaches the sink, in seconds (default DefaultSoundLead):
    // when the sink receives the frame of time t it has received the sound up to t plus the lead, or to
    // the end of the track. The read-ahead holds at most about 2 s of pictures, so longer leads and
    // files interleaved too badly to read that far ahead get their sound as early as that bound allows.
    // Takes effect from the next frame.
    void SetSoundLead(double seconds);
    static constexpr double DefaultSoundLead = 0.5;

    bool Run();
    void Pause();
    void Stop();
    // Back to the first frame; a running movie goes on playing from there. Clears the completion.
    bool Rewind();

    bool IsRunning() const;
    // True once for each time playback reached the end of the movie.
    bool TakeCompletion();

    int Width() const;
    int Height() const;
    // Seconds; 0 when the container does not say.
    double Duration() const;
    // Presentation time in seconds of the newest frame shown, 0 before the first.
    double Position() const;
    bool HasSound() const;

    // The newest frame: Width() x Height() X8R8G8B8 pixels, top row first, rows of Width() * 4 bytes,
    // left alone by the decoder until the next call. Null before the first frame. serial counts the
    // frames published since Open, so an unchanged value means the same frame as last time.
    const uint8_t* TakeNewestFrame(uint32_t* serial = nullptr);

private:
    enum class State
    {
        Stopped,
        Paused,
        Running
    };

    void StartThread(bool paused);
    void JoinThread();
    void ThreadMain();
    bool WaitUntilDue(double time);

    std::unique_ptr<VideoDecoder> m_Decoder;
    VideoFrameRing m_Frames;
    VideoSink* m_Sink = nullptr;
    bool m_RealTime = true;
    State m_State = State::Stopped;
    bool m_PendingVideo = false;
    bool m_PendingAudio = false;
    std::atomic<double> m_SoundLead{DefaultSoundLead};

    std::thread m_Thread;
    std::mutex m_Lock;
    std::condition_variable m_Wake;
    bool m_StopRequested = false;
    bool m_Paused = false;
    bool m_Anchored = false;
    double m_AnchorMedia = 0.0;
    std::chrono::steady_clock::time_point m_AnchorWall;
    std::chrono::steady_clock::time_point m_PauseStart;

    std::atomic<bool> m_Completion{false};
    std::atomic<int64_t> m_PositionUs{0};
};
