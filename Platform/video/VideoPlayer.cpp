#include "Platform/video/VideoPlayer.h"

#include "Platform/video/VideoDecoder.h"
#include "Platform/video/VideoSink.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>

namespace
{

using Clock = std::chrono::steady_clock;

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Names from data were written for a file system that ignores case: when the name as given is not on
// disk, each part of it is matched against the folder's entries without regard to case.
std::string FindOnDisk(const std::string& path)
{
    if (path.empty() || Exists(path))
        return path;
    std::string found = path[0] == '/' ? "/" : "";
    size_t start = path[0] == '/' ? 1 : 0;
    while (start <= path.size())
    {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty())
            continue;
        std::string folder = found.empty() ? "." : found;
        std::string next = found + (found.empty() || found.back() == '/' ? "" : "/") + part;
        if (!Exists(next) && part != "." && part != "..")
        {
            DIR* dir = opendir(folder.c_str());
            if (!dir)
                return path;
            bool matched = false;
            while (dirent* entry = readdir(dir))
            {
                if (strcasecmp(entry->d_name, part.c_str()) == 0)
                {
                    next = found + (found.empty() || found.back() == '/' ? "" : "/") + entry->d_name;
                    matched = true;
                    break;
                }
            }
            closedir(dir);
            if (!matched)
                return path;
        }
        found = next;
    }
    return found;
}

}  // namespace

VideoPlayer::VideoPlayer() : m_Decoder(std::make_unique<VideoDecoder>()) {}

VideoPlayer::~VideoPlayer()
{
    Close();
}

bool VideoPlayer::Open(const std::string& fileName, bool withSound)
{
    Close();
    // Names come from data written for a system whose folders are separated by '\'.
    std::string path = fileName;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty() || !m_Decoder->Open(FindOnDisk(path), withSound))
        return false;
    m_Frames.Reset(m_Decoder->Width(), m_Decoder->Height());
    return true;
}

void VideoPlayer::Close()
{
    Stop();
    m_Decoder->Close();
    m_Frames.Reset(0, 0);
    m_PendingVideo = false;
    m_PendingAudio = false;
    m_Completion = false;
    m_PositionUs = 0;
}

bool VideoPlayer::IsOpen() const
{
    return m_Decoder->IsOpen();
}

void VideoPlayer::SetSink(VideoSink* sink)
{
    m_Sink = sink;
}

void VideoPlayer::SetSoundLead(double seconds)
{
    m_SoundLead = seconds;
}

void VideoPlayer::SetRealTime(bool realTime)
{
    std::lock_guard<std::mutex> guard(m_Lock);
    m_RealTime = realTime;
    m_Anchored = false;
    m_Wake.notify_all();
}

bool VideoPlayer::Run()
{
    if (!IsOpen())
        return false;
    if (m_State == State::Running)
        return true;
    if (m_State == State::Paused)
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        // The clock stood still while paused, so frames keep their spacing.
        m_AnchorWall += Clock::now() - m_PauseStart;
        m_Paused = false;
        m_Wake.notify_all();
    }
    else
    {
        StartThread(false);
    }
    m_State = State::Running;
    return true;
}

void VideoPlayer::Pause()
{
    if (!IsOpen() || m_State == State::Paused)
        return;
    if (m_State == State::Stopped)
    {
        StartThread(true);
    }
    else
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_Paused = true;
        m_PauseStart = Clock::now();
    }
    m_State = State::Paused;
}

void VideoPlayer::Stop()
{
    JoinThread();
    m_State = State::Stopped;
}

bool VideoPlayer::Rewind()
{
    if (!IsOpen())
        return false;
    State state = m_State;
    JoinThread();
    m_PendingVideo = false;
    m_PendingAudio = false;
    m_Completion = false;
    m_PositionUs = 0;
    if (!m_Decoder->Rewind())
    {
        m_State = State::Stopped;
        return false;
    }
    if (state != State::Stopped)
        StartThread(state == State::Paused);
    return true;
}

