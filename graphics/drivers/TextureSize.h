#pragma once
// Texture sizes the hardware drivers share.

#include <cstdint>

namespace Engine::Graphics {

// The smallest power of two not below value; 0 and below give 0.
int32_t NextPowerOfTwo(int32_t value);

// What a device takes for a texture: its largest sides (0 where not known)
// and whether sides must be powers of two and equal.
struct CTextureRules {
    int32_t maxWidth = 0;
    int32_t maxHeight = 0;
    bool powerOfTwo = false;
    bool square = false;
};

// Fits a bitmap's size to the rules. The largest sides come first, so that a
// bitmap too big for the device is scaled down instead of refused; powers of
// two and squareness never take a side past them.
void FitTextureSize(const CTextureRules& rules, int32_t& width, int32_t& height);

} // namespace Engine::Graphics
