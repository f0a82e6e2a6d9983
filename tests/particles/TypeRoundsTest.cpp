// The frame's first step going round the particle types, driven straight
// through the budget with types of known costs: each frame spends its
// visits up to about one type's cost, and no type waits longer than the
// turns' bound, also when a type's step costs more the longer it waited (it
// emits for the time it missed). And the plans themselves: spread over
// every effect, owing what a step did not take, and keeping to the types
// that are there when emitters are let go, one or many at once.

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

// 1,000 one-type emitters at an eighth of their cost a frame, every 7th
// planned type not taken every other frame; each emitter's run is where it
// began in its last first step, as a scene keeps it.
class COneTypeEmitters {
public:
    static constexpr int kEmitters = 1000, kNone = -2, kAfterTheStep = -1;
    static constexpr int64_t kVisits = kEmitters * 10 / 8;
    explicit COneTypeEmitters(bool oneAtATime) : m_runs(kEmitters), m_since(kEmitters, 0), m_oneAtATime(oneAtATime) {
        for (int e = 0; e < kEmitters; ++e) m_ids.push_back(e);
    }
    // A frame whose every third emitter is let go before emitter `letGoAt`
    // steps: what the step saw of each type, and the plan's account.
    std::vector<int64_t> Frame(int letGoAt) {
        m_turns.StartFrame(kVisits, true);
        ++m_frame;
        std::vector<int64_t> seen;
        for (size_t e = 0; e <= m_runs.size(); ++e) {
            if (int(e) == letGoAt || (e == m_runs.size() && letGoAt == kAfterTheStep)) {
                e = LetGo(e);
                letGoAt = kNone;
            }
            if (e == m_runs.size()) break;
            m_runs[e] = m_turns.StartRun();
            const CTypeTurns::CPlace type = m_turns.NextType(10);
            seen.push_back(type.planned + 2 * type.known + 4 * type.isTurn + 8 * type.owed);
            seen.push_back(m_turns.GetPlanLeft());
            int& since = m_since[size_t(m_ids[e])];
            ++since;
            if (!type.planned) continue;
            if (m_frame > 2) m_worstWait = std::max(m_worstWait, since);
            since = 0;
            if (type.place % 7 != 0 || m_frame % 2 != 0) m_turns.Took(type);
        }
        seen.push_back(m_turns.GetTurn());
        seen.push_back(m_turns.GetPlanned());
        return seen;
    }
    size_t Emitters() const { return m_runs.size(); }
    // The most frames an emitter waited for its type's plan, once the places were seen.
    int GetWorstWait() const { return m_worstWait; }

private:
    // Lets go of every third emitter; where emitter `next` is now.
    size_t LetGo(size_t next) {
        std::vector<CTypeTurns::CRun> kept;
        std::vector<int> ids;
        size_t nextNow = 0;
        for (size_t e = 0; e < m_runs.size(); ++e) {
            if (e % 3 != 0) {
                kept.push_back(m_runs[e]);
                ids.push_back(m_ids[e]);
                nextNow += e < next;
                continue;
            }
            m_turns.Leave(m_runs[e], 1);
            if (m_oneAtATime) m_turns.Pass(0, 10);  // any call applies what was let go
        }
        m_runs = kept;
        m_ids = ids;
        return nextNow;
    }

    CTypeTurns m_turns;
    std::vector<CTypeTurns::CRun> m_runs;
    std::vector<int> m_ids, m_since;
    int m_frame = 0, m_worstWait = 0;
    bool m_oneAtATime;
};

struct CManyLeaveCase {
    const char* name;
    int letGoAt;
};

class TypeTurnsManyLeaveTest : public ::testing::TestWithParam<CManyLeaveCase> {};

// Emitters let go together, after a first step, before the next or within
// it (some placed by it, some by the last), plan every later frame as
// letting them go one at a time does. The round goes on where it stopped,
// so no emitter kept waits a frame more than a round of all there were.
TEST_P(TypeTurnsManyLeaveTest, PlanAsLettingGoOneAtATime) {
    COneTypeEmitters together(false), oneAtATime(true);
    for (int frame = 0; frame < 30; ++frame) {
        const int letGoAt = frame == 4 ? GetParam().letGoAt : COneTypeEmitters::kNone;
        ASSERT_EQ(together.Frame(letGoAt), oneAtATime.Frame(letGoAt)) << "frame " << frame;
    }
    EXPECT_EQ(together.Emitters(), 666u);
    const int64_t round = (COneTypeEmitters::kEmitters * 10 + COneTypeEmitters::kVisits - 1) / COneTypeEmitters::kVisits;
    EXPECT_LE(together.GetWorstWait(), round + 1);
}

INSTANTIATE_TEST_SUITE_P(Emitters, TypeTurnsManyLeaveTest,
                         ::testing::Values(CManyLeaveCase{"AfterTheStep", COneTypeEmitters::kAfterTheStep},
                                           CManyLeaveCase{"BeforeTheNextStep", 0},
                                           CManyLeaveCase{"WithinTheNextStep", 500}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace VexaTest
