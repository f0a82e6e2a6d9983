#pragma once
// Basic types of the platform layer: the integer widths, handles and small
// records the engine's window, kernel and driver code is written against.
// Handles are opaque; the layer hands them out and looks them up, so a stale
// or made-up handle is refused instead of dereferenced.

#include <cstddef>
#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using BOOL = int;
using ATOM = uint16_t;
using LONG_PTR = intptr_t;
using UINT_PTR = uintptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using HRESULT = int32_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define PLATFORM_DECLARE_HANDLE(name) \
    struct name##__;                  \
    using name = name##__*

PLATFORM_DECLARE_HANDLE(HWND);
PLATFORM_DECLARE_HANDLE(HINSTANCE);
PLATFORM_DECLARE_HANDLE(HICON);
PLATFORM_DECLARE_HANDLE(HCURSOR);
PLATFORM_DECLARE_HANDLE(HBRUSH);
PLATFORM_DECLARE_HANDLE(HGDIOBJ);
PLATFORM_DECLARE_HANDLE(HGLOBAL);
PLATFORM_DECLARE_HANDLE(HDC);
#undef PLATFORM_DECLARE_HANDLE

using HMODULE = HINSTANCE;
using HANDLE = void*;
using FARPROC = void (*)();

struct RECT {
    LONG left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const RECT&, const RECT&) = default;
};

struct POINT {
    LONG x = 0, y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};

constexpr WORD LOWORD(uintptr_t value) { return WORD(value & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t value) { return WORD((value >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int low, int high) {
    return LPARAM(DWORD(WORD(low)) | (DWORD(WORD(high)) << 16));
}
constexpr WPARAM MAKEWPARAM(int low, int high) { return WPARAM(MAKELPARAM(low, high)) & 0xFFFFFFFFu; }
// Signed client coordinates packed in a long parameter.
constexpr int GET_X_LPARAM(LPARAM value) { return int16_t(LOWORD(uintptr_t(value))); }
constexpr int GET_Y_LPARAM(LPARAM value) { return int16_t(HIWORD(uintptr_t(value))); }
