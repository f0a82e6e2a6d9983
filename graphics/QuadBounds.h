#pragma once
// The axis-aligned box around a quad's four vertices, in the vertices'
// screen coordinates.

#include <algorithm>
#include <cmath>

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

// What drawing the quad costs in pixels: its bounding box clipped to a
// target of width x height. A quad with a coordinate that is not a number
// counts as the whole target.
inline double CoveredQuadArea(const SpriteVertex quad[4], float width, float height) {
    for (int i = 0; i < 4; ++i)
        if (std::isnan(quad[i].x) || std::isnan(quad[i].y)) return double(width) * double(height);
    const CQuadBounds box = GetQuadBounds(quad);
    const double w = double(std::min(box.right, width)) - double(std::max(box.left, 0.0f));
    const double h = double(std::min(box.bottom, height)) - double(std::max(box.top, 0.0f));
    return w > 0.0 && h > 0.0 ? w * h : 0.0;
}

} // namespace Engine::Graphics
