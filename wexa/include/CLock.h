#pragma once

// CCriticalLock: a re-entrant lock over a Win32 critical section. The thread
// that holds it may lock it again; it is free once every Lock has been matched
// by an Unlock.
//
// CAutoLock: holds a CCriticalLock for the lifetime of a scope. Constructed from
// a null pointer it does nothing, so optional locks need no special casing.

#include <windows.h>

#include "WexaExport.h"

class WEXA_API CCriticalLock
{
public:
    CCriticalLock();
    ~CCriticalLock();

    CCriticalLock(const CCriticalLock&) = delete;
    CCriticalLock& operator=(const CCriticalLock&) = delete;

    void Lock();
    void Unlock();
    // Takes the lock only when that needs no waiting; true when it is now held.
    bool TryLock();

    CRITICAL_SECTION* GetSection() noexcept { return &m_section; }

private:
    CRITICAL_SECTION m_section;
};

class CAutoLock
{
public:
    explicit CAutoLock(CCriticalLock& lock) : m_lock(&lock) { m_lock->Lock(); }
    explicit CAutoLock(CCriticalLock* lock) : m_lock(lock)
    {
        if (m_lock) m_lock->Lock();
    }
    ~CAutoLock()
    {
        if (m_lock) m_lock->Unlock();
    }

    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    CCriticalLock* m_lock;
};
