#pragma once
// The one record in which every event reaches a control, and its codes.

#include <cstdint>

namespace Engine::Controls {

class CBaseControl;
class CTimer;

enum ControlEventCode : uint32_t {
    CE_FRAME_DRAG = 1,  // another event, redirected to a control that is moving or resizing
    CE_COMMAND = 7,
    CE_NOTIFY = 8,
    CE_TIMER = 9,
    CE_CREATE = 10,
    CE_DESTROY = 11,
    CE_CHILD_CREATED = 12,
    CE_MOUSE_MOVE = 14,
    CE_NC_MOUSE_MOVE = 15,
    CE_MOUSE_ENTER = 16,
    CE_MOUSE_LEAVE = 17,
    CE_LBUTTON_DOWN = 18,
    CE_LBUTTON_UP = 19,
    CE_RBUTTON_DOWN = 20,
    CE_RBUTTON_UP = 21,
    CE_MBUTTON_DOWN = 22,
    CE_MBUTTON_UP = 23,
    CE_NC_LBUTTON_DOWN = 24,
    CE_NC_LBUTTON_UP = 25,
    CE_NC_RBUTTON_DOWN = 26,
    CE_NC_RBUTTON_UP = 27,
    CE_NC_MBUTTON_DOWN = 28,
    CE_NC_MBUTTON_UP = 29,
    CE_KEY_DOWN = 31,
    CE_KEY_UP = 32,
    CE_CHAR = 33,
    CE_CAPTURE_RELEASED = 34,
    CE_SET_CAPTURE = 35,
    CE_CAPTURE_CANCELLED = 36,
    CE_KILL_FOCUS = 37,
    CE_SET_FOCUS = 38,
    CE_MENU = 39,
    CE_SET_CURSOR = 40,
};

// DirectInput key codes the widgets act on.
enum ControlKey : uint32_t {
    KEY_ESCAPE = 0x01,
    KEY_BACKSPACE = 0x0E,
    KEY_TAB = 0x0F,
    KEY_RETURN = 0x1C,
    KEY_SPACE = 0x39,
    KEY_HOME = 0xC7,
    KEY_UP = 0xC8,
    KEY_PAGE_UP = 0xC9,
    KEY_LEFT = 0xCB,
    KEY_RIGHT = 0xCD,
    KEY_END = 0xCF,
    KEY_DOWN = 0xD0,
    KEY_PAGE_DOWN = 0xD1,
    KEY_DELETE = 0xD3,
};

// Modifier flags of mouse and key events.
enum ControlModifier : uint32_t { MOD_SHIFT = 1, MOD_ALT = 2, MOD_CTRL = 4 };

// Filled with zeros before a sender sets any field. None of the pointers is
// counted: a posted event's target is kept alive by the manager's queue.
struct ControlEvent {
    uint32_t code = 0;
    uint32_t subCode = 0;  // frame-drag events: the code that was redirected
    // Client moves and client presses: relative to the client area; every
    // other mouse event: relative to the window rectangle.
    int32_t x = 0;
    int32_t y = 0;
    char16_t character = 0;
    uint32_t key = 0;
    uint32_t flags = 0;  // ControlModifier bits
    uint32_t hitTest = 0;
    int32_t notifyCode = 0;  // CE_NOTIFY
    uint32_t senderId = 0;   // CE_NOTIFY
    uint32_t commandId = 0;  // CE_COMMAND
    uint32_t commandCode = 0;
    CTimer* timer = nullptr;
    CBaseControl* other = nullptr;
    CBaseControl* extra = nullptr;
    CBaseControl* target = nullptr;
};

} // namespace Engine::Controls
