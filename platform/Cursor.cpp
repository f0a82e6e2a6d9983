#include "platform/Cursor.h"

#include <array>
#include <mutex>
#include <utility>

#include "platform/Detail.h"
#include "platform/SdlBridge.h"
#include "platform/Testing.h"

namespace {

constexpr int kCursorCount = IDC_HELP - IDC_ARROW + 1;

constexpr SDL_SystemCursor kSdlCursors[kCursorCount] = {
    SDL_SYSTEM_CURSOR_ARROW,    SDL_SYSTEM_CURSOR_IBEAM,     SDL_SYSTEM_CURSOR_WAIT,
    SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_ARROW,    SDL_SYSTEM_CURSOR_SIZENWSE,
    SDL_SYSTEM_CURSOR_SIZENESW, SDL_SYSTEM_CURSOR_SIZEWE,    SDL_SYSTEM_CURSOR_SIZENS,
    SDL_SYSTEM_CURSOR_SIZEALL,  SDL_SYSTEM_CURSOR_NO,        SDL_SYSTEM_CURSOR_HAND,
    SDL_SYSTEM_CURSOR_WAITARROW, SDL_SYSTEM_CURSOR_ARROW,
};

// Handles are the ids themselves: never dereferenced, always comparable.
HCURSOR HandleOf(int index) { return reinterpret_cast<HCURSOR>(uintptr_t(IDC_ARROW + index)); }
int IndexOf(HCURSOR cursor) { return int(reinterpret_cast<uintptr_t>(cursor)) - IDC_ARROW; }

struct CCursorState {
    std::mutex mutex;
    std::array<SDL_Cursor*, kCursorCount> sdl{};  // made on first use
    HCURSOR current = HandleOf(0);  // the arrow, as at start-up
    int displayCount = 0;
    Platform::Detail::CPictureCursor picture;
    SDL_Cursor* pictureSdl = nullptr;  // null where SDL draws no cursors
    bool pictureShown = false;
    POINT picturePosition{};
};

CCursorState& State() {
    static CCursorState state;
    return state;
}

bool SystemCursorVisible(const CCursorState& state) { return state.displayCount >= 0 && state.current; }

// Puts the pointer SDL shows in line with the state: the picture cursor
// while it is shown, else the system cursor as set and counted.
void ApplyToSdl(CCursorState& state) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    if (state.pictureShown) {
        if (state.pictureSdl) SDL_SetCursor(state.pictureSdl);
        SDL_ShowCursor(SDL_ENABLE);
        return;
    }
    const int index = IndexOf(state.current);
    if (state.current && index >= 0 && index < kCursorCount) {
        if (!state.sdl[size_t(index)]) state.sdl[size_t(index)] = SDL_CreateSystemCursor(kSdlCursors[index]);
        if (state.sdl[size_t(index)]) SDL_SetCursor(state.sdl[size_t(index)]);
    }
    SDL_ShowCursor(SystemCursorVisible(state) ? SDL_ENABLE : SDL_DISABLE);
}

void FreePictureCursor(CCursorState& state) {
    if (state.pictureSdl) SDL_FreeCursor(state.pictureSdl);
    state.pictureSdl = nullptr;
}

} // namespace

HCURSOR LoadCursor(HINSTANCE instance, IDC_CURSOR id) {
    const int index = int(id) - IDC_ARROW;
    if (instance || index < 0 || index >= kCursorCount) return nullptr;
    return HandleOf(index);
}

HCURSOR SetCursor(HCURSOR cursor) {
    CCursorState& state = State();
    std::lock_guard lock(state.mutex);
    HCURSOR previous = state.current;
    const int index = IndexOf(cursor);
    if (cursor && (index < 0 || index >= kCursorCount)) return previous;
    state.current = cursor;
    ApplyToSdl(state);
    return previous;
}

int ShowCursor(BOOL show) {
    CCursorState& state = State();
    std::lock_guard lock(state.mutex);
    state.displayCount += show ? 1 : -1;
    ApplyToSdl(state);
    return state.displayCount;
}

