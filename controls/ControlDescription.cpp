#include "controls/ControlDescription.h"

#include <cmath>

#include "app/Exception.h"

namespace Engine::Controls {

Geometry::CRect CControlDescription::GetBounds() const {
    const int32_t left = int32_t(std::floor(x - hotSpotX * float(width) + 0.5f));
    const int32_t top = int32_t(std::floor(y - hotSpotY * float(height) + 0.5f));
    return {left, top, left + width, top + height};
}

bool CControlDescription::GetProperty(const char* name) const {
    const auto found = properties.find(name);
    if (found == properties.end()) throw CException::Format("Can't find custom property by name '%s'", name);
    return found->second;
}

} // namespace Engine::Controls
