#pragma once
// Texture sizes the hardware drivers share.

#include <cstdint>

namespace Engine::Graphics {

// The smallest power of two not below value; 0 and below give 0.
int32_t NextPowerOfTwo(int32_t value);

} // namespace Engine::Graphics
