#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"

class WeUnmanagedSound;

// Hands OpenAL sources to sounds and takes them back once they stopped. Ordinary requests always get
// a new source in their channel group's list; priority requests keep to a budget and, when it is
// spent, take back finished sources and then steal the oldest of the lowest group.
class WeSoundSourcePool
{
public:
    static constexpr int32_t GroupCount = 6;
    static constexpr int32_t Budget = 63;

    WeSoundSourcePool();
    virtual ~WeSoundSourcePool();

    void Init();
    void Shutdown();
    void ReleaseAll();
    // Null when the pool is down, OpenAL cannot make a source, or a priority request finds the
    // budget spent and nothing to steal (the sound then asks again at its next operation).
    WeUnmanagedSound* Acquire(const WeString& name, bool priority, int32_t group);
    WeUnmanagedSound* CreateSource(WeList<WeUnmanagedSound*>& list, const WeString& name);
    void ReclaimFinished(WeList<WeUnmanagedSound*>& list);
    void ReclaimAll();
    bool StealOldest();
    void ApplyGroupVolume(WeList<WeUnmanagedSound*>& list, float volume, WeUnmanagedSound* except);
    void SetVolume(float volume, WeUnmanagedSound* except);

    bool IsInitialised() const { return m_Initialised != 0; }
    int32_t GetFree() const { return m_Free; }
    int32_t GetTotal() const { return m_Total; }
    WeUnmanagedSound* GetReserve() const { return m_Reserve; }
    WeList<WeUnmanagedSound*>& GetGroupList(int32_t group) { return m_Groups[group]; }
    WeList<WeUnmanagedSound*>& GetPriorityList() { return m_Priority; }

private:
    int32_t m_Total = Budget;
    int32_t m_Free = Budget;
    // A source without a buffer, kept for the pool's whole life; never handed to a sound.
    WeUnmanagedSound* m_Reserve = nullptr;
    uint8_t m_Initialised = 0;
    WeList<WeUnmanagedSound*> m_Groups[GroupCount];
    WeList<WeUnmanagedSound*> m_Priority;
};

extern WeSoundSourcePool g_SoundSourcePool;
