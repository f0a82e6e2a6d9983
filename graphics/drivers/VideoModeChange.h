#pragma once
// What the windowed drivers share when they change video mode: finding the
// full-screen display mode for the parameters, and the change itself with
// its fall-back to the previous mode.

#include <functional>

#include "graphics/Graphics.h"
#include "platform/Display.h"

namespace Engine::Graphics {

// Among the display's modes of the parameters' screen size and the given
// depth: the first, replaced by a faster one as long as it stays within the
// refresh rate asked for (any rate when none is asked). False when the
// display has no such mode; `chosen` is then left as it was.
bool FindFullScreenMode(const CGraphicsParams& params, DWORD bitsPerPixel, DEVMODE& chosen);

// AdjustVideoMode for a run-time change: a mode the display cannot show is
// logged and gives false, never an exception.
bool FitVideoMode(CGraphics& driver, CGraphicsParams& params);

struct CVideoModeChange {
    // Enters the full-screen display mode of the driver's current
    // parameters; false when it cannot.
    std::function<bool()> enterFullScreen;
    // The driver's own work once the display and window are switched.
    std::function<void()> afterSwitch;
    // Logged (with " : Trying to restore previous mode") when the new mode
    // fails, and alone when the previous one fails too.
    const char* failedText;
    // Remakes what the driver sizes by the mode (before afterSwitch);
    // false when it cannot be made. None: nothing to remake.
    std::function<bool()> fitBuffers = nullptr;
};

// Fits the parameters (a mode the display cannot show is logged and changes
// nothing: false), invalidates the device objects, takes the new
// parameters and switches the display (a window goes back to the desktop
// mode) and the window; when the full-screen mode cannot be entered, or the
// driver's buffers cannot be fitted to it, the previous parameters, their
// display and buffers come back (buffers that cannot be made for those
// either throw failedText). Then the driver's own work, the restore of the
// device objects, and the time spent is taken out of the engine clock.
// False after falling back to the previous mode.
bool ChangeDriverVideoMode(CGraphics& driver, HWND window, CGraphicsParams params, const CVideoModeChange& change);

// WM_ACTIVATE of a full-screen driver window: deactivated, the window is
// minimised (unless it was hidden) and the desktop mode comes back;
// activated, the full-screen mode is set again (failedText is logged when it
// cannot be) and the window shown. The message then goes to the shared
// window procedure.
LRESULT OnFullScreenActivate(CGraphics* driver, const DEVMODE& fullScreenMode, const char* failedText, HWND window,
                             UINT message, WPARAM wParam, LPARAM lParam);

} // namespace Engine::Graphics
