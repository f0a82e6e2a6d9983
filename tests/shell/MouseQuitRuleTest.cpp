#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/shell/MouseQuitRule.h"

namespace {

struct CMoveCase {
    const char* name;
    std::vector<std::pair<int, int>> moves;
    bool quits;  // after the last move
};

class MouseQuitRuleTest : public ::testing::TestWithParam<CMoveCase> {};

TEST_P(MouseQuitRuleTest, OnlyAMoveInBothAxesAfterTheFirstSampleQuits) {
    Engine::CMouseQuitRule rule;
    const CMoveCase& c = GetParam();
    bool quit = false;
    for (size_t i = 0; i < c.moves.size(); ++i) {
        quit = rule.OnMouseMove(c.moves[i].first, c.moves[i].second);
        if (i + 1 < c.moves.size()) {
            ASSERT_FALSE(quit) << "move " << i;
        }
    }
    EXPECT_EQ(quit, c.quits);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MouseQuitRuleTest,
    ::testing::Values(CMoveCase{"FirstSampleOnlyRecords", {{300, 200}}, false},
                      CMoveCase{"BothAxes", {{300, 200}, {301, 201}}, true},
                      CMoveCase{"OnlyX", {{300, 200}, {350, 200}}, false},
                      CMoveCase{"OnlyY", {{300, 200}, {300, 260}}, false},
                      CMoveCase{"SamePlace", {{300, 200}, {300, 200}}, false},
                      // Each sample is compared with the one before it.
                      CMoveCase{"XThenY", {{300, 200}, {310, 200}, {310, 210}}, false},
                      CMoveCase{"XThenBoth", {{300, 200}, {310, 200}, {320, 190}}, true}),
    [](const ::testing::TestParamInfo<CMoveCase>& info) { return std::string(info.param.name); });

} // namespace
