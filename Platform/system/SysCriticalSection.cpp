#include "Platform/system/SysCriticalSection.h"

void SysCriticalSection::Enter()
{
    m_Mutex.lock();
}

bool SysCriticalSection::TryEnter()
{
    return m_Mutex.try_lock();
}

void SysCriticalSection::Leave()
{
    m_Mutex.unlock();
}
