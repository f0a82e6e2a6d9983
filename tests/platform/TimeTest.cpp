#include <gtest/gtest.h>

#include "platform/Testing.h"
#include "platform/Time.h"

namespace {

int64_t Counter() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

} // namespace

TEST(TimeTest, TestClockDrivesBothClocksAndOnlyMovesForward) {
    Platform::Testing::UseTestClock(5'000'000);
    EXPECT_EQ(timeGetTime(), 5000u);
    EXPECT_EQ(Counter(), 5'000'000);
    Platform::Testing::AdvanceTestClock(1'500);
    Platform::Testing::AdvanceTestClock(-10'000);
    EXPECT_EQ(Counter(), 5'001'500);
    EXPECT_EQ(timeGetTime(), 5001u);

    // Milliseconds wrap at 2^32 like the original; differences stay right.
    Platform::Testing::UseTestClock(int64_t(0xFFFFFFFFu) * 1000);
    const DWORD before = timeGetTime();
    Platform::Testing::AdvanceTestClock(3'000);
    EXPECT_EQ(timeGetTime(), 2u);
    EXPECT_EQ(DWORD(timeGetTime() - before), 3u);
    Platform::Testing::UseRealClock();
}

TEST(TimeTest, RealCounterIsMonotonicMicroseconds) {
    LARGE_INTEGER frequency;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1'000'000);
    int64_t last = Counter();
    for (int i = 0; i < 1000; ++i) {
        const int64_t now = Counter();
        ASSERT_GE(now, last);
        last = now;
    }
    EXPECT_EQ(timeBeginPeriod(1), TIMERR_NOERROR);
    EXPECT_EQ(timeEndPeriod(0), TIMERR_NOCANDO);
}
