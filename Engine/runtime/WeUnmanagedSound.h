#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeSound;
class WeSoundBuffer;

// One OpenAL source with the buffer of its sound name. Made and deleted only by the source pool; the
// sound that uses it is its owner and learns when it goes.
class WeUnmanagedSound
{
public:
    explicit WeUnmanagedSound(const WeString& name);
    // The pool's reserve: no buffer, balance 1.
    WeUnmanagedSound();
    virtual ~WeUnmanagedSound();
    WeUnmanagedSound(const WeUnmanagedSound&) = delete;
    WeUnmanagedSound& operator=(const WeUnmanagedSound&) = delete;

    // False when OpenAL could not make the source.
    bool IsValid() const { return m_Source != 0; }

    void Play(bool loop);
    void Stop();
    void Rewind();
    void Pause();
    void SetGain(float gain);
    void SetPitch(float pitch);
    bool IsPlaying();
    bool IsPaused();
    void QueueBuffer(const WeString& name);

    uint32_t GetSource() const { return m_Source; }
    WeSoundBuffer* GetBuffer() const { return m_Buffer; }
    WeSound* GetOwner() const { return m_Owner; }
    void SetOwner(WeSound* owner) { m_Owner = owner; }
    float GetBalance() const { return m_Balance; }

private:
    void Generate();
    int32_t GetState();

    WeSoundBuffer* m_Buffer = nullptr;
    uint32_t m_Source = 0;
    WeSound* m_Owner = nullptr;
    float m_Balance = 1.0f;
};
