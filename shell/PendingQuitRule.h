#pragma once
// Whether dispatching the messages waiting would end the run, worked out on
// copies of the state dispatch reads, so that a frame cut short for a quit
// is always followed by one: a close of the window, SDL's quit event or a
// posted quit always ends it, a message posted to no window never; for an
// application that ends on input (the screensaver), so does a key-down the
// window passes on (not a system key, not a key it swallows after Alt+Enter),
// a mouse press, or a mouse move by the application's mouse rule.

#include <optional>
#include <vector>

#include "graphics/Graphics.h"
#include "platform/Messages.h"
#include "shell/MouseQuitRule.h"

namespace Engine {

class CPendingQuitRule {
public:
    // The messages to the window go to the driver's window procedure.
    CPendingQuitRule(const Graphics::CGraphics& graphics, HWND window) : m_graphics(graphics), m_window(window) {}

    // Keys, presses and moves by a copy of the mouse rule end the run too.
    void EndOnInput(const CMouseQuitRule& mouse) { m_mouse = mouse; }

    bool EndsRun(const std::vector<MSG>& pending) const;

private:
    const Graphics::CGraphics& m_graphics;
    HWND m_window;
    std::optional<CMouseQuitRule> m_mouse;
};

} // namespace Engine
