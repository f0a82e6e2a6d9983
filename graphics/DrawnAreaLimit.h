#pragma once
// What the sprite quads of one frame may cover, in screens' worth of pixels
// (a quad's area is its bounding box clipped to the back buffer). A damaged
// place file can lay thousands of window-sized sprites over each other, and
// drawing them all keeps the program from its input for seconds.
//
// Every sprite quad the queue draws or buffers is offered, in the order the
// frame emits it; a quad is drawn while its area fits in what the frame has
// left, so that the quads past the limit are the ones dropped. No ordinary
// picture comes near the limit: there every quad is drawn, untouched.
// Until the first frame starts nothing is limited (drawing outside the
// application's frames, as tests do).

#include <algorithm>
#include <cstdint>
#include <limits>

#include "graphics/GraphicsTypes.h"
#include "graphics/QuadBounds.h"

namespace Engine::Graphics {

class CDrawnAreaLimit {
public:
    // A frame's sprites may cover this many screens. Measured over a loop of
    // every demo and generated scene on the software driver (whose colour
    // clear is a full-screen quad too): the largest frame, of bg1, covers
    // 3.98 screens; the loading screen 1, the settings window 0.31. The
    // limit is three times the largest.
    static constexpr double kFrameSpriteScreens = 12.0;
    static constexpr double kLifted = std::numeric_limits<double>::infinity();

    // The limit from the next frame on, in screens; kLifted lifts it.
    void SetScreens(double screens) { m_screens = screens; }
    double GetScreens() const { return m_screens; }

    // A frame starts over a back buffer of the size: nothing covered yet.
    void StartFrame(int32_t width, int32_t height);
    // True when the quad is drawn: its covered area fits in what the frame
    // has left. Counted either way.
    bool Keep(const SpriteVertex quad[4]) { return KeepArea(CoveredQuadArea(quad, m_width, m_height)); }
    // Keep for a quad known to be an upright rectangle, corner 0 opposite
    // corner 2: the same area from two corners.
    bool KeepUpright(const SpriteVertex quad[4]) {
        // A corner that is not a number or infinite takes the long way.
        const float sum = (quad[0].x + quad[2].x) + (quad[0].y + quad[2].y);
        if (!(sum - sum == 0.0f)) return Keep(quad);
        const float left = std::min(quad[0].x, quad[2].x), right = std::max(quad[0].x, quad[2].x);
        const float top = std::min(quad[0].y, quad[2].y), bottom = std::max(quad[0].y, quad[2].y);
        const double w = double(std::min(right, m_width)) - double(std::max(left, 0.0f));
        const double h = double(std::min(bottom, m_height)) - double(std::max(top, 0.0f));
        return KeepArea(w > 0.0 && h > 0.0 ? w * h : 0.0);
    }

    // This frame's counts: what was kept, what was offered, in pixels.
    double GetAreaKept() const { return m_areaKept; }
    double GetAreaOffered() const { return m_areaOffered; }
    int64_t GetQuadsKept() const { return m_quadsKept; }
    int64_t GetQuadsDropped() const { return m_quadsDropped; }
    // The back buffer's area, in pixels: a screen.
    double GetScreenArea() const { return double(m_width) * double(m_height); }

private:
    // Counts the area; true when it fits in what the frame has left.
    bool KeepArea(double area) {
        m_areaOffered += area;
        if (m_areaKept + area > m_areaLimit) {
            ++m_quadsDropped;
            return false;
        }
        m_areaKept += area;
        ++m_quadsKept;
        return true;
    }

    double m_screens = kFrameSpriteScreens;
    float m_width = 0.0f, m_height = 0.0f;
    double m_areaLimit = kLifted;  // in pixels; lifted until a frame starts
    double m_areaKept = 0.0, m_areaOffered = 0.0;
    int64_t m_quadsKept = 0, m_quadsDropped = 0;
};

} // namespace Engine::Graphics
