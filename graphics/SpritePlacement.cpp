#include "graphics/SpritePlacement.h"

#include <cmath>

namespace Engine::Graphics {

CSpriteBounds GetSpriteBounds(const CSpritePlacement& placement) {
    const float left = std::floor(placement.x - float(placement.width) * placement.hotSpotX + 0.5f);
    const float top = std::floor(placement.y - float(placement.height) * placement.hotSpotY + 0.5f);
    return {int32_t(left), int32_t(top), placement.width, placement.height};
}

Engine::Geometry::CRect GetSpriteRect(const CSpritePlacement& placement) {
    const CSpriteBounds bounds = GetSpriteBounds(placement);
    return {bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height};
}

} // namespace Engine::Graphics
