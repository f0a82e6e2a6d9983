#include <gtest/gtest.h>

#include "app/FixedStepClock.h"
#include "app/TestFiles.h"

using Engine::CFixedStepClock;

namespace {

constexpr int64_t kStep = CFixedStepClock::kStepMicroseconds;

class FixedStepClockTest : public ::testing::Test {
protected:
    void SetUp() override { clock.Reset(5'000'000); }
    bool LogHas(const std::string& text) const { return log.Contains(text); }
    TestFiles::CLogCapture log;
    CFixedStepClock clock;
};

TEST_F(FixedStepClockTest, StepsOfFixedLengthCarryTheRemainder) {
    CFixedStepClock::CFrame frame = clock.Advance(5'100'000);
    EXPECT_EQ(frame.steps, 3);
    EXPECT_EQ(clock.GetCarry(), 1);
    EXPECT_DOUBLE_EQ(frame.StepStartSeconds(2), 0.066666);
    frame = clock.Advance(5'100'000 + kStep - 1);  // a whole step with the carried microsecond
    EXPECT_EQ(frame.steps, 1);
    EXPECT_EQ(frame.firstStepStart, 3 * kStep);
    EXPECT_EQ(clock.GetCarry(), 0);
}

TEST_F(FixedStepClockTest, MoreThanAHundredStepsBecomeOne) {
    EXPECT_EQ(clock.Advance(5'000'000 + 100 * kStep).steps, 100);
    EXPECT_FALSE(LogHas("nTickCount"));
    EXPECT_EQ(clock.Advance(5'000'000 + 201 * kStep + 7).steps, 1);
    EXPECT_TRUE(LogHas("nTickCount is too big: 101")) << log.Text();
    EXPECT_EQ(clock.GetCarry(), 7);  // the backlog is dropped
    EXPECT_EQ(clock.GetGameTime(), 101 * kStep);
}

TEST_F(FixedStepClockTest, BackwardsClockSkipsOneFrameAndResynchronises) {
    clock.Advance(5'050'000);
    EXPECT_TRUE(clock.Advance(4'000'000).skipped);
    EXPECT_TRUE(LogHas("Timer went backwards : 5050000 -> 4000000")) << log.Text();
    // Time counts again from the new reading, not from the old one.
    const CFixedStepClock::CFrame next = clock.Advance(4'000'000 + kStep);
    EXPECT_FALSE(next.skipped);
    EXPECT_EQ(next.steps, 1);
}

} // namespace
