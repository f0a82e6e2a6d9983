// SDL events pushed into SDL's queue come out as window messages.

#include <functional>
#include <string>

#include "platform/Keyboard.h"
#include "platform/WindowFixture.h"

using namespace TestSupport;

namespace {

struct CExpected {
    UINT message;
    WPARAM wParam;
    LPARAM lParamMask = 0;  // bits of lParam to compare
    LPARAM lParam = 0;
};

struct CEventCase {
    std::string name;
    std::function<std::vector<SDL_Event>(Uint32 window)> events;
    std::vector<CExpected> expected;
    bool trackLeave = false;
};

void PrintTo(const CEventCase& c, std::ostream* os) { *os << c.name; }

constexpr LPARAM kAll = ~LPARAM(0);
constexpr WPARAM kTheWindow = ~WPARAM(0);  // wParam names the window itself
constexpr LPARAM kKeyBits = 0xFF0000 | KEYDATA_EXTENDED | KEYDATA_ALTDOWN | KEYDATA_PREVDOWN | KEYDATA_UP;
LPARAM KeyData(int scan, bool extended = false, bool alt = false, bool prev = false, bool up = false) {
    return (LPARAM(scan) << 16) | (extended ? KEYDATA_EXTENDED : 0) | (alt ? KEYDATA_ALTDOWN : 0) |
           (prev ? KEYDATA_PREVDOWN : 0) | (up ? KEYDATA_UP : 0);
}

class EventTest : public WindowFixture, public ::testing::WithParamInterface<CEventCase> {};

} // namespace

