// The screensaver on the demo data through the OpenGL driver: the time from
// start to the first presented frame (the loading screen; target under
// 0.5 s) and to the first frame after loading (target under 2 s), and the
// resident memory after 1,000 and 10,000 frames (target under 200 MB, the
// same at both).
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
#include <memory>

#include "app/shell/ScreensaverApplication.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "placefile/PlaceFileManager.h"
#include "tools/DemoData.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Quits when the hook says so at a present.
class COpenGLPresents : public Engine::Graphics::CGraphics_OGL {
public:
    using CGraphics_OGL::CGraphics_OGL;
    std::function<bool()> quitNow;

    void gFlipBuffers() override {
        CGraphics_OGL::gFlipBuffers();
        if (quitNow()) RequestQuit();
    }
};

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

// Runs the screensaver until quit(app) is true at a present.
void RunScreensaver(const std::function<bool(const Engine::CScreensaverApplication&)>& quit) {
    static CDemoFolder folder;
    Engine::CScreensaverApplication* running = nullptr;
    Engine::CGraphicsDriverTable drivers = Engine::GetDefaultDriverTable();
    for (Engine::CGraphicsDriverEntry& entry : drivers) {
        if (std::string(entry.name) != "OpenGL") continue;
        entry.create = [&](Engine::CApplication** app) -> std::unique_ptr<Engine::Graphics::CGraphics> {
            auto driver = std::make_unique<COpenGLPresents>(app);
            driver->quitNow = [&] { return quit(*running); };
            return driver;
        };
    }
    Engine::CScreensaverApplication app(drivers);
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

BENCHMARK(BM_StartToLoadingScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StartToLoadedFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ResidentMemory)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
