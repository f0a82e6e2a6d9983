#include "platform/Gdi.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "platform/Detail.h"
#include "platform/SdlBridge.h"
#include "platform/Testing.h"

namespace {

struct CDibSection {
    std::vector<uint32_t> pixels;
    LONG width = 0, height = 0;  // height negative for top-down rows
    HDC selectedInto = nullptr;
};

struct CMemoryDC {
    HGDIOBJ selected;
    int backgroundMode = OPAQUE;
};

// Handles of both tables come from one counter far above the window
// handles, so that a memory context is never mistaken for a window's.
struct CGdiTable {
    std::map<uintptr_t, CMemoryDC> contexts;
    std::map<uintptr_t, std::unique_ptr<CDibSection>> bitmaps;
    uintptr_t nextHandle = uintptr_t(1) << 40;
};

CGdiTable& Table() {
    static CGdiTable table;
    return table;
}

// A window's surface, black when SDL has just made it: a window shows
// nothing before its first picture.
SDL_Surface* WindowSurface(HWND window) {
    static std::map<HWND, SDL_Surface*> known;
    SDL_Window* sdl = Platform::GetSdlWindow(window);
    SDL_Surface* surface = sdl ? SDL_GetWindowSurface(sdl) : nullptr;
    if (surface && known[window] != surface) {
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        known[window] = surface;
    }
    return surface;
}

// What a new memory context holds before anything is selected.
HGDIOBJ StockBitmap() { return reinterpret_cast<HGDIOBJ>(uintptr_t(0x1FF)); }

CMemoryDC* FindContext(HDC dc) {
    auto it = Table().contexts.find(reinterpret_cast<uintptr_t>(dc));
    return it == Table().contexts.end() ? nullptr : &it->second;
}

CDibSection* FindBitmap(HGDIOBJ object) {
    auto it = Table().bitmaps.find(reinterpret_cast<uintptr_t>(object));
    return it == Table().bitmaps.end() ? nullptr : it->second.get();
}

bool IsSupported(const BITMAPINFO& info) {
    const BITMAPINFOHEADER& h = info.bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biBitCount != 32) return false;
    if (h.biCompression == BI_RGB) return true;
    return h.biCompression == BI_BITFIELDS && info.bmiColors[0] == 0x00FF0000 && info.bmiColors[1] == 0x0000FF00 &&
           info.bmiColors[2] == 0x000000FF;
}

} // namespace

HDC CreateCompatibleDC(HDC) {
    CGdiTable& t = Table();
    const uintptr_t handle = t.nextHandle++;
    t.contexts[handle] = CMemoryDC{StockBitmap()};
    return reinterpret_cast<HDC>(handle);
}

