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
