// The frame's first step going round the particle types, driven straight
// through the budget with types of known costs: each frame spends its
// visits up to about one type's cost, also when the round reaches the last
// type, and no type waits longer than the turns' bound, also when a type's
// step costs more the longer it waited (it emits for the time it missed).

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "particles/library/ParticleWorkBudget.h"
#include "particles/library/TypeTurns.h"

namespace VexaTest {
namespace {

using VexaParticles::CParticleWorkBudget;
using VexaParticles::CTypeTurns;

struct CRoundCase {
    const char* name;
    int types;
    int64_t visits;
    // What type `i`'s step costs after it waited `waited` frames.
    std::function<int64_t(int i, int64_t waited)> cost;
};

class TypeRoundsTest : public ::testing::TestWithParam<CRoundCase> {};

TEST_P(TypeRoundsTest, SpendTheFrameAndKeepTheWaitBound) {
    const CRoundCase& c = GetParam();
    CParticleWorkBudget budget;
    std::vector<int64_t> last(size_t(c.types), 0), waited(size_t(c.types), 0);
    int64_t worst = 0, bound = 0, mostCost = 0, mostLeft = 0;
    for (int frame = 0; frame < 400; ++frame) {
        budget.StartFrame(c.visits);
        budget.StartStep();
        for (int i = 0; i < c.types; ++i) {
            const size_t at = size_t(i);
            const int64_t expected = std::max(last[at], CParticleWorkBudget::kLeastTypeVisits);
            if (!budget.TakeType(expected)) {
                ++waited[at];
                continue;
            }
            last[at] = c.cost(i, waited[at]);
            mostCost = std::max(mostCost, last[at]);
            budget.Spend(last[at]);
            budget.Rehold(-expected);
            if (frame >= 100) worst = std::max(worst, waited[at] + 1);
            waited[at] = 0;
        }
        if (frame < 100) continue;
        int64_t stepCost = 0;
        for (const int64_t cost : last) stepCost += cost;
        // A frame may leave up to one type's cost unspent.
        const int64_t paid = c.visits - mostCost;
        bound = std::max(bound, (stepCost + paid - 1) / paid + 1);
        mostLeft = std::max(mostLeft, c.visits - budget.GetFrameVisits());
    }
    EXPECT_LE(worst, bound);
    EXPECT_LT(mostLeft, mostCost);
}

int64_t Even(int, int64_t) { return 100; }
int64_t Mixed(int i, int64_t) { return 40 + (i * 37) % 7 * 30; }
int64_t EmitsForItsWait(int i, int64_t waited) { return 60 + (i % 5) * 10 + 4 * waited; }

INSTANTIATE_TEST_SUITE_P(Costs, TypeRoundsTest,
                         ::testing::Values(CRoundCase{"Even", 300, 4950, Even}, CRoundCase{"Mixed", 300, 5000, Mixed},
                                           CRoundCase{"EmitsForItsWait", 300, 5000, EmitsForItsWait},
                                           CRoundCase{"FewTypesAFrame", 1000, 450, Mixed}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CRoundEndCase {
    const char* name;
    int64_t leaveFirst, leaveCount;  // an emitter of the cut frame let go (none: count 0)
    int64_t resume, turn;            // the next frame's
};

class TypeRoundEndTest : public ::testing::TestWithParam<CRoundEndCase> {};

// 30 types: a frame whose turn is 20 takes its round's end up to 5 and
// waits from 25 on. The next frame begins at 25 and goes on at 5: the
// types before 5 were taken in this round and wait.
TEST_P(TypeRoundEndTest, TheNextFrameGoesOnWhereTheRoundsEndStopped) {
    const CRoundEndCase& c = GetParam();
    CTypeTurns turns;
    turns.StartFrame();
    for (int64_t place = 0; place < 30; ++place) {
        const CTypeTurns::CPlace type = turns.NextType(10);
        if (place >= 20) turns.Waited(type);
    }
    turns.StartFrame();
    ASSERT_EQ(turns.GetTurn(), 20);
    EXPECT_EQ(turns.GetRoundRest(), 100);
    CTypeTurns::CRun run;
    for (int64_t place = 0; place < 30; ++place) {
        if (place == c.leaveFirst) run = turns.StartRun();
        const CTypeTurns::CPlace type = turns.NextType(10);
        if ((place >= 5 && place < 20) || place >= 25) turns.Waited(type);
    }
    turns.Leave(run, c.leaveCount);
    turns.StartFrame();
    EXPECT_EQ(turns.GetTurn(), c.turn);
    for (int64_t place = 0; place < 30 - c.leaveCount; ++place) {
        const CTypeTurns::CPlace type = turns.NextType(10);
        EXPECT_EQ(type.doneInRound, place < c.resume) << place;
        EXPECT_EQ(type.beforeTurn, place >= c.resume && place < c.turn) << place;
        EXPECT_EQ(type.isTurn, place == c.turn) << place;
    }
}

INSTANTIATE_TEST_SUITE_P(Leaves, TypeRoundEndTest,
                         ::testing::Values(CRoundEndCase{"None", 0, 0, 5, 25}, CRoundEndCase{"Before", 0, 3, 2, 22},
                                           CRoundEndCase{"HoldingTheResume", 3, 4, 3, 21},
                                           CRoundEndCase{"Between", 10, 5, 5, 20}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace VexaTest
