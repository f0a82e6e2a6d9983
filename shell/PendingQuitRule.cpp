#include "shell/PendingQuitRule.h"

#include <cstdint>
#include <set>

#include "platform/Keyboard.h"
#include "platform/PendingInput.h"

namespace Engine {
namespace {

int32_t KeyOf(const MSG& msg) { return int32_t(uintptr_t(msg.wParam) & 0xFFFF); }

// Alt+Enter's character: the window swallows Return and Alt until released.
bool IsAltEnter(const MSG& msg) {
    const bool character = msg.message == WM_SYSCHAR && KeyOf(msg) == 13;
    const bool key = msg.message == WM_SYSKEYDOWN && KeyOf(msg) == VK_RETURN;
    return (character || key) && (msg.lParam & KEYDATA_ALTDOWN);
}

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

} // namespace

bool CPendingQuitRule::EndsRun(const std::vector<MSG>& pending) const {
    std::set<int32_t> swallowed = m_graphics.GetSwallowedKeys();
    std::optional<CMouseQuitRule> mouse = m_mouse;
    for (const MSG& msg : pending) {
        if (msg.message == WM_QUIT || msg.message == Platform::PENDING_SDL_QUIT) return true;
        // Dispatch hands a posted message with no window to nobody.
        if (!msg.hwnd || msg.hwnd != m_window) continue;
        if (msg.message == WM_CLOSE) return true;
        if (!mouse) continue;
        if (msg.message == WM_KEYDOWN && !swallowed.count(KeyOf(msg))) return true;
        if (msg.message == WM_KEYUP) swallowed.erase(KeyOf(msg));
        if (IsAltEnter(msg)) swallowed.insert({VK_RETURN, VK_MENU});
        if (IsButtonDown(msg.message)) return true;
        if (msg.message == WM_MOUSEMOVE) {
            int32_t x = 0, y = 0;
            m_graphics.MouseMoveToScreen(msg.lParam, x, y);
            if (mouse->OnMouseMove(x, y)) return true;
        }
    }
    return false;
}

} // namespace Engine
