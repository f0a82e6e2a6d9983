#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "app/Application.h"
#include "platform/Keyboard.h"
#include "platform/Testing.h"
#include "platform/WindowFixture.h"
#include "support/RecordingGraphics.h"

using namespace Engine::Graphics;
using Engine::Graphics::Testing::CRecordingGraphics;

namespace {

CGraphics* g_driver = nullptr;

LRESULT DriverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CGraphics::WindowProc(g_driver, window, message, wParam, lParam);
}

class CQuitApp : public Engine::CApplication {
public:
    int presses = 0;
    void OnMouseButtonDown(int) override { ++presses; }
};

// A real (offscreen) window whose procedure is the driver base's.
class DriverWindowTest : public TestSupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        g_driver = &driver;
        WNDCLASS wc;
        wc.lpfnWndProc = DriverProc;
        wc.cbWndExtra = sizeof(LONG_PTR);
        wc.lpszClassName = "Driver";
        RegisterClass(&wc);
        app.m_hWnd = CreateWindowEx(0, "Driver", "driver", WS_POPUP | WS_VISIBLE, 0, 0, 320, 200, nullptr, nullptr,
                                    nullptr, nullptr);
        ASSERT_NE(app.m_hWnd, nullptr);
        window = SdlId(app.m_hWnd);
    }
    void TearDown() override {
        g_driver = nullptr;
        WindowFixture::TearDown();
    }
    void Inject(SDL_Event event) { SDL_PushEvent(&event); }

    CQuitApp app;
    Engine::CApplication* cell = &app;
    CRecordingGraphics driver{&cell};
    Uint32 window = 0;
};

} // namespace

TEST_F(DriverWindowTest, PumpDeliversInputAndReportsCloseAsQuit) {
    app.m_bActive = 1;
    Inject(TestSupport::ButtonEvent(window, SDL_BUTTON_LEFT, true, 10, 10));
    EXPECT_FALSE(driver.ProcessMessages());
    EXPECT_EQ(app.presses, 1);
    PostMessage(app.m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.ProcessMessages());
    EXPECT_TRUE(driver.ProcessMessages()); // the quit flag stays set
}

TEST_F(DriverWindowTest, PumpClearsFrameFlagsAndStopsOnQuitMessage) {
    app.m_bActive = 1;
    app.m_frameInputFlags[0] = app.m_frameInputFlags[2] = 1;
    PostQuitMessage(0);
    EXPECT_TRUE(driver.ProcessMessages());
    EXPECT_EQ(app.m_frameInputFlags[0], 0);
    EXPECT_EQ(app.m_frameInputFlags[2], 0);
}

struct CFlagCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::array<uint8_t, 4> flags;  // key, char, mouse, wheel
    friend void PrintTo(const CFlagCase& c, std::ostream* os) { *os << c.name; }
};

class FrameInputFlagTest : public DriverWindowTest, public ::testing::WithParamInterface<CFlagCase> {};

