#include "app/InputDirectInput.h"

#include <cstring>

#include "app/DirectXDrivers.h"
#include "app/Log.h"

namespace Engine::Input::Drivers::DirectInput {

bool CDevice::Create(HWND window, const GUID& device, const DIDATAFORMAT& format) {
    Destroy();
    CDirectXDrivers& drivers = GetDirectXDrivers();
    if (!drivers.DIInit()) return false;
    m_loaded = true;
    HRESULT result = drivers.GetDirectInputCreateA()(nullptr, DIRECTINPUT_VERSION, &m_input, nullptr);
    if (SUCCEEDED(result)) result = m_input->CreateDevice(device, &m_device, nullptr);
    if (SUCCEEDED(result)) result = m_device->SetDataFormat(&format);
    if (SUCCEEDED(result)) result = m_device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    if (FAILED(result)) {
        GetLog().PrintLine("Engine::Input::Drivers::DirectInput::CDevice::Create() : FAILED : %s",
                           DXErrorToString(result));
        Destroy();
        return false;
    }
    // The window may not be active yet: reading acquires it later.
    m_device->Acquire();
    return true;
}

void CDevice::Destroy() {
    if (m_device) {
        m_device->Unacquire();
        m_device->Release();
        m_device = nullptr;
    }
    if (m_input) {
        m_input->Release();
        m_input = nullptr;
    }
    if (m_loaded) GetDirectXDrivers().DIDone();
    m_loaded = false;
}

bool CDevice::Read(DWORD size, void* data) {
    HRESULT result = m_device ? m_device->GetDeviceState(size, data) : DIERR_NOTACQUIRED;
    if (m_device && (result == DIERR_INPUTLOST || result == DIERR_NOTACQUIRED) && SUCCEEDED(m_device->Acquire()))
        result = m_device->GetDeviceState(size, data);
    if (SUCCEEDED(result)) return true;
    std::memset(data, 0, size);
    return false;
}

void CKeyboard::Poll(uint8_t keys[256]) { m_device.Read(256, keys); }

CMouseSample CMouse::Sample() {
    DIMOUSESTATE state;
    m_device.Read(sizeof state, &state);
    CMouseSample sample;
    for (size_t i = 0; i < sample.buttons.size(); ++i) sample.buttons[i] = state.rgbButtons[i];
    sample.dx = state.lX;
    sample.dy = state.lY;
    sample.wheel = state.lZ;
    return sample;
}

} // namespace Engine::Input::Drivers::DirectInput
