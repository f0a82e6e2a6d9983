#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "app/Config.h"
#include "app/File.h"
#include "app/TestFiles.h"

#include "app/NamedMutex.h"
#include "shell/StdApplication.h"
#include "controls/ControlsManager.h"
#include "graphics/SpriteQueue.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "placefile/PlaceParticles.h"
#include "platform/Direct3D8.h"
#include "platform/Testing.h"
#include "shell/ShellTestSupport.h"

using namespace ShellTesting;

namespace {

using Engine::Graphics::CSpriteQueue;

class CTestApplication : public Engine::CStdApplication {
public:
    using CStdApplication::CStdApplication;

    std::vector<std::string> events;
    std::vector<double> updates;  // step start times
    std::function<bool()> onInit = [] { return true; };
    bool driverAliveAtDone = false;
    bool particlesReadyAtDone = false;
    bool placeFilesGetEffectFiles = false;

protected:
    bool OnInit() override {
        events.push_back("OnInit");
        return onInit();
    }
    void OnDone() override {
        events.push_back("OnDone");
        driverAliveAtDone = GetGraphicsDriver() != nullptr;
        particlesReadyAtDone = GetParticleSystem() && GetParticleSystem()->GetLibrary().GetVertexBuffer();
        const auto factory = Engine::Graphics::PlaceFile::GetPlaceParticleFactory();
        placeFilesGetEffectFiles = factory && factory(GetGraphicsDriver());
    }
    void Update(double time, double step) override {
        updates.push_back(time);
        EXPECT_DOUBLE_EQ(step, 0.033333);
    }
    void Draw() override {
        GetGraphicsDriver()->gClear(Engine::Graphics::CLEAR_COLOR);
        CSpriteQueue::QueueSpriteAtSizeF(CSpriteQueue::CParams{}, CSpriteQueue::GetEmptySprite(), 10, 10, 20, 20,
                                         0xFF00FF00u);
    }
};

using StdApplicationTest = ShellTest;

TEST_F(StdApplicationTest, FixedStepsThenOneDrawnFramePerLoop) {
    CTestApplication app(FrameDrivers(3, 100'000));
    bool queueWhileRunning = false, queueMadeBeforeTheFirstScene = false;
    onPresent = [&](CFrameDriver& d) {
        queueWhileRunning = CSpriteQueue::IsInitialised();
        if (d.frames == 1) {
            const std::vector<std::string> calls = d.Names();
            const auto at = [&](const char* name) { return std::find(calls.begin(), calls.end(), name); };
            queueMadeBeforeTheFirstScene = at("CreateVertexBuffer") < at("gBeginScene");
            d.Clear();
        }
        if (d.frames == 2) app.OnAltEnter();
    };
    ASSERT_EQ(app.Run(), 0);
    // Frame 1 finds no time passed; frames 2 and 3 get 100,000 us each:
    // three steps and a carried microsecond.
    const std::vector<double> expected{0.0, 0.033333, 0.066666, 0.099999, 0.133332, 0.166665};
    ASSERT_EQ(app.updates.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(app.updates[i], expected[i]) << i;
    // Frame 2 as the driver saw it (the recording was cleared after frame 1):
    // the sprite queue is flushed before the scene ends.
    const std::vector<std::string> frame(driverCalls.begin(),
                                         std::find(driverCalls.begin(), driverCalls.end(), "gFlipBuffers") + 1);
    EXPECT_EQ(frame, (std::vector<std::string>{"gBeginScene", "SetOrtho2D", "gSwitch", "gSwitch", "gSwitch", "gSwitch",
                                               "gSetBlendFunc", "gSetCullMode", "gClear", "gSetTextureStage", "gDraw",
                                               "gEndScene", "gFlipBuffers"}));
    // Alt+Enter is served after that frame's drawing.
    EXPECT_NE(std::find(driverCalls.begin(), driverCalls.end(), "ChangeVideoMode"), driverCalls.end());
    // Teardown in reverse: the application and the sprite queue before the
    // driver, the configuration saved last.
    EXPECT_EQ(app.events, (std::vector<std::string>{"OnInit", "OnDone"}));
    EXPECT_TRUE(app.driverAliveAtDone);
    // The particle system comes with the graphics window and goes before it.
    EXPECT_TRUE(app.particlesReadyAtDone);
    EXPECT_TRUE(app.placeFilesGetEffectFiles);
    EXPECT_EQ(app.GetParticleSystem(), nullptr);
    EXPECT_TRUE(queueWhileRunning && queueMadeBeforeTheFirstScene);
    EXPECT_FALSE(CSpriteQueue::IsInitialised());
    EXPECT_EQ(CSpriteQueue::GetDriver(), nullptr);
    EXPECT_EQ(driverCalls.back(), "Destroy");
    EXPECT_TRUE(LogHasInOrder({"[Main Loop end]", "[Shutting Down begin]", "Saving Configuration"}));
    EXPECT_TRUE(fs::exists(SettingsFolder() / "screensaver.cfg"));
}

TEST_F(StdApplicationTest, OneRootTimeBaseLivesAsLongAsTheApplication) {
    Engine::ref_ptr<Engine::KeyFramer::CEndlessTimeSpan> kept;
    {
        CTestApplication app(FrameDrivers(2, 100'000));
        Engine::CApplication& base = app;
        kept = base.GetTimeBase();
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->GetParent(), nullptr);
        EXPECT_EQ(kept->GetStart(), 0.0);
        EXPECT_EQ(kept->GetSpanStart(), 0.0);
        EXPECT_EQ(kept->GetSpanEnd(), 0.0);
        ASSERT_EQ(app.Run(), 0);
        EXPECT_EQ(base.GetTimeBase(), kept.get()) << "the same one through start-up and teardown";
        EXPECT_EQ(kept->GetRefCount(), 2);
    }
    EXPECT_EQ(kept->GetRefCount(), 1) << "released with the application";
}

TEST_F(StdApplicationTest, NamedDriverFirstAndFailedDriversUndone) {
    WriteFile(SettingsFolder() / "Settings.xml", "<settings><graphics driver=\"D3D7\" fullscreen=\"Off\" bpp32=\"On\"/></settings>");
    std::vector<std::string> tried, failedCalls;
    Engine::CGraphicsDriverTable drivers = FrameDrivers(1, 0);  // only "OpenGL" makes a driver
    drivers[2].create = [&](Engine::CApplication** app) {
        auto driver = std::make_unique<CFrameDriver>(app);
        driver->failCreate = true;
        driver->callsOut = &failedCalls;
        return std::unique_ptr<CGraphics>(std::move(driver));
    };
    for (Engine::CGraphicsDriverEntry& entry : drivers)
        entry.create = [&tried, name = entry.key, make = entry.create](Engine::CApplication** app) {
            tried.push_back(name);
            return make(app);
        };
    bool windowed = false;
    int colorBits = 0;
    onPresent = [&](CFrameDriver& d) {
        windowed = d.GetParams().fullScreen == 0;
        colorBits = d.GetParams().colorBits;
    };
    CTestApplication app(std::move(drivers));
    ASSERT_EQ(app.Run(), 0);
    EXPECT_EQ(tried, (std::vector<std::string>{"D3D7", "D3D8", "OpenGL"}));
    EXPECT_EQ(failedCalls, (std::vector<std::string>{"Create", "Destroy"}));
    EXPECT_TRUE(windowed);
    EXPECT_EQ(colorBits, 24);
}

enum EFailure { NoDriver, InitFails, InitThrows };

class StartupFailureTest : public ShellTest, public ::testing::WithParamInterface<EFailure> {};

TEST_P(StartupFailureTest, IsShownAndTornDown) {
    const EFailure failure = GetParam();
    CTestApplication app(failure == NoDriver ? DriversWithOpenGL([](auto) { return std::unique_ptr<CGraphics>(); })
                                             : FrameDrivers(1, 0));
    if (failure == InitFails) app.onInit = [] { return false; };
    if (failure == InitThrows) app.onInit = []() -> bool { throw std::runtime_error("boom"); };
    EXPECT_EQ(app.Execute(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, failure == NoDriver    ? "Unable to Init Graphics Window"
                             : failure == InitFails ? "Unable to Init Application"
                                                    : "Fatal exception occurred.");
    EXPECT_EQ(boxes[0].caption, "Application Error");
    EXPECT_EQ(app.events, (failure == NoDriver ? std::vector<std::string>{} : std::vector<std::string>{"OnInit", "OnDone"}));
    if (failure != NoDriver) {
        EXPECT_EQ(driverCalls.back(), "Destroy");
    }
    EXPECT_EQ(LogHas("Fatal exception : std::exception : boom"), failure == InitThrows);
    EXPECT_EQ(LogHas("Crash report : std::exception : boom"), failure == InitThrows);
}

INSTANTIATE_TEST_SUITE_P(Failures, StartupFailureTest, ::testing::Values(NoDriver, InitFails, InitThrows));

TEST_F(StdApplicationTest, SecondInstanceEndsAtOnce) {
    Engine::CNamedMutex other;
    ASSERT_TRUE(other.Acquire("_GlobalMutex"));
    int made = 0;
    CTestApplication app(DriversWithOpenGL([&](Engine::CApplication**) {
        ++made;
        return std::unique_ptr<CGraphics>();
    }));
    EXPECT_EQ(app.Execute(), 0);
    EXPECT_EQ(made, 0);
    EXPECT_TRUE(LogHas("Another instance is already running"));
}

// The configuration image of the given settings, changed by damage.
std::string ConfigImage(const std::function<void(std::string&)>& damage) {
    Engine::CConfig config;
    config.playAmbientSounds = false;
    config.backgroundChangeSeconds = 300;
    Engine::CMemoryFile file;
    config.Store(file);
    std::string image(reinterpret_cast<const char*>(file.GetData()), file.Size());
    damage(image);
    return image;
}

// Rewrites the checksum at the end of an image whose bytes were changed.
void Reseal(std::string& image) {
    const auto* bytes = reinterpret_cast<const Bytef*>(image.data());
    const uint32_t sum = uint32_t(crc32(crc32(0L, Z_NULL, 0), bytes, uInt(image.size() - 4)));
    for (int i = 0; i < 4; ++i) image[image.size() - 4 + size_t(i)] = char(sum >> (8 * i));
}

struct CConfigFileCase {
    const char* name;
    std::function<void(std::string&)> damage;
    bool loads;
};

class ConfigAtExitTest : public ShellTest, public ::testing::WithParamInterface<CConfigFileCase> {};

// The run saves the settings it loaded; a file that is there but did not
// load stays byte for byte as it was.
TEST_P(ConfigAtExitTest, OnlyALoadedFileIsSavedOver) {
    const fs::path path = SettingsFolder() / "screensaver.cfg";
    const std::string image = ConfigImage(GetParam().damage);
    WriteFile(path, image);
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const auto written = fs::last_write_time(path);
    CTestApplication app(FrameDrivers(2, 100'000));
    ASSERT_EQ(app.Run(), 0);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), image);
    EXPECT_EQ(LogHas("Saving Configuration"), GetParam().loads);
    EXPECT_EQ(fs::last_write_time(path) != written, GetParam().loads) << "saved again only when it loaded";
    EXPECT_EQ(LogHas("is kept as it is"), !GetParam().loads);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConfigAtExitTest,
    ::testing::Values(CConfigFileCase{"Loads", [](std::string&) {}, true},
                      CConfigFileCase{"NewerVersion",
                                      [](std::string& image) {
                                          image[4] = 2;
                                          Reseal(image);
                                      },
                                      false},
                      CConfigFileCase{"WrongSize", [](std::string& image) { image += '\0'; }, false},
                      CConfigFileCase{"BadChecksum", [](std::string& image) { image.back() ^= 1; }, false},
                      CConfigFileCase{"OutOfRange",
                                      [](std::string& image) {
                                          image[21] = 7;  // the change time's low byte
                                          Reseal(image);
                                      },
                                      false}),
    [](const ::testing::TestParamInfo<CConfigFileCase>& info) { return std::string(info.param.name); });

struct CUnreadableConfigCase {
    const char* name;
    std::function<void(const fs::path&)> hinder;  // what keeps the written file from being read
    const char* reason;
};

class UnreadableConfigAtExitTest : public ShellTest, public ::testing::WithParamInterface<CUnreadableConfigCase> {};

// A configuration whose status cannot be read (a failing disk, a network home
// answering ESTALE) or that cannot be opened is there: the run says so and
// leaves it byte for byte as it was.
TEST_P(UnreadableConfigAtExitTest, IsKeptAsItIs) {
    const fs::path path = SettingsFolder() / "screensaver.cfg";
    const std::string image = ConfigImage([](std::string&) {});
    WriteFile(path, image);
    GetParam().hinder(path);
    CTestApplication app(FrameDrivers(2, 100'000));
    ASSERT_EQ(app.Run(), 0);
    Platform::Testing::Reset();
    EXPECT_EQ(TestFiles::ReadFileBytes(path.string()), image);
    EXPECT_TRUE(LogHas("the file exists but could not be read : " + std::string(GetParam().reason))) << log;
    EXPECT_FALSE(LogHas("no configuration file"));
    EXPECT_FALSE(LogHas("Saving Configuration"));
    EXPECT_TRUE(LogHas("is kept as it is"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UnreadableConfigAtExitTest,
    ::testing::Values(
        CUnreadableConfigCase{"StatusEIO", [](const fs::path& p) { Platform::Testing::SetFileError(p.string(), EIO); },
                              "Input/output error"},
        CUnreadableConfigCase{"StatusESTALE",
                              [](const fs::path& p) { Platform::Testing::SetFileError(p.string(), ESTALE); },
                              "Stale file handle"},
        CUnreadableConfigCase{"StatusEACCES",
                              [](const fs::path& p) { Platform::Testing::SetFileError(p.string(), EACCES); },
                              "Permission denied"}),
    [](const ::testing::TestParamInfo<CUnreadableConfigCase>& info) { return std::string(info.param.name); });

TEST_F(StdApplicationTest, AMissingConfigurationIsCreated) {
    CTestApplication app(FrameDrivers(1, 0));
    ASSERT_EQ(app.Run(), 0);
    Engine::CConfig saved;
    saved.playAmbientSounds = false;
    EXPECT_TRUE(saved.Load((SettingsFolder() / "screensaver.cfg").c_str()));
    EXPECT_EQ(saved, Engine::CConfig());
}

TEST(DriverTableTest, NamedDriverFirstThenTableOrder) {
    const auto order = [](const std::optional<CString>& name) {
        const Engine::CGraphicsDriverTable table = Engine::GetDefaultDriverTable();
        std::vector<std::string> names;
        for (const Engine::CGraphicsDriverEntry* entry : Engine::GetDriverTryOrder(table, name)) names.push_back(entry->key);
        return names;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(order(std::nullopt), (V{"OpenGL", "D3D8", "D3D7", "SFTW"}));
    EXPECT_EQ(order(CString("sftw")), (V{"SFTW", "D3D8", "OpenGL", "D3D7"}));
    EXPECT_EQ(order(CString("Glide")), (V{"OpenGL", "D3D8", "D3D7", "SFTW"}));
}

// Each entry keeps the name it is shown as beside its key, and a factory.
TEST(DriverTableTest, EachDriverIsShownByItsOwnName) {
    std::vector<std::pair<std::string, std::string>> names;
    for (const Engine::CGraphicsDriverEntry& entry : Engine::GetDefaultDriverTable()) {
        names.emplace_back(entry.key, entry.shownName);
        EXPECT_TRUE(entry.create) << entry.key;
    }
    EXPECT_EQ(names, (std::vector<std::pair<std::string, std::string>>{
                         {"D3D8", "Direct3D 8"}, {"OpenGL", "OpenGL"}, {"D3D7", "Direct3D 7"}, {"SFTW", "Software Emulation"}}));
}

// The frame loop on a software driver: quads are buffered, and a frame that
// repeats the last one redraws nothing.
TEST_F(StdApplicationTest, SoftwareDriverRedrawsOnlyWhatChanged) {
    Engine::CGraphicsDriverTable drivers = FrameDrivers(3, 100'000);
    for (Engine::CGraphicsDriverEntry& entry : drivers)
        entry.create = [make = entry.create](Engine::CApplication** app) {
            std::unique_ptr<CGraphics> driver = make ? make(app) : nullptr;
            if (auto* frames = dynamic_cast<CFrameDriver*>(driver.get())) frames->m_bSoftware = true;
            return driver;
        };
    std::vector<size_t> draws;
    bool containers = false;
    onPresent = [&](CFrameDriver& d) {
        const auto names = d.Names();
        draws.push_back(size_t(std::count(names.begin(), names.end(), "gDraw")));
        containers = d.GetSpritesContainer() != nullptr;
        d.Clear();
    };
    CTestApplication app(std::move(drivers));
    ASSERT_EQ(app.Run(), 0);
    EXPECT_TRUE(containers);
    // The first frame draws the clear and the sprite; the same picture again
    // draws nothing.
    EXPECT_EQ(draws, (std::vector<size_t>{2, 0, 0}));
}

class CKeyCounter : public Engine::Controls::CBaseControl {
public:
    bool OnKeyDown(uint32_t, uint32_t) override { return ++keys, true; }
    bool OnChar(char16_t, uint32_t) override { return ++chars, true; }
    bool OnCaptureCancelled() override { return ++cancels, true; }
    int keys = 0, chars = 0, cancels = 0;
};

// The controls manager and desktop made at start-up, key records delivered
// each frame, the capture cancelled when the mouse leaves, all gone at teardown.
TEST_F(StdApplicationTest, KeysReachTheFocusAndLeavingTheWindowCancelsTheCapture) {
    using namespace Engine::Controls;
    Engine::CStdApplication app(FrameDrivers(3, 100'000));
    Engine::ref_ptr<CKeyCounter> counter(new CKeyCounter);
    bool desktopFitsTheScreen = false;
    onPresent = [&](CFrameDriver& driver) {
        CControlsManager* controls = app.GetControls();
        ASSERT_NE(controls, nullptr);
        if (driver.frames == 1) {
            const CRect screen = controls->GetDesktop()->GetWindowRect();
            desktopFitsTheScreen = screen.Width() == driver.GetParams().width && screen.Height() > 0;
            counter->Create(controls, controls->GetDesktop(), 0, 0, 10, 10, "", CS_VISIBLE | CS_CHILD, 1);
            controls->SetFocus(counter);
            app.OnKeyDown(0x1E);
            app.OnChar(u'a');
            controls->SetCaptureTo(counter);
            app.OnMouseLeave();
        }
    };
    ASSERT_EQ(app.Run(), 0);
    EXPECT_TRUE(desktopFitsTheScreen);
    EXPECT_EQ(std::make_tuple(counter->keys, counter->chars, counter->cancels), std::make_tuple(1, 1, 1));
    EXPECT_TRUE(counter->IsDestroyed());
    EXPECT_EQ(app.GetControls(), nullptr);
}

// The real "D3D8" entry: the device is lost after the first frame and
// regained at the third attempt to begin a scene; four frames end the run.
struct CFrameCounts {
    int ended = 0, begun = 0, lost = 0, drawnAfterRegain = 0;
};

class CLosingDriver : public Engine::Graphics::CGraphics_D3D8 {
public:
    CLosingDriver(Engine::CApplication** app, CFrameCounts& counts) : CGraphics_D3D8(app), m_counts(counts) {}
    void gEndScene() override {
        CGraphics_D3D8::gEndScene();
        if (++m_counts.ended == 1) Platform::Testing::LoseD3D8Device();
        if (m_counts.ended >= 4) RequestQuit();
    }
    bool gBeginScene() override {
        if (++m_counts.begun == 3) Platform::Testing::RegainD3D8Device();
        if (m_counts.begun > 100) RequestQuit(); // a device that never comes back
        const bool begun = CGraphics_D3D8::gBeginScene();
        m_counts.lost += begun ? 0 : 1;
        m_counts.drawnAfterRegain += begun && m_counts.begun >= 3 ? 1 : 0;
        return begun;
    }

private:
    CFrameCounts& m_counts;
};

class D3D8ShellTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        WriteFile(SettingsFolder() / "Settings.xml", "<settings><graphics driver=\"D3D8\" fullscreen=\"Off\"/></settings>");
    }
};

TEST_F(D3D8ShellTest, FramesGoOnThroughALostDevice) {
    Engine::CGraphicsDriverTable drivers = FrameDrivers(1, 0);
    CFrameCounts counts;
    drivers[0].create = [&counts](Engine::CApplication** app) { return std::make_unique<CLosingDriver>(app, counts); };
    CTestApplication app(std::move(drivers));
    ASSERT_EQ(app.Run(), 0);
    // One frame finds the device lost and draws nothing; the next resets it
    // and the frames go on.
    EXPECT_EQ(counts.lost, 1);
    EXPECT_GE(counts.drawnAfterRegain, 1);
    EXPECT_EQ(counts.ended, 4);
    EXPECT_TRUE(LogHasInOrder({"Graphics driver : D3D8", "[CApplication::OnGraphicsDestroy() begin]"}));
    EXPECT_EQ(Platform::Testing::GetD3D8LiveObjectCount(), 0);
}

TEST_F(D3D8ShellTest, FailedCreationTriesTheNextDriver) {
    Platform::Testing::D3D8Config().createFails = true;
    Engine::CGraphicsDriverTable drivers = FrameDrivers(1, 0);
    for (const Engine::CGraphicsDriverEntry& entry : Engine::GetDefaultDriverTable())
        if (std::string(entry.key) == "D3D8") drivers[0] = entry;
    ASSERT_EQ(std::string(drivers[0].key), "D3D8");
    Engine::CStdApplication app(std::move(drivers));
    ASSERT_EQ(app.Run(), 0);
    EXPECT_TRUE(LogHasInOrder({"CGraphics_D3D8::Direct3DCreate8() : FAILED",
                               "Graphics driver 'D3D8' : Create() : FAILED", "Graphics driver : OpenGL"}));
    EXPECT_EQ(Platform::Testing::GetD3D8LiveObjectCount(), 0);
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("d3d8.dll"), 0);
}

} // namespace
