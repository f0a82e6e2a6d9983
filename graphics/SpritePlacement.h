#pragma once
// Where a placed sprite lands on screen: a position, a size and the hot
// spot (as fractions of the size) that the position refers to. Place files
// and controls lay out their sprites with it.

#include <cstdint>

#include "app/Geometry.h"

namespace Engine::Graphics {

struct CSpritePlacement {
    int32_t width = 0;
    int32_t height = 0;
    float x = 0.0f;
    float y = 0.0f;
    float hotSpotX = 0.0f;
    float hotSpotY = 0.0f;
};

struct CSpriteBounds {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const CSpriteBounds&, const CSpriteBounds&) = default;
};

// The top-left corner is the position less the hot spot, rounded to the
// nearest pixel (halves round up); the size is kept.
CSpriteBounds GetSpriteBounds(const CSpritePlacement& placement);
// The same placement as left, top, right and bottom.
Engine::Geometry::CRect GetSpriteRect(const CSpritePlacement& placement);

} // namespace Engine::Graphics