BOOL GetIconInfo(HCURSOR cursor, ICONINFO* info) {
    const int index = IndexOf(cursor);
    if (!cursor || !info || index < 0 || index >= kCursorCount) return FALSE;
    constexpr int kSize = 32;
    BITMAPINFO bitmapInfo;
    bitmapInfo.bmiHeader.biWidth = kSize;
    bitmapInfo.bmiHeader.biHeight = -2 * kSize;
    bitmapInfo.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP mask = CreateDIBSection(nullptr, &bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!mask) return FALSE;
    // A white arrow with a black edge: the AND half keeps the screen outside
    // it, the XOR half gives its colours.
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const bool inside = y < kSize / 2 && x <= y;
            const bool edge = x == 0 || x == y || y == kSize / 2 - 1;
            pixels[y * kSize + x] = inside ? 0 : 0xFFFFFF;
            pixels[(kSize + y) * kSize + x] = inside && !edge ? 0xFFFFFF : 0;
        }
    // Every picture is the arrow, but the hot spots are those of the
    // cursors they stand for: pointers at the tip, the rest at the centre.
    const IDC_CURSOR id = IDC_CURSOR(IDC_ARROW + index);
    const bool pointer = id == IDC_ARROW || id == IDC_UPARROW || id == IDC_HAND || id == IDC_APPSTARTING ||
                         id == IDC_HELP;
    const DWORD hotSpot = pointer ? 0 : kSize / 2;
    *info = ICONINFO{FALSE, hotSpot, hotSpot, mask, nullptr};
    return TRUE;
}

namespace Platform::Detail {

void SetPictureCursor(CPictureCursor picture) {
    CCursorState& state = State();
    std::lock_guard lock(state.mutex);
    FreePictureCursor(state);
    state.picture = std::move(picture);
    CPictureCursor& p = state.picture;
    if (SDL_WasInit(SDL_INIT_VIDEO) && p.width > 0 && p.height > 0 &&
        p.pixels.size() == size_t(p.width) * size_t(p.height)) {
        if (const CSdlSurface surface = WrapArgbPixels(p.pixels.data(), p.width, p.height))
            state.pictureSdl = SDL_CreateColorCursor(surface.get(), p.hotX, p.hotY);
    }
    ApplyToSdl(state);
}

void ShowPictureCursor(bool show) {
    CCursorState& state = State();
    std::lock_guard lock(state.mutex);
    state.pictureShown = show;
    ApplyToSdl(state);
}

void MovePictureCursor(int x, int y) {
    CCursorState& state = State();
    std::lock_guard lock(state.mutex);
    state.picturePosition = POINT{x, y};
}

void ResetCursor() {
    CCursorState& state = State();
    std::lock_guard lock(state.mutex);
    state.current = HandleOf(0);
    state.displayCount = 0;
    FreePictureCursor(state);
    state.picture = CPictureCursor{};
    state.pictureShown = false;
    state.picturePosition = POINT{};
}

} // namespace Platform::Detail

namespace Platform::Testing {

HCURSOR GetCurrentCursor() {
    CCursorState& state = State();
    std::lock_guard lock(state.mutex);
    return state.current;
}

int GetCursorDisplayCount() {
    CCursorState& state = State();
    std::lock_guard lock(state.mutex);
    return state.displayCount;
}

CShownPointer GetShownPointer() {
    CCursorState& state = State();
    std::lock_guard lock(state.mutex);
    CShownPointer shown;
    shown.picture = state.pictureShown;
    shown.visible = state.pictureShown || SystemCursorVisible(state);
    if (state.pictureShown) {
        const Platform::Detail::CPictureCursor& p = state.picture;
        shown.width = p.width;
        shown.height = p.height;
        shown.hotX = p.hotX;
        shown.hotY = p.hotY;
        shown.pixels = p.pixels;
        shown.x = state.picturePosition.x;
        shown.y = state.picturePosition.y;
    }
    return shown;
}

} // namespace Platform::Testing
