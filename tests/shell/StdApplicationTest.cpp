#include <algorithm>
#include <stdexcept>

#include "app/NamedMutex.h"
#include "app/shell/StdApplication.h"
#include "graphics/SpriteQueue.h"
#include "placefile/PlaceParticles.h"
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
        CSpriteQueue::QueueSpriteAt(CSpriteQueue::CParams{}, CSpriteQueue::GetEmptySprite(), 10, 10, 0xFFFFFFFF);
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
        entry.create = [&tried, name = entry.name, make = entry.create](Engine::CApplication** app) {
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

TEST(DriverTableTest, NamedDriverFirstThenTableOrder) {
    const auto order = [](const std::optional<CString>& name) {
        const Engine::CGraphicsDriverTable table = Engine::GetDefaultDriverTable();
        std::vector<std::string> names;
        for (const Engine::CGraphicsDriverEntry* entry : Engine::GetDriverTryOrder(table, name)) names.push_back(entry->name);
        return names;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(order(std::nullopt), (V{"OpenGL", "D3D8", "D3D7", "SFTW"}));
    EXPECT_EQ(order(CString("sftw")), (V{"SFTW", "D3D8", "OpenGL", "D3D7"}));
    EXPECT_EQ(order(CString("Glide")), (V{"OpenGL", "D3D8", "D3D7", "SFTW"}));
}

} // namespace
