// The turns of many cheap particle types, with emitters let go, added, reset,
// stopped and restarted between frames and inside the step, counted from
// their start: where every type's cost fits the frame every type steps every
// frame, where it does not the frame's visits are used; and no type waits
// past the bound of the frame it steps in once the first frames are over (in
// them, types whose first step costs as their later ones do wait at most one
// frame past it).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "TypeChurn.h"

namespace VexaTest {
namespace {

struct CTurnsCase {
    const char* name;
    CChurnCase frames;
    int64_t worst;       // the longest wait from frame 60 on, 0 for the bound's
    int64_t overBefore;  // frames a step before frame 60 may wait past its frame's bound
    int64_t leastUsed;   // percent of the visits used from frame 60 on
};

class TypeChurnTest : public ::testing::TestWithParam<CTurnsCase> {};

TEST_P(TypeChurnTest, UsesTheVisitsAndKeepsTheBound) {
    constexpr int64_t kSettled = 60;
    const CTurnsCase& c = GetParam();
    CChurnFrames frames(c.frames, kSettled);
    int64_t used = 0;
    for (int frame = 0; frame < 300; ++frame) {
        frames.Frame();
        if (frame >= kSettled) used += frames.GetVisits();
    }
    const CTypeWaits& waits = frames.Waits();
    RecordProperty("worst_wait", std::to_string(waits.GetWorst()));
    RecordProperty("steps_over_bound", std::to_string(waits.GetStepsOver()));
    RecordProperty("most_over_before", std::to_string(waits.GetMostOverBefore()));
    RecordProperty("visits_used", std::to_string(used / (300 - kSettled)));
    if (c.worst > 0) {
        EXPECT_LE(waits.GetWorst(), c.worst);
    }
    EXPECT_EQ(waits.GetStepsOver(), 0);
    EXPECT_LE(waits.GetMostOverBefore(), c.overBefore);
    EXPECT_GE(100 * used, c.leastUsed * c.frames.visits * (300 - kSettled));
}

INSTANTIATE_TEST_SUITE_P(
    Turns, TypeChurnTest,
    // A burst's first step costs about ten times its later ones: the first
    // round after the start waits longer than the later rounds' bound.
    ::testing::Values(CTurnsCase{"BurstsThatFitUnderChurn", {100, 100, 150000, true, true}, 1, INT64_MAX, 0},
                      CTurnsCase{"TricklesUnderChurn", {100, 100, 150000, false, true}, 0, 1, 0},
                      CTurnsCase{"BurstsPastTheFrame", {12, 2000, 30000, true, false}, 0, INT64_MAX, 90}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace VexaTest
