// One frame of bg6's sparkle emitter with its particle type repeated 1,
// 1,000, 10,000 and 100,000 times (tools/FrameCounts.h), and of
// ParticlePool1, its one type at 100,000 times its rate, which fills the
// pool as the many types do: the frame's update step and its draw into the
// recording driver, under the application's limits, one step a frame as the
// frame loop runs them. Counters: "visits", the frame's particle visits (at
// most the frame's 1,500,000) and the most of any frame, and
// "turned_frames", the share of frames whose plan began past the first
// type. The run ends with the CPU time of 100,000 types over
// ParticlePool1's, which should stay at most 2: a frame must not grow with
// the types a file holds.
//
// The turns at the frame limits that show how types wait (10,000 visits for
// one emitter of 1,000 sparkle types and for 1,000 one-type sparkle
// emitters, 150,000 for one emitter of 10,000 types), 1,000 frames each:
// "visits_used", the frame's visits over its limit on average, and
// "worst_wait" against "wait_bound", the most frames between a type's steps
// and the bound docs/formats.md gives (one frame more than the visits of a
// step of every type take).
//
// The turns of cheap types at the frame's 1,500,000 visits, 300 frames
// counted from the first (tests/particles/TypeChurn.h), Args {emitters,
// types each, bursts, churn}: {1000, 100, 1, 1}, types that are each a burst
// of one never-dying particle with emitters let go, added, reset, stopped and
// restarted between frames and inside the step (every type should step every
// frame: "worst_wait" 1); {12, 100000, 1, 0}, the same types without churn
// ("visits_used" from frame 60 at least 0.9, no "steps_over_bound");
// {1000, 100, 0, 1}, types making 0.1 never-dying particles a second, with
// churn ("steps_over_bound": steps from frame 60 past the bound of the frame
// they step in, none; "most_over_before": before it, at most 1).
//
// Letting go of 10,000 and 100,000 one-type emitters at once, between
// frames (the time grows with the emitters, not their square).
//
// The sparkle at 40 times its rate, each particle carrying from its birth a
// copy of N one-shot burst types of one particle each (tools/FrameCounts.h,
// CopyTypes), N = 1, 30, 100 and 400, at the frame's default visits; run
// each N in a process of its own (--benchmark_filter=BM_CopyTypesFrame/400$),
// since the pool's records stay made. Counters: "units", the pool's units in
// use, and "copy_bytes", what the copies' emitters and types hold, each at
// the end and at most ("most_units", "most_copy_bytes"). A copy counts eight
// units and visits for each of its types, so neither grows with N past the
// pool's cap: a frame at N = 400 should cost at most 1.25 times
// ParticlePool1's (printed when both run), its units and bytes at most twice
// N = 1's.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ParticleLimits.h"
#include "TargetReporter.h"
#include "app/FixedStepClock.h"
#include "particles/engine/ParticleSystem.h"
#include "particles/library/ParticlePool.h"
#include "particles/library/ParticleRandom.h"
#include "particles/library/TypeTurns.h"
#include "support/RecordingGraphics.h"
#include "tests/particles/TypeChurn.h"
#include "tests/particles/TypeWaits.h"
#include "tools/FrameCounts.h"