// Each input message raises its flag, even through an override that skips
// the base handler (the button press here).
TEST_P(FrameInputFlagTest, InputRaisesItsFlag) {
    Pump();  // the messages of the window's creation
    app.m_bActive = 1;
    PostMessage(app.m_hWnd, GetParam().message, GetParam().wParam, GetParam().lParam);
    EXPECT_FALSE(driver.ProcessMessages());
    EXPECT_EQ(std::to_array(app.m_frameInputFlags), GetParam().flags);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, FrameInputFlagTest,
    ::testing::Values(CFlagCase{"KeyDown", WM_KEYDOWN, VK_LEFT, 0, {1, 0, 0, 0}},
                      CFlagCase{"KeyUp", WM_KEYUP, VK_LEFT, 0, {1, 0, 0, 0}},
                      CFlagCase{"Char", WM_CHAR, 'a', 0, {0, 1, 0, 0}},
                      CFlagCase{"Move", WM_MOUSEMOVE, 0, 0x000A0014, {0, 0, 1, 0}},
                      CFlagCase{"LeftDown", WM_LBUTTONDOWN, 0, 0, {0, 0, 1, 0}},
                      CFlagCase{"MiddleUp", WM_MBUTTONUP, 0, 0, {0, 0, 1, 0}},
                      CFlagCase{"Wheel", WM_MOUSEWHEEL, WPARAM(120) << 16, 0, {0, 0, 0, 1}},
                      CFlagCase{"Paint", WM_PAINT, 0, 0, {0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<CFlagCase>& info) { return std::string(info.param.name); });

// Inactive, the pump waits for the next message once the queue is empty,
// unless a handler raised the mouse flag during this pump.
TEST_F(DriverWindowTest, MouseInputKeepsTheInactivePumpFromWaiting) {
    Pump();
    app.m_bActive = 0;
    int waits = 0;
    Platform::Testing::SetIdleHandler([&] { ++waits; });
    PostMessage(app.m_hWnd, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_FALSE(driver.ProcessMessages());
    EXPECT_EQ(waits, 1);
    PostMessage(app.m_hWnd, WM_LBUTTONDOWN, 0, 0);
    EXPECT_FALSE(driver.ProcessMessages());
    EXPECT_EQ(app.presses, 1);
    EXPECT_EQ(waits, 1);
}

TEST_F(DriverWindowTest, SystemCursorHiddenInsideUnlessAskedAndShownOutside) {
    using Platform::Testing::GetCursorDisplayCount;
    using Platform::Testing::GetCurrentCursor;
    Inject(TestSupport::MotionEvent(window, 50, 50, 1, 1));
    Pump();
    driver.UpdateCursor(true); // the visibility flag is process-wide: settle it
    const int hidden = GetCursorDisplayCount();
    app.m_nSystemCursor = 1; // the application keeps the system cursor
    driver.UpdateCursor(false);
    EXPECT_EQ(GetCursorDisplayCount(), hidden + 1);
    EXPECT_EQ(GetCurrentCursor(), LoadCursor(nullptr, IDC_ARROW));
    driver.SetCursor(CURSOR_NONE); // hides even with the system cursor kept
    EXPECT_EQ(GetCursorDisplayCount(), hidden);
    driver.SetCursor(CURSOR_NONE); // no change: ShowCursor is not called again
    EXPECT_EQ(GetCursorDisplayCount(), hidden);
    driver.SetCursor(CURSOR_HAND);
    EXPECT_EQ(GetCursorDisplayCount(), hidden + 1);
    EXPECT_EQ(GetCurrentCursor(), LoadCursor(nullptr, IDC_HAND));
    app.m_nSystemCursor = 0;
    Inject(TestSupport::MotionEvent(window, 400, 50, 350, 0)); // outside: the arrow, shown
    Pump();
    driver.UpdateCursor(false);
    EXPECT_EQ(GetCursorDisplayCount(), hidden + 1);
    EXPECT_EQ(GetCurrentCursor(), LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(DriverWindowTest, WindowRectCentresWindowedAndCoversForFullScreen) {
    CGraphicsParams p;
    ResetGraphicsParams(p);
    p.screenWidth = 800;
    p.screenHeight = 600;
    driver.m_desktopMode = CVideoMode{1280, 1024, 60, 32};
    DWORD style = 0, exStyle = 0;
    RECT rect;
    driver.ComputeWindowRect(p, style, exStyle, rect);
    EXPECT_EQ(style, WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(exStyle, WS_EX_APPWINDOW);
    EXPECT_EQ(rect, (RECT{240, 212, 1040, 812}));
    p.center = 0;
    p.x = 30;
    driver.ComputeWindowRect(p, style, exStyle, rect);
    EXPECT_EQ(rect, (RECT{0, 0, 800, 600}));
    p.keepPosition = 1;
    driver.ComputeWindowRect(p, style, exStyle, rect);
    EXPECT_EQ(rect, (RECT{30, 0, 830, 600}));
    p.screenWidth = 1280;
    p.screenHeight = 1024;
    p.keepPosition = 0;
    driver.ComputeWindowRect(p, style, exStyle, rect);
    EXPECT_EQ(style, WS_POPUP | WS_VISIBLE);
    p.fullScreen = 1;
    driver.ComputeWindowRect(p, style, exStyle, rect);
    EXPECT_EQ(style, WS_POPUP);
    EXPECT_EQ(exStyle, 0u);
}

TEST_F(DriverWindowTest, EnumVideoModesUsesDisplayListOnce) {
    Platform::Testing::SetDisplayModes({{640, 480, 60, 8}, {800, 600, 60, 32}, {1024, 768, 75, 32}},
                                       {1024, 768, 75, 32});
    driver.EnumVideoModes();
    ASSERT_EQ(driver.GetVideoModes().size(), 2u); // the 8-bit mode is dropped
    EXPECT_EQ(driver.GetVideoModes()[0], (CVideoMode{800, 600, 60, 32}));
    EXPECT_EQ(driver.GetDesktopMode(), (CVideoMode{1024, 768, 75, 32}));
    Platform::Testing::SetDisplayModes({{320, 200, 60, 32}}, {320, 200, 60, 32});
    driver.EnumVideoModes();
    EXPECT_EQ(driver.GetVideoModes().size(), 2u);
}

// Systems of major version 4 or lower give the desktop mode only through the
// display settings of the hardware configuration (refresh unknown); both
// values must parse within their 32-byte buffers.
TEST_F(DriverWindowTest, OldSystemsReadTheDesktopModeFromTheDisplaySettings) {
    using Platform::Testing::SetConfigValue;
    Platform::Testing::SetDisplayModes({{1024, 768, 75, 32}}, {1024, 768, 75, 32});
    Platform::Testing::SetReportedVersion(4, 10);
    struct Case {
        std::optional<std::string> resolution, bits;
        CVideoMode desktop;
    };
    for (const Case& c : {Case{std::nullopt, std::nullopt, {1024, 768, 0, 32}}, Case{"640,480", "16", {640, 480, 0, 16}},
                          Case{"640x480", "16", {}}, Case{"640,480", std::string(32, '1'), {}}}) {
        if (c.resolution) SetConfigValue("Display\\Settings", "Resolution", c.resolution);
        if (c.bits) SetConfigValue("Display\\Settings", "BitsPerPixel", c.bits);
        CRecordingGraphics fresh{&cell};
        fresh.EnumVideoModes();
        EXPECT_EQ(fresh.GetDesktopMode(), c.desktop) << c.resolution.value_or("display");
    }
}
