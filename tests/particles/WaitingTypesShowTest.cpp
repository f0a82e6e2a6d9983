// Particle types that wait many frames for the frame's visits still show
// their particles as they would without waiting: a type that waited emits at
// its next step for the whole time it missed, and those particles are born
// over that time, aged and moved to where its missed steps would have left
// them, so none is first drawn as a birth (the sparkle's births are unseen)
// and kept unseen until the type's next step; a one-shot burst stays one
// emission, made at the first step its emitter emitted in.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "ParticleTestSupport.h"
#include "particles/library/EndedWhileWaiting.h"
#include "tools/ScenePictures.h"

namespace VexaTest {
namespace {

constexpr float kStep = 1.0f / 30.0f;

// Whether the particle's quad adds to the picture: alive, and its colour's
// alpha above a tenth.
bool Shows(const CParticle& particle) {
    return particle.deathPending != 0 && particle.colour1.alpha * particle.alphaFactor > 0.1f;
}

int32_t Showing(const CVexaParticleEmitter& emitter) {
    int32_t showing = 0;
    for (int32_t i = 0; i < emitter.GetParticleTypeCount(); ++i)
        for (const CParticle* p = emitter.GetParticleType(i).head; p; p = p->next) showing += Shows(*p);
    return showing;
}

// The sparkle (born unseen, living about 1.2 s) with its type repeated
// `types` times, each at `rate` times its own rate, born at the emitter and
// moving straight out at 10 pixels a second.
Tools::CVexaEmitter Sparkles(int types, float rate) {
    Tools::CVexaEmitter emitter = Tools::SparkleEmitter();
    Tools::CVexaParticleType type = emitter.types.at(0);
    for (Tools::CVexaCurveKey& key : type.curves[4].keys) key.value *= rate;
    SetC(emitter, 16, 0.0f);
    SetC(emitter, 14, 0.0f);
    SetQ(type, 12, 0.0f);
    emitter.types.assign(size_t(types), type);
    return emitter;
}

struct CWaitCase {
    const char* name;
    int64_t visits;  // the frame's limit: a type's step costs about 60
    size_t records;  // the pool's cap, 0 for the process's
    int64_t percent;  // of the one type's particles the many show at least
};

class WaitingTypesShowTest : public ::testing::TestWithParam<CWaitCase> {};

// 2,000 types under limits at which a type waits over a second, longer than a
// sparkle lives (up to 1.9 and 3.7 s here), against one type making as many
// particles a second, which steps every frame: over 180 frames the many types
// show about as many particles (born all at their type's step, a fifth and a
// fiftieth), each where its age puts it. With the pool full the records a
// waiting type gets go to its newest particles, not to ones born dead (which
// showed under a fifth).
TEST_P(WaitingTypesShowTest, ShowAsManyParticlesAsOneTypeMakingAsMany) {
    constexpr int kTypes = 2000;
    SetParticleRecordCap(GetParam().records);
    // The particles shown over frames 60 to 240, each effect alone in the pool.
    const auto run = [](CEffect& effect, int64_t visits) {
        SeedParticleRandom(7);
        CParticleWorkBudget& budget = effect.library.GetWorkBudget();
        int64_t showing = 0;
        float time = 0.0f;
        for (int frame = 0; frame < 240; ++frame, time += kStep) {
            budget.StartFrame(visits);
            budget.StartStep();
            effect.emitter->Move(time, kStep);
            effect.emitter->Update(time, kStep, 0, 0, 0, 1);
            if (frame >= 60) showing += Showing(*effect.emitter);
        }
        return showing;
    };
    CEffect one(Sparkles(1, float(kTypes)));
    const int64_t showingOne = run(one, CParticleWorkBudget::kUnlimited);
    one.emitter->Reset();
    CEffect many(Sparkles(kTypes, 1.0f));
    const int64_t showingMany = run(many, GetParam().visits);
    SetParticleRecordCap(0);
    EXPECT_GT(showingOne, 180 * int64_t(std::min<size_t>(GetParam().records * 4 / 5 - 1, 15000)));
    EXPECT_GE(100 * showingMany, GetParam().percent * showingOne);
    // Born over the waited time, each particle is where its age puts it.
    const float T = CVexaParticleEmitter::kTimeScale * 239 * kStep;
    for (int32_t i = 0; i < kTypes; ++i) {
        const CVexaParticleType& type = many.Type(i);
        if (type.waited.GetMissed() > 0.0f) continue;
        for (const CParticle* p = type.head; p; p = p->next) {
            const float age = (T - p->birthTime) / CVexaParticleEmitter::kTimeScale;
            ASSERT_NEAR(std::hypot(p->position.x, p->position.y), 10.0f * age, 1e-2f) << "type " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Waits, WaitingTypesShowTest,
                         ::testing::Values(CWaitCase{"Visits5000", 5000, 0, 80}, CWaitCase{"Visits2200", 2200, 0, 80},
                                           CWaitCase{"Visits2200PoolFull", 2200, 8000, 40}),
                         [](const auto& info) { return std::string(info.param.name); });

// One emitter of `types` types, each a one-shot burst of `particles` made at
// the emitter and moving along x at 10 pixels a second, living `life`
// seconds; by default 1,000 of 50 particles outliving the run.
Tools::CVexaEmitter Bursts(int types = 1000, uint32_t particles = 50, float life = 100.0f) {
    Tools::CVexaEmitter emitter = QuietEmitter("Bursts");
    Tools::CVexaParticleType type = emitter.types[0];
    type.flags = CVexaParticleType::kOneShotBurst;
    type.burstCount = particles;
    SetQ(type, 4, 10.0f);
    SetQ(type, 1, life * CVexaParticleEmitter::kTimeScale);
    emitter.types.assign(size_t(types), type);
    return emitter;
}

struct CBurstCase {
    const char* name;
    int64_t visits;
    int emitFrom, emitTo;  // the frames the emitter emits in
};

class WaitedBurstTest : public ::testing::TestWithParam<CBurstCase> {};

// A burst is one emission: a type that waits makes its burst's particles
// together at the first step its emitter emitted in, as without a limit,
// even when the emitter no longer emits by the type's step, and they are
// where that run puts them (within a step of its ages and motion).
TEST_P(WaitedBurstTest, IsBornTogetherAtTheFirstStepItsEmitterEmitted) {
    const CBurstCase& c = GetParam();
    SeedParticleRandom(3);
    CEffect effect(Bursts());
    CEffect reference(Bursts());
    const float stepBirth = CVexaParticleEmitter::kTimeScale * kStep;
    int64_t checked = 0;
    float time = 0.0f;
    for (int frame = 0; frame < 150; ++frame, time += kStep) {
        for (CEffect* e : {&effect, &reference}) {
            e->library.GetWorkBudget().StartFrame(e == &effect ? c.visits : CParticleWorkBudget::kUnlimited);
            e->library.GetWorkBudget().StartStep();
            e->emitter->SetEmitting(frame >= c.emitFrom && frame < c.emitTo);
            e->emitter->Move(time, kStep);
            e->emitter->Update(time, kStep, 0, 0, 0, 1);
        }
        for (int32_t i = 0; i < effect.emitter->GetParticleTypeCount(); ++i) {
            const CVexaParticleType& type = effect.Type(i);
            if (type.waited.GetMissed() > 0.0f) continue;
            const CVexaParticleType& unlimited = reference.Type(i);
            ASSERT_EQ(type.liveCount, unlimited.liveCount) << "frame " << frame << ", type " << i;
            if (!type.head) continue;
            ++checked;
            for (const CParticle* p = type.head; p; p = p->next) {
                ASSERT_EQ(p->birthTime, type.head->birthTime) << "frame " << frame << ", type " << i;
                ASSERT_NEAR(p->birthTime, unlimited.head->birthTime, stepBirth) << "frame " << frame << ", type " << i;
                ASSERT_NEAR(p->position.x, unlimited.head->position.x, 10.0f * kStep) << "frame " << frame;
            }
        }
    }
    EXPECT_GT(checked, 2000);
}

INSTANTIATE_TEST_SUITE_P(Bursts, WaitedBurstTest,
                         ::testing::Values(CBurstCase{"Visits20000", 20000, 0, 150},
                                           CBurstCase{"Visits5000", 5000, 0, 150},
                                           CBurstCase{"Visits5000EmittingTwoFrames", 5000, 10, 12}),
                         [](const auto& info) { return std::string(info.param.name); });

// Copies of one sparkle effect of many types, stepped together one step a
// frame at 2,200 visits, as the frame loop steps them.
class CSparkleEffects {
public:
    CSparkleEffects(int effects, int types) : m_effect(Sparkles(types, 1.0f)) {
        m_emitters.push_back(std::move(m_effect.emitter));
        while (m_emitters.size() < size_t(effects)) m_emitters.push_back(m_effect.file->CreateEmitter("sparkle"));
    }
    ~CSparkleEffects() { m_emitters.clear(); }
    CSparkleEffects(const CSparkleEffects&) = delete;
    CSparkleEffects& operator=(const CSparkleEffects&) = delete;

    void Frame() {
        CParticleWorkBudget& budget = m_effect.library.GetWorkBudget();
        budget.StartFrame(2200);
        budget.StartStep();
        for (auto& emitter : m_emitters) emitter->Move(m_time, kStep);
        for (auto& emitter : m_emitters) emitter->Update(m_time, kStep, 0, 0, 0, 1);
        m_time += kStep;
    }
    const std::vector<std::unique_ptr<CVexaParticleEmitter>>& Emitters() const { return m_emitters; }
    int64_t Total() const {
        int64_t total = 0;
        for (const auto& emitter : m_emitters) total += emitter->GetParticleCount();
        return total;
    }

private:
    CEffect m_effect;
    std::vector<std::unique_ptr<CVexaParticleEmitter>> m_emitters;
    float m_time = 0.0f;
};

// Effects of many types each, waiting longer than their particles live,
// together asking for several times the records the pool holds: each effect
// keeps its part of the pool (the records do not all go to the types that
// step first after records come free), and effects that fit in the pool
// keep every particle they make.
struct CShareCase {
    const char* name;
    size_t records;   // the pool's cap
    int64_t least;    // percent of an even part of the pool each effect keeps at least
};

class RecordSharesTest : public ::testing::TestWithParam<CShareCase> {};

TEST_P(RecordSharesTest, EveryEffectKeepsItsPartOfThePool) {
    constexpr int kEffects = 4;
    constexpr int kTypes = 500;
    SetParticleRecordCap(GetParam().records);
    SeedParticleRandom(11);
    std::vector<int64_t> least(kEffects, INT64_MAX);
    int64_t leastTotal = INT64_MAX;
    {
        CSparkleEffects effects(kEffects, kTypes);
        for (int frame = 0; frame < 400; ++frame) {
            effects.Frame();
            if (frame < 200) continue;
            for (size_t e = 0; e < kEffects; ++e)
                least[e] = std::min<int64_t>(least[e], effects.Emitters()[e]->GetParticleCount());
            leastTotal = std::min(leastTotal, effects.Total());
        }
    }
    SetParticleRecordCap(0);
    const int64_t even = int64_t(GetParam().records) / kEffects;
    for (int e = 0; e < kEffects; ++e) EXPECT_GE(100 * least[size_t(e)], GetParam().least * even) << "effect " << e;
    EXPECT_GE(100 * leastTotal, 50 * int64_t(GetParam().records));
}

INSTANTIATE_TEST_SUITE_P(Shares, RecordSharesTest,
                         ::testing::Values(CShareCase{"PoolFiveTimesOver", 4000, 40},
                                           CShareCase{"PoolTwiceOver", 10000, 40}),
                         [](const auto& info) { return std::string(info.param.name); });

// Four effects of 500 sparkle types whose whole step costs about 36 frames'
// visits, started and then reset together (as a scene's loop does): a
// quarter of a round later every effect shows particles, not only those
// whose types come first in the frame.
TEST(ManyTypesStartTest, EveryEffectShowsWithinAQuarterOfARound) {
    constexpr int kEffects = 4;
    constexpr int kFrames = 9;
    SeedParticleRandom(5);
    CSparkleEffects effects(kEffects, 500);
    for (int start = 0; start < 2; ++start) {
        for (int frame = 0; frame < kFrames; ++frame) effects.Frame();
        const int64_t total = effects.Total();
        for (size_t e = 0; e < kEffects; ++e)
            EXPECT_GE(kEffects * 2 * int64_t(effects.Emitters()[e]->GetParticleCount()), total)
                << "start " << start << ", effect " << e;
        for (int frame = 0; frame < 60; ++frame) effects.Frame();
        for (const auto& emitter : effects.Emitters()) emitter->Reset();
    }
}

} // namespace
} // namespace VexaTest

namespace VexaTest {
namespace {

// The births of the particles a type draws, newest first.
std::vector<float> DrawnBirths(const CVexaParticleType& type) {
    const CEndedWhileWaiting ended(type);
    std::vector<float> births;
    for (const CParticle* p = type.head; p; p = p->next)
        if (p->deathPending && !ended.Ended(*p)) births.push_back(p->birthTime);
    return births;
}

struct CFirstRoundCase {
    const char* name;
    size_t records;  // the pool's cap for the run with a limit, 0 for the process's
};

class FirstRoundBurstTest : public ::testing::TestWithParam<CFirstRoundCase> {};

// 2,000 burst types at 3,000 visits a frame of 0.1 s: every type's first
// step costs about 42, so the first round after the start, and again after
// a reset (a scene's loop), takes about 28 frames, over twice the bursts'
// lives. Each type that has stepped since then draws, every frame, the
// particles of the same run without a limit, born within a step of them;
// with the pool's records shared among waiting types (and the pool full),
// some of those or none, never one more.
TEST_P(FirstRoundBurstTest, ATypeThatSteppedDrawsWhatItWouldWithoutWaits) {
    constexpr int kTypes = 2000, kFrames = 80, kReset = 40;
    constexpr float kFrame = 0.1f;
    // The births each type draws after each frame.
    using CDrawn = std::vector<std::vector<std::vector<float>>>;
    // Also whether each type stepped in each frame (its missed time spent).
    const auto run = [](int64_t visits, std::vector<std::vector<bool>>* stepped) {
        SeedParticleRandom(3);
        CEffect effect(Bursts(kTypes, 2, 1.2f));
        CDrawn drawn(kFrames, std::vector<std::vector<float>>(kTypes));
        for (int frame = 0; frame < kFrames; ++frame) {
            if (frame == kReset) effect.emitter->Reset();
            effect.library.GetWorkBudget().StartFrame(visits);
            effect.library.GetWorkBudget().StartStep();
            effect.emitter->Move(float(frame) * kFrame, kFrame);
            effect.emitter->Update(float(frame) * kFrame, kFrame, 0, 0, 0, 1);
            size_t quads = 0;
            for (int i = 0; i < kTypes; ++i) {
                drawn[size_t(frame)][size_t(i)] = DrawnBirths(effect.Type(i));
                quads += drawn[size_t(frame)][size_t(i)].size();
                if (stepped) (*stepped)[size_t(frame)][size_t(i)] = effect.Type(i).waited.GetMissed() == 0.0f;
            }
            EXPECT_EQ(size_t(effect.emitter->RenderAll()), quads) << "frame " << frame;
            effect.device.draws.clear();
        }
        return drawn;
    };
    const CDrawn unlimited = run(CParticleWorkBudget::kUnlimited, nullptr);
    SetParticleRecordCap(GetParam().records);
    std::vector<std::vector<bool>> stepped(kFrames, std::vector<bool>(kTypes));
    const CDrawn limited = run(3000, &stepped);
    SetParticleRecordCap(0);
    const bool shared = GetParam().records != 0;
    const float step = CVexaParticleEmitter::kTimeScale * kFrame;
    std::vector<bool> since(kTypes);
    int64_t checked = 0, shown = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
        if (frame == kReset) since.assign(kTypes, false);
        for (size_t i = 0; i < kTypes; ++i) {
            if (stepped[size_t(frame)][i]) since[i] = true;
            if (!since[i]) continue;
            const std::vector<float>& births = limited[size_t(frame)][i];
            const std::vector<float>& expected = unlimited[size_t(frame)][i];
            ++checked;
            shown += !births.empty();
            if (shared) ASSERT_LE(births.size(), expected.size()) << "frame " << frame << ", type " << i;
            else ASSERT_EQ(births.size(), expected.size()) << "frame " << frame << ", type " << i;
            for (size_t p = 0; p < births.size(); ++p)
                ASSERT_NEAR(births[p], expected[p], step) << "frame " << frame << ", type " << i;
        }
    }
    EXPECT_GT(checked, 100000);
    EXPECT_GT(shown, shared ? 500 : 5000);
}

INSTANTIATE_TEST_SUITE_P(Pools, FirstRoundBurstTest,
                         ::testing::Values(CFirstRoundCase{"WholePool", 0}, CFirstRoundCase{"SharedPool", 1000}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace VexaTest
