#pragma once
// What the benchmarks of the whole program share: a folder holding a demo
// pack and windowed settings, and the screensaver run in it on one driver
// until a hook at a present says to quit.
//
// Headless machines run them with SDL_VIDEODRIVER=offscreen (set by default
// when there is no display).

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "placefile/PlaceFileManager.h"
#include "shell/ProgramStartup.h"
#include "shell/ScreensaverApplication.h"
#include "tools/DemoData.h"
#include "tools/PakWriter.h"

namespace ScreensaverRun {

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
inline Engine::CGraphicsDriverTable OnlyDriver(const std::string& name, const std::function<bool()>& quitNow) {
    using namespace Engine::Graphics;
    const std::map<std::string, CDriverMaker> makers = {{"D3D8", Presenting<CGraphics_D3D8>(quitNow)},
                                                       {"OpenGL", Presenting<CGraphics_OGL>(quitNow)},
                                                       {"D3D7", Presenting<CGraphics_D3D7>(quitNow)},
                                                       {"SFTW", Presenting<CGraphics_SFTW>(quitNow)}};
    Engine::CGraphicsDriverTable drivers = Engine::GetDefaultDriverTable();
    for (Engine::CGraphicsDriverEntry& entry : drivers)
        entry.create = entry.key == name ? makers.at(name) : CDriverMaker();
    return drivers;
}

// A folder with the pack as "demo.pak" and windowed settings; the runs
// start in it while it lives.
class CDemoFolder {
public:
    explicit CDemoFolder(const Tools::CPakWriter& pack)
        : m_root(std::filesystem::temp_directory_path() / ("mosark-bench-" + std::to_string(::getpid()))) {
        // What the program registers before main: the scenes' generated
        // classes and the types their archives name.
        static const Engine::CProgramStartup s_startup;
        ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
        const std::filesystem::path settings = m_root / "config" / "Talvorn" / "Mosark";
        std::filesystem::create_directories(settings);
        pack.Save((m_root / "demo.pak").string());
        std::ofstream(settings / "Settings.xml") << Tools::DemoSettingsXml();
        ::setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (m_root / "state").c_str(), 1);
        std::filesystem::current_path(m_root);
        Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
    }
    ~CDemoFolder() {
        std::error_code error;
        std::filesystem::current_path(m_root.parent_path(), error);
        std::filesystem::remove_all(m_root, error);
    }
    CDemoFolder(const CDemoFolder&) = delete;
    CDemoFolder& operator=(const CDemoFolder&) = delete;

private:
    std::filesystem::path m_root;
};

// Runs the screensaver, in the demo folder made last, on the driver until
// quit(app) is true at a present.
inline void RunScreensaver(const std::function<bool(const Engine::CScreensaverApplication&)>& quit,
                           const std::string& driver) {
    Engine::CScreensaverApplication* running = nullptr;
    Engine::CScreensaverApplication app(OnlyDriver(driver, [&] { return quit(*running); }));
    running = &app;
    app.Run();
}

// Whether a scene shows: loading is over and one was chosen.
inline bool SceneShows(const Engine::CScreensaverApplication& app) {
    return !app.IsLoading() && app.GetCurrentScene() != nullptr;
}

} // namespace ScreensaverRun
