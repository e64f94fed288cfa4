#include "Engine/render/WeMovieSound.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLock.h"
#include "Engine/runtime/WeAudioDevice.h"

namespace
{
// Each OpenAL buffer holds at most this share of a second, so a skip after a stall loses little.
constexpr int32_t BuffersPerSecond = 20;
// Silence put in front of sound that starts later than the picture is never longer than this.
constexpr double MaximumPad = 2.0;

float GlobalMusicVolume()
{
    static float& value = GetConfigFloat("Sounds.General.GlobalMusicVolume", 1.0f);
    return value;
}
}  // namespace

WeMovieSound::WeMovieSound() {}

WeMovieSound::~WeMovieSound()
{
    Destroy();
}

bool WeMovieSound::ContextAvailable()
{
    return alcGetCurrentContext() != nullptr;
}

bool WeMovieSound::ContextIsOurs() const
{
    return m_Context != nullptr && alcGetCurrentContext() == static_cast<ALCcontext*>(m_Context);
}

bool WeMovieSound::Create()
{
    Destroy();
    ALCcontext* context = alcGetCurrentContext();
    if (context == nullptr)
        return false;
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR || source == 0)
        return false;
    m_Context = context;
    m_Source = source;
    alSourcei(m_Source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(m_Source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(m_Source, AL_ROLLOFF_FACTOR, 0.0f);
    if (alIsExtensionPresent("AL_SOFT_direct_channels"))
        alSourcei(m_Source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    ApplyGain();
    return true;
}

void WeMovieSound::Forget()
{
    m_Source = 0;
    m_Context = nullptr;
    m_FreeBuffers.clear();
    m_Queued.clear();
    m_Started = false;
    m_Played = false;
}

void WeMovieSound::Destroy()
{
    if (m_Source != 0 && ContextIsOurs())
    {
        alSourceStop(m_Source);
        alSourcei(m_Source, AL_BUFFER, 0);
        alDeleteSources(1, &m_Source);
        for (const Queued& q : m_Queued)
            m_FreeBuffers.push_back(q.buffer);
        if (!m_FreeBuffers.empty())
            alDeleteBuffers(ALsizei(m_FreeBuffers.size()), m_FreeBuffers.data());
    }
    Forget();
    WeLock lock(m_Lock);
    m_Waiting.clear();
    m_WaitingRead = 0;
    m_Received = 0;
    m_Channels = 0;
    m_Rate = 0;
}

void WeMovieSound::OnAudio(const int16_t* samples, int frameCount, int channels, int sampleRate)
{
    if (samples == nullptr || frameCount <= 0 || channels < 1 || channels > 2 || sampleRate <= 0)
        return;
    WeLock lock(m_Lock);
    if (m_Channels == 0 || m_WaitingRead == m_Waiting.size())
    {
        m_Channels = channels;
        m_Rate = sampleRate;
    }
    // Buffers on one source share one format; a block in another one cannot follow the queue.
    if (channels != m_Channels || sampleRate != m_Rate)
        return;
    m_Waiting.insert(m_Waiting.end(), samples, samples + size_t(frameCount) * size_t(channels));
    m_Received += frameCount;
}

void WeMovieSound::Drop(bool rewound)
{
    if (m_Source != 0 && ContextIsOurs())
    {
        alSourceStop(m_Source);
        alSourcei(m_Source, AL_BUFFER, 0);
        for (const Queued& q : m_Queued)
            m_FreeBuffers.push_back(q.buffer);
    }
    m_Queued.clear();
    m_Started = false;
    m_Played = false;
    WeLock lock(m_Lock);
    m_Waiting.clear();
    m_WaitingRead = 0;
    if (rewound)
        m_Received = 0;
}

void WeMovieSound::ApplyGain()
{
    float gain = 1.0f;
    if (g_AudioDevice.IsInitialised())
        gain = g_AudioDevice.GetPauseCount() != 0 ? 0.0f : g_AudioDevice.GetMusicVolume() * GlobalMusicVolume();
    alSourcef(m_Source, AL_GAIN, gain);
}

void WeMovieSound::ReclaimProcessed()
{
    ALint processed = 0;
    alGetSourcei(m_Source, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0 && !m_Queued.empty())
    {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(m_Source, 1, &buffer);
        m_FreeBuffers.push_back(buffer);
        m_Queued.erase(m_Queued.begin());
    }
}

void WeMovieSound::QueueBuffer(const int16_t* samples, int32_t frames, double start)
{
    ALuint buffer = 0;
    if (!m_FreeBuffers.empty())
    {
        buffer = m_FreeBuffers.back();
        m_FreeBuffers.pop_back();
    }
    else
    {
        alGetError();
        alGenBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR)
            return;
    }
    ALenum format = m_Channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    alBufferData(buffer, format, samples, ALsizei(size_t(frames) * size_t(m_Channels) * sizeof(int16_t)), m_Rate);
    alSourceQueueBuffers(m_Source, 1, &buffer);
    m_Queued.push_back({buffer, start, frames});
    m_Played = true;
}

void WeMovieSound::Align(double pictureTime)
{
    WeLock lock(m_Lock);
    if (m_Rate <= 0 || m_Channels <= 0)
        return;
    int64_t waiting = int64_t(m_Waiting.size() - m_WaitingRead) / m_Channels;
    int64_t head = m_Received - waiting;
    int64_t picture = int64_t(pictureTime * m_Rate);
    if (head < picture)
    {
        int64_t skip = std::min(waiting, picture - head);
        m_WaitingRead += size_t(skip) * size_t(m_Channels);
        head += skip;
    }
    if (head > picture && waiting > 0)
    {
        int64_t pad = std::min(head - picture, int64_t(MaximumPad * m_Rate));
        std::vector<int16_t> silence(size_t(pad) * size_t(m_Channels), 0);
        QueueBuffer(silence.data(), int32_t(pad), double(head - pad) / m_Rate);
    }
}

void WeMovieSound::Fill()
{
    WeLock lock(m_Lock);
    if (m_Rate <= 0 || m_Channels <= 0)
        return;
    const int32_t chunk = std::max(1, m_Rate / BuffersPerSecond);
    int64_t waiting = int64_t(m_Waiting.size() - m_WaitingRead) / m_Channels;
    int64_t head = m_Received - waiting;
    while (waiting > 0)
    {
        int32_t frames = int32_t(std::min<int64_t>(waiting, chunk));
        QueueBuffer(m_Waiting.data() + m_WaitingRead, frames, double(head) / m_Rate);
        m_WaitingRead += size_t(frames) * size_t(m_Channels);
        waiting -= frames;
        head += frames;
    }
    m_Waiting.erase(m_Waiting.begin(), m_Waiting.begin() + ptrdiff_t(m_WaitingRead));
    m_WaitingRead = 0;
}

void WeMovieSound::PlayFromQueue()
{
    if (!m_Queued.empty())
        alSourcePlay(m_Source);
}

void WeMovieSound::Update(bool firstFrameSeen, double pictureTime)
{
    if (m_Source == 0)
        return;
    if (!ContextIsOurs())
    {
        Forget();
        return;
    }
    ApplyGain();
    ReclaimProcessed();
    if (!m_Started)
    {
        if (!firstFrameSeen)
            return;
        m_Started = true;
        Align(pictureTime);
        Fill();
        PlayFromQueue();
        return;
    }
    ALint state = 0;
    alGetSourcei(m_Source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING || state == AL_PAUSED)
    {
        Fill();
        return;
    }
    // Run dry: when sound is waiting it is late; what the picture has passed already is skipped.
    bool waiting = false;
    {
        WeLock lock(m_Lock);
        waiting = m_WaitingRead < m_Waiting.size();
    }
    if (!waiting)
        return;
    if (m_Played)
        ++m_Underruns;
    Align(pictureTime);
    Fill();
    PlayFromQueue();
}

double WeMovieSound::QueuedSeconds()
{
    if (m_Source == 0 || !ContextIsOurs() || m_Rate <= 0)
        return 0.0;
    int64_t frames = 0;
    for (const Queued& q : m_Queued)
        frames += q.frames;
    ALint offset = 0;
    alGetSourcei(m_Source, AL_SAMPLE_OFFSET, &offset);
    return double(std::max<int64_t>(0, frames - offset)) / m_Rate;
}

double WeMovieSound::PlayingTime()
{
    if (m_Source == 0 || !ContextIsOurs() || m_Rate <= 0)
        return -1.0;
    ALint state = 0;
    alGetSourcei(m_Source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING)
        return -1.0;
    ALint offset = 0;
    alGetSourcei(m_Source, AL_SAMPLE_OFFSET, &offset);
    int64_t remaining = offset;
    for (const Queued& q : m_Queued)
    {
        if (remaining < q.frames)
            return q.start + double(remaining) / m_Rate;
        remaining -= q.frames;
    }
    return -1.0;
}
