#include "app/KeyTable.h"

#include "platform/Keyboard.h"

namespace Engine::Input {

const std::array<uint8_t, 256>& GetKeyTable() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> built{};
        std::array<bool, 256> used{};
        for (unsigned code = 1; code < 256; ++code) {
            const unsigned scanCode = (code & 0x80) ? (0xE000 | (code & 0x7F)) : code;
            const unsigned virtualKey = MapVirtualKey(scanCode, MAPVK_VSC_TO_VK);
            if (virtualKey == 0 || virtualKey > 0xFF || used[virtualKey]) continue;
            used[virtualKey] = true;
            built[code] = uint8_t(virtualKey);
        }
        return built;
    }();
    return table;
}

int KeyCodeFromVirtualKey(unsigned virtualKey) {
    const std::array<uint8_t, 256>& table = GetKeyTable();
    for (int code = 255; code >= 0; --code)
        if (virtualKey != 0 && table[size_t(code)] == virtualKey) return code;
    return -1;
}

} // namespace Engine::Input
