#include "platform/Display.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/Detail.h"
#include "platform/SdlBridge.h"
#include "platform/Testing.h"

using Platform::Testing::CDisplayMode;

namespace {

struct CDisplayState {
    std::mutex mutex;
    bool loaded = false;  // modes and desktop are known
    std::vector<CDisplayMode> modes;
    CDisplayMode desktop;
    CDisplayMode current;
    bool fullscreen = false;
};

CDisplayState& State() {
    static CDisplayState state;
    return state;
}

CDisplayMode FromSdl(const SDL_DisplayMode& mode) {
    const int bytes = SDL_BYTESPERPIXEL(mode.format);
    return CDisplayMode{DWORD(mode.w), DWORD(mode.h), DWORD(std::max(mode.refresh_rate, 0)),
                        bytes ? DWORD(bytes * 8) : 32u};
}

void LoadSdlModes(CDisplayState& state) {
    state.modes.clear();
    state.desktop = CDisplayMode{};
    if (Platform::EnsureSdlVideo()) {
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0) state.desktop = FromSdl(mode);
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            if (SDL_GetDisplayMode(0, i, &mode) != 0 || mode.w <= 0 || mode.h <= 0) continue;
            const CDisplayMode found = FromSdl(mode);
            if (std::find(state.modes.begin(), state.modes.end(), found) == state.modes.end())
                state.modes.push_back(found);
        }
    }
    // Some drivers list no usable mode: the desktop is always one.
    if (state.modes.empty() && state.desktop.width) state.modes.push_back(state.desktop);
    state.current = state.desktop;
    state.fullscreen = false;
}

CDisplayState& Loaded() {
    CDisplayState& state = State();
    if (!state.loaded) {
        LoadSdlModes(state);
        state.loaded = true;
    }
    return state;
}

void Fill(DEVMODE* out, const CDisplayMode& mode) {
    out->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    out->dmBitsPerPel = mode.bitsPerPixel;
    out->dmPelsWidth = mode.width;
    out->dmPelsHeight = mode.height;
    out->dmDisplayFrequency = mode.refresh;
}

// The listed mode a request names, fields it leaves out taken from the
// current mode; a refresh of 0 means any.
std::optional<CDisplayMode> FindRequested(const CDisplayState& state, const DEVMODE& request) {
    CDisplayMode wanted = state.current;
    if (request.dmFields & DM_PELSWIDTH) wanted.width = request.dmPelsWidth;
    if (request.dmFields & DM_PELSHEIGHT) wanted.height = request.dmPelsHeight;
    if (request.dmFields & DM_BITSPERPEL) wanted.bitsPerPixel = request.dmBitsPerPel;
    const DWORD refresh = (request.dmFields & DM_DISPLAYFREQUENCY) ? request.dmDisplayFrequency : 0;
    for (const CDisplayMode& mode : state.modes) {
        if (mode.width == wanted.width && mode.height == wanted.height &&
            mode.bitsPerPixel == wanted.bitsPerPixel && (refresh == 0 || mode.refresh == refresh))
            return mode;
    }
    return std::nullopt;
}

} // namespace

BOOL EnumDisplaySettings(const char* deviceName, DWORD modeIndex, DEVMODE* mode) {
    if (deviceName || !mode) return FALSE;
    CDisplayState& state = State();
    std::lock_guard lock(state.mutex);
    Loaded();
    if (modeIndex == ENUM_CURRENT_SETTINGS || modeIndex == ENUM_REGISTRY_SETTINGS) {
        const CDisplayMode& chosen = modeIndex == ENUM_CURRENT_SETTINGS ? state.current : state.desktop;
        if (!chosen.width) return FALSE;
        Fill(mode, chosen);
        return TRUE;
    }
    if (modeIndex >= state.modes.size()) return FALSE;
    Fill(mode, state.modes[modeIndex]);
    return TRUE;
}

LONG ChangeDisplaySettings(const DEVMODE* mode, DWORD flags) {
    if (Platform::Testing::ConsumeFailure(Platform::Testing::Failure::DisplayChange)) return DISP_CHANGE_FAILED;
    {
        CDisplayState& state = State();
        std::lock_guard lock(state.mutex);
        Loaded();
        if (!mode) {
            state.current = state.desktop;
            state.fullscreen = false;
        } else {
            const std::optional<CDisplayMode> found = FindRequested(state, *mode);
            if (!found) return DISP_CHANGE_BADMODE;
            if (flags & CDS_TEST) return DISP_CHANGE_SUCCESSFUL;
            state.current = *found;
            state.fullscreen = true;
        }
    }
    Platform::Detail::SyncFullscreenWindows();
    return DISP_CHANGE_SUCCESSFUL;
}

namespace Platform::Detail {

CCurrentMode GetCurrentMode() {
    CDisplayState& state = State();
    std::lock_guard lock(state.mutex);
    Loaded();
    CCurrentMode mode;
    mode.width = int(state.current.width);
    mode.height = int(state.current.height);
    mode.fullscreen = state.fullscreen;
    mode.isDesktop = state.current.width == state.desktop.width && state.current.height == state.desktop.height;
    return mode;
}

bool EnterFullScreenMode(HWND window, DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refresh) {
    DEVMODE mode;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | (refresh ? DM_DISPLAYFREQUENCY : 0);
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bitsPerPixel;
    mode.dmDisplayFrequency = refresh;
    if (ChangeDisplaySettings(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;
    // An exclusive device owns the screen: its window covers all of it.
    if (window) SetWindowPos(window, nullptr, 0, 0, int(width), int(height), SWP_NOZORDER);
    return true;
}

void ResetDisplay() {
    CDisplayState& state = State();
    std::lock_guard lock(state.mutex);
    state.loaded = false;
}

} // namespace Platform::Detail

namespace Platform::Testing {

void SetDisplayModes(std::vector<CDisplayMode> modes, CDisplayMode desktop) {
    CDisplayState& state = State();
    std::lock_guard lock(state.mutex);
    state.modes = std::move(modes);
    state.desktop = desktop;
    state.current = desktop;
    state.fullscreen = false;
    state.loaded = true;
}

void UseSdlDisplayModes() { Platform::Detail::ResetDisplay(); }

} // namespace Platform::Testing
