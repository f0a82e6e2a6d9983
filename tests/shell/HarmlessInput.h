#pragma once
// Input that does not end the screensaver, as SDL events for a window: a
// quit look that meets it must not cut the frame.

#include <SDL.h>

#include <vector>

namespace ShellTesting {

struct CHarmlessInput {
    const char* name;
    std::vector<SDL_Event> (*events)(Uint32 window);
};

inline SDL_Event KeyOf(Uint32 window, SDL_Scancode scancode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = window;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    return event;
}

inline SDL_Event MoveTo(Uint32 window, int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = window;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

// Alt+Tab, and a mouse move along one axis.
inline const CHarmlessInput kHarmlessInputs[] = {
    {"AltTab",
     [](Uint32 w) {
         return std::vector<SDL_Event>{KeyOf(w, SDL_SCANCODE_LALT, true), KeyOf(w, SDL_SCANCODE_TAB, true),
                                       KeyOf(w, SDL_SCANCODE_TAB, false), KeyOf(w, SDL_SCANCODE_LALT, false)};
     }},
    {"MoveAlongOneAxis", [](Uint32 w) { return std::vector<SDL_Event>{MoveTo(w, 100, 100), MoveTo(w, 100, 150)}; }},
};

} // namespace ShellTesting
