// One frame of bg6's sparkle emitter with its particle type repeated 1,
// 1,000, 10,000 and 100,000 times (tools/FrameCounts.h), and of
// ParticlePool1, its one type at 100,000 times its rate, which fills the
// pool as the many types do: the frame's update step and its draw into the
// recording driver, under the application's limits, one step a frame as the
// frame loop runs them. Counters: "visits", the frame's particle visits (at
// most the frame's 1,500,000), and "first_turn", the place of the type the
// frame began with. The run ends with the CPU time of 100,000 types over
// ParticlePool1's, which should stay at most 2: a frame must not grow with
// the types a file holds.

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
#include "particles/library/ParticleRandom.h"
#include "support/RecordingGraphics.h"
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
class CTypesFrame {
public:
    CTypesFrame(Tools::EFrameCount kind, int count) : m_system(&m_driver) {
        m_driver.GetParams().width = kWidth;
        m_driver.GetParams().height = kHeight;
        m_system.GetLibrary().Init(&m_system.GetGraphicsBinding());
        ParticleLimits::Use(m_system, true);
        {
            const std::vector<uint8_t> bytes = Tools::WriteFrameCountScene(kind, count).effects;
            Engine::CMemoryFile file(bytes.data(), bytes.size());
            m_file = m_system.GetLibrary().Read(file, "");
        }
        m_emitter = m_file->CreateEmitter("sparkle");
        VexaParticles::ParticleRandomSeed(VexaParticles::GetParticleRandomGenerator(), 1);
        for (int i = 0; i < kWarmUpFrames; ++i) {
            Frame();
            m_driver.Clear();
        }
    }
    ~CTypesFrame() {
        m_emitter.reset();
        m_file.reset();
    }
    CTypesFrame(const CTypesFrame&) = delete;
    CTypesFrame& operator=(const CTypesFrame&) = delete;

    // The frame's limits, its one step, then its draw.
    void Frame() {
        m_system.StartFrame();
        m_system.StartStep();
        m_emitter->Move(m_time, kStep);
        m_emitter->Update(m_time, kStep, kWidth / 2, kHeight / 2, 0, 1);
        m_time += kStep;
        benchmark::DoNotOptimize(m_emitter->RenderAll());
    }
    void ClearRecording() { m_driver.Clear(); }
    const VexaParticles::CParticleWorkBudget& Budget() { return m_system.GetLibrary().GetWorkBudget(); }

private:
    Engine::Graphics::Testing::CRecordingGraphics m_driver;
    CParticleSystem m_system;
    std::unique_ptr<VexaParticles::CVexaFile> m_file;
    std::unique_ptr<VexaParticles::CVexaParticleEmitter> m_emitter;
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
        }
    }
    void PrintSummary() const {
        CTargetReporter::PrintSummary();
        if (m_types <= 0 || m_pool <= 0) return;
        const double ratio = m_types / m_pool;
        std::printf("a frame of 100k types over ParticlePool1's: %.2f ms / %.2f ms = %.2f (target at most 2.00: %s)\n",
                    m_types, m_pool, ratio, ratio <= 2.0 ? "met" : "NOT met");
    }

private:
    double m_types = 0, m_pool = 0;
};

} // namespace

int main(int argc, char** argv) {
    // As in bench/particles.cpp: the recording's copies are not handed back
    // to the system at each frame.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    CTypesReporter reporter;
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}
