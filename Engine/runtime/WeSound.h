#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Platform/math/D3DXVECTOR3.h"

class WeUnmanagedSound;

// A sound named "Sounds.<Category>.<Name>": its category gives its channel group, its name its
// volume balance. It holds at most one pooled source, taken when it first needs one and taken back
// by the pool once it stopped; sounds may live before the audio device and across its restarts.
class WeSound
{
public:
    WeSound(const WeString& name, bool priority);
    virtual ~WeSound();
    WeSound(const WeSound&) = delete;
    WeSound& operator=(const WeSound&) = delete;

    virtual void Play(bool loop);

    bool IsPlaying();
    // Without a source these three do nothing: there is nothing to stop, and taking a source only to
    // stop it would churn the pool.
    void Stop();
    void Pause();
    void Rewind();
    void QueueBuffer(const WeString& name);
    void SetGain(float gain);
    void SetPitch(float pitch);
    virtual D3DXVECTOR3 GetPosition();

    void AcquireSource();
    void DetermineGroup();

    const WeString& GetName() const { return m_Name; }
    bool IsPriority() const { return m_Priority != 0; }
    bool GetLoop() const { return m_Loop != 0; }
    int32_t GetGroup() const { return m_Group; }
    bool IsVoice() const { return m_Voice != 0; }
    WeUnmanagedSound* GetSource() const { return m_Source; }

    // Called by a source that is being deleted.
    void DetachSource(WeUnmanagedSound* source);

protected:
    // Puts a newly acquired source into this sound's set-up.
    virtual void SetUpSource();

    WeString m_Name;
    uint8_t m_Priority = 0;
    uint8_t m_Loop = 0;
    int32_t m_Group = 0;
    uint8_t m_Voice = 0;
    WeUnmanagedSound* m_Source = nullptr;
};
