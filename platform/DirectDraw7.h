#pragma once
// The part of DirectDraw 7 the Direct3D 8 driver uses: the local video
// memory figures. "ddraw.dll" in the library table resolves
// DirectDrawCreateEx and DirectDrawEnumerateExA. The figures are the
// stand-in's own (64 MiB, all free, unless a test sets others): OpenGL has
// no portable way to ask.

#include "platform/Com.h"

constexpr DWORD DDSCAPS_LOCALVIDMEM = 0x10000000;

struct DDSCAPS2 {
    DWORD dwCaps = 0, dwCaps2 = 0, dwCaps3 = 0, dwCaps4 = 0;
};

extern const GUID IID_IDirectDraw7;

struct IDirectDraw7 : IUnknown {
    virtual HRESULT GetAvailableVidMem(DDSCAPS2* caps, DWORD* total, DWORD* free) = 0;
};

// Only the default driver (null) and IID_IDirectDraw7.
HRESULT DirectDrawCreateEx(GUID* driver, void** created, const GUID& interfaceId, IUnknown* outer);
// Reports the one display driver.
HRESULT DirectDrawEnumerateExA(BOOL (*callback)(GUID*, char*, char*, void*, void*), void* context, DWORD flags);

namespace Platform::Testing {

void SetVideoMemory(DWORD total, DWORD free);

} // namespace Platform::Testing