bool VideoPlayer::IsRunning() const
{
    return m_State == State::Running;
}

bool VideoPlayer::TakeCompletion()
{
    return m_Completion.exchange(false);
}

int VideoPlayer::Width() const
{
    return m_Decoder->Width();
}
int VideoPlayer::Height() const
{
    return m_Decoder->Height();
}
double VideoPlayer::Duration() const
{
    return m_Decoder->Duration();
}
double VideoPlayer::Position() const
{
    return double(m_PositionUs.load()) / 1e6;
}
bool VideoPlayer::HasSound() const
{
    return m_Decoder->HasAudio();
}

const uint8_t* VideoPlayer::TakeNewestFrame(uint32_t* serial)
{
    return m_Frames.TakeNewest(serial);
}

void VideoPlayer::StartThread(bool paused)
{
    JoinThread();
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_StopRequested = false;
        m_Paused = paused;
        m_PauseStart = Clock::now();
        m_Anchored = false;
    }
    m_Thread = std::thread([this] { ThreadMain(); });
}

void VideoPlayer::JoinThread()
{
    if (!m_Thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_StopRequested = true;
        m_Wake.notify_all();
    }
    m_Thread.join();
}

bool VideoPlayer::WaitUntilDue(double time)
{
    std::unique_lock<std::mutex> lock(m_Lock);
    for (;;)
    {
        if (m_StopRequested)
            return false;
        if (m_Paused)
        {
            m_Wake.wait(lock);
            continue;
        }
        if (time < 0.0 || !m_RealTime)
            return true;
        Clock::time_point now = Clock::now();
        // The first frame after a start sets the clock: playing resumes from wherever it stands.
        if (!m_Anchored)
        {
            m_Anchored = true;
            m_AnchorMedia = time;
            m_AnchorWall = now;
            return true;
        }
        Clock::time_point due = m_AnchorWall + std::chrono::duration_cast<Clock::duration>(
                                                   std::chrono::duration<double>(time - m_AnchorMedia));
        if (now >= due)
            return true;
        m_Wake.wait_until(lock, due);
    }
}

void VideoPlayer::ThreadMain()
{
    double shown = -1.0;
    for (;;)
    {
        VideoDecoder::Result result = VideoDecoder::Result::Video;
        if (m_PendingAudio)
        {
            result = VideoDecoder::Result::Audio;
        }
        else if (!m_PendingVideo)
        {
            m_Decoder->SetAudioLead(m_SoundLead);
            result = m_Decoder->Next();
        }
        if (result == VideoDecoder::Result::End)
        {
            // The end comes once the last frame has had its time on screen (and not while paused), or a
            // loop would cut the last frame short. A damaged frame rate cannot hold it up for long.
            double hold = std::min(m_Decoder->FrameStep(), 1.0);
            if (shown >= 0.0 && !WaitUntilDue(shown + hold))
                return;
            m_Completion = true;
            return;
        }
        if (result == VideoDecoder::Result::Audio)
        {
            // A block decoded when Stop came goes out first on the next run.
            m_PendingAudio = true;
            if (!WaitUntilDue(-1.0))
                return;
            m_PendingAudio = false;
            if (m_Sink)
                m_Sink->OnAudio(m_Decoder->AudioSamples(), m_Decoder->AudioFrames(), m_Decoder->AudioChannels(),
                                m_Decoder->AudioRate());
            continue;
        }
        // A frame that was due when Stop came is shown first on the next run.
        m_PendingVideo = true;
        double time = m_Decoder->VideoTime();
        if (!WaitUntilDue(time))
            return;
        m_PendingVideo = false;
        shown = time;
        m_Frames.Write(m_Decoder->VideoPixels());
        m_PositionUs = int64_t(time * 1e6 + 0.5);
        if (m_Sink)
            m_Sink->OnVideoFrame(m_Decoder->VideoPixels(), m_Decoder->Width(), m_Decoder->Height(), time);
    }
}
