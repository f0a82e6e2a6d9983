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
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/FixedStepClock.h"
#include "shell/ProgramStartup.h"
#include "shell/ScreensaverApplication.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "placefile/PlaceFileManager.h"
#include "platform/Testing.h"
#include "tools/DemoData.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// What the program registers before main: the scenes' generated classes
// and the types their archives name.
const Engine::CProgramStartup g_startup;

// Quits when the hook says so at a present.
template <class Driver>
class CPresents : public Driver {
public:
    CPresents(Engine::CApplication** app, std::function<bool()> quitNow) : Driver(app), m_quitNow(std::move(quitNow)) {}

    void gFlipBuffers() override {
        Driver::gFlipBuffers();
        if (m_quitNow()) this->RequestQuit();
    }

private:
    std::function<bool()> m_quitNow;
};

using CDriverMaker = std::function<std::unique_ptr<Engine::Graphics::CGraphics>(Engine::CApplication**)>;

template <class Driver>
CDriverMaker Presenting(const std::function<bool()>& quitNow) {
    return [quitNow](Engine::CApplication** app) { return std::make_unique<CPresents<Driver>>(app, quitNow); };
}

// The named driver of the table; the others make nothing.
Engine::CGraphicsDriverTable OnlyDriver(const std::string& name, const std::function<bool()>& quitNow) {
    using namespace Engine::Graphics;
    const std::map<std::string, CDriverMaker> makers = {{"D3D8", Presenting<CGraphics_D3D8>(quitNow)},
                                                       {"OpenGL", Presenting<CGraphics_OGL>(quitNow)},
                                                       {"D3D7", Presenting<CGraphics_D3D7>(quitNow)},
                                                       {"SFTW", Presenting<CGraphics_SFTW>(quitNow)}};
    Engine::CGraphicsDriverTable drivers = Engine::GetDefaultDriverTable();
    for (Engine::CGraphicsDriverEntry& entry : drivers)
        entry.create = entry.name == name ? makers.at(name) : CDriverMaker();
    return drivers;
}

// A folder with the demo pack and windowed settings, made once; the runs
// start in it.
class CDemoFolder {
public:
    CDemoFolder() : m_root(fs::temp_directory_path() / ("mosark-bench-" + std::to_string(::getpid()))) {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
        const fs::path settings = m_root / "config" / "Talvorn" / "Mosark";
        fs::create_directories(settings);
        Tools::MakeDemoPack(MOSARK_DEMO_FONT).Save((m_root / "demo.pak").string());
        std::ofstream(settings / "Settings.xml") << Tools::DemoSettingsXml();
        ::setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (m_root / "state").c_str(), 1);
        fs::current_path(m_root);
        Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
    }
    ~CDemoFolder() {
        std::error_code error;
        fs::remove_all(m_root, error);
    }

private:
    fs::path m_root;
};

// Runs the screensaver on the driver until quit(app) is true at a present.
void RunScreensaver(const std::function<bool(const Engine::CScreensaverApplication&)>& quit,
                    const std::string& driver = "OpenGL") {
    static CDemoFolder folder;
    Engine::CScreensaverApplication* running = nullptr;
    Engine::CScreensaverApplication app(OnlyDriver(driver, [&] { return quit(*running); }));
    running = &app;
    app.Run();
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
