#include "platform/Keyboard.h"

#include <array>
#include <mutex>

#include "platform/Detail.h"
#include "platform/Messages.h"

namespace {

struct CLayoutKey {
    SDL_Scancode scancode;
    WORD scanCode;
    BYTE virtualKey;
};

constexpr BYTE Letter(char c) { return BYTE(c); }

// The PC keyboard: SDL's key positions, their set-1 scan codes and virtual keys.
constexpr CLayoutKey kLayout[] = {
    {SDL_SCANCODE_ESCAPE, 0x01, VK_ESCAPE},
    {SDL_SCANCODE_1, 0x02, '1'}, {SDL_SCANCODE_2, 0x03, '2'}, {SDL_SCANCODE_3, 0x04, '3'},
    {SDL_SCANCODE_4, 0x05, '4'}, {SDL_SCANCODE_5, 0x06, '5'}, {SDL_SCANCODE_6, 0x07, '6'},
    {SDL_SCANCODE_7, 0x08, '7'}, {SDL_SCANCODE_8, 0x09, '8'}, {SDL_SCANCODE_9, 0x0A, '9'},
    {SDL_SCANCODE_0, 0x0B, '0'},
    {SDL_SCANCODE_MINUS, 0x0C, VK_OEM_MINUS}, {SDL_SCANCODE_EQUALS, 0x0D, VK_OEM_PLUS},
    {SDL_SCANCODE_BACKSPACE, 0x0E, VK_BACK}, {SDL_SCANCODE_TAB, 0x0F, VK_TAB},
    {SDL_SCANCODE_Q, 0x10, Letter('Q')}, {SDL_SCANCODE_W, 0x11, Letter('W')},
    {SDL_SCANCODE_E, 0x12, Letter('E')}, {SDL_SCANCODE_R, 0x13, Letter('R')},
    {SDL_SCANCODE_T, 0x14, Letter('T')}, {SDL_SCANCODE_Y, 0x15, Letter('Y')},
    {SDL_SCANCODE_U, 0x16, Letter('U')}, {SDL_SCANCODE_I, 0x17, Letter('I')},
    {SDL_SCANCODE_O, 0x18, Letter('O')}, {SDL_SCANCODE_P, 0x19, Letter('P')},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A, VK_OEM_4}, {SDL_SCANCODE_RIGHTBRACKET, 0x1B, VK_OEM_6},
    {SDL_SCANCODE_RETURN, 0x1C, VK_RETURN}, {SDL_SCANCODE_LCTRL, 0x1D, VK_LCONTROL},
    {SDL_SCANCODE_A, 0x1E, Letter('A')}, {SDL_SCANCODE_S, 0x1F, Letter('S')},
    {SDL_SCANCODE_D, 0x20, Letter('D')}, {SDL_SCANCODE_F, 0x21, Letter('F')},
    {SDL_SCANCODE_G, 0x22, Letter('G')}, {SDL_SCANCODE_H, 0x23, Letter('H')},
    {SDL_SCANCODE_J, 0x24, Letter('J')}, {SDL_SCANCODE_K, 0x25, Letter('K')},
    {SDL_SCANCODE_L, 0x26, Letter('L')},
    {SDL_SCANCODE_SEMICOLON, 0x27, VK_OEM_1}, {SDL_SCANCODE_APOSTROPHE, 0x28, VK_OEM_7},
    {SDL_SCANCODE_GRAVE, 0x29, VK_OEM_3}, {SDL_SCANCODE_LSHIFT, 0x2A, VK_LSHIFT},
    {SDL_SCANCODE_BACKSLASH, 0x2B, VK_OEM_5},
    {SDL_SCANCODE_Z, 0x2C, Letter('Z')}, {SDL_SCANCODE_X, 0x2D, Letter('X')},
    {SDL_SCANCODE_C, 0x2E, Letter('C')}, {SDL_SCANCODE_V, 0x2F, Letter('V')},
    {SDL_SCANCODE_B, 0x30, Letter('B')}, {SDL_SCANCODE_N, 0x31, Letter('N')},
    {SDL_SCANCODE_M, 0x32, Letter('M')},
    {SDL_SCANCODE_COMMA, 0x33, VK_OEM_COMMA}, {SDL_SCANCODE_PERIOD, 0x34, VK_OEM_PERIOD},
    {SDL_SCANCODE_SLASH, 0x35, VK_OEM_2}, {SDL_SCANCODE_RSHIFT, 0x36, VK_RSHIFT},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37, VK_MULTIPLY}, {SDL_SCANCODE_LALT, 0x38, VK_LMENU},
    {SDL_SCANCODE_SPACE, 0x39, VK_SPACE}, {SDL_SCANCODE_CAPSLOCK, 0x3A, VK_CAPITAL},
    {SDL_SCANCODE_F1, 0x3B, VK_F1 + 0}, {SDL_SCANCODE_F2, 0x3C, VK_F1 + 1},
    {SDL_SCANCODE_F3, 0x3D, VK_F1 + 2}, {SDL_SCANCODE_F4, 0x3E, VK_F1 + 3},
    {SDL_SCANCODE_F5, 0x3F, VK_F1 + 4}, {SDL_SCANCODE_F6, 0x40, VK_F1 + 5},
    {SDL_SCANCODE_F7, 0x41, VK_F1 + 6}, {SDL_SCANCODE_F8, 0x42, VK_F1 + 7},
    {SDL_SCANCODE_F9, 0x43, VK_F1 + 8}, {SDL_SCANCODE_F10, 0x44, VK_F1 + 9},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45, VK_NUMLOCK}, {SDL_SCANCODE_SCROLLLOCK, 0x46, VK_SCROLL},
    {SDL_SCANCODE_KP_7, 0x47, VK_NUMPAD0 + 7}, {SDL_SCANCODE_KP_8, 0x48, VK_NUMPAD0 + 8},
    {SDL_SCANCODE_KP_9, 0x49, VK_NUMPAD0 + 9}, {SDL_SCANCODE_KP_MINUS, 0x4A, VK_SUBTRACT},
    {SDL_SCANCODE_KP_4, 0x4B, VK_NUMPAD0 + 4}, {SDL_SCANCODE_KP_5, 0x4C, VK_NUMPAD0 + 5},
    {SDL_SCANCODE_KP_6, 0x4D, VK_NUMPAD0 + 6}, {SDL_SCANCODE_KP_PLUS, 0x4E, VK_ADD},
    {SDL_SCANCODE_KP_1, 0x4F, VK_NUMPAD0 + 1}, {SDL_SCANCODE_KP_2, 0x50, VK_NUMPAD0 + 2},
    {SDL_SCANCODE_KP_3, 0x51, VK_NUMPAD0 + 3}, {SDL_SCANCODE_KP_0, 0x52, VK_NUMPAD0 + 0},
    {SDL_SCANCODE_KP_PERIOD, 0x53, VK_DECIMAL}, {SDL_SCANCODE_NONUSBACKSLASH, 0x56, VK_OEM_102},
    {SDL_SCANCODE_F11, 0x57, VK_F1 + 10}, {SDL_SCANCODE_F12, 0x58, VK_F1 + 11},
    {SDL_SCANCODE_KP_ENTER, 0xE01C, VK_RETURN}, {SDL_SCANCODE_RCTRL, 0xE01D, VK_RCONTROL},
    {SDL_SCANCODE_KP_DIVIDE, 0xE035, VK_DIVIDE}, {SDL_SCANCODE_PRINTSCREEN, 0xE037, VK_SNAPSHOT},
    {SDL_SCANCODE_RALT, 0xE038, VK_RMENU}, {SDL_SCANCODE_PAUSE, 0xE045, VK_PAUSE},
    {SDL_SCANCODE_HOME, 0xE047, VK_HOME}, {SDL_SCANCODE_UP, 0xE048, VK_UP},
    {SDL_SCANCODE_PAGEUP, 0xE049, VK_PRIOR}, {SDL_SCANCODE_LEFT, 0xE04B, VK_LEFT},
    {SDL_SCANCODE_RIGHT, 0xE04D, VK_RIGHT}, {SDL_SCANCODE_END, 0xE04F, VK_END},
    {SDL_SCANCODE_DOWN, 0xE050, VK_DOWN}, {SDL_SCANCODE_PAGEDOWN, 0xE051, VK_NEXT},
    {SDL_SCANCODE_INSERT, 0xE052, VK_INSERT}, {SDL_SCANCODE_DELETE, 0xE053, VK_DELETE},
    {SDL_SCANCODE_LGUI, 0xE05B, VK_LWIN}, {SDL_SCANCODE_RGUI, 0xE05C, VK_RWIN},
    {SDL_SCANCODE_APPLICATION, 0xE05D, VK_APPS},
};

