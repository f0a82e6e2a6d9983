// capture <font.ttf> <folder>: runs the screensaver on the demo data, once
// per background scene, and its settings window, headless on the OpenGL
// driver and the test clock, and writes what the driver presented at a
// fixed application time as <folder>/bg1.png ... bg6.png and
// <folder>/settings.png. `cmake --build build --target capture_docs` runs it
// into docs/.
// capture <font.ttf> <folder> <data folder> <seconds>...: runs it on the pack
// mkdemo wrote into the data folder, in frames of 0.1 s from the end of the
// loading, and writes the picture presented the given seconds after that
// as <folder>/at<seconds>.png, one run each.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>
#include <cmath>

#include "app/Application.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "particles/library/ParticleRandom.h"
#include "placefile/PlaceFileManager.h"
#include "platform/Testing.h"
#include "shell/EntryPoint.h"
#include "shell/ProgramStartup.h"
#include "shell/ScreensaverApplication.h"
#include "tools/DemoData.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/ImageWriter.h"

namespace fs = std::filesystem;

namespace {

const Engine::CProgramStartup g_startupRegistration;

constexpr int kScenes = 6;
// The scenes are taken at 70 s of application time: past the first change
// of scene (a minute), so that the notice shows the first hint rather than
// a greeting that depends on the hour; 10 s into the 20 s loop of the
// scene, which runs on the application time. A second a frame up to
// the last second, then 50 ms a frame, so that the particles move as they
// do on screen. The settings window is taken once it has drawn a few frames.
constexpr int64_t kLongFrameUs = 1'000'000, kFrameUs = 50'000;
constexpr int kLongFrames = 69;
constexpr int kSceneFrames = kLongFrames + 20;
constexpr int kSettingsFrames = 5;
// A data folder's case: frames of 0.1 s from the first.
constexpr int64_t kCaseFrameUs = 100'000;

// The OpenGL driver, keeping the picture of the frame `frames` presents
// after the loading screen and ending the run there.
class CCaptureDriver : public Engine::Graphics::CGraphics_OGL {
public:
    CCaptureDriver(Engine::CApplication** application, std::function<bool()> loading, int frames,
                   int longFrames, int64_t frameUs, std::vector<uint32_t>& picture, int& width, int& height)
        : CGraphics_OGL(application), m_loading(std::move(loading)), m_frames(frames), m_longFrames(longFrames),
          m_frameUs(frameUs), m_picture(picture), m_width(width), m_height(height) {}

