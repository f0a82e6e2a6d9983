// The look at the input waiting: it shows the messages dispatch then hands
// the window, in order and with the same parameters (system keys told from
// plain ones by the Alt held at that point of the queue), and it changes
// nothing: the key state stays, and the events are still all delivered.

#include <array>
#include <csignal>
#include <functional>

#include "WindowFixture.h"
#include "platform/Keyboard.h"
#include "platform/PendingInput.h"

using namespace TestSupport;

namespace {

bool Watched(UINT message) {
    switch (message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP:
    case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_CLOSE: case WM_QUIT: case Platform::PENDING_SDL_QUIT:
        return true;
    default: return false;
    }
}

bool IsButton(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

struct CPendingCase {
    const char* name;
    std::function<std::vector<SDL_Event>(Uint32 window)> events;
};

class PendingInputTest : public WindowFixture, public ::testing::WithParamInterface<CPendingCase> {};

TEST_P(PendingInputTest, ShowsWhatDispatchGetsAndChangesNothing) {
    HWND window = MakeWindow();
    for (const SDL_Event& event : GetParam().events(SdlId(window))) Push({event});
    std::array<BYTE, 256> keysBefore{}, keysAfter{};
    GetKeyboardState(keysBefore.data());
    const std::vector<MSG> first = Platform::PeekPendingMessages();
    const std::vector<MSG> second = Platform::PeekPendingMessages();
    GetKeyboardState(keysAfter.data());
    EXPECT_EQ(keysBefore, keysAfter);
    ASSERT_EQ(first.size(), second.size()) << "looking twice sees the same";

    Pump();
    std::vector<MSG> dispatched;
    for (const MSG& msg : Received())
        if (Watched(msg.message)) dispatched.push_back(msg);
    std::vector<MSG> peeked;
    for (const MSG& msg : first)
        if (Watched(msg.message)) peeked.push_back(msg);
    ASSERT_EQ(peeked.size(), dispatched.size());
    for (size_t i = 0; i < peeked.size(); ++i) {
        // A quit event closes every window: it has its own mark and names none.
        const bool quitEvent = peeked[i].message == Platform::PENDING_SDL_QUIT;
        EXPECT_EQ(quitEvent ? WM_CLOSE : peeked[i].message, dispatched[i].message) << i;
        // Pointer messages carry no button and modifier flags: nothing that
        // tells a quit reads them.
        if (peeked[i].message != WM_MOUSEMOVE && !IsButton(peeked[i].message)) {
            EXPECT_EQ(peeked[i].wParam, dispatched[i].wParam) << i;
        }
        EXPECT_EQ(peeked[i].lParam, dispatched[i].lParam) << i;
        if (quitEvent) {
            EXPECT_EQ(peeked[i].hwnd, nullptr) << i;
        } else {
            EXPECT_EQ(peeked[i].hwnd, dispatched[i].hwnd) << i;
        }
    }
}

std::vector<SDL_Event> Keys(Uint32 w, std::initializer_list<std::pair<SDL_Scancode, bool>> keys) {
    std::vector<SDL_Event> events;
    for (const auto& [key, down] : keys) events.push_back(KeyEvent(w, key, down));
    return events;
}

INSTANTIATE_TEST_SUITE_P(
    Input, PendingInputTest,
    ::testing::Values(
        CPendingCase{"AKey", [](Uint32 w) { return Keys(w, {{SDL_SCANCODE_A, true}, {SDL_SCANCODE_A, false}}); }},
        CPendingCase{"AltTab",
                     [](Uint32 w) {
                         return Keys(w, {{SDL_SCANCODE_LALT, true}, {SDL_SCANCODE_TAB, true},
                                         {SDL_SCANCODE_TAB, false}, {SDL_SCANCODE_LALT, false}, {SDL_SCANCODE_B, true}});
                     }},
        CPendingCase{"CtrlAltKey",
                     [](Uint32 w) {
                         return Keys(w, {{SDL_SCANCODE_LCTRL, true}, {SDL_SCANCODE_RALT, true}, {SDL_SCANCODE_C, true}});
                     }},
        CPendingCase{"F10", [](Uint32 w) { return Keys(w, {{SDL_SCANCODE_F10, true}}); }},
        CPendingCase{"AHeldKey",
                     [](Uint32 w) {
                         return std::vector<SDL_Event>{KeyEvent(w, SDL_SCANCODE_D, true),
                                                       KeyEvent(w, SDL_SCANCODE_D, true, 0, true)};
                     }},
        CPendingCase{"MouseMovesAndPresses",
                     [](Uint32 w) {
                         return std::vector<SDL_Event>{MotionEvent(w, 10, 20, 1, 1), ButtonEvent(w, SDL_BUTTON_RIGHT, true, 10, 20),
                                                       ButtonEvent(w, SDL_BUTTON_RIGHT, false, 10, 20),
                                                       MotionEvent(w, 11, 20, 1, 0), ButtonEvent(w, SDL_BUTTON_MIDDLE, true)};
                     }},
        CPendingCase{"WindowClosed", [](Uint32 w) { return std::vector<SDL_Event>{WindowEvent(w, SDL_WINDOWEVENT_CLOSE)}; }},
        CPendingCase{"QuitEvent",
                     [](Uint32) {
                         SDL_Event quit{};
                         quit.type = SDL_QUIT;
                         return std::vector<SDL_Event>{quit};
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

// Posted messages come first, then the events, then a posted quit.
TEST_F(WindowFixture, PendingMessagesKeepTheQueueOrder) {
    HWND window = MakeWindow();
    PostMessage(window, WM_CLOSE, 0, 0);
    PostQuitMessage(0);
    Push({KeyEvent(SdlId(window), SDL_SCANCODE_A, true)});
    const std::vector<MSG> pending = Platform::PeekPendingMessages();
    std::vector<UINT> kinds;
    for (const MSG& msg : pending)
        if (Watched(msg.message)) kinds.push_back(msg.message);
    EXPECT_EQ(kinds, (std::vector<UINT>{WM_CLOSE, WM_KEYDOWN, WM_QUIT}));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_CLOSE)) << "nothing was taken";
}

// A message posted to no window is seen as posted and dispatched to nobody;
// SIGTERM comes as SDL's quit event, which closes the window.
TEST_F(WindowFixture, WindowlessPostsReachNobodyWhileSigtermClosesTheWindow) {
    HWND window = MakeWindow();
    PostMessage(nullptr, WM_CLOSE, 0, 0);
    PostMessage(nullptr, WM_KEYDOWN, 'A', 0);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    std::vector<std::pair<UINT, HWND>> peeked;
    for (const MSG& msg : Platform::PeekPendingMessages())
        if (Watched(msg.message)) peeked.emplace_back(msg.message, msg.hwnd);
    EXPECT_EQ(peeked, (std::vector<std::pair<UINT, HWND>>{
                          {WM_CLOSE, nullptr}, {WM_KEYDOWN, nullptr}, {Platform::PENDING_SDL_QUIT, nullptr}}));
    Pump();
    std::vector<std::pair<UINT, HWND>> dispatched;
    for (const MSG& msg : Received())
        if (Watched(msg.message) || msg.message == WM_CHAR) dispatched.emplace_back(msg.message, msg.hwnd);
    EXPECT_EQ(dispatched, (std::vector<std::pair<UINT, HWND>>{{WM_CLOSE, window}}));
}

} // namespace
