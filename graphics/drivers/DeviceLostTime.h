#pragma once
// When the graphics device became unusable, shared by the drivers whose
// device can be lost: the frame timer is moved on by the lost time once the
// device is back.

#include <cstdint>

namespace Engine::Graphics {

// Frame-timer microseconds when the device was lost; 0 while it is not.
int64_t& DeviceLostSince();

} // namespace Engine::Graphics
