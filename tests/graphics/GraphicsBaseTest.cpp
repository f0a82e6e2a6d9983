#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Log.h"
#include "app/TestFiles.h"
#include "graphics/LogColumns.h"
#include "graphics/Texture.h"
#include "graphics/VideoModes.h"
#include "platform/Keyboard.h"
#include "platform/Messages.h"
#include "support/RecordingGraphics.h"

using namespace Engine::Graphics;
using Engine::Graphics::Testing::CRecordingGraphics;

namespace {

// Records every notification the window procedure and the drivers send.
class CEventApplication : public Engine::CApplication {
public:
    std::vector<std::string> events;
    void OnActivate(bool a) override { events.push_back("activate " + std::to_string(a)); m_bActive = a; }
    void OnKeyDown(int k) override { events.push_back("keydown " + std::to_string(k)); }
    void OnKeyUp(int k) override { events.push_back("keyup " + std::to_string(k)); }
    void OnChar(char16_t c) override { events.push_back("char " + std::to_string(int(c))); }
    void OnMouseWheel(int d) override { events.push_back("wheel " + std::to_string(d)); }
    void OnMouseButtonDown(int b) override { events.push_back("down " + std::to_string(b)); }
    void OnMouseButtonUp(int b) override { events.push_back("up " + std::to_string(b)); }
    void OnMouseMove(int x, int y) override { events.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
    void OnMouseLeave() override { events.push_back("leave"); }
    void OnMouseEnter() override { events.push_back("enter"); }
    void Pause(bool p) override { events.push_back("pause " + std::to_string(p)); }
    void OnAltEnter() override { events.push_back("altenter"); }
    void OnGraphicsRestored() override { events.push_back("restored"); }
};

class WindowProcTest : public ::testing::Test {
protected:
    LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) { return CGraphics::WindowProc(&driver, nullptr, message, w, l); }
    CEventApplication app;
    Engine::CApplication* cell = &app;
    CRecordingGraphics driver{&cell};
};

} // namespace

TEST_F(WindowProcTest, CloseSetsQuitAndReturnsOne) {
    EXPECT_EQ(Send(WM_CLOSE), 1);
    EXPECT_TRUE(driver.IsQuitRequested());
    EXPECT_TRUE(driver.ProcessMessages());
}

TEST_F(WindowProcTest, ActivateNotifiesOnlyOnChange) {
    Send(WM_ACTIVATE, 1);
    Send(WM_ACTIVATE, 1);
    Send(WM_ACTIVATE, 0);
    EXPECT_EQ(app.events, (std::vector<std::string>{"activate 1", "pause 0", "activate 0", "pause 1"}));
}

TEST_F(WindowProcTest, AltEnterSwallowsFollowingKeyUps) {
    const int enterCode = CGraphics::VirtualKeyToKeyCode(VK_RETURN);
    EXPECT_EQ(Send(WM_SYSCHAR, 13, LPARAM(1) << 29), 0);
    Send(WM_KEYUP, VK_RETURN);
    Send(WM_KEYUP, VK_MENU);
    Send(WM_KEYDOWN, VK_RETURN);
    Send(WM_KEYDOWN, VK_RETURN); // repeats are not filtered
    Send(WM_KEYUP, VK_RETURN);
    const std::string down = "keydown " + std::to_string(enterCode);
    EXPECT_EQ(app.events, (std::vector<std::string>{"altenter", down, down, "keyup " + std::to_string(enterCode)}));
    EXPECT_GT(enterCode, 0);
}

struct MessageCase {
    UINT message;
    WPARAM w;
    LPARAM l;
    std::vector<std::string> events;
};

class WindowProcMessageTest : public WindowProcTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(WindowProcMessageTest, DeliversEvent) {
    const auto& c = GetParam();
    Send(c.message, c.w, c.l);
    EXPECT_EQ(app.events, c.events);
}

