#pragma once
// Virtual keys, the keyboard state and the scan-code layout. Virtual keys
// carry the Windows numbering (the engine's key table is made of them);
// letters and digits are their upper-case ASCII codes. Scan codes are the
// set-1 codes of a PC keyboard; extended keys have the E0 prefix.

#include "platform/WinTypes.h"

constexpr BYTE VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_MBUTTON = 0x04;
constexpr BYTE VK_BACK = 0x08, VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D;
constexpr BYTE VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14;
constexpr BYTE VK_ESCAPE = 0x1B, VK_SPACE = 0x20;
constexpr BYTE VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24;
constexpr BYTE VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28;
constexpr BYTE VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E;
constexpr BYTE VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D;
constexpr BYTE VK_NUMPAD0 = 0x60;  // VK_NUMPAD0 + n for the keypad digit n
constexpr BYTE VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F;
constexpr BYTE VK_F1 = 0x70;  // VK_F1 + n - 1 for Fn, up to F12
constexpr BYTE VK_NUMLOCK = 0x90, VK_SCROLL = 0x91;
constexpr BYTE VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3;
constexpr BYTE VK_LMENU = 0xA4, VK_RMENU = 0xA5;
constexpr BYTE VK_OEM_1 = 0xBA;       // ;:
constexpr BYTE VK_OEM_PLUS = 0xBB;    // =+
constexpr BYTE VK_OEM_COMMA = 0xBC;
constexpr BYTE VK_OEM_MINUS = 0xBD;
constexpr BYTE VK_OEM_PERIOD = 0xBE;
constexpr BYTE VK_OEM_2 = 0xBF;       // /?
constexpr BYTE VK_OEM_3 = 0xC0;       // `~
constexpr BYTE VK_OEM_4 = 0xDB;       // [{
constexpr BYTE VK_OEM_5 = 0xDC;       // \|
constexpr BYTE VK_OEM_6 = 0xDD;       // ]}
constexpr BYTE VK_OEM_7 = 0xDE;       // '"
constexpr BYTE VK_OEM_102 = 0xE2;     // the extra key of 102-key keyboards

// The state of every virtual key as of the last key message taken from SDL:
// bit 0x80 set while the key is down, bit 0x01 toggled by each press.
BOOL GetKeyboardState(BYTE keyState[256]);

// MAPVK_VSC_TO_VK_EX: scan code (0xE0xx for extended keys) to the virtual
// key of that key position, telling left and right modifiers apart.
// MAPVK_VSC_TO_VK: the same with the shared Shift, Ctrl and Alt keys.
// 0 when the position has no key.
constexpr UINT MAPVK_VSC_TO_VK = 1;
constexpr UINT MAPVK_VSC_TO_VK_EX = 3;
UINT MapVirtualKey(UINT code, UINT mapType);
