#pragma once
// What the particle quads of one frame may cost the driver: a number of
// quads and a covered area, in screens' worth of pixels (a quad's area is its
// bounding box clipped to the back buffer). A damaged effect can ask for a
// full pool of particles each larger than the screen, and drawing them all
// would keep the application from its input for seconds.
//
// The library still fills and hands over every quad it draws; the frame
// keeps those it can pay for. When the last frame asked for more than the
// limits, every k-th quad offered is kept, k from that demand, so each
// emitter keeps its share; the first kept quad rotates from frame to frame,
// so that every particle shows in turn. A frame whose demand jumps keeps
// what its limits pay for and drops the rest. Within the limits every quad
// is kept, untouched.

#include <cstdint>

#include "graphics/GraphicsTypes.h"

namespace Engine::Particles {

class CParticleDrawLimit {
public:
    // A frame starts with these limits over a back buffer of the size.
    void StartFrame(int64_t quads, double screens, int32_t width, int32_t height);
    // Keeps, in order, at the front of the quads (four vertices each) those
    // the frame pays for, and returns how many.
    int32_t Keep(Graphics::SpriteVertex* vertices, int32_t quads);

    int64_t GetQuadsKept() const { return m_quadsKept; }
    double GetAreaKept() const { return m_areaKept; }
    int64_t GetStride() const { return m_stride; }

private:
    // The quad's bounding box clipped to the back buffer; a quad with a
    // coordinate that is not a number counts as the whole of it.
    double CoveredArea(const Graphics::SpriteVertex* quad) const;

    int64_t m_quadLimit = INT64_MAX;
    double m_areaLimit = 0;
    float m_width = 0, m_height = 0;
    bool m_limited = false;
    // This frame's offers and what was kept of them.
    int64_t m_offered = 0;
    int64_t m_quadsKept = 0;
    double m_areaKept = 0;
    double m_areaOffered = 0;
    // Every m_stride-th offer is kept, starting at m_phase.
    int64_t m_stride = 1;
    int64_t m_phase = 0;
    uint64_t m_frame = 0;
};

} // namespace Engine::Particles
