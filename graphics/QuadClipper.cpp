#include "graphics/QuadClipper.h"

#include <algorithm>

#include "graphics/QuadBounds.h"

namespace Engine::Graphics {

namespace {

float Lerp(float a, float b, float t) { return a + t * (b - a); }

// Each channel moves towards the outside colour by an 8-bit weight.
uint32_t LerpColor(uint32_t inside, uint32_t outside, float t) {
    if (inside == outside) return inside;
    const int32_t weight = int32_t(t * 255.5f);
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int32_t a = int32_t((inside >> shift) & 0xFFu);
        const int32_t b = int32_t((outside >> shift) & 0xFFu);
        result |= uint32_t(a + (((b - a) * weight) >> 8)) << shift;
    }
    return result;
}

} // namespace

bool CQuadClipper::IsUpright(const SpriteVertex q[4]) {
    const bool rectangle = q[1].x == q[2].x && q[3].x == q[0].x && q[1].y == q[0].y && q[3].y == q[2].y;
    // Texture coordinates that follow the corners, so that cutting the
    // top-left and bottom-right pairs says everything.
    const bool mapped = q[1].u == q[2].u && q[3].u == q[0].u && q[1].v == q[0].v && q[3].v == q[2].v;
    const bool oneColor = q[1].color == q[0].color && q[2].color == q[0].color && q[3].color == q[0].color;
    // Mirrored by negative scale or turned half round, the corners are out
    // of order and the cuts below would go the wrong way.
    return rectangle && mapped && oneColor && q[0].x < q[2].x && q[0].y < q[2].y;
}

bool CQuadClipper::ClipUpright(const SpriteVertex quad[4], const PixelRect& rect, SpriteVertex out[4]) {
    const float left = float(rect.left), right = float(rect.right), top = float(rect.top), bottom = float(rect.bottom);
    float x0 = quad[0].x, y0 = quad[0].y, x1 = quad[2].x, y1 = quad[2].y;
    if (right < x0 || bottom < y0 || left > x1 || top > y1) return false;
    float uTL = quad[0].u, vTL = quad[0].v, uBR = quad[2].u, vBR = quad[2].v;
    const float width = x1 - x0, height = y1 - y0;
    const float du = uBR - uTL, dv = vBR - vTL;
    if (x0 < left) {
        uTL += (left - x0) / width * du;
        x0 = left;
    }
    if (y0 < top) {
        vTL += (top - y0) / height * dv;
        y0 = top;
    }
    if (x1 > right) {
        uBR += (right - x1) / width * du;
        x1 = right;
    }
    if (y1 > bottom) {
        vBR += (bottom - y1) / height * dv;
        y1 = bottom;
    }
    const float corners[4][4] = {{x0, y0, uTL, vTL}, {x1, y0, uBR, vTL}, {x1, y1, uBR, vBR}, {x0, y1, uTL, vBR}};
    for (int i = 0; i < 4; ++i) {
        out[i] = quad[i];
        out[i].x = corners[i][0];
        out[i].y = corners[i][1];
        out[i].u = corners[i][2];
        out[i].v = corners[i][3];
    }
    return true;
}

bool CQuadClipper::CSide::IsOutside(const SpriteVertex& v) const {
    const float value = vertical ? v.x : v.y;
    return keepAbove ? value < bound : value > bound;
}

SpriteVertex CQuadClipper::Cross(const SpriteVertex& inside, const SpriteVertex& outside, const CSide& side) {
    const float a = side.vertical ? inside.x : inside.y;
    const float b = side.vertical ? outside.x : outside.y;
    float t = (side.bound - a) / (b - a);
    if (!(t >= 0.0f)) t = 0.0f;  // non-finite corners must not reach the integer weight
    t = std::min(t, 1.0f);
    SpriteVertex v = inside;  // z and rhw come from the inside corner
    v.x = Lerp(inside.x, outside.x, t);
    v.y = Lerp(inside.y, outside.y, t);
    v.u = Lerp(inside.u, outside.u, t);
    v.v = Lerp(inside.v, outside.v, t);
    // Exactly on the side, so that rounding never lets a clipped part reach
    // past the rectangle.
    (side.vertical ? v.x : v.y) = side.bound;
    v.color = LerpColor(inside.color, outside.color, t);
    return v;
}

int CQuadClipper::ClipSide(const CList& in, int count, const CSide& side, CList& out) {
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const SpriteVertex* c = in[size_t(i)].corners;
        const bool outside[3] = {side.IsOutside(c[0]), side.IsOutside(c[1]), side.IsOutside(c[2])};
        const int outsideCount = outside[0] + outside[1] + outside[2];
        if (outsideCount == 3) continue;
        if (outsideCount == 0) {
            out[size_t(written++)] = in[size_t(i)];
            continue;
        }
        // Turn the corners (keeping their order) so that the odd one out
        // comes first: the one outside corner, or the one inside corner.
        const bool odd = outsideCount == 1;
        int first = 0;
        while (outside[first] != odd) ++first;
        const SpriteVertex& a = c[first];
        const SpriteVertex& b = c[(first + 1) % 3];
        const SpriteVertex& d = c[(first + 2) % 3];
        if (odd) {
            // a is outside: the quadrilateral b, d, da, ab.
            const SpriteVertex ab = Cross(b, a, side), da = Cross(d, a, side);
            out[size_t(written++)] = CTriangle{{ab, b, d}};
            out[size_t(written++)] = CTriangle{{ab, d, da}};
        } else {
            // Only a is inside.
            out[size_t(written++)] = CTriangle{{a, Cross(a, b, side), Cross(a, d, side)}};
        }
    }
    return written;
}

int CQuadClipper::ClipTriangles(const SpriteVertex quad[4], const PixelRect& rect, SpriteVertex* out) {
    CList& first = m_lists[0];
    first[0] = CTriangle{{quad[0], quad[1], quad[2]}};
    first[1] = CTriangle{{quad[0], quad[2], quad[3]}};
    int count = 2;
    const float left = float(rect.left), right = float(rect.right), top = float(rect.top), bottom = float(rect.bottom);
    const CQuadBounds bounds = GetQuadBounds(quad);
    const bool inside = left <= bounds.left && top <= bounds.top && bounds.right <= right && bounds.bottom <= bottom;
    int current = 0;
    if (!inside) {
        const CSide sides[4] = {{true, left, true}, {true, right, false}, {false, top, true}, {false, bottom, false}};
        for (const CSide& side : sides) {
            count = ClipSide(m_lists[current], count, side, m_lists[1 - current]);
            current = 1 - current;
        }
    }
    for (int i = 0; i < count; ++i) std::copy_n(m_lists[current][size_t(i)].corners, 3, out + 3 * i);
    return count;
}

} // namespace Engine::Graphics
