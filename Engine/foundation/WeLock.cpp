#include "Engine/foundation/WeLock.h"

#include "Engine/foundation/WeCriticalSection.h"

WeLock::WeLock(SysCriticalSection* section) : m_Section(section)
{
    m_Section->Enter();
}

WeLock::WeLock(WeCriticalSection& section) : WeLock(section.Get()) {}

WeLock::~WeLock()
{
    m_Section->Leave();
}
