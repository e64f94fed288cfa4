#include "Engine/runtime/WeSoundStream.h"

#include <AL/al.h>

#include "Engine/runtime/WeOggDecoder.h"

WeSoundStream::WeSoundStream(const WeString& name)
{
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() == AL_NO_ERROR)
    {
        m_Source = source;
        alSourcei(m_Source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcef(m_Source, AL_ROLLOFF_FACTOR, 0.0f);
    }
    m_Decoder = new WeOggDecoder(name);
}

WeSoundStream::~WeSoundStream()
{
    if (m_Source != 0)
    {
        alSourceStop(m_Source);
        // Buffers still queued cannot be deleted by the decoder.
        alSourcei(m_Source, AL_BUFFER, 0);
        alDeleteSources(1, &m_Source);
    }
    delete m_Decoder;
}

bool WeSoundStream::Refill()
{
    alSourceStop(m_Source);
    alSourcei(m_Source, AL_BUFFER, 0);
    int32_t queued = 0;
    const uint32_t* buffers = m_Decoder->GetBuffers();
    for (int32_t i = 0; i < WeOggDecoder::BufferCount; ++i)
    {
        if (!m_Decoder->FillBuffer(buffers[i]))
            break;
        ALuint buffer = buffers[i];
        alSourceQueueBuffers(m_Source, 1, &buffer);
        ++queued;
    }
    // A stream shorter than the sixteen buffers plays what it has and then ends.
    m_Draining = queued < WeOggDecoder::BufferCount;
    return queued > 0;
}

bool WeSoundStream::Play(bool loop)
{
    if (m_Source == 0 || !m_Decoder->IsOpened())
        return false;
    if (IsPlaying())
        return true;
    // The loop flag first: a short looping stream wraps during this very fill.
    m_Decoder->SetLoop(loop);
    if (!m_Decoder->GetReader().Rewind() || !Refill())
    {
        m_Stopped = true;
        return false;
    }
    m_Stopped = false;
    alSourcePlay(m_Source);
    return true;
}

void WeSoundStream::Update()
{
    if (m_Source == 0 || !m_Decoder->IsOpened() || m_Stopped || IsPaused())
        return;
    ALint processed = 0;
    alGetSourcei(m_Source, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0)
    {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(m_Source, 1, &buffer);
        if (m_Draining)
            continue;
        if (!m_Decoder->FillBuffer(buffer))
        {
            // The end of a non-looping file: what is queued plays out, nothing stale is replayed.
            m_Draining = true;
            continue;
        }
        alSourceQueueBuffers(m_Source, 1, &buffer);
    }
    ALint queued = 0;
    alGetSourcei(m_Source, AL_BUFFERS_QUEUED, &queued);
    if (!IsPlaying())
    {
        // Ran dry before the refill came: play on. Nothing queued: the end of the file was heard.
        if (queued > 0)
            alSourcePlay(m_Source);
        else
            m_Stopped = true;
    }
}

void WeSoundStream::Stop()
{
    if (m_Source == 0)
        return;
    alSourceStop(m_Source);
    m_Stopped = true;
}

void WeSoundStream::Pause()
{
    if (m_Source != 0 && IsPlaying())
        alSourcePause(m_Source);
}

void WeSoundStream::Resume()
{
    if (m_Source == 0 || !m_Decoder->IsOpened())
        return;
    if (IsPaused())
    {
        alSourcePlay(m_Source);
        return;
    }
    if (IsPlaying())
        return;
    // After a stop the queued buffers are stale: decode on from where the decoder stands.
    if (!Refill())
    {
        m_Stopped = true;
        return;
    }
    m_Stopped = false;
    alSourcePlay(m_Source);
}

bool WeSoundStream::IsPlaying()
{
    if (m_Source == 0)
        return false;
    ALint state = 0;
    alGetSourcei(m_Source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

bool WeSoundStream::IsPaused()
{
    if (m_Source == 0)
        return false;
    ALint state = 0;
    alGetSourcei(m_Source, AL_SOURCE_STATE, &state);
    return state == AL_PAUSED;
}

void WeSoundStream::SetGain(float gain)
{
    if (m_Source != 0)
        alSourcef(m_Source, AL_GAIN, gain);
}
