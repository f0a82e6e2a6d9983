// The frame's first step going round the particle types, driven straight
// through the budget with types of known costs: each frame spends its
// visits up to about one type's cost, and no type waits longer than the
// turns' bound, also when a type's step costs more the longer it waited (it
// emits for the time it missed). And the plans themselves: spread over
// every effect, owing what a step did not take, and keeping to the types
// that are there when emitters are let go.

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

// What a frame's first step plans: the places of `emitters` runs of
// `types` each, every type costing 10 visits, at `share` of their cost a
// frame.
class CPlannedFrames {
public:
    CPlannedFrames(int emitters, int types, int64_t visits) : m_types(int64_t(emitters) * types), m_visits(visits) {
        Frame();  // the places are seen
    }
    // The next frame's planned places; `taken` says which are taken.
    std::vector<int64_t> Frame(const std::function<bool(int64_t)>& taken = [](int64_t) { return true; }) {
        m_turns.StartFrame(m_visits, true);
        std::vector<int64_t> planned;
        for (int64_t place = 0; place < m_types; ++place) {
            const CTypeTurns::CPlace type = m_turns.NextType(10);
            if (type.known && !type.planned) continue;
            planned.push_back(place);
            if (taken(place)) m_turns.Took(type);
        }
        return planned;
    }
    CTypeTurns& Turns() { return m_turns; }

private:
    CTypeTurns m_turns;
    int64_t m_types, m_visits;
};

// 12 effects of 1,000 types at a 32nd of their cost a frame: every frame
// plans some of every effect's types, and every type within a round.
TEST(TypePlanTest, SpreadsEachFrameOverEveryEffect) {
    constexpr int kEmitters = 12, kTypes = 1000;
    CPlannedFrames frames(kEmitters, kTypes, kEmitters * kTypes * 10 / 32);
    std::vector<int64_t> since(kEmitters * kTypes, 0);
    for (int frame = 0; frame < 96; ++frame) {
        std::vector<int> perEffect(kEmitters, 0);
        for (int64_t& s : since) ++s;
        for (const int64_t place : frames.Frame()) {
            ++perEffect[size_t(place / kTypes)];
            ASSERT_LE(since[size_t(place)], 33) << "place " << place;
            since[size_t(place)] = 0;
        }
        for (int e = 0; e < kEmitters; ++e) EXPECT_GE(perEffect[size_t(e)], kTypes / 32 / 2) << "frame " << frame;
    }
}

// A planned type the step does not take is planned first by the next frame.
TEST(TypePlanTest, AnUntakenTypeIsOwedToTheNextFrame) {
    CPlannedFrames frames(1, 100, 200);
    const std::vector<int64_t> planned = frames.Frame([](int64_t place) { return place < 50; });
    std::vector<int64_t> owed;
    for (const int64_t place : planned)
        if (place >= 50) owed.push_back(place);
    ASSERT_FALSE(owed.empty());
    const std::vector<int64_t> next = frames.Frame();
    EXPECT_EQ(frames.Turns().GetOwedCost(), 10 * int64_t(owed.size()));
    for (const int64_t place : owed) EXPECT_NE(std::find(next.begin(), next.end(), place), next.end()) << place;
}

struct CLeaveCase {
    const char* name;
    int64_t first, count;  // the emitter let go, of 30 types
    bool nextFrame;        // let go after the next frame began, before its types
};

class TypeTurnsLeaveTest : public ::testing::TestWithParam<CLeaveCase> {};

// 30 types of which a frame plans 10: an emitter let go between frames, or
// in the next frame before its places come, takes its places with it. Every
// later frame plans types that are there, and every one within a round.
TEST_P(TypeTurnsLeaveTest, PlansOnlyTypesThatAreThere) {
    const CLeaveCase& c = GetParam();
    CTypeTurns turns;
    turns.StartFrame(100, true);
    CTypeTurns::CRun run;
    for (int64_t place = 0; place < 30; ++place) {
        if (place == c.first) run = turns.StartRun();
        turns.NextType(10);
    }
    if (!c.nextFrame) turns.Leave(run, c.count);
    const int64_t left = 30 - c.count;
    std::vector<int64_t> since(size_t(left), 0);
    for (int frame = 0; frame < 12; ++frame) {
        turns.StartFrame(100, true);
        if (frame == 0 && c.nextFrame) turns.Leave(run, c.count);
        int64_t planned = 0;
        for (int64_t place = 0; place < left; ++place) {
            const CTypeTurns::CPlace type = turns.NextType(10);
            ++since[size_t(place)];
            if (!type.planned) continue;
            ++planned;
            turns.Took(type);
            since[size_t(place)] = 0;
        }
        EXPECT_GE(planned, 1) << "frame " << frame;
        EXPECT_LT(turns.GetTurn(), left) << "frame " << frame;
    }
    for (int64_t place = 0; place < left; ++place) EXPECT_LE(since[size_t(place)], 4) << place;
}

INSTANTIATE_TEST_SUITE_P(Emitters, TypeTurnsLeaveTest,
                         ::testing::Values(CLeaveCase{"First", 0, 10, false}, CLeaveCase{"Middle", 10, 10, false},
                                           CLeaveCase{"Last", 20, 10, false},
                                           CLeaveCase{"MiddleInTheNextFrame", 10, 10, true},
                                           CLeaveCase{"LastInTheNextFrame", 20, 10, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace VexaTest