// Two views of the keys: as the SDL events taken in so far say (used while
// turning events into messages), and as the messages taken from the queue so
// far say (GetKeyboardState and TranslateMessage), so that a message is read
// together with the key state of its own moment.
struct CKeyboardState {
    std::mutex mutex;
    std::array<BYTE, 256> physical{};
    std::array<BYTE, 256> keys{};
};

CKeyboardState& State() {
    static CKeyboardState state;
    return state;
}

void SetOne(std::array<BYTE, 256>& keys, BYTE virtualKey, bool down) {
    BYTE& key = keys[virtualKey];
    if (down) {
        if (!(key & 0x80)) key ^= 0x01;
        key |= 0x80;
    } else {
        key &= BYTE(~0x80);
    }
}

// Sets a key and, for a sided modifier, the shared key, which is down while
// either of its two keys is.
void SetKey(std::array<BYTE, 256>& keys, BYTE virtualKey, bool down) {
    SetOne(keys, virtualKey, down);
    const BYTE shared = Platform::Detail::SharedVirtualKey(virtualKey);
    if (shared == virtualKey) return;
    const BYTE left = shared == VK_SHIFT ? VK_LSHIFT : shared == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
    SetOne(keys, shared, (keys[left] & 0x80) || (keys[left + 1] & 0x80));
}

} // namespace

