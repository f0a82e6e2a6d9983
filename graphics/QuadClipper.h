#pragma once
// Cuts a buffered quad down to one dirty rectangle: an upright quad stays
// one quad with proportionally cut texture coordinates; any other quad is
// split into triangles clipped against the rectangle's four sides.

#include <array>
#include <cstdint>

#include "graphics/DirtyRects.h"
#include "graphics/GraphicsTypes.h"

namespace Engine::Graphics {

class CQuadClipper {
public:
    // Two triangles, each of which at most doubles on each of four sides.
    static constexpr int MAX_TRIANGLES = 2 << 4;

    // True when the corners (top-left, top-right, bottom-right, bottom-left)
    // form an axis-aligned rectangle of positive size in that order, with
    // one colour: mirrored or flipped positions do not qualify.
    static bool IsUpright(const SpriteVertex quad[4]);
    // The part of an upright quad inside the rectangle; false when they do
    // not meet.
    static bool ClipUpright(const SpriteVertex quad[4], const PixelRect& rect, SpriteVertex out[4]);

    // Writes the triangles (three vertices each) of the quad's part inside
    // the rectangle to out, which holds MAX_TRIANGLES * 3 vertices; returns
    // their count.
    int ClipTriangles(const SpriteVertex quad[4], const PixelRect& rect, SpriteVertex* out);

private:
    struct CTriangle {
        SpriteVertex corners[3];
    };
    using CList = std::array<CTriangle, MAX_TRIANGLES>;

    // One side of the rectangle: the inside is where the coordinate on the
    // axis is at least (keepAbove) or at most the bound.
    struct CSide {
        bool vertical;  // the side is a vertical line: the x axis is tested
        float bound;
        bool keepAbove;
        bool IsOutside(const SpriteVertex& v) const;
    };

    static SpriteVertex Cross(const SpriteVertex& inside, const SpriteVertex& outside, const CSide& side);
    static int ClipSide(const CList& in, int count, const CSide& side, CList& out);

    CList m_lists[2];
};

} // namespace Engine::Graphics
