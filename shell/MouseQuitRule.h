#pragma once
// When a mouse move ends the screensaver: the first sample only records the
// position; a later one ends it when both x and y differ from the sample
// before. A move along one axis alone never does, which keeps a jittering
// or nudged mouse from ending it.

#include <cstdint>

namespace Engine {

class CMouseQuitRule {
public:
    static constexpr int32_t kNoPosition = -10000;

    // True when this sample ends the screensaver.
    bool OnMouseMove(int32_t x, int32_t y);

private:
    int32_t m_x = kNoPosition;
    int32_t m_y = kNoPosition;
};

} // namespace Engine
