#include "platform/XWithdraw.h"

#include <SDL_syswm.h>

namespace Platform {

bool WithdrawFromXDisplay(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* display = info.info.x11.display;
    const Window xwindow = info.info.x11.window;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, xwindow, &attributes) || attributes.map_state == IsUnmapped) return false;
    // Withdrawn, not only unmapped, so that a window manager lets go of it
    // too; synced, so that SDL finds it unmapped.
    XWithdrawWindow(display, xwindow, XScreenNumberOfScreen(attributes.screen));
    XSync(display, False);
    return true;
#else
    (void)window;
    return false;
#endif
}

} // namespace Platform
