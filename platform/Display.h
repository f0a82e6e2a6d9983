#pragma once
// Display modes of the primary display: enumerated from SDL (or from a list
// a test put in place, platform/Testing.h) and changed for full-screen use.
// A change only records the mode; pop-up windows that cover the display are
// then shown full screen in it.

#include "platform/WinTypes.h"

constexpr DWORD DM_BITSPERPEL = 0x00040000;
constexpr DWORD DM_PELSWIDTH = 0x00080000;
constexpr DWORD DM_PELSHEIGHT = 0x00100000;
constexpr DWORD DM_DISPLAYFREQUENCY = 0x00400000;

struct DEVMODE {
    DWORD dmSize = sizeof(DEVMODE);
    DWORD dmFields = 0;  // DM_* bits: which of the fields below are given
    DWORD dmBitsPerPel = 0;
    DWORD dmPelsWidth = 0;
    DWORD dmPelsHeight = 0;
    DWORD dmDisplayFrequency = 0;
};

constexpr DWORD ENUM_CURRENT_SETTINGS = DWORD(-1);
constexpr DWORD ENUM_REGISTRY_SETTINGS = DWORD(-2);  // the desktop mode

// Only the primary display (device name null). FALSE after the last mode.
BOOL EnumDisplaySettings(const char* deviceName, DWORD modeIndex, DEVMODE* mode);

constexpr DWORD CDS_TEST = 0x00000002;
constexpr DWORD CDS_FULLSCREEN = 0x00000004;
constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
constexpr LONG DISP_CHANGE_FAILED = -1;
constexpr LONG DISP_CHANGE_BADMODE = -2;

// A null mode goes back to the desktop mode. A given mode must be in the
// list (fields not named in dmFields keep their current values); CDS_TEST
// only checks it.
LONG ChangeDisplaySettings(const DEVMODE* mode, DWORD flags);
