#include "graphics/drivers/VideoModeChange.h"

#include "app/Exception.h"
#include "app/Log.h"
#include "app/Timer.h"
#include "platform/Messages.h"
#include "platform/Window.h"

namespace Engine::Graphics {

bool FindFullScreenMode(const CGraphicsParams& params, DWORD bitsPerPixel, DEVMODE& chosen) {
    const DWORD refresh = DWORD(params.refresh);
    bool found = false;
    DEVMODE best{};
    DEVMODE mode{};
    for (DWORD index = 0; EnumDisplaySettings(nullptr, index, &mode); ++index) {
        if (mode.dmPelsWidth != DWORD(params.screenWidth) || mode.dmPelsHeight != DWORD(params.screenHeight) ||
            mode.dmBitsPerPel != bitsPerPixel)
            continue;
        if (!found || (mode.dmDisplayFrequency > best.dmDisplayFrequency &&
                       (refresh == 0 || mode.dmDisplayFrequency <= refresh)))
            best = mode;
        found = true;
    }
    if (found) chosen = best;
    return found;
}

bool FitVideoMode(CGraphics& driver, CGraphicsParams& params) {
    try {
        driver.AdjustVideoMode(params);
        return true;
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
        return false;
    }
}

namespace {

// The display and window for the driver's current parameters: the
// full-screen mode entered (false when refused), or the desktop mode back.
bool SwitchDisplay(CGraphics& driver, HWND window, const CVideoModeChange& change) {
    const CGraphicsParams& current = driver.GetParams();
    driver.ApplyWindowMode(current, window);
    if (current.fullScreen) return change.enterFullScreen();
    ChangeDisplaySettings(nullptr, 0);
    return true;
}

bool FitBuffers(CGraphics& driver, HWND window, const CVideoModeChange& change) {
    driver.ApplyWindowMode(driver.GetParams(), window);
    return !change.fitBuffers || change.fitBuffers();
}

} // namespace

bool ChangeDriverVideoMode(CGraphics& driver, HWND window, CGraphicsParams params, const CVideoModeChange& change) {
    // A mode the display cannot show changes nothing.
    if (!FitVideoMode(driver, params)) return false;
    Engine::CTimer& clock = GetGlobalClock();
    const int64_t elapsedBefore = clock.GetElapsed();
    driver.GetDeviceObjectManager().InvalidateAll();
    CGraphicsParams& current = driver.GetParams();
    const CGraphicsParams previous = current;
    current = params;
    bool result = true;
    if (!SwitchDisplay(driver, window, change) || !FitBuffers(driver, window, change)) {
        GetLog().PrintLine("%s : Trying to restore previous mode", change.failedText);
        result = false;
        current = previous;
        // The restore pass below runs even when the previous mode is refused too.
        if (!SwitchDisplay(driver, window, change)) GetLog().PrintLine("%s", change.failedText);
        // Without buffers for either mode the driver cannot go on.
        if (!FitBuffers(driver, window, change)) throw CException(change.failedText);
    }
    change.afterSwitch();
    driver.RestoreAfterReset(nullptr);
    // The change does not count as elapsed frame time.
    if (clock.IsRunning()) clock.MoveStart(clock.GetElapsed() - elapsedBefore);
    return result;
}

LRESULT OnFullScreenActivate(CGraphics* driver, const DEVMODE& fullScreenMode, const char* failedText, HWND window,
                             UINT message, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        // Back to the desktop mode while another window has the screen. A
        // window hidden to be closed stays hidden: minimised, it would be
        // shown again.
        const LRESULT result = CGraphics::WindowProc(driver, window, message, wParam, lParam);
        if (IsWindowVisible(window)) ShowWindow(window, SW_SHOWMINIMIZED);
        ChangeDisplaySettings(nullptr, 0);
        return result;
    }
    if (ChangeDisplaySettings(&fullScreenMode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
        GetLog().PrintLine("%s", failedText);
    ShowWindow(window, SW_SHOWNORMAL);
    return CGraphics::WindowProc(driver, window, message, wParam, lParam);
}

} // namespace Engine::Graphics