BOOL DeleteDC(HDC dc) {
    CMemoryDC* context = FindContext(dc);
    if (!context) return FALSE;
    if (CDibSection* bitmap = FindBitmap(context->selected)) bitmap->selectedInto = nullptr;
    Table().contexts.erase(reinterpret_cast<uintptr_t>(dc));
    return TRUE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    if (!info || !bits || usage != DIB_RGB_COLORS || !IsSupported(*info) ||
        Platform::Testing::ConsumeFailure(Platform::Testing::Failure::DibSection))
        return nullptr;
    const size_t width = size_t(info->bmiHeader.biWidth);
    const size_t height = size_t(std::abs(int64_t(info->bmiHeader.biHeight)));
    auto bitmap = std::make_unique<CDibSection>();
    try {
        bitmap->pixels.assign(width * height, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    bitmap->width = info->bmiHeader.biWidth;
    bitmap->height = info->bmiHeader.biHeight;
    *bits = bitmap->pixels.data();
    CGdiTable& t = Table();
    const uintptr_t handle = t.nextHandle++;
    t.bitmaps[handle] = std::move(bitmap);
    return reinterpret_cast<HBITMAP>(handle);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    CMemoryDC* context = FindContext(dc);
    CDibSection* bitmap = FindBitmap(object);
    if (!context || (!bitmap && object != StockBitmap())) return nullptr;
    if (bitmap && bitmap->selectedInto && bitmap->selectedInto != dc) return nullptr;
    const HGDIOBJ previous = context->selected;
    if (CDibSection* old = FindBitmap(previous)) old->selectedInto = nullptr;
    if (bitmap) bitmap->selectedInto = dc;
    context->selected = object;
    return previous;
}

int GetObjectA(HGDIOBJ object, int size, void* out) {
    const CDibSection* bitmap = FindBitmap(object);
    if (!bitmap || !out || size < int(sizeof(BITMAP))) return 0;
    BITMAP result;
    result.bmWidth = bitmap->width;
    result.bmHeight = LONG(std::abs(int64_t(bitmap->height)));
    result.bmWidthBytes = bitmap->width * 4;
    std::memcpy(out, &result, sizeof(result));
    return int(sizeof(result));
}

int GetDIBits(HDC, HBITMAP handle, UINT startScan, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
    const CDibSection* bitmap = FindBitmap(reinterpret_cast<HGDIOBJ>(handle));
    if (!bitmap || bitmap->selectedInto || !bits || !info || usage != DIB_RGB_COLORS) return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biWidth != bitmap->width) return 0;
    const int64_t height = std::abs(int64_t(bitmap->height));
    if (startScan >= height) return 0;
    const int64_t count = std::min<int64_t>(lines, height - startScan);
    const size_t width = size_t(bitmap->width);
    auto* out = static_cast<uint32_t*>(bits);
    for (int64_t k = 0; k < count; ++k) {
        const int64_t fromBottom = int64_t(startScan) + k;
        const int64_t stored = bitmap->height < 0 ? height - 1 - fromBottom : fromBottom;
        const int64_t target = h.biHeight < 0 ? count - 1 - k : k;
        std::memcpy(out + size_t(target) * width, bitmap->pixels.data() + size_t(stored) * width, width * 4);
    }
    return int(count);
}

int SetBkMode(HDC dc, int mode) {
    CMemoryDC* context = FindContext(dc);
    if (!context) return 0;
    const int previous = context->backgroundMode;
    context->backgroundMode = mode;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
    CDibSection* bitmap = FindBitmap(object);
    if (!bitmap) return object ? TRUE : FALSE;
    if (bitmap->selectedInto) return FALSE;
    Table().bitmaps.erase(reinterpret_cast<uintptr_t>(object));
    return TRUE;
}

int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int xSource, int ySource, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
    HWND window = WindowFromDC(dc);
    SDL_Window* sdl = Platform::GetSdlWindow(window);
    if (!sdl || !bits || !info || usage != DIB_RGB_COLORS || !IsSupported(*info) || info->bmiHeader.biHeight > 0)
        return 0;
    const int64_t dibWidth = info->bmiHeader.biWidth;
    const int64_t dibHeight = std::abs(int64_t(info->bmiHeader.biHeight));
    // The source rectangle in top-down rows of the whole bitmap.
    int64_t left = xSource, top = dibHeight - ySource - int64_t(height);
    int64_t right = left + width, bottom = top + int64_t(height);
    // Only the rows the bits hold (counted from the bottom like ySource).
    const int64_t heldTop = dibHeight - int64_t(startScan) - int64_t(lines);
    const int64_t heldBottom = dibHeight - int64_t(startScan);
    RECT client{};
    GetClientRect(window, &client);
    SDL_Surface* surface = WindowSurface(window);
    if (!surface) return 0;
    const int64_t outWidth = std::min<int64_t>(client.right, surface->w);
    const int64_t outHeight = std::min<int64_t>(client.bottom, surface->h);
    // Cut to the bitmap, the rows held and the window; keep source and
    // destination in step.
    int64_t dx = x, dy = y;
    auto cut = [](int64_t& from, int64_t& to, int64_t& dest, int64_t low, int64_t high, int64_t destHigh) {
        const int64_t shift = std::max({low - from, -dest, int64_t(0)});
        from += shift;
        dest += shift;
        to = std::min({to, high, from + (destHigh - dest)});
    };
    cut(left, right, dx, 0, dibWidth, outWidth);
    cut(top, bottom, dy, std::max<int64_t>(heldTop, 0), std::min(heldBottom, dibHeight), outHeight);
    if (right <= left || bottom <= top) return 0;
    const uint32_t* first = static_cast<const uint32_t*>(bits) + (top - heldTop) * dibWidth + left;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    auto* out = static_cast<uint8_t*>(surface->pixels) + dy * surface->pitch + dx * surface->format->BytesPerPixel;
    SDL_ConvertPixels(int(right - left), int(bottom - top), SDL_PIXELFORMAT_RGB888, first, int(dibWidth * 4),
                      surface->format->format, out, surface->pitch);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    const SDL_Rect rect{int(dx), int(dy), int(right - left), int(bottom - top)};
    SDL_UpdateWindowSurfaceRects(sdl, &rect, 1);
    return int(bottom - top);
}

namespace Platform::Detail {

void ResetGdi() {
    // Handles stay unique across resets, so a stale one is refused.
    const uintptr_t next = Table().nextHandle;
    Table() = CGdiTable{};
    Table().nextHandle = next;
}

} // namespace Platform::Detail

namespace Platform::Testing {

bool ReadWindowPicture(HWND window, std::vector<uint32_t>& pixels, int& width, int& height) {
    // An OpenGL window has no surface to read: what its swaps presented.
    if (Platform::Detail::IsOpenGlWindow(window))
        return Platform::Detail::FindSwappedPicture(Platform::GetSdlWindow(window), pixels, width, height);
    SDL_Surface* surface = WindowSurface(window);
    if (!surface) return false;
    width = surface->w;
    height = surface->h;
    pixels.assign(size_t(width) * size_t(height), 0);
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    const int result = SDL_ConvertPixels(width, height, surface->format->format, surface->pixels, surface->pitch,
                                         SDL_PIXELFORMAT_RGB888, pixels.data(), width * 4);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    // The byte above the colour is not part of the picture.
    for (uint32_t& p : pixels) p &= 0x00FFFFFF;
    return result == 0;
}

} // namespace Platform::Testing
