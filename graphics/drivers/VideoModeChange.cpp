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

bool ChangeDriverVideoMode(CGraphics& driver, HWND window, CGraphicsParams params, const CVideoModeChange& change) {
    // A mode the display cannot show changes nothing.
    try {
        driver.AdjustVideoMode(params);
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
        return false;
    }
    Engine::CTimer& clock = GetGlobalClock();
    const int64_t elapsedBefore = clock.GetElapsed();
    driver.GetDeviceObjectManager().InvalidateAll();
    CGraphicsParams& current = driver.GetParams();
    const CGraphicsParams previous = current;
    current = params;
    driver.ApplyWindowMode(current, window);
    bool result = true;
    if (current.fullScreen && !change.enterFullScreen()) {
        GetLog().PrintLine("%s : Trying to restore previous mode", change.failedText);
        result = false;
        current = previous;
        driver.ApplyWindowMode(current, window);
        // The restore pass below runs even when the previous mode is refused too.
        if (current.fullScreen && !change.enterFullScreen()) GetLog().PrintLine("%s", change.failedText);
    }
    if (!current.fullScreen) ChangeDisplaySettings(nullptr, 0);
    driver.ApplyWindowMode(current, window);
    change.afterSwitch();
    driver.RestoreAfterReset(nullptr);
    // The change does not count as elapsed frame time.
    if (clock.IsRunning()) clock.MoveStart(clock.GetElapsed() - elapsedBefore);
    return result;
}

LRESULT OnFullScreenActivate(CGraphics* driver, const DEVMODE& fullScreenMode, const char* failedText, HWND window,
                             UINT message, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        // Back to the desktop mode while another window has the screen.
        const LRESULT result = CGraphics::WindowProc(driver, window, message, wParam, lParam);
        ShowWindow(window, SW_SHOWMINIMIZED);
        ChangeDisplaySettings(nullptr, 0);
        return result;
    }
    if (ChangeDisplaySettings(&fullScreenMode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
        GetLog().PrintLine("%s", failedText);
    ShowWindow(window, SW_SHOWNORMAL);
    return CGraphics::WindowProc(driver, window, message, wParam, lParam);
}

} // namespace Engine::Graphics
