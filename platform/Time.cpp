#include "platform/Time.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/Testing.h"

namespace {

std::atomic<bool> g_testClockOn{false};
std::atomic<int64_t> g_testClockUs{0};

int64_t NowMicroseconds() {
    if (g_testClockOn) return g_testClockUs;
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

DWORD timeGetTime() { return DWORD(uint64_t(NowMicroseconds() / 1000)); }

MMRESULT timeBeginPeriod(UINT periodMs) { return periodMs ? TIMERR_NOERROR : TIMERR_NOCANDO; }
MMRESULT timeEndPeriod(UINT periodMs) { return periodMs ? TIMERR_NOERROR : TIMERR_NOCANDO; }

BOOL QueryPerformanceCounter(LARGE_INTEGER* counter) {
    if (!counter) return FALSE;
    counter->QuadPart = NowMicroseconds();
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency) return FALSE;
    frequency->QuadPart = 1000000;
    return TRUE;
}

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

namespace Platform::Testing {

void UseTestClock(int64_t startUs) {
    g_testClockUs = startUs;
    g_testClockOn = true;
}

void AdvanceTestClock(int64_t us) {
    if (us > 0) g_testClockUs += us;
}

void UseRealClock() { g_testClockOn = false; }

} // namespace Platform::Testing
