#pragma once
// The engine key table. Engine key codes follow the DirectInput scan-code
// numbering (1 Escape, 2 to 11 the digit row, 16 Q, 0x1C Return, 0xC8 Up and
// so on; 0x80 + code for the extended keys); entry i holds the virtual key
// of key code i, 0 where there is no key.

#include <array>
#include <cstdint>

namespace Engine::Input {

// Built from the keyboard layout. Each virtual key appears once, at its
// lowest key code: the key messages name Shift, Ctrl and Alt without a side,
// and Enter must come back as Return (0x1C), not as the keypad's Enter.
const std::array<uint8_t, 256>& GetKeyTable();

// The highest key code whose entry is the virtual key, or -1.
int KeyCodeFromVirtualKey(unsigned virtualKey);

} // namespace Engine::Input
