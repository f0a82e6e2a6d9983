#pragma once
// The axis-aligned box around a quad's four vertices, in the vertices'
// screen coordinates.

#include <algorithm>

#include "graphics/GraphicsTypes.h"

namespace Engine::Graphics {

// {min x, max x, min y, max y} of the four positions.
struct CQuadBounds {
    float left, right, top, bottom;
};

inline CQuadBounds GetQuadBounds(const SpriteVertex quad[4]) {
    CQuadBounds bounds{quad[0].x, quad[0].x, quad[0].y, quad[0].y};
    for (int i = 1; i < 4; ++i) {
        bounds.left = std::min(bounds.left, quad[i].x);
        bounds.right = std::max(bounds.right, quad[i].x);
        bounds.top = std::min(bounds.top, quad[i].y);
        bounds.bottom = std::max(bounds.bottom, quad[i].y);
    }
    return bounds;
}

} // namespace Engine::Graphics
