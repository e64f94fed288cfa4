#pragma once
#include "Platform/system/SysCriticalSection.h"

// Owns one critical section for the life of its owner; WeLock takes it for a scope.
class WeCriticalSection
{
public:
    WeCriticalSection() = default;
    WeCriticalSection(const WeCriticalSection&) = delete;
    WeCriticalSection& operator=(const WeCriticalSection&) = delete;

    SysCriticalSection* Get() { return &m_Section; }

private:
    SysCriticalSection m_Section;
};
