#include "platform/DirectInput.h"
#include "platform/WindowFixture.h"

using namespace TestSupport;

namespace {

class DirectInputTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_EQ(DirectInputCreateA(nullptr, DIRECTINPUT_VERSION, &m_input, nullptr), DI_OK);
    }
    void TearDown() override {
        if (m_device) m_device->Release();
        m_input->Release();
        WindowFixture::TearDown();
    }

    IDirectInputDevice* Open(const GUID& guid, const DIDATAFORMAT& format, HWND window) {
        EXPECT_EQ(m_input->CreateDevice(guid, &m_device, nullptr), DI_OK);
        EXPECT_EQ(m_device->SetDataFormat(&format), DI_OK);
        EXPECT_EQ(m_device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
        return m_device;
    }

    IDirectInput* m_input = nullptr;
    IDirectInputDevice* m_device = nullptr;
};

} // namespace

TEST_F(DirectInputTest, KeyboardStateIsInScanCodeNumbering) {
    HWND window = MakeWindow();
    IDirectInputDevice* keyboard = Open(GUID_SysKeyboard, c_dfDIKeyboard, window);
    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(100, keys), DIERR_INVALIDPARAM);

    Push({KeyEvent(SdlId(window), SDL_SCANCODE_A, true), KeyEvent(SdlId(window), SDL_SCANCODE_UP, true),
          KeyEvent(SdlId(window), SDL_SCANCODE_KP_ENTER, true)});
    ASSERT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[0x1E], 0x80);
    EXPECT_EQ(keys[DIK_UP], 0x80);
    EXPECT_EQ(keys[DIK_NUMPADENTER], 0x80);
    EXPECT_EQ(keys[DIK_RETURN], 0);
    Push({KeyEvent(SdlId(window), SDL_SCANCODE_A, false)});
    keyboard->GetDeviceState(sizeof keys, keys);
    EXPECT_EQ(keys[0x1E], 0);
}

TEST_F(DirectInputTest, MouseReportsMotionSinceTheLastReadAndKeepsQuickClicks) {
    HWND window = MakeWindow();
    IDirectInputDevice* mouse = Open(GUID_SysMouse, c_dfDIMouse, window);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    const Uint32 id = SdlId(window);
    Push({MotionEvent(id, 5, 5, 5, -3), MotionEvent(id, 7, 9, 2, 6), WheelEvent(id, 1),
          ButtonEvent(id, SDL_BUTTON_LEFT, true), ButtonEvent(id, SDL_BUTTON_LEFT, false),
          ButtonEvent(id, SDL_BUTTON_RIGHT, true)});
    DIMOUSESTATE state;
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 7);
    EXPECT_EQ(state.lY, 3);
    EXPECT_EQ(state.lZ, 120);
    EXPECT_EQ(state.rgbButtons[0], 0x80) << "pressed and released since the last read";
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lZ, 0);
    EXPECT_EQ(state.rgbButtons[0], 0);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
}

TEST_F(DirectInputTest, ForegroundDeviceIsLostWithTheWindowsActivation) {
    HWND window = MakeWindow();
    HWND other = MakeWindow();  // now the active window
    IDirectInputDevice* keyboard = Open(GUID_SysKeyboard, c_dfDIKeyboard, window);
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    ShowWindow(window, SW_SHOWNORMAL);
    ASSERT_NE(GetActiveWindow(), other);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    Push({WindowEvent(SdlId(window), SDL_WINDOWEVENT_FOCUS_LOST)});
    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_INPUTLOST);
}

TEST_F(DirectInputTest, RefusesWrongRequests) {
    IDirectInputDevice* device = nullptr;
    EXPECT_EQ(m_input->CreateDevice(GUID{}, &device, nullptr), DIERR_DEVICENOTREG);
    IDirectInput* input = nullptr;
    EXPECT_EQ(DirectInputCreateA(nullptr, 0x0900, &input, nullptr), DIERR_OLDDIRECTINPUTVERSION);
    ASSERT_EQ(m_input->CreateDevice(GUID_SysMouse, &m_device, nullptr), DI_OK);
    EXPECT_EQ(m_device->SetDataFormat(&c_dfDIKeyboard), DIERR_INVALIDPARAM);
    EXPECT_EQ(m_device->Acquire(), DIERR_INVALIDPARAM) << "no data format yet";
}
