// CCriticalLock: critical-section lock shared by the library and the program.

#include "CLock.h"

CCriticalLock::CCriticalLock()
{
    // A short spin before sleeping suits the brief list walks these locks guard.
    InitializeCriticalSectionAndSpinCount(&m_section, 1000);
}

CCriticalLock::~CCriticalLock()
{
    DeleteCriticalSection(&m_section);
}

void CCriticalLock::Lock()
{
    EnterCriticalSection(&m_section);
}

void CCriticalLock::Unlock()
{
    LeaveCriticalSection(&m_section);
}

bool CCriticalLock::TryLock()
{
    return TryEnterCriticalSection(&m_section) != FALSE;
}
