#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeOggDecoder;

// One streamed sound (the music): a source fed by the decoder's sixteen buffers, refilled as they
// are played. The source is placed at the listener and never attenuated.
class WeSoundStream
{
public:
    explicit WeSoundStream(const WeString& name);
    virtual ~WeSoundStream();
    WeSoundStream(const WeSoundStream&) = delete;
    WeSoundStream& operator=(const WeSoundStream&) = delete;

    // Fills and queues the buffers and starts playing. True when already playing; false when the
    // file is missing or bad, or yields no audio.
    bool Play(bool loop);
    void Update();
    // Stops for good: the next update leaves the stream alone until Play or Resume.
    void Stop();
    void Pause();
    // Plays on after Pause, or after Stop from freshly decoded audio.
    void Resume();
    bool IsPlaying();
    bool IsPaused();
    void SetGain(float gain);

    uint32_t GetSource() const { return m_Source; }
    WeOggDecoder* GetDecoder() const { return m_Decoder; }

private:
    // Unqueues every buffer, refills them from the decoder and queues those that got audio; false
    // when none did.
    bool Refill();

    uint32_t m_Source = 0;
    WeOggDecoder* m_Decoder = nullptr;
    // Stopped on request, or played out to the end of a non-looping file.
    bool m_Stopped = true;
    // The decoder found the end of a non-looping file: the queued buffers drain, none is refilled.
    bool m_Draining = false;
};