namespace {

using Engine::Particles::CParticleSystem;

constexpr float kStep = float(Engine::CFixedStepClock::kStepSeconds);
constexpr int kWidth = 800;
constexpr int kHeight = 600;
// Longer than a sparkle lives (1.2 s), and long enough for the many types'
// turns to come round several times.
constexpr int kWarmUpFrames = 240;

// The case's sparkle running at the screen's middle, drawn into the recording
// driver over an 800 x 600 back buffer.
// (With EFrameCount::Emitters, each of the sparkle's copies runs.) The
// frame may spend `visits`.
class CTypesFrame {
public:
    CTypesFrame(Tools::EFrameCount kind, int count, int64_t visits = CParticleSystem::kFrameParticleVisits)
        : m_system(&m_driver) {
        m_driver.GetParams().width = kWidth;
        m_driver.GetParams().height = kHeight;
        m_system.GetLibrary().Init(&m_system.GetGraphicsBinding());
        ParticleLimits::Use(m_system, true);
        m_system.SetFrameLimits(visits, CParticleSystem::kFrameParticleQuads, CParticleSystem::kFrameParticleScreens);
        {
            const std::vector<uint8_t> bytes = Tools::WriteFrameCountScene(kind, count).effects;
            Engine::CMemoryFile file(bytes.data(), bytes.size());
            m_file = m_system.GetLibrary().Read(file, "");
        }
        const int emitters = kind == Tools::EFrameCount::Emitters ? count : 1;
        for (int i = 0; i < emitters; ++i)
            m_emitters.push_back(m_file->CreateEmitter(i == 0 ? "sparkle" : ("sparkle" + std::to_string(i)).c_str()));
        VexaParticles::ParticleRandomSeed(VexaParticles::GetParticleRandomGenerator(), 1);
        for (int i = 0; i < kWarmUpFrames; ++i) {
            Frame();
            m_driver.Clear();
        }
    }
    ~CTypesFrame() {
        m_emitters.clear();
        m_file.reset();
    }
    CTypesFrame(const CTypesFrame&) = delete;
    CTypesFrame& operator=(const CTypesFrame&) = delete;

    // The frame's limits, its one step, then its draw.
    void Frame() {
        m_system.StartFrame();
        m_system.StartStep();
        for (const auto& emitter : m_emitters) {
            emitter->Move(m_time, kStep);
            emitter->Update(m_time, kStep, kWidth / 2, kHeight / 2, 0, 1);
        }
        m_time += kStep;
        for (const auto& emitter : m_emitters) benchmark::DoNotOptimize(emitter->RenderAll());
    }
    void ClearRecording() { m_driver.Clear(); }
    const VexaParticles::CParticleWorkBudget& Budget() { return m_system.GetLibrary().GetWorkBudget(); }
    // Every type, in the order the frame steps them.
    std::vector<const VexaParticles::CVexaParticleType*> Types() const {
        std::vector<const VexaParticles::CVexaParticleType*> types;
        for (const auto& emitter : m_emitters)
            for (int32_t i = 0; i < emitter->GetParticleTypeCount(); ++i) types.push_back(&emitter->GetParticleType(i));
        return types;
    }

private:
    Engine::Graphics::Testing::CRecordingGraphics m_driver;
    CParticleSystem m_system;
    std::unique_ptr<VexaParticles::CVexaFile> m_file;
    std::vector<std::unique_ptr<VexaParticles::CVexaParticleEmitter>> m_emitters;
    float m_time = 0;
};

void TypesFrame(benchmark::State& state, Tools::EFrameCount kind, int count) {
    CTypesFrame frame(kind, count);
    int64_t visits = 0, most = 0, firstTurns = 0;
    for (auto _ : state) {
        frame.Frame();
        state.PauseTiming();
        visits += frame.Budget().GetFrameVisits();
        most = std::max(most, frame.Budget().GetFrameVisits());
        firstTurns += frame.Budget().GetFirstTurn() != 0;
        frame.ClearRecording();
        state.ResumeTiming();
    }
    state.counters["visits"] = double(visits) / double(state.iterations());
    state.counters["most_visits"] = double(most);
    state.counters["turned_frames"] = double(firstTurns) / double(state.iterations());
}

void BM_ParticleTypesFrame(benchmark::State& state) {
    TypesFrame(state, Tools::EFrameCount::ParticleTypes, int(state.range(0)));
}
void BM_ParticlePoolFrame(benchmark::State& state) { TypesFrame(state, Tools::EFrameCount::ParticlePool, 1); }

BENCHMARK(BM_ParticleTypesFrame)->Arg(1)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParticlePoolFrame)->Unit(benchmark::kMillisecond);

