#pragma once
// Kernel objects: critical sections, events and threads, and the waits on
// them. Events and threads are handles that WaitForSingleObject and
// WaitForMultipleObjects wait on; a thread handle is signalled once the
// thread has returned. CloseHandle releases a handle (a running thread goes
// on without it).

#include <mutex>

#include "platform/WinTypes.h"

// A re-entrant lock: the owning thread may enter it again.
struct CRITICAL_SECTION {
    std::recursive_mutex mutex;
};

void InitializeCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);

constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

// Events: an auto-reset event is cleared again by the wait it releases; a
// manual-reset one stays set until ResetEvent. Named events are not
// supported (a name gives null). The attributes are ignored.
HANDLE CreateEvent(void* attributes, BOOL manualReset, BOOL initialState, const char* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Waits until one (waitAll false: the lowest index among the signalled ones
// is returned as WAIT_OBJECT_0 + index) or all of the handles are signalled,
// or the time-out in milliseconds passes (WAIT_TIMEOUT). An invalid handle or
// a count of 0 gives WAIT_FAILED. There is no limit on the count.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

BOOL CloseHandle(HANDLE handle);

using LPTHREAD_START_ROUTINE = DWORD (*)(void* parameter);

constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

// Starts a thread running start(parameter). The attributes, stack size and
// flags are ignored; the thread id is written when asked for. Null when the
// thread cannot be started.
HANDLE CreateThread(void* attributes, size_t stackSize, LPTHREAD_START_ROUTINE start, void* parameter,
                    DWORD flags, DWORD* threadId);
// Priorities are recorded per thread; raising a thread's scheduling priority
// needs privileges a user process lacks, so the scheduler is not asked.
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);