INSTANTIATE_TEST_SUITE_P(Messages, WindowProcMessageTest, ::testing::Values(
    MessageCase{WM_LBUTTONDOWN, 0, 0, {"down 0"}},
    MessageCase{WM_RBUTTONDOWN, 0, 0, {"down 1"}},
    MessageCase{WM_MBUTTONUP, 0, 0, {"up 2"}},
    MessageCase{WM_MOUSEWHEEL, WPARAM(uint32_t(uint16_t(-120)) << 16), 0, {"wheel -120"}},
    MessageCase{WM_CHAR, 0x00E9, 0, {"char 233"}},
    MessageCase{WM_MOUSELEAVE, 0, 0, {"leave"}},
    MessageCase{WM_ENTERSIZEMOVE, 0, 0, {"pause 1"}},
    MessageCase{WM_EXITMENULOOP, 0, 0, {"pause 0"}}));

TEST_F(WindowProcTest, MouseComesBackAfterLeavingAndPillarBoxMapsNegative) {
    CGraphicsParams& p = driver.GetParams();
    p.width = 800; p.height = 600;
    p.contentLeft = 107; p.contentTop = 0; p.contentRight = 1173; p.contentBottom = 800;
    Send(WM_MOUSELEAVE);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(7, 400));
    EXPECT_EQ(app.events, (std::vector<std::string>{"leave", "enter", "move -75,300"}));
}

TEST_F(WindowProcTest, SysCommandSwallowedOnlyInFullScreenAndPowerQueriesAnswered) {
    EXPECT_EQ(Send(WM_POWERBROADCAST, 0), 1);
    EXPECT_EQ(Send(WM_POWERBROADCAST, 7), 1);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_MOVE), 0);
    driver.GetParams().fullScreen = 1;
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_MOVE), 1);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_KEYMENU), 1);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_MINIMIZE), 0);
}

TEST(WindowProcNoAppTest, NoApplicationNoEvents) {
    CRecordingGraphics driver(nullptr);
    EXPECT_EQ(CGraphics::WindowProc(&driver, nullptr, WM_LBUTTONDOWN, 0, 0), 0);
    EXPECT_EQ(CGraphics::WindowProc(&driver, nullptr, WM_CLOSE, 0, 0), 1);
}

struct FitCase {
    CVideoMode desktop;
    int width, height;
    bool fullScreen, direct3D;
    int screenW, screenH, aspectX, aspectY, left, right;
    bool scaled;
};
class FitDisplayAspectTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitDisplayAspectTest, FitsOrPillarBoxes) {
    const auto& c = GetParam();
    CGraphicsParams p;
    ResetGraphicsParams(p);
    p.width = c.width; p.height = c.height; p.fullScreen = c.fullScreen;
    FitDisplayAspect(c.desktop, p, c.direct3D);
    EXPECT_EQ(p.screenWidth, c.screenW);
    EXPECT_EQ(p.screenHeight, c.screenH);
    EXPECT_EQ(p.aspectX, c.aspectX);
    EXPECT_EQ(p.aspectY, c.aspectY);
    EXPECT_EQ(p.contentLeft, c.left);
    EXPECT_EQ(p.contentRight, c.right);
    EXPECT_EQ(p.scaled, c.scaled);
}

INSTANTIATE_TEST_SUITE_P(Cases, FitDisplayAspectTest, ::testing::Values(
    FitCase{{1280, 800, 60, 32}, 800, 600, true, true, 1280, 800, 8, 5, 107, 1173, true},
    FitCase{{1280, 800, 60, 32}, 800, 600, true, false, 800, 600, 4, 3, 0, 800, false},
    FitCase{{1280, 800, 60, 32}, 800, 600, false, true, 800, 600, 4, 3, 0, 800, false},
    FitCase{{1024, 768, 60, 32}, 800, 600, true, true, 800, 600, 4, 3, 0, 800, false},
    FitCase{{1366, 768, 60, 32}, 801, 599, true, true, 1366, 768, 683, 384, 170, 1196, true},
    FitCase{{1280, 800, 60, 32}, 0, 0, true, true, 0, 0, 0, 0, 0, 0, false},
    FitCase{{0, 0, 0, 0}, 800, 600, true, true, 800, 600, 4, 3, 0, 800, false}));

