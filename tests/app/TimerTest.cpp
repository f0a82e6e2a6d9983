#include <gtest/gtest.h>

#include "app/Timer.h"
#include "platform/Testing.h"

namespace {

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override { Platform::Testing::UseTestClock(1'000'000'000'000); }
    void TearDown() override { Platform::Testing::UseRealClock(); }
};

} // namespace

TEST_F(TimerTest, FollowsTheTestClockInMicroseconds) {
    Engine::CTimer timer;
    EXPECT_EQ(timer.GetElapsed(), 0) << "not running";
    timer.Start();
    Platform::Testing::AdvanceTestClock(33'333);
    EXPECT_EQ(timer.GetElapsed(), 33'333);
    // Past the 32-bit millisecond wrap of the original clock.
    Platform::Testing::AdvanceTestClock(int64_t(5'000'000'000) * 1000);
    EXPECT_EQ(timer.GetElapsed(), int64_t(5'000'000'000) * 1000 + 33'333);
    timer.Stop();
    EXPECT_EQ(timer.GetElapsed(), 0);
}

TEST_F(TimerTest, MovingTheStartHidesTimeSpentElsewhere) {
    Engine::CTimer& clock = GetGlobalClock();
    clock.Start();
    Platform::Testing::AdvanceTestClock(1'000);
    const int64_t before = clock.GetElapsed();
    Platform::Testing::AdvanceTestClock(250'000);  // a device restore
    clock.MoveStart(250'000);
    EXPECT_EQ(clock.GetElapsed(), before);
    clock.Stop();
}
