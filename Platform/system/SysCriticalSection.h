#pragma once
#include <mutex>

// A lock that the thread holding it may take again (each Enter needs its Leave), as the engine's
// locking code expects of a critical section.
class SysCriticalSection
{
public:
    SysCriticalSection() = default;
    SysCriticalSection(const SysCriticalSection&) = delete;
    SysCriticalSection& operator=(const SysCriticalSection&) = delete;

    void Enter();
    bool TryEnter();
    void Leave();

private:
    std::recursive_mutex m_Mutex;
};
