#include "platform/DirectInput.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/Detail.h"
#include "platform/SdlBridge.h"
#include "platform/Window.h"

const GUID GUID_SysKeyboard{0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0, 0}};
const GUID GUID_SysMouse{0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0, 0}};
const DIDATAFORMAT c_dfDIKeyboard{256};
const DIDATAFORMAT c_dfDIMouse{sizeof(DIMOUSESTATE)};

namespace {

class CDevice;

// What the SDL events have said so far, and the devices that listen.
struct CInputState {
    std::mutex mutex;
    std::array<BYTE, 256> keys{};
    std::array<BYTE, 4> buttons{};
    std::vector<CDevice*> devices;
};

CInputState& Input() {
    static CInputState state;
    return state;
}

class CDevice : public Platform::CUnknownImpl<IDirectInputDevice> {
public:
    explicit CDevice(bool keyboard) : m_keyboard(keyboard) {
        CInputState& input = Input();
        std::lock_guard lock(input.mutex);
        input.devices.push_back(this);
    }
    ~CDevice() override {
        CInputState& input = Input();
        std::lock_guard lock(input.mutex);
        std::erase(input.devices, this);
    }

    HRESULT SetDataFormat(const DIDATAFORMAT* format) override {
        if (!format || format != &OwnFormat()) return DIERR_INVALIDPARAM;
        std::lock_guard lock(Input().mutex);
        m_formatSet = true;
        return DI_OK;
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
        if (!IsWindow(window) || !(flags & (DISCL_FOREGROUND | DISCL_BACKGROUND))) return DIERR_INVALIDPARAM;
        std::lock_guard lock(Input().mutex);
        m_window = window;
        m_foreground = (flags & DISCL_FOREGROUND) != 0;
        return DI_OK;
    }

    HRESULT Acquire() override {
        const bool active = GetActiveWindow() == m_window;
        std::lock_guard lock(Input().mutex);
        if (!m_formatSet || !m_window) return DIERR_INVALIDPARAM;
        if (m_foreground && !active) return DIERR_OTHERAPPHASPRIO;
        if (!m_acquired) {
            m_dx = m_dy = m_wheel = 0;
            m_pressed = {};
        }
        m_acquired = true;
        m_lost = false;
        return DI_OK;
    }

    HRESULT Unacquire() override {
        std::lock_guard lock(Input().mutex);
        if (!m_acquired) return S_FALSE;
        m_acquired = false;
        return DI_OK;
    }

    HRESULT GetDeviceState(DWORD size, void* data) override {
        Platform::PumpSdlEvents();
        CInputState& input = Input();
        std::lock_guard lock(input.mutex);
        if (!data || size != OwnFormat().dwDataSize) return DIERR_INVALIDPARAM;
        if (m_lost) return DIERR_INPUTLOST;
        if (!m_acquired) return DIERR_NOTACQUIRED;
        if (m_keyboard) {
            std::memcpy(data, input.keys.data(), input.keys.size());
            return DI_OK;
        }
        DIMOUSESTATE state;
        state.lX = m_dx;
        state.lY = m_dy;
        state.lZ = m_wheel;
        // A click that starts and ends between two reads still shows as one
        // read with the button down.
        for (size_t i = 0; i < input.buttons.size(); ++i) state.rgbButtons[i] = input.buttons[i] | m_pressed[i];
        m_pressed = {};
        m_dx = m_dy = m_wheel = 0;
        std::memcpy(data, &state, sizeof state);
        return DI_OK;
    }

    // Called with the input lock held.
    void AddMotion(int dx, int dy, int wheel) {
        if (m_keyboard || !m_acquired) return;
        m_dx += dx;
        m_dy += dy;
        m_wheel += wheel;
    }
    void AddPress(size_t button) {
        if (!m_keyboard && m_acquired) m_pressed[button] = 0x80;
    }
    void OnDeactivated(HWND window) {
        if (m_acquired && m_foreground && window == m_window) {
            m_acquired = false;
            m_lost = true;
        }
    }

private:
    const DIDATAFORMAT& OwnFormat() const { return m_keyboard ? c_dfDIKeyboard : c_dfDIMouse; }

    bool m_keyboard;
    bool m_formatSet = false;
    HWND m_window = nullptr;
    bool m_foreground = false;
    bool m_acquired = false;
    bool m_lost = false;
    LONG m_dx = 0, m_dy = 0, m_wheel = 0;
    std::array<BYTE, 4> m_pressed{};
};

class CDirectInput : public Platform::CUnknownImpl<IDirectInput> {
public:
    HRESULT CreateDevice(const GUID& device, IDirectInputDevice** created, IUnknown* outer) override {
        if (!created || outer) return DIERR_INVALIDPARAM;
        *created = nullptr;
        if (device == GUID_SysKeyboard || device == GUID_SysMouse) {
            *created = new CDevice(device == GUID_SysKeyboard);
            return DI_OK;
        }
        return DIERR_DEVICENOTREG;
    }
};

template <class F>
void ForEachDevice(F&& action) {
    CInputState& input = Input();
    std::lock_guard lock(input.mutex);
    for (CDevice* device : input.devices) action(*device);
}

} // namespace

HRESULT DirectInputCreateA(HINSTANCE, DWORD version, IDirectInput** created, IUnknown* outer) {
    if (!created || outer) return DIERR_INVALIDPARAM;
    *created = nullptr;
    if (version > 0x0800) return DIERR_OLDDIRECTINPUTVERSION;
    *created = new CDirectInput;
    return DI_OK;
}

namespace Platform::Detail {

void FeedDirectInputKey(BYTE index, bool down) {
    CInputState& input = Input();
    std::lock_guard lock(input.mutex);
    input.keys[index] = down ? 0x80 : 0;
}

void FeedDirectInputMouseMotion(int dx, int dy) {
    ForEachDevice([&](CDevice& device) { device.AddMotion(dx, dy, 0); });
}

void FeedDirectInputMouseWheel(int delta) {
    ForEachDevice([&](CDevice& device) { device.AddMotion(0, 0, delta); });
}

void FeedDirectInputMouseButton(int button, bool down) {
    CInputState& input = Input();
    std::lock_guard lock(input.mutex);
    if (button < 0 || size_t(button) >= input.buttons.size()) return;
    input.buttons[size_t(button)] = down ? 0x80 : 0;
    if (down)
        for (CDevice* device : input.devices) device->AddPress(size_t(button));
}

void OnDirectInputWindowDeactivated(HWND window) {
    ForEachDevice([&](CDevice& device) { device.OnDeactivated(window); });
}

void ResetDirectInput() {
    CInputState& input = Input();
    std::lock_guard lock(input.mutex);
    input.keys.fill(0);
    input.buttons.fill(0);
}

} // namespace Platform::Detail