struct AdjustCase {
    const char* name;
    CVideoMode desktop;
    int width, height, bits, refresh;
    bool fullScreen, forceWindowed;
    // Expected: full screen, forced windowed, colour and alpha bits (-1 and 0 unchecked).
    bool outFullScreen, outForced;
    int outBits, outAlpha, outRefresh;
};
class AdjustVideoModeTest : public ::testing::TestWithParam<AdjustCase> {};

TEST_P(AdjustVideoModeTest, PicksTheModeOrAWindow) {
    const AdjustCase& c = GetParam();
    const std::vector<CVideoMode> modes{
        {800, 600, 60, 16}, {800, 600, 75, 32}, {800, 600, 60, 32}, {1024, 768, 60, 32}, {1280, 1024, 85, 16}};
    CGraphicsParams p;
    ResetGraphicsParams(p);
    p.width = c.width; p.height = c.height; p.colorBits = c.bits; p.refresh = c.refresh;
    p.fullScreen = c.fullScreen; p.forceWindowed = c.forceWindowed;
    bool hookSawResult = false; // the hook runs after the force flags and the fit
    AdjustVideoMode(modes, c.desktop, p, false, [&](CGraphicsParams& q) {
        hookSawResult = q.screenWidth == c.width && bool(q.fullScreen) == (c.fullScreen && !c.forceWindowed);
    });
    EXPECT_TRUE(hookSawResult);
    EXPECT_EQ(bool(p.fullScreen), c.outFullScreen);
    EXPECT_EQ(bool(p.forceWindowed), c.outForced);
    EXPECT_EQ(p.colorBits, c.outBits);
    if (c.outAlpha >= 0) { EXPECT_EQ(p.alphaBits, c.outAlpha); }
    if (c.outRefresh) { EXPECT_EQ(p.refresh, c.outRefresh); }
}

INSTANTIATE_TEST_SUITE_P(Cases, AdjustVideoModeTest, ::testing::Values(
    // Windowed: the depth follows the desktop.
    AdjustCase{"Windowed32", {1280, 1024, 60, 32}, 800, 600, 16, 85, false, false, false, false, 24, 8, 0},
    AdjustCase{"Windowed16", {1280, 1024, 60, 16}, 800, 600, 24, 85, false, false, false, false, 16, 0, 0},
    // Full screen caps the refresh at the fastest mode below it.
    AdjustCase{"RefreshCapped", {1280, 1024, 60, 32}, 800, 600, 24, 85, true, false, true, false, 24, 8, 75},
    // Only a 16-bit mode at this size: the depth follows it.
    AdjustCase{"DepthOfTheOnlyMode", {1600, 1200, 60, 32}, 1280, 1024, 24, 85, true, false, true, false, 16, 0, 0},
    // No mode of this size on a larger desktop: a window instead.
    AdjustCase{"NoSuchModeWindowed", {1280, 1024, 60, 32}, 640, 480, 16, 60, true, false, false, true, 24, -1, 0},
    // The force flags apply before the fit.
    AdjustCase{"ForcedWindowed", {1280, 1024, 60, 32}, 800, 600, 16, 60, true, true, false, true, 24, 8, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AdjustVideoModeRefusal, LargerThanTheDesktopWithNoSuchModeThrows) {
    CGraphicsParams p;
    ResetGraphicsParams(p);
    p.width = 1920; p.height = 1200;
    EXPECT_THROW(AdjustVideoMode({{800, 600, 60, 32}}, {1280, 1024, 60, 32}, p, false, nullptr), Engine::CException);
}

TEST(VideoModeLogTest, TenModesInThreeRows) {
    TestFiles::CLogCapture log;
    std::vector<std::string> cells;
    for (int i = 0; i < 10; ++i) cells.push_back(std::to_string(i));
    LogColumns(cells, ", ");
    for (const char* row : {"0, 3, 6, 9\n", "1, 4, 7\n", "2, 5, 8\n"}) EXPECT_TRUE(log.Contains(row)) << row;
}

TEST(WindowToScreenTest, EmptyContentLeavesPointUnchanged) {
    CGraphicsParams p;
    ResetGraphicsParams(p);
    int x = 12, y = -3;
    WindowToScreen(p, x, y);
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, -3);
}