namespace Platform::Detail {

bool LookupSdlKey(SDL_Scancode scancode, SDL_Keycode keycode, CKeyInfo& key) {
    for (const CLayoutKey& entry : kLayout) {
        if (entry.scancode != scancode) continue;
        key.scanCode = entry.scanCode;
        key.virtualKey = entry.virtualKey;
        // Letters follow the keyboard layout, as virtual keys do.
        if (keycode >= SDLK_a && keycode <= SDLK_z) key.virtualKey = BYTE('A' + (keycode - SDLK_a));
        return true;
    }
    return false;
}

BYTE SharedVirtualKey(BYTE virtualKey) {
    switch (virtualKey) {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
    default: return virtualKey;
    }
}

void SetPhysicalKey(BYTE virtualKey, bool down) {
    CKeyboardState& state = State();
    std::lock_guard lock(state.mutex);
    SetKey(state.physical, virtualKey, down);
}

std::array<BYTE, 256> CopyPhysicalKeys() {
    CKeyboardState& state = State();
    std::lock_guard lock(state.mutex);
    return state.physical;
}

void SetKeyState(std::array<BYTE, 256>& keys, BYTE virtualKey, bool down) { SetKey(keys, virtualKey, down); }

bool IsPhysicalKeyDown(BYTE virtualKey) {
    CKeyboardState& state = State();
    std::lock_guard lock(state.mutex);
    return (state.physical[virtualKey] & 0x80) != 0;
}

bool IsKeyDown(BYTE virtualKey) {
    CKeyboardState& state = State();
    std::lock_guard lock(state.mutex);
    return (state.keys[virtualKey] & 0x80) != 0;
}

void ApplyInputMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    BYTE virtualKey = 0;
    bool down = false;
    switch (message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: down = true; [[fallthrough]];
    case WM_KEYUP: case WM_SYSKEYUP: {
        // The message names Shift, Ctrl and Alt without a side: the scan
        // code tells which of the two it was.
        const UINT scan = UINT((lParam >> KEYDATA_SCANCODE_SHIFT) & 0xFF) | ((lParam & KEYDATA_EXTENDED) ? 0xE000 : 0);
        const BYTE sided = BYTE(MapVirtualKey(scan, MAPVK_VSC_TO_VK_EX));
        virtualKey = SharedVirtualKey(sided) == wParam ? sided : BYTE(wParam);
        break;
    }
    case WM_LBUTTONDOWN: down = true; [[fallthrough]];
    case WM_LBUTTONUP: virtualKey = VK_LBUTTON; break;
    case WM_RBUTTONDOWN: down = true; [[fallthrough]];
    case WM_RBUTTONUP: virtualKey = VK_RBUTTON; break;
    case WM_MBUTTONDOWN: down = true; [[fallthrough]];
    case WM_MBUTTONUP: virtualKey = VK_MBUTTON; break;
    default: return;
    }
    CKeyboardState& state = State();
    std::lock_guard lock(state.mutex);
    SetKey(state.keys, virtualKey, down);
}

void ResetKeyboard() {
    CKeyboardState& state = State();
    std::lock_guard lock(state.mutex);
    state.physical.fill(0);
    state.keys.fill(0);
}

} // namespace Platform::Detail

BOOL GetKeyboardState(BYTE keyState[256]) {
    if (!keyState) return FALSE;
    CKeyboardState& state = State();
    std::lock_guard lock(state.mutex);
    std::copy(state.keys.begin(), state.keys.end(), keyState);
    return TRUE;
}

UINT MapVirtualKey(UINT code, UINT mapType) {
    if (mapType != MAPVK_VSC_TO_VK && mapType != MAPVK_VSC_TO_VK_EX) return 0;
    for (const CLayoutKey& entry : kLayout) {
        if (entry.scanCode != code) continue;
        return mapType == MAPVK_VSC_TO_VK ? Platform::Detail::SharedVirtualKey(entry.virtualKey)
                                          : entry.virtualKey;
    }
    return 0;
}
