// Particles simulated and drawn per second with 10k and 100k live particles:
// the simulation alone (motion and life), then whole frames queued into the
// recording driver and drawn by the OpenGL driver. A frame of 100k particles
// updated and queued should take under 10 ms on one core, updated alone
// under 5 ms; the run ends with both figures against those targets. Each
// frame runs under the application's particle limits, as the frame loop
// sets them; at 100k particles the queued frame runs with the limits lifted
// too, and alternating with and without them on one scene (counters
// "limited_ms", "lifted_ms" and their "ratio": the limits should cost under
// 5%).

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "app/Application.h"
#include "graphics/DefaultStates.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "particles/engine/ParticleSystem.h"
#include "particles/library/ParticleRandom.h"
#include "ParticleLimits.h"
#include "TargetReporter.h"
#include "support/RecordingGraphics.h"
#include "tools/CloudEffect.h"

namespace {

using namespace Engine::Graphics;

constexpr float kStep = 1.0f / 60.0f;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

// One effect at its steady number of particles, drawn through a driver.
class CParticleScene {
public:
    CParticleScene(CGraphics* graphics, int live) : m_system(graphics) {
        m_system.GetLibrary().Init(&m_system.GetGraphicsBinding());
        const std::vector<uint8_t> bytes = Tools::WriteCloudEffect(live);
        Engine::CMemoryFile file(bytes.data(), bytes.size());
        m_file = m_system.GetLibrary().Read(file, "");
        m_emitter = m_file->CreateEmitter("Cloud");
        VexaParticles::ParticleRandomSeed(VexaParticles::GetParticleRandomGenerator(), 1);
        for (int i = 0; i < 90; ++i) Step();
    }
    ~CParticleScene() {
        m_emitter.reset();
        m_file.reset();
    }

    // A frame of one step, as the application's frame loop makes it.
    void Step() {
        m_system.StartFrame();
        m_system.StartStep();
        m_emitter->Move(m_time, kStep);
        m_time += kStep;
        m_emitter->Update(m_time, kStep, kWidth / 2, kHeight / 2, 0, 1);
    }
    int32_t Render() { return m_emitter->RenderAll(); }
    uint32_t Live() const { return m_emitter->GetParticleCount(); }
    Engine::Particles::CParticleSystem& GetSystem() { return m_system; }

private:
    Engine::Particles::CParticleSystem m_system;
    std::unique_ptr<VexaParticles::CVexaFile> m_file;
    std::unique_ptr<VexaParticles::CVexaParticleEmitter> m_emitter;
    float m_time = 0;
};

void Report(benchmark::State& state, uint64_t particles) {
    state.counters["particles/s"] = benchmark::Counter(double(particles), benchmark::Counter::kIsRate);
    state.counters["live"] = double(particles) / double(state.iterations());
}

void BM_Simulate(benchmark::State& state) {
    Testing::CRecordingGraphics driver;
    CParticleScene scene(&driver, int(state.range(0)));
    uint64_t particles = 0;
    for (auto _ : state) {
        scene.Step();
        particles += scene.Live();
    }
    Report(state, particles);
}

// The recording driver over the back buffer whose area the draw limit weighs.
class CRecordingScreen : public Testing::CRecordingGraphics {
public:
    CRecordingScreen() {
        GetParams().width = kWidth;
        GetParams().height = kHeight;
    }
};

void SimulateAndQueue(benchmark::State& state, bool limited) {
    CRecordingScreen driver;
    CParticleScene scene(&driver, int(state.range(0)));
    ParticleLimits::Use(scene.GetSystem(), limited);
    uint64_t particles = 0;
    for (auto _ : state) {
        scene.Step();
        particles += uint64_t(scene.Render());
        driver.Clear();
    }
    Report(state, particles);
}

void BM_SimulateAndQueue(benchmark::State& state) { SimulateAndQueue(state, true); }
void BM_SimulateAndQueueLifted(benchmark::State& state) { SimulateAndQueue(state, false); }

// Frames with and without the limits in turn: the scene and the machine's
// state are shared, so the ratio shows the limits' cost alone. The timed
// part is the step and the queueing; dropping the recorded copies is not.
void BM_SimulateAndQueueLimits(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    CRecordingScreen driver;
    CParticleScene scene(&driver, int(state.range(0)));
    double seconds[2] = {};  // lifted, limited
    int64_t frames[2] = {};
    for (auto _ : state) {
        const bool limited = frames[0] == frames[1];
        ParticleLimits::Use(scene.GetSystem(), limited);
        const Clock::time_point start = Clock::now();
        scene.Step();
        benchmark::DoNotOptimize(scene.Render());
        seconds[limited] += std::chrono::duration<double>(Clock::now() - start).count();
        ++frames[limited];
        driver.Clear();
    }
    const double limitedMs = seconds[1] * 1000.0 / double(frames[1]);
    const double liftedMs = seconds[0] * 1000.0 / double(frames[0]);
    state.counters["limited_ms"] = limitedMs;
    state.counters["lifted_ms"] = liftedMs;
    state.counters["ratio"] = limitedMs / liftedMs;
}

void BM_SimulateAndDrawOpenGL(benchmark::State& state) {
    CGraphicsParams params;
    ResetGraphicsParams(params);
    params.width = kWidth;
    params.height = kHeight;
    Engine::CApplication app;
    Engine::CApplication* cell = &app;
    CGraphics_OGL driver(&cell);
    if (!driver.Create("bench", &params)) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    uint64_t particles = 0;
    {
        CParticleScene scene(&driver, int(state.range(0)));
        for (auto _ : state) {
            driver.gBeginScene();
            SetDefaultRenderStates(driver);
            driver.gClear(CLEAR_COLOR);
            scene.Step();
            particles += uint64_t(scene.Render());
            driver.gEndScene();
            driver.gFlipBuffers();
            uint32_t pixel;
            glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
            benchmark::DoNotOptimize(pixel);
        }
    }
    driver.Destroy();
    Report(state, particles);
}

BENCHMARK(BM_Simulate)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulateAndQueue)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulateAndQueueLifted)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulateAndQueueLimits)->Arg(100000)->Unit(benchmark::kMillisecond);
// The GL implementation works on threads of its own: frames on the wall clock.
BENCHMARK(BM_SimulateAndDrawOpenGL)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    // The recording driver copies every queued vertex (11 MB a frame at
    // 100k particles) and the frame frees the copies. Without this the
    // allocator hands those pages back to the system each frame and the
    // next frame pays a page fault for each again: a cost of the
    // recording, which a real driver does not have.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    BenchTargets::CTargetReporter reporter({
        {"BM_Simulate/100000", "", 1.0, "ms per frame", 5.0, true, "100k particles updated"},
        {"BM_SimulateAndQueue/100000", "", 1.0, "ms per frame", 10.0, true, "100k particles updated and queued"},
        {"BM_SimulateAndQueueLimits/100000", "ratio", 1.0, "x", 1.05, true,
         "100k particles updated and queued: limited over lifted"},
    });
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}
