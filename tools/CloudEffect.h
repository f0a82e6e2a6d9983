#pragma once
// The particle benchmark's effect, also run by the tests that check an
// effect at the particle target runs as without the frame's limits.

#include <cstdint>
#include <vector>

namespace Tools {

// Emitter "Cloud": a circle of 200 pixels emitting `live` particles a second
// that live one second, drifting outwards with turbulence, spinning,
// shrinking and fading through a three-key gradient.
std::vector<uint8_t> WriteCloudEffect(int live);

} // namespace Tools