    void gFlipBuffers() override {
        CGraphics_OGL::gFlipBuffers();
        const bool loading = m_loading();
        Platform::Testing::AdvanceTestClock(!loading && m_shown < m_longFrames ? kLongFrameUs : m_frameUs);
        if (loading || ++m_shown < m_frames) return;
        Platform::Testing::ReadWindowPicture(GetApplication()->m_hWnd, m_picture, m_width, m_height);
        RequestQuit();
    }

private:
    std::function<bool()> m_loading;
    int m_frames;
    int m_longFrames;
    int64_t m_frameUs;
    int m_shown = 0;
    std::vector<uint32_t>& m_picture;
    int& m_width;
    int& m_height;
};

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// A private set of folders for one run, holding the pack `save` writes to the path it is given.
fs::path PrepareRun(const fs::path& root, const std::function<bool(const std::string&)>& save) {
    fs::remove_all(root);
    const fs::path settings = root / "config" / "Talvorn" / "Mosark";
    fs::create_directories(root / "data");
    if (!save((root / "data" / "demo.pak").string())) throw std::runtime_error("cannot write the pack");
    WriteText(settings / "Settings.xml", Tools::DemoSettingsXml());
    WriteText(settings / "StartupPath", (root / "data").string());
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
    return root;
}

fs::path PrepareRun(const fs::path& root, const Tools::CPakWriter& pack) {
    return PrepareRun(root, [&pack](const std::string& path) { return pack.Save(path); });
}

// The particles' generator seeds itself from the processor time once: a
// fixed seed at every run makes the sparkles the same each time.
void SeedParticles() {
    constexpr uint32_t kSeed = 1;
    VexaParticles::ParticleRandomGenerator& random = VexaParticles::GetParticleRandomGenerator();
    random.cursorA = 0;
    random.cursorB = 1;
    VexaParticles::ParticleRandomSeed(random, kSeed);
}

// Runs the program with the command line and writes the picture kept after
// `frames` frames, the first `longFrames` of a second, the rest of `frameUs`.
void Capture(const char* commandLine, int frames, int longFrames, int64_t frameUs, const fs::path& output) {
    SeedParticles();
    Platform::Testing::Reset();
    Platform::Testing::UseTestClock(1'000'000);
    Platform::Testing::KeepSwappedPictures(true);
    std::vector<uint32_t> picture;
    int width = 0, height = 0;
    Engine::CScreensaverApplication* app = nullptr;
    const auto loading = [&app] { return app->IsLoading() && !app->GetCommandLine().view().starts_with("/c"); };
    Engine::RunApplicationPasses(commandLine, [&]() -> std::unique_ptr<Engine::CStdApplication> {
        auto made = std::make_unique<Engine::CScreensaverApplication>(Engine::CGraphicsDriverTable{
            {"OpenGL", "OpenGL", [&](Engine::CApplication** application) {
                 return std::make_unique<CCaptureDriver>(application, loading, frames, longFrames, frameUs, picture,
                                                         width, height);
             }}});
        app = made.get();
        return made;
    });
    Platform::Testing::Reset();
    if (picture.empty()) throw std::runtime_error("no picture presented for " + output.string());
    Tools::CPngImage png{uint32_t(width), uint32_t(height), Tools::EPngColour::RGB, 8, false, {}, {}, {}};
    for (const uint32_t pixel : picture) png.samples.insert(png.samples.end(), {uint16_t(pixel >> 16 & 0xFF), uint16_t(pixel >> 8 & 0xFF), uint16_t(pixel & 0xFF)});
    const std::vector<uint8_t> bytes = Tools::WritePng(png);
    std::ofstream(output, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    std::printf("%s: %dx%d\n", output.c_str(), width, height);
}

} // namespace

// The pack mkdemo wrote into `data`, captured at each time of `seconds`.
void CaptureCase(const fs::path& root, const fs::path& data, std::span<char* const> seconds, const fs::path& folder) {
    std::ifstream in(data / "demo.pak", std::ios::binary);
    const std::vector<uint8_t> pack{std::istreambuf_iterator<char>(in), {}};
    if (pack.empty()) throw std::runtime_error("no pack in " + data.string());
    for (const char* at : seconds) {
        const double time = std::stod(at);
        if (!(time >= 0.0 && time < 3600.0)) throw std::runtime_error(std::string("not a time: ") + at);
        fs::current_path(PrepareRun(root, [&pack](const std::string& path) {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(pack.data()), std::streamsize(pack.size()));
            return bool(out.flush());
        }));
        const int frames = 1 + int(std::lround(time * 1e6 / double(kCaseFrameUs)));
        Capture("/s", frames, 0, kCaseFrameUs, folder / ("at" + std::string(at) + ".png"));
    }
}

int main(int argc, char** argv) {
    if (argc == 4 || argc < 3) {
        std::fprintf(stderr, "usage: %s <font.ttf> <folder> [<data folder> <seconds>...]\n", argv[0]);
        return 2;
    }
    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    try {
        Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
        const fs::path folder = fs::absolute(argv[2]);
        fs::create_directories(folder);
        const fs::path root = fs::temp_directory_path() / ("mosark-capture-" + std::to_string(::getpid()));
        if (argc > 4) {
            CaptureCase(root, fs::absolute(argv[3]), {argv + 4, size_t(argc - 4)}, folder);
            fs::current_path(folder);
            fs::remove_all(root);
            return 0;
        }
        for (int scene = 1; scene <= kScenes; ++scene) {
            Tools::CPakWriter pack = Tools::MakeDemoPack(argv[1], false);
            Tools::AddDemoScene(pack, scene);
            fs::current_path(PrepareRun(root, pack));
            Capture("/s", kSceneFrames, kLongFrames, kFrameUs, folder / ("bg" + std::to_string(scene) + ".png"));
        }
        fs::current_path(PrepareRun(root, Tools::MakeDemoPack(argv[1], false)));
        Capture("/c", kSettingsFrames, kLongFrames, kFrameUs, folder / "settings.png");
        fs::current_path(folder);
        fs::remove_all(root);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "capture: %s\n", e.what());
        return 1;
    }
}