TEST_P(EventTest, ArrivesAsMessages) {
    const CEventCase& c = GetParam();
    HWND window = MakeWindow();
    if (c.trackLeave) {
        TRACKMOUSEEVENT track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = window;
        ASSERT_TRUE(TrackMouseEvent(&track));
    }
    for (const SDL_Event& event : c.events(SdlId(window))) Push({event});
    Pump();
    std::vector<MSG> got;
    for (const MSG& msg : Received())
        if (msg.message != WM_PAINT) got.push_back(msg);
    ASSERT_EQ(got.size(), c.expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].hwnd, window);
        EXPECT_EQ(got[i].message, c.expected[i].message);
        EXPECT_EQ(got[i].wParam, c.expected[i].wParam == kTheWindow ? WPARAM(window) : c.expected[i].wParam);
        EXPECT_EQ(got[i].lParam & c.expected[i].lParamMask, c.expected[i].lParam);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Input, EventTest,
    ::testing::Values(
        CEventCase{"KeyPressRepeatRelease",
                   [](Uint32 w) {
                       return std::vector{KeyEvent(w, SDL_SCANCODE_A, true), KeyEvent(w, SDL_SCANCODE_A, true, 0, true),
                                          KeyEvent(w, SDL_SCANCODE_A, false)};
                   },
                   {{WM_KEYDOWN, 'A', kKeyBits, KeyData(0x1E)},
                    {WM_KEYDOWN, 'A', kKeyBits, KeyData(0x1E, false, false, true)},
                    {WM_KEYUP, 'A', kKeyBits, KeyData(0x1E, false, false, true, true)}}},
        CEventCase{"ExtendedKeyAndSharedModifier",
                   [](Uint32 w) {
                       return std::vector{KeyEvent(w, SDL_SCANCODE_UP, true), KeyEvent(w, SDL_SCANCODE_RCTRL, true)};
                   },
                   {{WM_KEYDOWN, VK_UP, kKeyBits, KeyData(0x48, true)},
                    {WM_KEYDOWN, VK_CONTROL, kKeyBits, KeyData(0x1D, true)}}},
        CEventCase{"ControlKeysGiveCharacters",
                   [](Uint32 w) {
                       return std::vector{KeyEvent(w, SDL_SCANCODE_RETURN, true), KeyEvent(w, SDL_SCANCODE_LCTRL, true),
                                          KeyEvent(w, SDL_SCANCODE_C, true)};
                   },
                   {{WM_KEYDOWN, VK_RETURN},
                    {WM_CHAR, 13},
                    {WM_KEYDOWN, VK_CONTROL},
                    {WM_KEYDOWN, 'C'},
                    {WM_CHAR, 3}}},
        CEventCase{"TextBecomesUtf16Characters",
                   [](Uint32 w) { return std::vector{TextEvent(w, "a\xC3\xA9\xF0\x9F\x98\x80")}; },
                   {{WM_CHAR, 'a'}, {WM_CHAR, 0xE9}, {WM_CHAR, 0xD83D}, {WM_CHAR, 0xDE00}}},
        CEventCase{"AltEnterIsASystemKey",
                   [](Uint32 w) {
                       return std::vector{KeyEvent(w, SDL_SCANCODE_LALT, true), KeyEvent(w, SDL_SCANCODE_RETURN, true),
                                          KeyEvent(w, SDL_SCANCODE_RETURN, false),
                                          KeyEvent(w, SDL_SCANCODE_LALT, false)};
                   },
                   {{WM_SYSKEYDOWN, VK_MENU, KEYDATA_ALTDOWN, KEYDATA_ALTDOWN},
                    {WM_SYSKEYDOWN, VK_RETURN, KEYDATA_ALTDOWN, KEYDATA_ALTDOWN},
                    {WM_SYSCHAR, 13, KEYDATA_ALTDOWN, KEYDATA_ALTDOWN},
                    {WM_SYSKEYUP, VK_RETURN},
                    {WM_KEYUP, VK_MENU, KEYDATA_ALTDOWN, 0}}},
        CEventCase{"PointerMovesAndClicks",
                   [](Uint32 w) {
                       return std::vector{MotionEvent(w, 10, 20, 10, 20), ButtonEvent(w, SDL_BUTTON_LEFT, true, 11, 21),
                                          ButtonEvent(w, SDL_BUTTON_RIGHT, true, 11, 21),
                                          ButtonEvent(w, SDL_BUTTON_LEFT, false, 11, 21),
                                          ButtonEvent(w, SDL_BUTTON_MIDDLE, true, -3, 4)};
                   },
                   {{WM_SETCURSOR, kTheWindow, kAll, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)},
                    {WM_MOUSEMOVE, 0, kAll, MAKELPARAM(10, 20)},
                    {WM_LBUTTONDOWN, MK_LBUTTON, kAll, MAKELPARAM(11, 21)},
                    {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON},
                    {WM_LBUTTONUP, MK_RBUTTON},
                    {WM_MBUTTONDOWN, MK_RBUTTON | MK_MBUTTON, kAll, MAKELPARAM(-3, 4)}}},
        CEventCase{"WheelNotches",
                   [](Uint32 w) { return std::vector{WheelEvent(w, 1), WheelEvent(w, -2), WheelEvent(w, 1, true)}; },
                   {{WM_MOUSEWHEEL, MAKEWPARAM(0, 120)},
                    {WM_MOUSEWHEEL, MAKEWPARAM(0, -240)},
                    {WM_MOUSEWHEEL, MAKEWPARAM(0, -120)}}},
        CEventCase{"WindowManagerEvents",
                   [](Uint32 w) {
                       return std::vector{WindowEvent(w, SDL_WINDOWEVENT_FOCUS_LOST),
                                          WindowEvent(w, SDL_WINDOWEVENT_FOCUS_GAINED),
                                          WindowEvent(w, SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480),
                                          WindowEvent(w, SDL_WINDOWEVENT_LEAVE), WindowEvent(w, SDL_WINDOWEVENT_CLOSE)};
                   },
                   {{WM_ACTIVATE, WA_INACTIVE},
                    {WM_ACTIVATE, WA_ACTIVE},
                    {WM_SIZE, SIZE_RESTORED, kAll, MAKELPARAM(640, 480)},
                    {WM_CLOSE, 0},
                    {WM_ACTIVATE, WA_INACTIVE},
                    {WM_DESTROY, 0}}},
        CEventCase{"MouseLeaveOnlyWhenTracked",
                   [](Uint32 w) {
                       return std::vector{WindowEvent(w, SDL_WINDOWEVENT_LEAVE), WindowEvent(w, SDL_WINDOWEVENT_LEAVE)};
                   },
                   {{WM_MOUSELEAVE, 0}},
                   true},
        CEventCase{"InterruptClosesWindows",
                   [](Uint32) {
                       SDL_Event quit{};
                       quit.type = SDL_QUIT;
                       return std::vector{quit};
                   },
                   {{WM_CLOSE, 0}, {WM_ACTIVATE, WA_INACTIVE}, {WM_DESTROY, 0}}}),
    [](const ::testing::TestParamInfo<CEventCase>& info) { return info.param.name; });

TEST_F(WindowFixture, KeyStateAndPointerPositionFollowTheEvents) {
    HWND window = MakeWindow();
    SetWindowPos(window, nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Push({KeyEvent(SdlId(window), SDL_SCANCODE_RSHIFT, true), MotionEvent(SdlId(window), 7, 8, 7, 8)});
    Pump();
    BYTE keys[256];
    GetKeyboardState(keys);
    EXPECT_TRUE(keys[VK_SHIFT] & 0x80);
    EXPECT_TRUE(keys[VK_RSHIFT] & 0x80);
    EXPECT_FALSE(keys[VK_LSHIFT] & 0x80);
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor, (POINT{107, 58}));

    Push({KeyEvent(SdlId(window), SDL_SCANCODE_RSHIFT, false)});
    Pump();
    GetKeyboardState(keys);
    EXPECT_FALSE(keys[VK_SHIFT] & 0x80);
}

// On X11, SDL drops a press that comes within 10 ms of the window gaining
// focus unless told otherwise; a click on a screensaver just shown must end it.
TEST_F(WindowFixture, APressThatFocusesTheWindowIsKept) {
    MakeWindow();
    EXPECT_TRUE(SDL_GetHintBoolean(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, SDL_FALSE));
}
