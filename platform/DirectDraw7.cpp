#include "platform/DirectDraw7.h"

#include "platform/Detail.h"

namespace {

struct CVideoMemory {
    DWORD total = 64u << 20;
    DWORD free = 64u << 20;
};

CVideoMemory& Memory() {
    static CVideoMemory memory;
    return memory;
}

class CDirectDraw7 : public Platform::CUnknownImpl<IDirectDraw7> {
public:
    HRESULT GetAvailableVidMem(DDSCAPS2* caps, DWORD* total, DWORD* free) override {
        if (!caps || !(caps->dwCaps & DDSCAPS_LOCALVIDMEM)) return E_INVALIDARG;
        if (total) *total = Memory().total;
        if (free) *free = Memory().free;
        return S_OK;
    }
};

} // namespace

const GUID IID_IDirectDraw7{0x15E65EC0, 0x3B9C, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};

HRESULT DirectDrawCreateEx(GUID* driver, void** created, const GUID& interfaceId, IUnknown* outer) {
    if (!created || driver || outer) return E_INVALIDARG;
    *created = nullptr;
    if (!(interfaceId == IID_IDirectDraw7)) return E_NOINTERFACE;
    *created = static_cast<IDirectDraw7*>(new CDirectDraw7);
    return S_OK;
}

HRESULT DirectDrawEnumerateExA(BOOL (*callback)(GUID*, char*, char*, void*, void*), void* context, DWORD) {
    if (!callback) return E_INVALIDARG;
    char description[] = "Primary Display Driver", name[] = "display";
    callback(nullptr, description, name, context, nullptr);
    return S_OK;
}

namespace Platform::Testing {

void SetVideoMemory(DWORD total, DWORD free) { Memory() = CVideoMemory{total, free}; }

} // namespace Platform::Testing

namespace Platform::Detail {

std::vector<CLibraryEntry> DirectDrawLibraryEntries() {
    return {{"DirectDrawCreateEx", ToProc(&DirectDrawCreateEx)},
            {"DirectDrawEnumerateExA", ToProc(&DirectDrawEnumerateExA)}};
}

void ResetDirectDraw() { Memory() = CVideoMemory{}; }

} // namespace Platform::Detail
