#include "graphics/drivers/TextureSize.h"

#include <algorithm>

namespace Engine::Graphics {

namespace {

int32_t ClampSide(int32_t side, int32_t largest) { return largest > 0 ? std::min(side, largest) : side; }

// A largest side that is not a power of two takes the power below it.
int32_t PowerOfTwoWithin(int32_t side, int32_t largest) {
    int32_t power = NextPowerOfTwo(side);
    while (largest > 0 && power > largest && power > 1) power >>= 1;
    return power;
}

} // namespace

int32_t NextPowerOfTwo(int32_t value) {
    if (value <= 0) return 0;
    int32_t power = 1;
    while (power < value && power < (1 << 30)) power <<= 1;
    return power;
}

void FitTextureSize(const CTextureRules& rules, int32_t& width, int32_t& height) {
    width = ClampSide(width, rules.maxWidth);
    height = ClampSide(height, rules.maxHeight);
    if (rules.powerOfTwo) {
        width = PowerOfTwoWithin(width, rules.maxWidth);
        height = PowerOfTwoWithin(height, rules.maxHeight);
    }
    if (rules.square) width = height = ClampSide(ClampSide(std::max(width, height), rules.maxWidth), rules.maxHeight);
}

} // namespace Engine::Graphics
