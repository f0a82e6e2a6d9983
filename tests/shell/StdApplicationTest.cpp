#include <algorithm>
#include <stdexcept>

#include "app/shell/NamedMutex.h"
#include "app/shell/StdApplication.h"
#include "graphics/SpriteQueue.h"
#include "shell/ShellTestSupport.h"

using namespace ShellTesting;

namespace {

class CTestApplication : public Engine::CStdApplication {
public:
    using CStdApplication::CStdApplication;

    std::vector<std::string> events;
    std::vector<double> updates;  // step start times
    bool initResult = true;
    std::function<void()> onInit;
    bool driverAliveAtDone = false;

protected:
    bool OnInit() override {
        events.push_back("OnInit");
        if (onInit) onInit();
        return initResult;
    }
    void OnDone() override {
        events.push_back("OnDone");
        driverAliveAtDone = GetGraphicsDriver() != nullptr;
    }
    void Update(double time, double step) override {
        updates.push_back(time);
        EXPECT_DOUBLE_EQ(step, 0.033333);
    }
    void Draw() override {
        GetGraphicsDriver()->gClear(Engine::Graphics::CLEAR_COLOR);
        if (queueSprite) {
            using Engine::Graphics::CSpriteQueue;
            CSpriteQueue::QueueSpriteAt(CSpriteQueue::CParams{}, CSpriteQueue::GetEmptySprite(), 10, 10, 0xFFFFFFFF);
        }
    }

public:
    bool queueSprite = false;
};

using StdApplicationTest = ShellTest;

TEST_F(StdApplicationTest, FixedStepsThenOneDrawnFramePerLoop) {
    CTestApplication app(FrameDrivers(3, 100'000));
    onPresent = [&](CFrameDriver& d) {
        if (d.frames == 1) d.Clear();
        if (d.frames == 2) app.OnAltEnter();
    };
    ASSERT_EQ(app.Run(), 0);
    // Frame 1 finds no time passed; frames 2 and 3 get 100,000 us each:
    // three steps and a carried microsecond.
    const std::vector<double> expected{0.0, 0.033333, 0.066666, 0.099999, 0.133332, 0.166665};
    ASSERT_EQ(app.updates.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(app.updates[i], expected[i]) << i;
    // Frame 2 as the driver saw it (the recording was cleared after frame 1).
    const std::vector<std::string> frame(driverCalls.begin(),
                                         std::find(driverCalls.begin(), driverCalls.end(), "gFlipBuffers") + 1);
    EXPECT_EQ(frame, (std::vector<std::string>{"gBeginScene", "SetOrtho2D", "gSwitch", "gSwitch", "gSwitch", "gSwitch",
                                               "gSetBlendFunc", "gSetCullMode", "gClear", "gEndScene",
                                               "gFlipBuffers"}));
    // Alt+Enter is served after that frame's drawing.
    EXPECT_NE(std::find(driverCalls.begin(), driverCalls.end(), "ChangeVideoMode"), driverCalls.end());
    // Teardown in reverse: the application before the driver, the
    // configuration saved last.
    EXPECT_EQ(app.events, (std::vector<std::string>{"OnInit", "OnDone"}));
    EXPECT_TRUE(app.driverAliveAtDone);
    EXPECT_EQ(driverCalls.back(), "Destroy");
    EXPECT_TRUE(LogHasInOrder({"[Main Loop end]", "[Shutting Down begin]", "Saving Configuration"}));
    EXPECT_TRUE(fs::exists(SettingsFolder() / "screensaver.cfg"));
}

TEST_F(StdApplicationTest, SpriteQueueLivesWithTheDriverAndIsFlushedBeforeTheSceneEnds) {
    using Engine::Graphics::CSpriteQueue;
    CTestApplication app(FrameDrivers(2, 100'000));
    app.queueSprite = true;
    bool initialisedWhileRunning = false;
    onPresent = [&](CFrameDriver&) { initialisedWhileRunning = CSpriteQueue::IsInitialised(); };
    ASSERT_EQ(app.Run(), 0);
    EXPECT_TRUE(initialisedWhileRunning);
    EXPECT_FALSE(CSpriteQueue::IsInitialised());
    EXPECT_EQ(CSpriteQueue::GetDriver(), nullptr);
    const auto at = [&](const char* name) { return std::find(driverCalls.begin(), driverCalls.end(), name); };
    ASSERT_NE(at("CreateVertexBuffer"), driverCalls.end());
    ASSERT_NE(at("gDraw"), driverCalls.end());
    EXPECT_LT(at("CreateVertexBuffer"), at("gBeginScene"));
    EXPECT_LT(at("gDraw"), at("gEndScene"));
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

TEST_F(StdApplicationTest, StartupFailuresAreShownAtTheEnd) {
    {
        CTestApplication app(DriversWithOpenGL([](Engine::CApplication**) { return std::unique_ptr<CGraphics>(); }));
        EXPECT_EQ(app.Run(), 1);
        EXPECT_TRUE(app.events.empty());
    }
    {
        CTestApplication app(FrameDrivers(1, 0));
        app.initResult = false;
        EXPECT_EQ(app.Run(), 1);
        EXPECT_EQ(app.events, (std::vector<std::string>{"OnInit", "OnDone"}));
        EXPECT_EQ(driverCalls.back(), "Destroy");
    }
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Unable to Init Graphics Window");
    EXPECT_EQ(boxes[1].text, "Unable to Init Application");
    for (const CBox& box : boxes) EXPECT_EQ(box.caption, "Application Error");
}

TEST_F(StdApplicationTest, FatalExceptionIsCaughtShownAndTornDown) {
    CTestApplication app(FrameDrivers(1, 0));
    app.onInit = [] { throw std::runtime_error("boom"); };
    EXPECT_EQ(app.Execute(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Fatal exception occurred.");
    EXPECT_EQ(boxes[0].caption, "Application Error");
    EXPECT_TRUE(LogHas("Fatal exception : std::exception : boom"));
    EXPECT_TRUE(LogHas("Crash report : std::exception : boom"));
    EXPECT_EQ(driverCalls.back(), "Destroy");
    EXPECT_EQ(app.events, (std::vector<std::string>{"OnInit", "OnDone"}));
}

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

} // namespace
