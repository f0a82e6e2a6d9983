#include "shell/ShellTestSupport.h"

#include <unistd.h>

#include <sstream>

#include "app/Application.h"
#include "particles/library/ParticlePool.h"
#include "placefile/PlaceFileManager.h"
#include "platform/MessageBox.h"
#include "shell/ProgramStartup.h"
#include "tools/DemoData.h"

namespace ShellTesting {

CFrameDriver::~CFrameDriver() {
    if (callsOut) *callsOut = Names();
}

bool CFrameDriver::Create(const char* title, CGraphicsParams* params) {
    CRecordingGraphics::Create(title, params);
    if (failCreate) return false;
    if (Engine::CApplication* app = GetApplication(); app) app->OnActivate(true);
    return true;
}

void CFrameDriver::gFlipBuffers() {
    CRecordingGraphics::gFlipBuffers();
    ++frames;
    if (onPresent) onPresent(*this);
    // A test that never ends its loop fails instead of hanging.
    if (frames > 10000) {
        ADD_FAILURE() << "the main loop did not end";
        RequestQuit();
    }
}

Engine::CGraphicsDriverTable DriversWithOpenGL(
    std::function<std::unique_ptr<CGraphics>(Engine::CApplication**)> openGL) {
    Engine::CGraphicsDriverTable table = Engine::GetDefaultDriverTable();
    for (Engine::CGraphicsDriverEntry& entry : table) {
        if (std::string(entry.key) == "OpenGL")
            entry.create = std::move(openGL);
        else
            entry.create = [](Engine::CApplication**) { return std::unique_ptr<CGraphics>(); };
    }
    return table;
}

Engine::CGraphicsDriverTable ShellTest::FrameDrivers(int frames, int64_t stepUs) {
    return DriversWithOpenGL([this, frames, stepUs](Engine::CApplication** app) {
        auto driver = std::make_unique<CFrameDriver>(app);
        driver->callsOut = &driverCalls;
        driver->onPresent = [this, frames, stepUs](CFrameDriver& d) {
            Platform::Testing::AdvanceTestClock(stepUs);
            if (onPresent) onPresent(d);
            if (d.frames >= frames) d.RequestQuit();
        };
        return driver;
    });
}

void ShellTest::SetUp() {
    Platform::Testing::Reset();
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    for (char& c : name)
        if (c == '/' || c == '*') c = '_';  // parameterised names
    root = fs::temp_directory_path() / ("mosark-shell-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(root);
    fs::create_directories(root / "data");
    fs::create_directories(root / "run");
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
    previousDirectory = fs::current_path();
    fs::current_path(root / "data");
    GetLog().SetSink([this](std::string_view text) { log.append(text); });
    Platform::Testing::SetMessageBoxHandler([this](const std::string& text, const std::string& caption, UINT) {
        boxes.push_back(CBox{text, caption});
        return IDOK;
    });
    Platform::Testing::UseTestClock(1'000'000);
}

void ShellTest::TearDown() {
    // The particle pool is the process's: a record or copy a run leaves in
    // use would shrink the pool of every test after it.
    EXPECT_EQ(VexaParticles::GetFreeParticleCount(), VexaParticles::GetParticleRecordCount())
        << "particle records left in use";
    EXPECT_EQ(VexaParticles::GetSubEmitterCopyCount(), 0u) << "sub-emitter copies left attached";
    GetLog().SetSink(nullptr);
    GetLog().Close();
    Engine::GetDataPacks().CloseAll();
    Engine::CFile::SetDiskRoot("");
    fs::current_path(previousDirectory);
    Platform::Testing::Reset();
    std::error_code error;
    fs::remove_all(root, error);
}

::testing::AssertionResult ShellTest::LogHasInOrder(const std::vector<std::string>& texts) const {
    size_t at = 0;
    for (const std::string& text : texts) {
        const size_t found = log.find(text, at);
        if (found == std::string::npos)
            return ::testing::AssertionFailure() << "'" << text << "' missing or out of order in:\n" << log;
        at = found + text.size();
    }
    return ::testing::AssertionSuccess();
}

void ShellTest::WriteFile(const fs::path& path, const std::string& text) const {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

void ShellTest::UseDemoData(const std::string& driver, bool withScenes) {
    UseDemoPack(driver, Tools::MakeDemoPack(MOSARK_DEMO_FONT, withScenes));
}

void ShellTest::UseDemoPack(const std::string& driver, const Tools::CPakWriter& pack) {
    ASSERT_TRUE(pack.Save((root / "data" / "demo.pak").string()));
    WriteFile(SettingsFolder() / "StartupPath", (root / "data").string());
    WriteFile(SettingsFolder() / "Settings.xml",
              "<settings><graphics driver=\"" + driver + "\" fullscreen=\"Off\" bpp32=\"On\"/></settings>");
    fs::current_path(root);
}

void ShellTest::ReadLogFile() {
    std::ifstream file(LogFolder() / "screensaver.log");
    std::stringstream text;
    text << file.rdbuf();
    log = text.str();
}

void ScreensaverShellTest::SetUp() {
    ShellTest::SetUp();
    static const Engine::CProgramStartup s_startup;
    Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
}

} // namespace ShellTesting
