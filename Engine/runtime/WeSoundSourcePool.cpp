#include "Engine/runtime/WeSoundSourcePool.h"

#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/runtime/WeUnmanagedSound.h"

WeSoundSourcePool g_SoundSourcePool;

namespace
{
void DeleteAll(WeList<WeUnmanagedSound*>& list)
{
    for (WeListNode<WeUnmanagedSound*>* node = list.FirstNode(); node != nullptr; node = list.NextNode(node))
        delete node->payload;
    list.Reset();
}
}  // namespace

WeSoundSourcePool::WeSoundSourcePool() {}

WeSoundSourcePool::~WeSoundSourcePool() {}

void WeSoundSourcePool::Init()
{
    if (m_Initialised)
        return;
    m_Total = Budget;
    m_Free = Budget;
    m_Reserve = new WeUnmanagedSound();
    m_Initialised = 1;
}

void WeSoundSourcePool::ReleaseAll()
{
    for (WeList<WeUnmanagedSound*>& list : m_Groups)
        DeleteAll(list);
    DeleteAll(m_Priority);
}

void WeSoundSourcePool::Shutdown()
{
    if (!m_Initialised)
        return;
    ReleaseAll();
    delete m_Reserve;
    m_Reserve = nullptr;
    m_Initialised = 0;
}

WeUnmanagedSound* WeSoundSourcePool::CreateSource(WeList<WeUnmanagedSound*>& list, const WeString& name)
{
    WeUnmanagedSound* source = new WeUnmanagedSound(name);
    if (!source->IsValid())
    {
        delete source;
        return nullptr;
    }
    list.PushBack(source);
    --m_Free;
    return source;
}

WeUnmanagedSound* WeSoundSourcePool::Acquire(const WeString& name, bool priority, int32_t group)
{
    if (!m_Initialised)
        return nullptr;
    if (group < 0 || group >= GroupCount)
        group = 0;
    if (!priority)
        return CreateSource(m_Groups[group], name);
    ReclaimAll();
    // Ordinary requests may have driven the count below 0: only a positive count is room.
    if (m_Free > 0)
    {
        WeUnmanagedSound* source = CreateSource(m_Priority, name);
        if (source != nullptr)
            return source;
    }
    // Out of budget, or OpenAL itself out of sources: steal and try once more.
    if (!StealOldest())
        return nullptr;
    return CreateSource(m_Priority, name);
}

void WeSoundSourcePool::ReclaimFinished(WeList<WeUnmanagedSound*>& list)
{
    WeListNode<WeUnmanagedSound*>* node = list.FirstNode();
    while (node != nullptr)
    {
        WeListNode<WeUnmanagedSound*>* next = list.NextNode(node);
        WeUnmanagedSound* source = node->payload;
        if (!source->IsPlaying() && !source->IsPaused())
        {
            delete source;
            list.Remove(node);
            ++m_Free;
        }
        node = next;
    }
}

void WeSoundSourcePool::ReclaimAll()
{
    for (WeList<WeUnmanagedSound*>& list : m_Groups)
        ReclaimFinished(list);
    ReclaimFinished(m_Priority);
}

bool WeSoundSourcePool::StealOldest()
{
    for (WeList<WeUnmanagedSound*>& list : m_Groups)
    {
        WeUnmanagedSound* oldest = nullptr;
        if (list.PopFront(oldest))
        {
            delete oldest;
            ++m_Free;
            return true;
        }
    }
    return false;
}

void WeSoundSourcePool::ApplyGroupVolume(WeList<WeUnmanagedSound*>& list, float volume, WeUnmanagedSound* except)
{
    const float fade = g_AudioDevice.GetSoundFade();
    for (WeUnmanagedSound* source : list)
    {
        if (source == except)
            continue;
        float gain = source->GetBalance() * volume;
        if (source->GetOwner() != nullptr && !source->GetOwner()->IsVoice())
            gain *= fade;
        source->SetGain(gain);
    }
}

void WeSoundSourcePool::SetVolume(float volume, WeUnmanagedSound* except)
{
    for (WeList<WeUnmanagedSound*>& list : m_Groups)
        ApplyGroupVolume(list, volume, except);
    ApplyGroupVolume(m_Priority, volume, except);
}