// What the sub-emitter copies the types' particles carry hold: their
// emitters, their types and their entries.
size_t CopyBytes(const std::vector<const VexaParticles::CVexaParticleType*>& types) {
    size_t bytes = 0;
    for (const VexaParticles::CVexaParticleType* type : types)
        for (const VexaParticles::CParticle* p = type->head; p; p = p->next)
            for (const VexaParticles::CSubEmitterEntry& sub : p->subEmitters)
                bytes += sizeof sub + sizeof *sub.emitter +
                         size_t(sub.emitter->GetParticleTypeCount()) * sizeof(VexaParticles::CVexaParticleType);
    return bytes;
}

void BM_CopyTypesFrame(benchmark::State& state) {
    CTypesFrame frame(Tools::EFrameCount::CopyTypes, int(state.range(0)));
    const std::vector<const VexaParticles::CVexaParticleType*> types = frame.Types();
    int64_t visits = 0, most = 0;
    size_t units = 0, bytes = 0, mostUnits = 0, mostBytes = 0;
    for (auto _ : state) {
        frame.Frame();
        state.PauseTiming();
        visits += frame.Budget().GetFrameVisits();
        most = std::max(most, frame.Budget().GetFrameVisits());
        units = VexaParticles::GetParticleUnitsInUse();
        bytes = CopyBytes(types);
        mostUnits = std::max(mostUnits, units);
        mostBytes = std::max(mostBytes, bytes);
        frame.ClearRecording();
        state.ResumeTiming();
    }
    state.counters["visits"] = double(visits) / double(state.iterations());
    state.counters["most_visits"] = double(most);
    state.counters["units"] = double(units);
    state.counters["most_units"] = double(mostUnits);
    state.counters["copy_bytes"] = double(bytes);
    state.counters["most_copy_bytes"] = double(mostBytes);
}

BENCHMARK(BM_CopyTypesFrame)->Arg(1)->Arg(30)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

// Frames of `count` types (one emitter's, or one each of as many emitters)
// at `visits` a frame: how much of the limit they use and how long a type
// waits for its step.
void TypeTurns(benchmark::State& state, Tools::EFrameCount kind, int count, int64_t visits) {
    CTypesFrame frame(kind, count, visits);
    const std::vector<const VexaParticles::CVexaParticleType*> types = frame.Types();
    VexaTest::CTypeWaits waits(visits);
    int64_t used = 0;
    for (auto _ : state) {
        frame.Frame();
        state.PauseTiming();
        used += frame.Budget().GetFrameVisits();
        waits.Frame(types);
        frame.ClearRecording();
        state.ResumeTiming();
    }
    state.counters["visits_used"] = double(used) / double(state.iterations()) / double(visits);
    state.counters["worst_wait"] = double(waits.GetWorst());
    state.counters["wait_bound"] = double(waits.GetBound());
}

void BM_TypeTurnsOneEmitter(benchmark::State& state) {
    TypeTurns(state, Tools::EFrameCount::ParticleTypes, int(state.range(0)), state.range(1));
}
void BM_TypeTurnsOneTypeEmitters(benchmark::State& state) {
    TypeTurns(state, Tools::EFrameCount::Emitters, int(state.range(0)), state.range(1));
}

BENCHMARK(BM_TypeTurnsOneEmitter)
    ->Args({1000, 10000})
    ->Args({10000, 150000})
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeTurnsOneTypeEmitters)->Args({1000, 10000})->Iterations(1000)->Unit(benchmark::kMillisecond);

