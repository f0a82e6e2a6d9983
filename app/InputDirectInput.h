#pragma once
// The DirectInput drivers: keyboard and mouse devices of "dinput.dll",
// loaded through the shared DirectX loader and read once per poll.

#include "app/Input.h"
#include "platform/DirectInput.h"

namespace Engine::Input::Drivers::DirectInput {

// One DirectInput device of either kind, reacquired when it was lost.
class CDevice {
public:
    CDevice() = default;
    ~CDevice() { Destroy(); }
    CDevice(const CDevice&) = delete;
    CDevice& operator=(const CDevice&) = delete;

    // Loads DirectInput, makes the device and binds it to the window
    // (non-exclusive, foreground); false (logged) on failure.
    bool Create(HWND window, const GUID& device, const DIDATAFORMAT& format);
    void Destroy();
    // Reads the device state; false (and the data zeroed) when the device
    // cannot be read even after acquiring it again.
    bool Read(DWORD size, void* data);

private:
    IDirectInput* m_input = nullptr;
    IDirectInputDevice* m_device = nullptr;
    bool m_loaded = false;
};

class CKeyboard : public CKeyboardDriver {
public:
    bool Create(HWND window) override { return m_device.Create(window, GUID_SysKeyboard, c_dfDIKeyboard); }
    void Destroy() override { m_device.Destroy(); }
    void Poll(uint8_t keys[256]) override;

private:
    CDevice m_device;
};

class CMouse : public CMouseDriver {
public:
    bool Create(HWND window) override { return m_device.Create(window, GUID_SysMouse, c_dfDIMouse); }
    void Destroy() override { m_device.Destroy(); }

protected:
    CMouseSample Sample() override;

private:
    CDevice m_device;
};

} // namespace Engine::Input::Drivers::DirectInput
