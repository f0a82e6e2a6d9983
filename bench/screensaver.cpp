// The screensaver on the demo data through the OpenGL driver: the time from
// start to the first presented frame (the loading screen; target under
// 0.5 s) and to the first frame after loading (target under 2 s), and the
// resident memory after 1,000 and 10,000 frames (target under 200 MB, the
// same at both). Then, on each driver, the frame time of each background
// scene: one update step, the drawing and the present, in milliseconds
// (counters "bg1_ms" and on).
//
// Headless machines run it with SDL_VIDEODRIVER=offscreen (set by default
// when there is no display).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "ScreensaverRun.h"
#include "app/FixedStepClock.h"
#include "platform/Testing.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Runs the screensaver on the demo data, on the driver until quit(app) is
// true at a present.
void RunScreensaver(const std::function<bool(const Engine::CScreensaverApplication&)>& quit,
                    const std::string& driver = "OpenGL") {
    static const ScreensaverRun::CDemoFolder folder(Tools::MakeDemoPack(MOSARK_DEMO_FONT));
    ScreensaverRun::RunScreensaver(quit, driver);
}

// Timed from start to the first present that quit accepts.
void TimeToFrame(benchmark::State& state, const std::function<bool(const Engine::CScreensaverApplication&)>& quit) {
    for (auto _ : state) {
        Clock::time_point reached;
        const Clock::time_point start = Clock::now();
        RunScreensaver([&](const Engine::CScreensaverApplication& app) {
            if (!quit(app)) return false;
            reached = Clock::now();
            return true;
        });
        state.SetIterationTime(std::chrono::duration<double>(reached - start).count());
    }
}

void BM_StartToLoadingScreen(benchmark::State& state) {
    TimeToFrame(state, [](const Engine::CScreensaverApplication&) { return true; });
}

void BM_StartToLoadedFrame(benchmark::State& state) {
    TimeToFrame(state, [](const Engine::CScreensaverApplication& app) { return !app.IsLoading(); });
}

double ResidentMegabytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void BM_ResidentMemory(benchmark::State& state) {
    for (auto _ : state) {
        int frames = 0;
        double at1000 = 0.0;
        RunScreensaver([&](const Engine::CScreensaverApplication& app) {
            if (app.IsLoading()) return false;
            ++frames;
            if (frames == 1000) at1000 = ResidentMegabytes();
            return frames == 10000;
        });
        state.counters["MB_at_1000"] = at1000;
        state.counters["MB_at_10000"] = ResidentMegabytes();
    }
}

// Each scene on the test clock: a step per frame for the frames timed, then
// long strides (within the frame loop's limit) to the next scene.
void BM_SceneFrameTime(benchmark::State& state, const std::string& driver) {
    constexpr int kWarmUpFrames = 5, kTimedFrames = 100;
    constexpr int64_t kStrideUs = 99 * Engine::CFixedStepClock::kStepMicroseconds;
    for (auto _ : state) {
        Platform::Testing::UseTestClock(1'000'000);
        std::map<std::string, double> seconds;  // by scene, over the timed frames
        std::string scene;
        int frames = 0;
        Clock::time_point last = Clock::now();
        RunScreensaver(
            [&](const Engine::CScreensaverApplication& app) {
                const Clock::time_point now = Clock::now();
                const std::string shown = app.GetCurrentScene() ? app.GetCurrentScene()->GetName().str() : "";
                if (shown != scene) {
                    if (!shown.empty() && seconds.count(shown)) return true;  // every scene timed
                    scene = shown;
                    frames = 0;
                }
                if (!scene.empty() && ++frames > kWarmUpFrames && frames <= kWarmUpFrames + kTimedFrames)
                    seconds[scene] += std::chrono::duration<double>(now - last).count();
                const bool timing = scene.empty() || frames < kWarmUpFrames + kTimedFrames;
                Platform::Testing::AdvanceTestClock(timing ? Engine::CFixedStepClock::kStepMicroseconds : kStrideUs);
                last = Clock::now();
                return false;
            },
            driver);
        Platform::Testing::UseRealClock();
        for (const auto& [name, total] : seconds) {
            const std::string key = fs::path(name).stem().string() + "_ms";
            state.counters[key] = total * 1000.0 / kTimedFrames;
        }
    }
}

BENCHMARK(BM_StartToLoadingScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StartToLoadedFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ResidentMemory)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_SceneFrameTime, D3D8, std::string("D3D8"))->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_SceneFrameTime, OpenGL, std::string("OpenGL"))->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_SceneFrameTime, D3D7, std::string("D3D7"))->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_SceneFrameTime, SFTW, std::string("SFTW"))->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
