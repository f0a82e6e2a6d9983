#pragma once
// Multimedia timer and performance counter. Both read one monotonic clock,
// or the test clock while a test has switched it on (platform/Testing.h).

#include "platform/WinTypes.h"

using MMRESULT = UINT;
constexpr MMRESULT TIMERR_NOERROR = 0;
constexpr MMRESULT TIMERR_NOCANDO = 97;

struct LARGE_INTEGER {
    int64_t QuadPart = 0;
};

// Milliseconds since an arbitrary start; wraps at 2^32 like the original, so
// callers take unsigned differences.
DWORD timeGetTime();
// The clock already has millisecond resolution: the period calls only check
// their argument (0 is refused).
MMRESULT timeBeginPeriod(UINT periodMs);
MMRESULT timeEndPeriod(UINT periodMs);

// Microsecond ticks: the frequency is always 1,000,000.
BOOL QueryPerformanceCounter(LARGE_INTEGER* counter);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

void Sleep(DWORD milliseconds);
