#pragma once
// Message boxes: an SDL message box, or a line on stderr when none can be
// shown (no display).

#include "platform/WinTypes.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;

constexpr int IDOK = 1;

// Shows the text with an OK button and waits for it; returns IDOK.
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
