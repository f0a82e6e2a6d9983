#include <gtest/gtest.h>

#include <string>

#include "app/Log.h"
#include "app/shell/FixedStepClock.h"

using Engine::CFixedStepClock;

namespace {

class FixedStepClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetLog().SetSink([this](std::string_view text) { log.append(text); });
        clock.Reset(5'000'000);
    }
    void TearDown() override { GetLog().SetSink(nullptr); }

    CFixedStepClock clock;
    std::string log;
};

TEST_F(FixedStepClockTest, StepsOfFixedLengthCarryTheRemainder) {
    CFixedStepClock::CFrame frame = clock.Advance(5'100'000);
    EXPECT_FALSE(frame.skipped);
    EXPECT_EQ(frame.steps, 3);
    EXPECT_EQ(clock.GetCarry(), 1);
    EXPECT_EQ(frame.firstStepStart, 0);
    EXPECT_DOUBLE_EQ(frame.StepStartSeconds(2), 0.066666);
    // 33,332 more microseconds make a whole step with the carried one.
    frame = clock.Advance(5'133'332);
    EXPECT_EQ(frame.steps, 1);
    EXPECT_EQ(clock.GetCarry(), 0);
    EXPECT_EQ(frame.firstStepStart, 3 * CFixedStepClock::kStepMicroseconds);
    frame = clock.Advance(5'133'332 + 100);
    EXPECT_EQ(frame.steps, 0);
    EXPECT_EQ(clock.GetGameTime(), 4 * CFixedStepClock::kStepMicroseconds);
    EXPECT_DOUBLE_EQ(CFixedStepClock::kStepSeconds, 0.033333);
}

TEST_F(FixedStepClockTest, MoreThanAHundredStepsBecomeOne) {
    // Exactly 100 steps run as they are.
    EXPECT_EQ(clock.Advance(5'000'000 + 100 * CFixedStepClock::kStepMicroseconds).steps, 100);
    EXPECT_EQ(log.find("nTickCount"), std::string::npos);
    const CFixedStepClock::CFrame frame = clock.Advance(5'000'000 + 201 * CFixedStepClock::kStepMicroseconds + 7);
    EXPECT_EQ(frame.steps, 1);
    EXPECT_NE(log.find("nTickCount is too big: 101"), std::string::npos) << log;
    // The backlog is gone: only the remainder is carried.
    EXPECT_EQ(clock.GetCarry(), 7);
    EXPECT_EQ(clock.GetGameTime(), 101 * CFixedStepClock::kStepMicroseconds);
}

TEST_F(FixedStepClockTest, BackwardsClockSkipsOneFrameAndResynchronises) {
    clock.Advance(5'050'000);
    const CFixedStepClock::CFrame frame = clock.Advance(4'000'000);
    EXPECT_TRUE(frame.skipped);
    EXPECT_EQ(frame.steps, 0);
    EXPECT_NE(log.find("Timer went backwards : 5050000 -> 4000000"), std::string::npos) << log;
    // Time counts again from the new reading, not from the old one.
    const CFixedStepClock::CFrame next = clock.Advance(4'000'000 + CFixedStepClock::kStepMicroseconds);
    EXPECT_FALSE(next.skipped);
    EXPECT_EQ(next.steps, 1);
}

} // namespace
