#pragma once
// The engine's worker thread start and the small owners of the kernel's
// synchronisation objects: a re-entrant critical section with its scoped
// lock, and an event.

#include "platform/Kernel.h"

namespace Engine {

class CThread {
public:
    // Starts proc(argument) on a new thread and stores its handle (closed by
    // the caller with CloseHandle once it has waited for the thread). Throws
    // CException "Engine::CThread::Create(...) : FAILED" when no thread can
    // be started.
    static void Create(LPTHREAD_START_ROUTINE proc, void* argument, HANDLE* thread);
};

// A critical section: the owning thread may enter it again.
class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&m_section); }
    ~CCriticalSection() { DeleteCriticalSection(&m_section); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

// Holds a critical section for the life of the scope.
class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CCriticalSection& section) : m_section(section) { m_section.Enter(); }
    ~CCriticalSectionLock() { m_section.Leave(); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CCriticalSection& m_section;
};

// An unnamed event; auto-reset unless asked otherwise. Its handle can be
// waited on together with others (WaitForMultipleObjects).
class CEvent {
public:
    // Throws CException when the event cannot be made.
    explicit CEvent(bool manualReset = false, bool initiallySet = false);
    ~CEvent() { CloseHandle(m_handle); }
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    void Set() { SetEvent(m_handle); }
    void Reset() { ResetEvent(m_handle); }
    // True when the event was set within the time-out (milliseconds).
    bool Wait(DWORD milliseconds = INFINITE) { return WaitForSingleObject(m_handle, milliseconds) == WAIT_OBJECT_0; }
    HANDLE GetHandle() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace Engine
