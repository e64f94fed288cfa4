#pragma once
#include "Platform/system/SysCriticalSection.h"

class WeCriticalSection;

// Holds a critical section for exactly the lifetime of the object.
class WeLock
{
public:
    explicit WeLock(SysCriticalSection* section);
    explicit WeLock(WeCriticalSection& section);
    ~WeLock();
    WeLock(const WeLock&) = delete;
    WeLock& operator=(const WeLock&) = delete;

private:
    SysCriticalSection* m_Section;
};
