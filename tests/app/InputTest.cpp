#include <set>

#include "app/InputDirectInput.h"
#include "app/InputNative.h"
#include "app/KeyTable.h"
#include "platform/Keyboard.h"
#include "platform/WindowFixture.h"

using namespace TestSupport;
using Engine::Input::CMouseState;
using Engine::Input::GetKeyTable;
using Engine::Input::KeyCodeFromVirtualKey;

namespace {

// keycode 0: the US layout's.
struct CKeyCase { const char* name; SDL_Scancode scancode; SDL_Keycode keycode; int keyCode; };

void PrintTo(const CKeyCase& c, std::ostream* os) { *os << c.name; }

class KeyCodeTest : public WindowFixture, public ::testing::WithParamInterface<CKeyCase> {};

} // namespace

TEST_P(KeyCodeTest, SdlKeyBecomesEngineKeyCode) {
    const CKeyCase& c = GetParam();
    HWND window = MakeWindow();
    Push({KeyEvent(SdlId(window), c.scancode, true, c.keycode)});
    Pump();
    const std::vector<MSG> downs = Only({WM_KEYDOWN, WM_SYSKEYDOWN});
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(KeyCodeFromVirtualKey(unsigned(downs[0].wParam)), c.keyCode);

    Engine::Input::Drivers::Native::CKeyboard keyboard;
    ASSERT_TRUE(keyboard.Create(window));
    uint8_t keys[256];
    keyboard.Poll(keys);
    EXPECT_EQ(keys[c.keyCode], 0x80);
    EXPECT_EQ(std::count(keys, keys + 256, 0x80), 1);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyCodeTest, ::testing::Values(
    CKeyCase{"Escape", SDL_SCANCODE_ESCAPE, 0, 0x01}, CKeyCase{"One", SDL_SCANCODE_1, 0, 0x02},
    CKeyCase{"Zero", SDL_SCANCODE_0, 0, 0x0B}, CKeyCase{"Q", SDL_SCANCODE_Q, 0, 0x10},
    CKeyCase{"Return", SDL_SCANCODE_RETURN, 0, 0x1C}, CKeyCase{"KeypadEnterActsAsReturn", SDL_SCANCODE_KP_ENTER, 0, 0x1C},
    CKeyCase{"Space", SDL_SCANCODE_SPACE, 0, 0x39}, CKeyCase{"RightShift", SDL_SCANCODE_RSHIFT, 0, 0x2A},
    CKeyCase{"RightCtrl", SDL_SCANCODE_RCTRL, 0, 0x1D}, CKeyCase{"RightAlt", SDL_SCANCODE_RALT, 0, 0x38},
    CKeyCase{"Up", SDL_SCANCODE_UP, 0, 0xC8}, CKeyCase{"Home", SDL_SCANCODE_HOME, 0, 0xC7},
    CKeyCase{"Delete", SDL_SCANCODE_DELETE, 0, 0xD3}, CKeyCase{"F12", SDL_SCANCODE_F12, 0, 0x58},
    CKeyCase{"Keypad7", SDL_SCANCODE_KP_7, 0, 0x47}, CKeyCase{"KeypadDivide", SDL_SCANCODE_KP_DIVIDE, 0, 0xB5},
    CKeyCase{"LayoutLetterFollowsTheKeycode", SDL_SCANCODE_Y, SDLK_z, 0x2C}),
    [](const ::testing::TestParamInfo<CKeyCase>& info) { return std::string(info.param.name); });

TEST(KeyTableTest, EachVirtualKeyOnceAndTheLookupFindsItBack) {
    const std::array<uint8_t, 256>& table = GetKeyTable();
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[0xCB], VK_LEFT);
    std::set<uint8_t> seen;
    for (int code = 0; code < 256; ++code) {
        if (!table[size_t(code)]) continue;
        EXPECT_TRUE(seen.insert(table[size_t(code)]).second) << "virtual key " << int(table[size_t(code)]) << " twice";
        EXPECT_EQ(KeyCodeFromVirtualKey(table[size_t(code)]), code);
    }
    EXPECT_GT(seen.size(), 90u);
    EXPECT_EQ(KeyCodeFromVirtualKey(0), -1);
    EXPECT_EQ(KeyCodeFromVirtualKey(VK_LSHIFT), -1) << "key messages name Shift without a side";
}

TEST(NativeMouseTest, ClampsTracksMotionAndKeepsQuickClicks) {
    Engine::Input::Drivers::Native::CMouse mouse;
    mouse.SetScreenSize(800, 600);
    CMouseState state;
    mouse.OnMouseMove(100, 50);
    mouse.OnMouseWheel(120);
    mouse.OnMouseWheel(120);
    mouse.Poll(state);
    EXPECT_EQ((std::array{state.x, state.y, state.dx, state.dy, state.wheel}), (std::array{100, 50, 100, 50, 240}));

    mouse.OnMouseMove(-20, 700);
    mouse.OnMouseButtonDown(0);
    mouse.Poll(state);
    EXPECT_EQ((std::array{state.x, state.y, state.dx, state.dy, state.wheel}), (std::array{0, 599, -120, 650, 0}));
    EXPECT_EQ(state.buttons[0], 0x80);
    EXPECT_EQ(state.previousButtons[0], 0);

    mouse.OnMouseButtonUp(0);
    mouse.OnMouseButtonDown(2);
    mouse.OnMouseButtonUp(2);
    mouse.Poll(state);
    EXPECT_EQ(state.previousButtons[0], 0x80);
    EXPECT_EQ(state.buttons[0], 0);
    EXPECT_EQ(state.buttons[2], 0x80) << "a click between two polls is seen once";
    mouse.Poll(state);
    EXPECT_EQ(state.buttons[2], 0);
}

TEST_F(WindowFixture, DirectInputDriversReadTheDevicesAndReacquireThem) {
    HWND window = MakeWindow();
    Engine::Input::Drivers::DirectInput::CKeyboard keyboard;
    Engine::Input::Drivers::DirectInput::CMouse mouse;
    ASSERT_TRUE(keyboard.Create(window));
    ASSERT_TRUE(mouse.Create(window));
    mouse.SetScreenSize(640, 480);

    const Uint32 id = SdlId(window);
    Push({KeyEvent(id, SDL_SCANCODE_LSHIFT, true), MotionEvent(id, 0, 0, 30, 40), MotionEvent(id, 0, 0, -50, 5)});
    uint8_t keys[256];
    keyboard.Poll(keys);
    EXPECT_EQ(keys[0x2A], 0x80);
    CMouseState state;
    mouse.Poll(state);
    EXPECT_EQ((std::array{state.x, state.y, state.dx, state.dy}), (std::array{0, 45, -20, 45}));

    Push({WindowEvent(id, SDL_WINDOWEVENT_FOCUS_LOST)});
    keyboard.Poll(keys);
    EXPECT_EQ(keys[0x2A], 0) << "a lost device reads as nothing pressed";
    Push({WindowEvent(id, SDL_WINDOWEVENT_FOCUS_GAINED)});
    Pump();
    keyboard.Poll(keys);
    EXPECT_EQ(keys[0x2A], 0x80) << "acquired again once the window is active";
    keyboard.Destroy();
    mouse.Destroy();
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("dinput.dll"), 0);
}
