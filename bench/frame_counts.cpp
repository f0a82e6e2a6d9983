// What a frame of each frame case of tools/FrameCounts.h costs against its
// twin: the CPU time of one update step (the place file's SetTime and
// Update, as the screensaver runs them each fixed step) and of one Draw
// (the sprite queue into the recording driver), the time advancing one step
// an iteration. The run ends with each case's time over its twin's, which
// should stay at most 2: a frame must not grow with a count a file holds.
//
// A case is written and loaded once for both of its benchmarks; the largest
// (LinearKeys10M) takes a while to. Select cases with --benchmark_filter,
// e.g. --benchmark_filter='/LinearKeys'.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ParticleLimits.h"
#include "ScenePlaceFolder.h"
#include "TargetReporter.h"
#include "app/FixedStepClock.h"
#include "graphics/SpriteQueue.h"
#include "particles/engine/ParticleSystem.h"
#include "placefile/EngineParticles.h"
#include "tools/FrameCounts.h"

namespace {

using Engine::Graphics::CSpriteQueue;
using Engine::Graphics::PlaceFile::CPlaceFile;
using Engine::Particles::CParticleSystem;

constexpr double kMaxRatio = 2.0;
constexpr double kStep = Engine::CFixedStepClock::kStepSeconds;
// Each Draw iteration runs an untimed update step first, which for a slow
// case costs far more than the Draw: a fixed count keeps the run short.
constexpr int kDrawIterations = 300;
// Steps run before timing, longer than a sparkle lives (1.2 s), so that
// its particles are as many as they stay.
constexpr int kWarmUpSteps = 90;

// A case's scene loaded as the screensaver loads it, with the engine's
// particle system behind its particle objects and the sprite queue drawing
// into the recording driver.
class CFrameScene {
public:
    explicit CFrameScene(const Tools::CFrameCount& frame) : m_particles(&m_folder.Graphics()) {
        std::string path;
        {
            const Tools::CFrameCountScene scene = Tools::WriteFrameCountScene(frame.kind, frame.count);
            m_folder.Write(scene.path, scene.place);
            m_folder.Write("fx/scenes.vexa", scene.effects);
            path = scene.path;
        }
        m_particles.GetLibrary().Init(&m_particles.GetGraphicsBinding());
        ParticleLimits::Use(m_particles, true);
        s_particles = &m_particles;
        Engine::Graphics::PlaceFile::SetPlaceParticleFactory(
            [](Engine::Graphics::CGraphics*) { return Engine::Graphics::PlaceFile::CreateEngineEffectFiles(*s_particles); });
        CSpriteQueue::SetDriver(&m_folder.Graphics());
        m_queued = CSpriteQueue::CreateVertexBuffer() && CSpriteQueue::Init();
        m_place = m_folder.Local().GetPlaceFile(CString(path));
        for (int step = 0; IsLoaded() && step < kWarmUpSteps; ++step) Step();
    }
    ~CFrameScene() {
        m_place = nullptr;
        m_folder.Local().ReleaseAll();
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
        Engine::Graphics::PlaceFile::SetPlaceParticleFactory(nullptr);
        m_particles.Done();
    }
    CFrameScene(const CFrameScene&) = delete;
    CFrameScene& operator=(const CFrameScene&) = delete;

    bool IsLoaded() const { return m_place && m_queued; }

    // One fixed step of the frame loop: the step's particle budget, then
    // the scene at the application's time.
    void Step() {
        m_particles.StartFrame();
        m_particles.StartStep();
        m_place->SetTime(m_time);
        m_place->Update(m_time, kStep);
        m_time += kStep;
    }
    void Draw() {
        m_place->Draw(0.0f, 0.0f, 1.0f);
        CSpriteQueue::FlushIfPending(CSpriteQueue::CParams{});
    }
    // Drops what the recording driver kept of the frame.
    void ClearRecording() { m_folder.Graphics().Clear(); }

private:
    static inline CParticleSystem* s_particles = nullptr;
    BenchPlaces::CScenePlaceFolder m_folder{"mosark_bench_frame_counts"};
    CParticleSystem m_particles;
    bool m_queued = false;
    Engine::ref_ptr<CPlaceFile> m_place;
    double m_time = 0.0;
};

// The scene of the case last asked for: both benchmarks of a case, and
// every run of each, share one load.
CFrameScene& SceneOf(const Tools::CFrameCount& frame) {
    static std::string s_name;
    static std::unique_ptr<CFrameScene> s_scene;
    if (s_name != frame.name) {
        s_scene.reset();
        s_scene = std::make_unique<CFrameScene>(frame);
        s_name = frame.name;
    }
    return *s_scene;
}

void BM_UpdateStep(benchmark::State& state, Tools::CFrameCount frame) {
    CFrameScene& scene = SceneOf(frame);
    if (!scene.IsLoaded()) return state.SkipWithError("the place file did not load");
    for (auto _ : state) scene.Step();
}

void BM_Draw(benchmark::State& state, Tools::CFrameCount frame) {
    CFrameScene& scene = SceneOf(frame);
    if (!scene.IsLoaded()) return state.SkipWithError("the place file did not load");
    for (auto _ : state) {
        state.PauseTiming();
        scene.Step();
        scene.ClearRecording();
        state.ResumeTiming();
        scene.Draw();
    }
}

bool IsFrameCase(Tools::EFrameCount kind) {
    return kind == Tools::EFrameCount::LinearKeys || kind == Tools::EFrameCount::EffectCurveKeys ||
           kind == Tools::EFrameCount::EmptyLayers;
}

// Each frame case (the largest count of its kind) and its twin (the smallest).
struct CPair {
    Tools::CFrameCount large, twin;
};

std::vector<CPair> Pairs() {
    std::map<Tools::EFrameCount, CPair> byKind;
    for (const Tools::CFrameCount& frame : Tools::kFrameCounts) {
        if (!IsFrameCase(frame.kind)) continue;
        auto [at, added] = byKind.try_emplace(frame.kind, CPair{frame, frame});
        if (frame.count > at->second.large.count) at->second.large = frame;
        if (frame.count < at->second.twin.count) at->second.twin = frame;
    }
    std::vector<CPair> pairs;
    for (const auto& [kind, pair] : byKind) pairs.push_back(pair);
    return pairs;
}

const char* const kMeasures[] = {"BM_UpdateStep", "BM_Draw"};

std::string RunName(const char* measure, const Tools::CFrameCount& frame) { return std::string(measure) + "/" + frame.name; }

void Register() {
    for (const CPair& pair : Pairs())
        for (const Tools::CFrameCount& frame : {pair.large, pair.twin}) {
            benchmark::RegisterBenchmark(RunName(kMeasures[0], frame).c_str(), BM_UpdateStep, frame)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(RunName(kMeasures[1], frame).c_str(), BM_Draw, frame)
                ->Unit(benchmark::kMicrosecond)
                ->Iterations(kDrawIterations);
        }
}

// Prints each case over its twin at the end.
class CTwinReporter : public BenchTargets::CCpuTimeReporter {
public:
    void PrintSummary() const {
        for (const CPair& pair : Pairs())
            for (const char* measure : kMeasures) {
                const double* large = CpuTime(RunName(measure, pair.large));
                const double* twin = CpuTime(RunName(measure, pair.twin));
                if (!large || !twin) continue;
                std::printf("%s: %s %.2f us, %s %.2f us, ", measure, pair.large.name, *large, pair.twin.name, *twin);
                PrintRatio(*large / *twin, kMaxRatio);
            }
    }
};

} // namespace

int main(int argc, char** argv) {
    Register();
    CTwinReporter reporter;
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}