void BM_CheapTypeTurns(benchmark::State& state) {
    constexpr int64_t kSettled = 60;
    VexaTest::CChurnFrames frames({int(state.range(0)), int(state.range(1)), CParticleSystem::kFrameParticleVisits,
                                   state.range(2) != 0, state.range(3) != 0},
                                  kSettled);
    int64_t used = 0, settledFrames = 0;
    for (auto _ : state) {
        frames.Step();
        state.PauseTiming();
        frames.Count();
        if (frames.GetFrame() > kSettled) {
            used += frames.GetVisits();
            ++settledFrames;
        }
        state.ResumeTiming();
    }
    const VexaTest::CTypeWaits& waits = frames.Waits();
    state.counters["visits_used"] =
        double(used) / double(std::max<int64_t>(1, settledFrames)) / double(CParticleSystem::kFrameParticleVisits);
    state.counters["worst_wait"] = double(waits.GetWorst());
    state.counters["wait_bound"] = double(waits.GetBound());
    state.counters["steps_over_bound"] = double(waits.GetStepsOver());
    state.counters["most_over_before"] = double(waits.GetMostOverBefore());
}

BENCHMARK(BM_CheapTypeTurns)
    ->Args({1000, 100, 1, 1})
    ->Args({12, 100000, 1, 0})
    ->Args({1000, 100, 0, 1})
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond);

// Letting go of every one-type emitter of a scene at once, between frames,
// through to the next frame's start: the turns walk their places once, not
// once an emitter.
void BM_LeaveManyEmitters(benchmark::State& state) {
    using VexaParticles::CTypeTurns;
    const size_t emitters = size_t(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        CTypeTurns turns;
        std::vector<CTypeTurns::CRun> runs(emitters);
        for (int frame = 0; frame < 3; ++frame) {
            turns.StartFrame(CParticleSystem::kFrameParticleVisits, true);
            for (CTypeTurns::CRun& run : runs) {
                run = turns.StartRun();
                turns.Took(turns.NextType(40));
            }
        }
        turns.StartFrame(CParticleSystem::kFrameParticleVisits, true);
        state.ResumeTiming();
        for (const CTypeTurns::CRun& run : runs) turns.Leave(run, 1);
        turns.StartFrame(CParticleSystem::kFrameParticleVisits, true);
        benchmark::DoNotOptimize(turns.GetTurn());
    }
}

BENCHMARK(BM_LeaveManyEmitters)->Arg(10000)->Arg(100000)->Iterations(5)->Unit(benchmark::kMillisecond);

// Prints 100,000 types' frame over ParticlePool1's, and the types' most
// visits in a frame against the frame's limit.
class CTypesReporter : public BenchTargets::CTargetReporter {
public:
    CTypesReporter()
        : CTargetReporter({{"BM_ParticleTypesFrame/100000", "most_visits", 1.0, "visits",
                            double(CParticleSystem::kFrameParticleVisits), true, "most visits of a frame of 100k types"}}) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        CTargetReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")) continue;
            const std::string name = run.run_name.str();
            if (name == "BM_ParticleTypesFrame/100000") m_types = run.GetAdjustedCPUTime();
            if (name == "BM_ParticlePoolFrame") m_pool = run.GetAdjustedCPUTime();
            if (name == "BM_CopyTypesFrame/400") m_copies = run.GetAdjustedCPUTime();
        }
    }
    void PrintSummary() const {
        CTargetReporter::PrintSummary();
        if (m_pool <= 0) return;
        const auto print = [this](const char* what, double time, double target) {
            if (time <= 0) return;
            std::printf("%s over ParticlePool1's: %.2f ms / %.2f ms = %.2f (target at most %.2f: %s)\n", what, time,
                        m_pool, time / m_pool, target, time / m_pool <= target ? "met" : "NOT met");
        };
        print("a frame of 100k types", m_types, 2.0);
        print("a frame of 400-type copies", m_copies, 1.25);
    }

private:
    double m_types = 0, m_pool = 0, m_copies = 0;
};

} // namespace

int main(int argc, char** argv) {
    // As in bench/particles.cpp: the recording's copies are not handed back
    // to the system at each frame.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    CTypesReporter reporter;
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}
