// A frame's particle budget: effects within it run as without it, a type
// that waits loses no emission, motion or age, and a frame of many catch-up
// steps leaves no type behind. A life step that samples its particles a
// batch at a time ages them as one by one. Frames are driven as the
// application's loop drives them: the frame's limits, then each step's
// emitters moved and updated, then the emitters drawn.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "ParticleTestSupport.h"
#include "TypeWaits.h"
#include "particles/engine/ParticleSystem.h"
#include "particles/library/LifeSampleBatch.h"
#include "tests/support/RecordingGraphics.h"
#include "tools/CloudEffect.h"
#include "tools/ScenePictures.h"

namespace VexaTest {
namespace {

using Engine::Graphics::Testing::CRecordingGraphics;
using Engine::Particles::CParticleSystem;

constexpr float kStep = 1.0f / 30.0f;
constexpr int64_t kUnlimited = CParticleWorkBudget::kUnlimited;

// An effect file and the names of the emitters to run from it.
struct CEffectFile {
    std::vector<uint8_t> bytes;
    std::vector<std::string> emitters;
};

// Emitters at the middle of an 800 x 600 screen, each making `rate`
// particles a second that live a second (Q1 of 50) unless told, spread round in every direction at
// 30 pixels a second, each quad 6.4 pixels wide.
CEffectFile Spray(int emitters, float rate, float lifeQ1 = 50.0f) {
    Tools::CVexaDocument document;
    CEffectFile file;
    for (int i = 0; i < emitters; ++i) {
        Tools::CVexaEmitter emitter = QuietEmitter(("Spray" + std::to_string(i)).c_str());
        SetC(emitter, 14, 6.28f);
        SetQ(emitter.types[0], 5, rate);
        SetQ(emitter.types[0], 4, 30.0f);
        SetQ(emitter.types[0], 2, 0.05f);
        SetQ(emitter.types[0], 1, lifeQ1);
        document.emitters.push_back(emitter);
        file.emitters.push_back(emitter.name);
    }
    file.bytes = Tools::WriteVexa(document);
    return file;
}

// One spray emitter of `rate` particles a second, changed by `shape`.
CEffectFile SprayWith(float rate, const std::function<void(Tools::CVexaParticleType&)>& shape) {
    CEffectFile file = Spray(1, rate);
    Tools::CVexaDocument document;
    Tools::CVexaEmitter emitter = QuietEmitter("Spray0");
    SetC(emitter, 14, 6.28f);
    SetQ(emitter.types[0], 5, rate);
    SetQ(emitter.types[0], 4, 30.0f);
    SetQ(emitter.types[0], 2, 0.05f);
    shape(emitter.types[0]);
    document.emitters = {emitter};
    file.bytes = Tools::WriteVexa(document);
    return file;
}

// Pulled down ever faster: gravity is added once per update.
void Gravity(Tools::CVexaParticleType& type) {
    SetQ(type, 17, 100.0f);
    SetQ(type, 18, 1.0f);
}
void Turbulence(Tools::CVexaParticleType& type) {
    SetQ(type, 7, 50.0f);
    SetQ(type, 14, 1.0f);
}
void OrbitWithContraction(Tools::CVexaParticleType& type) {
    SetQ(type, 29, 2.0f);
    SetQ(type, 30, 0.5f);
    SetQ(type, 33, 1.0f);
    SetQ(type, 34, 1.0f);
}

// Parents at `rate` a second living a second, each carrying one trail copy
// of `types` types, each making 30 particles a second living a tenth of a
// second.
CEffectFile Trails(float rate, int types = 1) {
    Tools::CVexaEmitter trail = QuietEmitter("Trail");
    SetQ(trail.types[0], 5, 30.0f);
    SetQ(trail.types[0], 1, 5.0f);
    SetQ(trail.types[0], 2, 0.05f);
    trail.types.assign(size_t(types), trail.types[0]);
    return SprayWith(rate, [&](Tools::CVexaParticleType& type) { type.subEmitters = {trail}; });
}

CEffectFile Cloud(int live) { return CEffectFile{Tools::WriteCloudEffect(live), {"Cloud"}}; }

// The demo scene's effects, every emitter of the file.
CEffectFile DemoEffects() {
    CEffectFile file{Tools::WriteSceneEffects(), {}};
    const std::unique_ptr<CVexaFile> read = ReadVexa(file.bytes);
    for (int32_t i = 0; i < read->GetEmitterCount(); ++i) file.emitters.push_back(read->GetEmitter(i)->GetName());
    return file;
}

// An effect file's emitters running in a particle system over a recording
// driver, stepped and drawn as the application's frame loop does.
class CEngineEffect {
public:
    CEngineEffect(const CEffectFile& effect, bool limited) : m_system(&m_graphics), m_limited(limited) {
        // Limited runs look for a quit every few thousand visits and find
        // none: looking changes nothing.
        m_watch.SetTimeGate(false);
        m_watch.SetProbe([this] { return m_quitPending; });
        if (limited) m_system.SetQuitWatch(&m_watch);
        m_graphics.GetParams().width = 800;
        m_graphics.GetParams().height = 600;
        m_system.GetLibrary().Init(&m_system.GetGraphicsBinding());
        Engine::CMemoryFile file(effect.bytes.data(), effect.bytes.size());
        m_file = m_system.GetLibrary().Read(file, "");
        for (const std::string& name : effect.emitters) m_emitters.push_back(m_file->CreateEmitter(name.c_str()));
    }
    ~CEngineEffect() {
        m_emitters.clear();
        m_file.reset();
    }

