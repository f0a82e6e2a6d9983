// When the messages waiting would end the run: a frame is cut short only
// when dispatching them ends it. Closing the window, SDL's quit and a posted
// quit always do, a message posted to no window never; the screensaver also
// ends on a key the window passes on, a press, and a mouse move by its rule,
// but not on system keys (Alt+Tab, F10), keys swallowed after Alt+Enter, or
// a move along one axis.

#include <gtest/gtest.h>

#include <vector>

#include "platform/Keyboard.h"
#include "platform/PendingInput.h"
#include "shell/PendingQuitRule.h"
#include "tests/support/RecordingGraphics.h"

namespace {

HWND const kWindow = reinterpret_cast<HWND>(uintptr_t(0x10));
HWND const kOtherWindow = reinterpret_cast<HWND>(uintptr_t(0x20));

MSG Message(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, HWND window = kWindow) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg;
}
MSG Move(int x, int y) { return Message(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
MSG KeyDown(WPARAM key, LPARAM data = 0) { return Message(WM_KEYDOWN, key, data); }

struct CRuleCase {
    const char* name;
    std::vector<MSG> pending;
    bool endsScreensaver;
    bool endsApplication;
};

class PendingQuitRuleTest : public ::testing::TestWithParam<CRuleCase> {};

TEST_P(PendingQuitRuleTest, EndsTheRunAsDispatchWould) {
    Engine::Graphics::Testing::CRecordingGraphics graphics;
    Engine::CPendingQuitRule application(graphics, kWindow);
    Engine::CPendingQuitRule screensaver(graphics, kWindow);
    Engine::CMouseQuitRule mouse;
    mouse.OnMouseMove(100, 100);
    screensaver.EndOnInput(mouse);
    EXPECT_EQ(screensaver.EndsRun(GetParam().pending), GetParam().endsScreensaver);
    EXPECT_EQ(application.EndsRun(GetParam().pending), GetParam().endsApplication);
    EXPECT_EQ(mouse.OnMouseMove(101, 101), true) << "the screensaver's own rule is left as it was";
}

const LPARAM kAlt = KEYDATA_ALTDOWN;

INSTANTIATE_TEST_SUITE_P(
    Messages, PendingQuitRuleTest,
    ::testing::Values(CRuleCase{"Nothing", {}, false, false},
                      CRuleCase{"CloseOfTheWindow", {Message(WM_CLOSE)}, true, true},
                      CRuleCase{"QuitEventClosesEveryWindow", {Message(Platform::PENDING_SDL_QUIT, 0, 0, nullptr)}, true, true},
                      CRuleCase{"PostedQuit", {Message(WM_QUIT, 0, 0, nullptr)}, true, true},
                      // Dispatch hands them to nobody.
                      CRuleCase{"WindowlessClose", {Message(WM_CLOSE, 0, 0, nullptr)}, false, false},
                      CRuleCase{"WindowlessKey", {Message(WM_KEYDOWN, 'A', 0, nullptr)}, false, false},
                      CRuleCase{"CloseOfAnotherWindow", {Message(WM_CLOSE, 0, 0, kOtherWindow)}, false, false},
                      CRuleCase{"AKey", {KeyDown('A')}, true, false},
                      CRuleCase{"AKeyToAnotherWindow", {Message(WM_KEYDOWN, 'A', 0, kOtherWindow)}, false, false},
                      CRuleCase{"AltTab",
                                {Message(WM_SYSKEYDOWN, VK_MENU, kAlt), Message(WM_SYSKEYDOWN, VK_TAB, kAlt),
                                 Message(WM_SYSKEYUP, VK_TAB, kAlt), Message(WM_KEYUP, VK_MENU)},
                                false, false},
                      CRuleCase{"F10", {Message(WM_SYSKEYDOWN, VK_F1 + 9)}, false, false},
                      CRuleCase{"ReturnHeldAfterAltEnter",
                                {Message(WM_SYSKEYDOWN, VK_RETURN, kAlt), KeyDown(VK_RETURN, KEYDATA_PREVDOWN)},
                                false, false},
                      CRuleCase{"ReturnPressedAgainAfterItsRelease",
                                {Message(WM_SYSKEYDOWN, VK_RETURN, kAlt), Message(WM_KEYUP, VK_RETURN), KeyDown(VK_RETURN)},
                                true, false},
                      CRuleCase{"KeyRelease", {Message(WM_KEYUP, 'A')}, false, false},
                      CRuleCase{"Press", {Message(WM_RBUTTONDOWN)}, true, false},
                      CRuleCase{"Release", {Message(WM_LBUTTONUP)}, false, false},
                      CRuleCase{"MoveAlongOneAxis", {Move(150, 100), Move(150, 120)}, false, false},
                      CRuleCase{"MoveAlongBothAxes", {Move(150, 100), Move(160, 120)}, true, false},
                      CRuleCase{"MoveToTheSamePlace", {Move(100, 100)}, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
