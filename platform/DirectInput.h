#pragma once
// The DirectInput stand-in: a keyboard device whose state is 256 bytes in
// scan-code numbering (0x80 while a key is down; extended keys at 0x80 +
// their code) and a mouse device reporting motion and wheel since the last
// read. Both are fed by the SDL events the platform layer takes in; reading
// a device takes in the pending events first.

#include "platform/Com.h"

constexpr DWORD DIRECTINPUT_VERSION = 0x0700;

constexpr HRESULT DI_OK = S_OK;
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_NOTACQUIRED = HRESULT(0x80000101u);
constexpr HRESULT DIERR_INPUTLOST = HRESULT(0x80000102u);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = HRESULT(0x80000103u);
constexpr HRESULT DIERR_DEVICENOTREG = HRESULT(0x80000104u);
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = HRESULT(0x80000105u);

// Cooperative levels. A foreground device can be acquired only while its
// window is active and is lost when the window is deactivated.
constexpr DWORD DISCL_EXCLUSIVE = 0x01;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x02;
constexpr DWORD DISCL_FOREGROUND = 0x04;
constexpr DWORD DISCL_BACKGROUND = 0x08;

extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;

struct DIDATAFORMAT {
    DWORD dwDataSize = 0;  // bytes GetDeviceState fills
};
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse;

struct DIMOUSESTATE {
    LONG lX = 0, lY = 0;  // motion since the last read
    LONG lZ = 0;          // wheel since the last read, WHEEL_DELTA per notch
    BYTE rgbButtons[4] = {};  // 0 left, 1 right, 2 middle: 0x80 while down
};

// Scan codes the engine names.
constexpr BYTE DIK_ESCAPE = 0x01, DIK_BACK = 0x0E, DIK_TAB = 0x0F, DIK_RETURN = 0x1C, DIK_LCONTROL = 0x1D;
constexpr BYTE DIK_LSHIFT = 0x2A, DIK_RSHIFT = 0x36, DIK_LMENU = 0x38, DIK_SPACE = 0x39;
constexpr BYTE DIK_NUMPADENTER = 0x9C, DIK_RCONTROL = 0x9D, DIK_RMENU = 0xB8;
constexpr BYTE DIK_HOME = 0xC7, DIK_UP = 0xC8, DIK_PRIOR = 0xC9, DIK_LEFT = 0xCB, DIK_RIGHT = 0xCD;
constexpr BYTE DIK_END = 0xCF, DIK_DOWN = 0xD0, DIK_NEXT = 0xD1, DIK_DELETE = 0xD3;

struct IDirectInputDevice : IUnknown {
    // The format must be the device's own (c_dfDIKeyboard or c_dfDIMouse).
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    // size must be the data format's size.
    virtual HRESULT GetDeviceState(DWORD size, void* data) = 0;
};

struct IDirectInput : IUnknown {
    // GUID_SysKeyboard or GUID_SysMouse; outer must be null.
    virtual HRESULT CreateDevice(const GUID& device, IDirectInputDevice** created, IUnknown* outer) = 0;
};

// Versions above 0x0800 are refused.
HRESULT DirectInputCreateA(HINSTANCE instance, DWORD version, IDirectInput** created, IUnknown* outer);