    // One frame of `steps` steps, then drawing.
    void Frame(int steps) {
        m_watch.StartFrame();
        if (m_limited) m_system.StartFrame();
        for (int step = 0; step < steps && !m_watch.IsStopped(); ++step) {
            if (m_limited) m_system.StartStep();
            for (auto& emitter : m_emitters) {
                emitter->Move(m_time, kStep);
                emitter->Update(m_time, kStep, 400, 300, 0, 1);
            }
            m_time += kStep;
        }
        m_graphics.Clear();
        for (auto& emitter : m_emitters) m_drawn += emitter->RenderAll();
    }

    // The particles' counts, places and births, and the drawn vertices.
    uint64_t Fingerprint() const {
        uint64_t hash = 1469598103934665603ull;
        // Four bytes at a time: every field hashed is a 32-bit word.
        auto mix = [&hash](const void* data, size_t size) {
            const auto* bytes = static_cast<const uint8_t*>(data);
            for (size_t i = 0; i + 4 <= size; i += 4) {
                uint32_t word;
                std::memcpy(&word, bytes + i, 4);
                hash = (hash ^ word) * 1099511628211ull;
            }
        };
        const std::function<void(const CVexaParticleEmitter&)> emitterPrint = [&](const CVexaParticleEmitter& emitter) {
            for (int32_t i = 0; i < emitter.GetParticleTypeCount(); ++i) {
                const CVexaParticleType& type = emitter.GetParticleType(i);
                mix(&type.liveCount, sizeof type.liveCount);
                for (const CParticle* p = type.head; p; p = p->next) {
                    mix(&p->position, sizeof p->position);
                    mix(&p->birthTime, sizeof p->birthTime);
                    for (const CSubEmitterEntry& sub : p->subEmitters)
                        if (sub.emitter) emitterPrint(*sub.emitter);
                }
            }
        };
        for (const auto& emitter : m_emitters) emitterPrint(*emitter);
        for (const auto& call : m_graphics.calls)
            if (call.name == "gDraw") mix(call.vertices.data(), call.vertices.size());
        return hash;
    }
    int64_t Drawn() const { return m_drawn; }
    int32_t Live() const {
        int32_t live = 0;
        for (const auto& emitter : m_emitters) live += int32_t(emitter->GetParticleCount());
        return live;
    }
    CParticleSystem& System() { return m_system; }
    Engine::CFrameQuitWatch& Watch() { return m_watch; }
    void SetQuitPending() { m_quitPending = true; }
    CVexaParticleEmitter& Emitter(size_t i) { return *m_emitters[i]; }
    size_t EmitterCount() const { return m_emitters.size(); }
    void LetGo(size_t i) { m_emitters.erase(m_emitters.begin() + ptrdiff_t(i)); }

private:
    CRecordingGraphics m_graphics;
    CParticleSystem m_system;
    Engine::CFrameQuitWatch m_watch;
    bool m_quitPending = false;
    bool m_limited;
    std::unique_ptr<CVexaFile> m_file;
    std::vector<std::unique_ptr<CVexaParticleEmitter>> m_emitters;
    float m_time = 0.0f;
    int64_t m_drawn = 0;
};

struct CRunPeaks {
    int32_t live = 0;
    int64_t visits = 0;  // in one frame
};

std::vector<uint64_t> Fingerprints(const CEffectFile& file, bool limited, int steps, int frames, CRunPeaks* peaks) {
    SeedParticleRandom(7);
    CEngineEffect effect(file, limited);
    std::vector<uint64_t> prints;
    for (int frame = 0; frame < frames; ++frame) {
        effect.Frame(steps);
        prints.push_back(effect.Fingerprint() ^ uint64_t(effect.Drawn()));
        peaks->live = std::max(peaks->live, effect.Live());
        peaks->visits = std::max(peaks->visits, effect.System().GetLibrary().GetWorkBudget().GetFrameVisits());
    }
    return prints;
}

struct CWithinTargetsCase {
    std::string name;
    std::function<CEffectFile()> effect;
    int steps;
    int frames;
    int32_t leastLive;
};

class WithinTargetsTest : public ::testing::TestWithParam<CWithinTargetsCase> {};

// Effects up to the particle target, at 1 to 4 steps a frame, step and draw
// under the application's limits exactly as without them, frame by frame.
TEST_P(WithinTargetsTest, RunAsWithoutLimits) {
    const CWithinTargetsCase& c = GetParam();
    const CEffectFile effect = c.effect();
    CRunPeaks peakLimited, peakFree;
    const std::vector<uint64_t> limited = Fingerprints(effect, true, c.steps, c.frames, &peakLimited);
    const std::vector<uint64_t> free = Fingerprints(effect, false, c.steps, c.frames, &peakFree);
    EXPECT_GE(peakFree.live, c.leastLive);
    EXPECT_EQ(peakLimited.live, peakFree.live);
    // The frame's visits keep 40% more than these effects spend in hand.
    EXPECT_LE(14 * peakLimited.visits, 10 * CParticleSystem::kFrameParticleVisits);
    RecordProperty("peak_live", peakFree.live);
    RecordProperty("peak_frame_visits", std::to_string(peakLimited.visits));
    for (size_t frame = 0; frame < free.size(); ++frame) ASSERT_EQ(limited[frame], free[frame]) << "frame " << frame;
}

std::vector<CWithinTargetsCase> WithinTargetsCases() {
    std::vector<CWithinTargetsCase> cases;
    const auto add = [&](std::string name, std::function<CEffectFile()> effect, std::vector<int> steps, int frames,
                         int32_t leastLive) {
        for (int n : steps)
            cases.push_back({name + "At" + std::to_string(n) + "Steps", effect, n, frames, leastLive});
    };
    add("ThreeEmitters", [] { return Spray(3, 11000.0f); }, {1, 2, 3, 4}, 300, 32000);
    add("Cloud100k", [] { return Cloud(100000); }, {1, 2, 3, 4}, 300, 99000);
    add("Cloud60k", [] { return Cloud(60000); }, {1, 2, 3, 4}, 120, 59000);
    add("Gravity100k", [] { return SprayWith(100000.0f, Gravity); }, {2, 4}, 300, 99000);
    add("Turbulence100k", [] { return SprayWith(100000.0f, Turbulence); }, {2, 4}, 300, 99000);
    add("Orbit100k", [] { return SprayWith(100000.0f, OrbitWithContraction); }, {2, 4}, 300, 99000);
    add("Trails15k", [] { return Trails(15000.0f); }, {1, 2}, 300, 14500);
    // Each trail copy counts eight units and visits for each of its types.
    add("FourTypeTrails4k", [] { return Trails(4000.0f, 4); }, {1, 2}, 300, 3900);
    // The costliest steps of 100,000 records in use: every particle lives
    // one step (its record goes back two steps after its birth), so each
    // step emits a third of them.
    add("OneStepLives100k", [] { return Spray(2, 5e5f, 50.0f / 30.0f); }, {4}, 300, 90000);
    add("DemoEffects", DemoEffects, {1, 2, 3, 4}, 300, 1);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Effects, WithinTargetsTest, ::testing::ValuesIn(WithinTargetsCases()),
                         [](const auto& info) { return info.param.name; });

// Over-life curves and a gradient of twelve keys across the life, then
// `padding` keys more after its end, which no living particle reaches: the
// samples are the same bit for bit, but padded tables are long enough to be
// indexed, so their particles are sampled a batch at a time.
CEffectFile VaryingOverLife(int padding) {
    return SprayWith(300.0f, [padding](Tools::CVexaParticleType& type) {
        for (int q : CLifeSampleBatch::kCurveQ) {
            Tools::CVexaCurve& curve = type.curves[size_t(q - 1)];
            curve.keys.clear();
            for (int i = 0; i < 12; ++i)
                curve.keys.push_back({float(i) / 11.0f, float(q) * (1.0f + 0.5f * std::sin(float(i + q)))});
            for (int i = 1; i <= padding; ++i) curve.keys.push_back({1.0f + float(i), float(i)});
        }
        type.gradient.keys.clear();
        for (int i = 0; i < 12; ++i) {
            const float u = float(i) / 11.0f;
            type.gradient.keys.push_back({u, u, 1.0f - u, 0.5f, 1.0f - 0.5f * u});
        }
        for (int i = 1; i <= padding; ++i) type.gradient.keys.push_back({1.0f + float(i), 0.0f, 0.0f, 0.0f, 0.0f});
    });
}

// Batches of particles, deaths inside a batch and the next batch's lines
// asked for early included, age exactly as particles sampled one by one.
TEST(LifeStepBatchTest, AgesParticlesAsSampledOneByOne) {
    CRunPeaks peakShort, peakLong;
    const std::vector<uint64_t> one = Fingerprints(VaryingOverLife(0), false, 2, 90, &peakShort);
    const std::vector<uint64_t> batched = Fingerprints(VaryingOverLife(30), false, 2, 90, &peakLong);
    EXPECT_GE(peakShort.live, int32_t(4 * CLifeSampleBatch::kBatch));
    EXPECT_EQ(peakShort.live, peakLong.live);
    for (size_t frame = 0; frame < one.size(); ++frame) ASSERT_EQ(batched[frame], one[frame]) << "frame " << frame;
}

struct CShortFrameCase {
    const char* name;
    float lifeSeconds;
};

int32_t Living(const CVexaParticleType& type) {
    int32_t living = 0;
    for (const CParticle* p = type.head; p; p = p->next) living += p->deathPending != 0;
    return living;
}

class ShortFrameTest : public ::testing::TestWithParam<CShortFrameCase> {};

// 300 particles a second moving along x at 10 pixels a second. Every third
// frame runs three steps with too few visits for more than its first; the
// next frame takes the two it missed in one.
TEST_P(ShortFrameTest, LosesNoEmissionMotionOrAge) {
    Tools::CVexaEmitter description = QuietEmitter();
    SetQ(description.types[0], 5, 300.0f);
    SetQ(description.types[0], 4, 10.0f);
    SetQ(description.types[0], 1, GetParam().lifeSeconds * CVexaParticleEmitter::kTimeScale);
    SeedParticleRandom(3);
    CEffect effect(description);
    CEffect reference(description);
    CParticleWorkBudget& budget = effect.library.GetWorkBudget();
    CVexaParticleType& type = effect.Type();
    float time = 0.0f;
    for (int frame = 0; frame < 12; ++frame) {
        const bool shortFrame = frame % 3 == 1;
        budget.StartFrame(shortFrame ? 1 : kUnlimited);
        for (int step = 0; step < (frame % 3 == 2 ? 1 : 3); ++step) {
            budget.StartStep();
            for (CEffect* e : {&effect, &reference}) {
                e->emitter->Move(time, kStep);
                e->emitter->Update(time, kStep, 0, 0, 0, 1);
            }
            time += kStep;
        }
        const float missed = type.waited.GetMissed();
        EXPECT_EQ(missed > 0.0f, shortFrame) << "frame " << frame;
        if (missed > 0.0f) continue;
        // A particle whose life ended while its type waited is over at the
        // type's next step, and its record goes back at the step after, as
        // after any step.
        ASSERT_EQ(Living(type), Living(reference.Type())) << "frame " << frame;
        const float T = CVexaParticleEmitter::kTimeScale * (time - kStep);
        for (const CParticle* p = type.head; p; p = p->next) {
            const float age = (T - p->birthTime) / CVexaParticleEmitter::kTimeScale;
            ASSERT_NEAR(p->position.x, 10.0f * age, 1e-3f) << "frame " << frame;
            ASSERT_EQ(p->deathPending != 0, age < GetParam().lifeSeconds) << "frame " << frame;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lives, ShortFrameTest,
                         ::testing::Values(CShortFrameCase{"LongLived", 100.0f}, CShortFrameCase{"ShortLived", 0.09f}),
                         [](const auto& info) { return std::string(info.param.name); });

// Three emitters of 60,000 live particles a second: a frame of 100 catch-up
// steps pays for its first few. Every type steps in every frame, and the
// steps it missed are taken by its next frame's first.
TEST(CatchUpFrameTest, EveryTypeStepsEachFrameAndTheNextTakesWhatWasMissed) {
    SeedParticleRandom(5);
    CEngineEffect effect(Spray(3, 60000.0f), true);
    effect.Frame(30);
    for (int frame = 0; frame < 3; ++frame) {
        std::vector<Engine::Geometry::CVector3> before;
        for (size_t i = 0; i < effect.EmitterCount(); ++i) before.push_back(effect.Emitter(i).GetParticleType(0).tail->position);
        effect.Frame(100);
        for (size_t i = 0; i < effect.EmitterCount(); ++i) {
            CVexaParticleType& type = effect.Emitter(i).GetParticleType(0);
            const float missed = type.waited.GetMissed();
            EXPECT_GT(missed, 0.0f) << "frame " << frame << ", emitter " << i;
            EXPECT_LT(missed, 99.5f * kStep) << "the first step is always taken";
            EXPECT_TRUE(type.tail->position.x != before[i].x || type.tail->position.y != before[i].y);
        }
        effect.Frame(1);
        for (size_t i = 0; i < effect.EmitterCount(); ++i)
            EXPECT_EQ(effect.Emitter(i).GetParticleType(0).waited.GetMissed(), 0.0f);
    }
    EXPECT_LE(effect.System().GetLibrary().GetWorkBudget().GetVisitsLeft(), CParticleSystem::kFrameParticleVisits);
}

} // namespace
} // namespace VexaTest

namespace VexaTest {
namespace {

// A damaged effect that keeps the pool full pays for two of a frame's
// steps: the rest wait for the next frame, so the frame stays short.
TEST(CatchUpFrameTest, AFullPoolTakesTwoStepsAFrame) {
    SeedParticleRandom(5);
    CEngineEffect effect(Spray(3, 1e9f), true);
    for (int frame = 0; frame < 6; ++frame) effect.Frame(1);
    ASSERT_EQ(size_t(effect.Live()), kMaxParticleRecords);
    effect.Frame(4);
    for (size_t i = 0; i < effect.EmitterCount(); ++i)
        EXPECT_FLOAT_EQ(effect.Emitter(i).GetParticleType(0).waited.GetMissed(), 2 * kStep) << "emitter " << i;
}

struct CQuitCase {
    const char* name;
    std::function<CEffectFile()> effect;
    int warmUpFrames;
    int steps;
};

class QuitDuringWorkTest : public ::testing::TestWithParam<CQuitCase> {};

// A quit posted while the frame's particle work runs (looked for at every
// interval of visits, as a frame running long does) ends that work within
// one more interval: no emitter, type or step does anything after it. The
// next frame, with no quit pending, runs whole.
TEST_P(QuitDuringWorkTest, EndsTheWorkWithinAnIntervalOfVisits) {
    const CQuitCase& c = GetParam();
    SeedParticleRandom(9);
    CEngineEffect effect(c.effect(), true);
    for (int frame = 0; frame < c.warmUpFrames; ++frame) effect.Frame(1);
    const CParticleWorkBudget& budget = effect.System().GetLibrary().GetWorkBudget();
    int64_t postedAt = -1, stoppedAt = -1;
    bool posted = false;
    effect.Watch().SetProbe([&] {
        if (!posted) {
            posted = true;
            postedAt = budget.GetFrameVisits();
            return false;
        }
        stoppedAt = budget.GetFrameVisits();
        return true;
    });
    effect.Frame(c.steps);
    ASSERT_TRUE(effect.Watch().IsStopped());
    // The most one particle counts: itself and a trail copy.
    constexpr int64_t kLargestVisit = 1 + int64_t(kSubEmitterCopyUnits);
    EXPECT_LE(stoppedAt - postedAt, Engine::CFrameQuitWatch::kCheckInterval + kLargestVisit);
    EXPECT_EQ(budget.GetFrameVisits(), stoppedAt) << "nothing runs after the stop";

    effect.Watch().SetProbe([] { return false; });
    effect.Frame(1);
    EXPECT_FALSE(effect.Watch().IsStopped());
    EXPECT_GE(budget.GetFrameVisits(), int64_t(effect.Live())) << "the next frame runs whole";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuitDuringWorkTest,
    ::testing::Values(CQuitCase{"AFullPool", [] { return Spray(3, 1e9f); }, 6, 1},
                      CQuitCase{"AFullPoolOfTrails", [] { return Trails(1e9f); }, 6, 1},
                      CQuitCase{"OneHundredCatchUpSteps", [] { return Spray(3, 60000.0f); }, 30, 100}),
    [](const auto& info) { return std::string(info.param.name); });

// About ten particles, each carrying a trail copy of some two thousand
// particles: nearly every visit of a step is made in a copy's loop.
CEffectFile BusyTrails() {
    Tools::CVexaEmitter trail = QuietEmitter("Trail");
    SetQ(trail.types[0], 5, 20000.0f);
    SetQ(trail.types[0], 1, 5.0f);
    SetQ(trail.types[0], 2, 0.05f);
    return SprayWith(10.0f, [&](Tools::CVexaParticleType& type) { type.subEmitters = {trail}; });
}

// The look that finds the quit runs inside a copy's loop; the loop of the
// particle carrying the copy, and every loop around it, counts nothing more.
TEST(QuitInsideACopyTest, LeavesNoVisitAfterIt) {
    SeedParticleRandom(9);
    CEngineEffect effect(BusyTrails(), true);
    for (int frame = 0; frame < 30; ++frame) effect.Frame(1);
    const CVexaParticleType& parents = effect.Emitter(0).GetParticleType(0);
    size_t inCopies = 0;
    for (const CParticle* p = parents.head; p; p = p->next)
        for (const CSubEmitterEntry& sub : p->subEmitters)
            if (sub.emitter) inCopies += size_t(sub.emitter->GetParticleCount());
    ASSERT_GT(inCopies, 100u * size_t(parents.liveCount)) << "the copies hold nearly all the particles";
    const CParticleWorkBudget& budget = effect.System().GetLibrary().GetWorkBudget();
    for (int look = 1; look <= 6; ++look) {
        int asked = 0;
        int64_t stoppedAt = -1;
        effect.Watch().SetProbe([&] {
            if (++asked < look) return false;
            stoppedAt = budget.GetFrameVisits();
            return true;
        });
        effect.Frame(1);
        ASSERT_TRUE(effect.Watch().IsStopped()) << look;
        EXPECT_EQ(budget.GetFrameVisits(), stoppedAt) << "stopped at look " << look;
    }
}

} // namespace
} // namespace VexaTest

namespace VexaTest {
namespace {

// `emitters` emitters of `types` copies each of a type making `rate`
// particles a second that live `lifeQ1` (a second unless told) and move
// along x at 10 pixels a second.
CEffectFile TypesIn(int emitters, int types, float rate, float lifeQ1 = 50.0f) {
    Tools::CVexaDocument document;
    CEffectFile file;
    for (int i = 0; i < emitters; ++i) {
        Tools::CVexaEmitter emitter = QuietEmitter(emitters == 1 ? "Types" : ("Types" + std::to_string(i)).c_str());
        SetQ(emitter.types[0], 5, rate);
        SetQ(emitter.types[0], 4, 10.0f);
        SetQ(emitter.types[0], 1, lifeQ1);
        emitter.types.assign(size_t(types), emitter.types[0]);
        document.emitters.push_back(emitter);
        file.emitters.push_back(emitter.name);
    }
    file.bytes = Tools::WriteVexa(document);
    return file;
}

CEffectFile ManyTypes(int types, float rate, float lifeQ1 = 50.0f) { return TypesIn(1, types, rate, lifeQ1); }

// The types of an effect's emitters, in the order the frame steps them.
std::vector<const CVexaParticleType*> TypesOf(CEngineEffect& effect) {
    std::vector<const CVexaParticleType*> types;
    for (size_t e = 0; e < effect.EmitterCount(); ++e)
        for (int32_t i = 0; i < effect.Emitter(e).GetParticleTypeCount(); ++i)
            types.push_back(&effect.Emitter(e).GetParticleType(i));
    return types;
}

// 300 types whose steps cost several frames' visits: each frame begins
// with the first type that waited, a type waits at most one frame more than
// the visits of a whole step take, and once the limit is lifted every type
// has emitted and moved over all the time it missed, as without waiting.
TEST(TypeTurnsTest, WaitersKeepTheirTimeAndEveryTypeTakesATurn) {
    constexpr int kTypes = 300;
    constexpr int64_t kVisits = 10000;
    const CEffectFile file = ManyTypes(kTypes, 30.0f, 1e6f);
    CEngineEffect effect(file, true), reference(file, false);
    effect.System().SetFrameLimits(kVisits, kUnlimited, 1e9);
    const CParticleWorkBudget& budget = effect.System().GetLibrary().GetWorkBudget();
    std::vector<int64_t> waiting(kTypes, 0);
    std::set<int64_t> turns;
    for (int frame = 0; frame < 60; ++frame) {
        effect.Frame(1);
        reference.Frame(1);
        turns.insert(budget.GetFirstTurn());
        EXPECT_LE(budget.GetFrameVisits(), kVisits + kVisits / 20) << "frame " << frame;
        int64_t stepCost = 0;
        for (int i = 0; i < kTypes; ++i) stepCost += effect.Emitter(0).GetParticleType(i).waited.GetLastCost();
        for (int i = 0; i < kTypes; ++i) {
            const bool waited = effect.Emitter(0).GetParticleType(i).waited.GetMissed() > 0.0f;
            waiting[size_t(i)] = waited ? waiting[size_t(i)] + 1 : 0;
            ASSERT_LE(waiting[size_t(i)], (stepCost + kVisits - 1) / kVisits + 1) << "type " << i << ", frame " << frame;
        }
    }
    EXPECT_GE(turns.size(), 10u) << "the frames' turns move on";
    effect.System().SetFrameLimits(kUnlimited, kUnlimited, 1e9);
    effect.Frame(1);
    reference.Frame(1);
    const float T = CVexaParticleEmitter::kTimeScale * 60 * kStep;
    for (int i = 0; i < kTypes; ++i) {
        const CVexaParticleType& type = effect.Emitter(0).GetParticleType(i);
        // Up to the fraction a sum of the missed steps rounds otherwise.
        EXPECT_NEAR(type.liveCount, reference.Emitter(0).GetParticleType(i).liveCount, 1) << "type " << i;
        for (const CParticle* p = type.head; p; p = p->next)
            ASSERT_NEAR(p->position.x - 400.0f, 10.0f * (T - p->birthTime) / CVexaParticleEmitter::kTimeScale, 1e-3f);
    }
}

struct CLetGoCase {
    const char* name;
    int emitters;
    size_t letGo;  // the emitter let go once the turn lies in the last
};

class TypeTurnsLetGoTest : public ::testing::TestWithParam<CLetGoCase> {};

// Emitters of 1,000 types without particles, whose steps cost four frames'
// visits: an emitter let go while the turn lies past the types left, or
// among its own, leaves a turn that is there. Every frame's first step
// takes a type, and every type keeps its turns.
TEST_P(TypeTurnsLetGoTest, EveryFirstStepTakesATypeAndEveryTypeItsTurn) {
    constexpr int kTypes = 1000;
    const CLetGoCase& c = GetParam();
    const int64_t visits = c.emitters * kTypes * CParticleWorkBudget::kLeastTypeVisits / 4;
    CEngineEffect effect(TypesIn(c.emitters, kTypes, 0.0f), true);
    effect.System().SetFrameLimits(visits, kUnlimited, 1e9);
    const CParticleWorkBudget& budget = effect.System().GetLibrary().GetWorkBudget();
    int frame = 0;
    for (; budget.GetFirstTurn() < int64_t(c.emitters - 1) * kTypes; ++frame) {
        ASSERT_LT(frame, 20) << "the turn never reached the last emitter";
        effect.Frame(1);
    }
    // The turn comes from the last frame's first step: let go before this one.
    effect.LetGo(c.letGo);
    CTypeWaits waits(visits);
    for (int after = 0; after < 12; ++after) {
        effect.Frame(1);
        EXPECT_LT(budget.GetFirstTurn(), int64_t(c.emitters - 1) * kTypes) << "frame " << after;
        EXPECT_GE(budget.GetFrameVisits(), CParticleWorkBudget::kLeastTypeVisits) << "frame " << after;
        waits.Frame(TypesOf(effect));
    }
    EXPECT_LE(waits.GetWorst(), waits.GetBound());
}

INSTANTIATE_TEST_SUITE_P(Emitters, TypeTurnsLetGoTest,
                         ::testing::Values(CLetGoCase{"TheFirstOfTwo", 2, 0}, CLetGoCase{"TheLastOfTwo", 2, 1},
                                           CLetGoCase{"TheMiddleOfThree", 3, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CTypesLayoutCase {
    const char* name;
    int emitters, types;
};

class TypeVisitsTest : public ::testing::TestWithParam<CTypesLayoutCase> {};

// 1,000 types of about 30 live particles each, at 10,000 visits a frame:
// laid out as one emitter or as many, every frame uses its visits up to
// about one type's cost (a type's visits count once, and a round that
// reaches the last type goes on from the first), and no type waits longer
// than the turns' bound.
TEST_P(TypeVisitsTest, UsesTheFramesVisitsAndKeepsTheWaitBound) {
    constexpr int64_t kVisits = 10000;
    constexpr int kFrames = 200;
    const CTypesLayoutCase& c = GetParam();
    SeedParticleRandom(11);
    CEngineEffect effect(TypesIn(c.emitters, c.types, 30.0f), true);
    effect.System().SetFrameLimits(kVisits, kUnlimited, 1e9);
    const CParticleWorkBudget& budget = effect.System().GetLibrary().GetWorkBudget();
    for (int frame = 0; frame < 100; ++frame) effect.Frame(1);
    CTypeWaits waits(kVisits);
    int64_t used = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
        effect.Frame(1);
        used += budget.GetFrameVisits();
        waits.Frame(TypesOf(effect));
    }
    RecordProperty("visits_used", std::to_string(used / kFrames));
    EXPECT_LE(waits.GetWorst(), waits.GetBound());
    EXPECT_GE(100 * used, 95 * kVisits * kFrames) << used / kFrames << " visits a frame";
}

INSTANTIATE_TEST_SUITE_P(Layouts, TypeVisitsTest,
                         ::testing::Values(CTypesLayoutCase{"OneEmitterOf1000Types", 1, 1000},
                                           CTypesLayoutCase{"ThousandOneTypeEmitters", 1000, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CTypeCountCase {
    int types;
    bool emitting;
};

class TypeWorkTest : public ::testing::TestWithParam<CTypeCountCase> {};

// A type without particles still counts its motion, its life step and, while
// its emitter emits, the 38 curves its emission samples; the emitter counts
// its own 19 curves once.
TEST_P(TypeWorkTest, CountsEachTypesOwnWork) {
    const CTypeCountCase& c = GetParam();
    CEngineEffect effect(ManyTypes(c.types, 0.0f), true);
    effect.Emitter(0).SetEmitting(c.emitting ? 1 : 0);
    effect.Frame(1);
    const int64_t perType = 2 * CParticleWorkBudget::kTypePassVisits +
                            (c.emitting ? CParticleWorkBudget::kEmissionCurveVisits : 0);
    EXPECT_EQ(effect.System().GetLibrary().GetWorkBudget().GetFrameVisits(),
              CParticleWorkBudget::kEmitterCurveVisits + c.types * perType);
}

INSTANTIATE_TEST_SUITE_P(Types, TypeWorkTest,
                         ::testing::Values(CTypeCountCase{1, true}, CTypeCountCase{7, false},
                                           CTypeCountCase{1000, true}, CTypeCountCase{1000, false}));

// A quit posted while 20,000 types without particles step ends the frame's
// work within one look's interval and what one type counts at once.
TEST(TypeWorkTest, AQuitEndsAFrameOfManyTypesWithinAnInterval) {
    CEngineEffect effect(ManyTypes(20000, 0.0f), true);
    const CParticleWorkBudget& budget = effect.System().GetLibrary().GetWorkBudget();
    int64_t postedAt = -1, stoppedAt = -1;
    effect.Watch().SetProbe([&] {
        if (postedAt < 0) {
            postedAt = budget.GetFrameVisits();
            return false;
        }
        stoppedAt = budget.GetFrameVisits();
        return true;
    });
    effect.Frame(1);
    ASSERT_TRUE(effect.Watch().IsStopped());
    EXPECT_LE(stoppedAt - postedAt, Engine::CFrameQuitWatch::kCheckInterval + CParticleWorkBudget::kEmitterCurveVisits +
                                        CParticleWorkBudget::kEmissionCurveVisits);
    EXPECT_EQ(budget.GetFrameVisits(), stoppedAt) << "nothing runs after the stop";
}

struct CWalkCase {
    const char* name;
    int64_t visits;  // 0: the system's own
};

class QuitAmongTypesTest : public ::testing::TestWithParam<CWalkCase> {};

// A quit pending while 30,000 types without particles step, or wait because
// the frame's visits are spent, ends the walk of the types within one look's
// interval: no type after it asks the budget (one that asked and waited
// records the step as missed). With the visits to step them all, the next
// frame steps every type.
TEST_P(QuitAmongTypesTest, EndsTheWalkOfTheTypesAtTheNextLook) {
    constexpr int32_t kTypes = 30000;
    CEngineEffect effect(ManyTypes(kTypes, 0.0f), true);
    if (GetParam().visits > 0) effect.System().SetFrameLimits(GetParam().visits, INT64_MAX, 1e9);
    effect.Watch().SetProbe([] { return true; });
    effect.Frame(1);
    ASSERT_TRUE(effect.Watch().IsStopped());
    int64_t asked = 0;
    for (int32_t i = 0; i < kTypes; ++i) asked += effect.Emitter(0).GetParticleType(i).waited.GetMissed() > 0.0f;
    EXPECT_LE(asked, Engine::CFrameQuitWatch::kCheckInterval);
    if (GetParam().visits > 0) return;

    effect.Watch().SetProbe([] { return false; });
    effect.Frame(1);
    const int64_t perType = 2 * CParticleWorkBudget::kTypePassVisits + CParticleWorkBudget::kEmissionCurveVisits;
    EXPECT_EQ(effect.System().GetLibrary().GetWorkBudget().GetFrameVisits(),
              CParticleWorkBudget::kEmitterCurveVisits + kTypes * perType);
}

INSTANTIATE_TEST_SUITE_P(Frames, QuitAmongTypesTest,
                         ::testing::Values(CWalkCase{"TypesStep", 0}, CWalkCase{"TypesWait", 1000}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace VexaTest
