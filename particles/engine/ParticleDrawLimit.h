#pragma once
// What the particle quads of one frame may cost the driver: a number of
// quads and a covered area, in screens' worth of pixels (a quad's area is its
// bounding box clipped to the back buffer). A damaged effect can ask for a
// full pool of particles each larger than the screen, and drawing them all
// would keep the application from its input for seconds.
//
// The library still fills and hands over every quad it draws; the frame
// keeps those it can pay for, shared per particle type's draw (the binding
// marks where each begins). Within the limits every quad is kept, untouched.
// When the last frame offered more, each type keeps about 1/k of what it
// offers, k the smallest stride at which every type's ceil(quads / k) quads,
// at its average area, fit both limits: a type drawing fewer than k quads
// keeps one a frame. A type keeps every s-th of its quads, s = ceil(quads /
// its share) <= k, the first rotating with the frame, so every quad shows
// within k frames. Types are matched to the last frame's by order in the
// frame. What a type is owed is held back from those drawn before it, so an
// effect drawn first cannot take the share of one drawn after it.
//
// A frame may also draw at most so many types (each type's draw costs the
// driver a call of its own, whatever its quads): past that, which types are
// drawn takes turns, in order from where the last frame stopped, so every
// type is drawn within ceil(types / type draws) frames, and the quads of the
// types drawn are shared as above.
//
// When even one quad a type does not fit (more types drawn than quads, or
// than screens), types take turns: in order, each frame gives one quad to as many
// types as fit, starting where the last frame stopped, and a type's turns
// walk through its quads. A frame whose demand jumps keeps what its limits
// pay for and drops the rest. Nothing here draws from the particle random
// generator.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/GraphicsTypes.h"

namespace Engine::Particles {

class CParticleDrawLimit {
public:
    // A frame starts with these limits over a back buffer of the size; at
    // most `types` types keep quads.
    void StartFrame(int64_t quads, double screens, int32_t width, int32_t height, int64_t types = INT64_MAX);
    // The draws of the frame's next particle type begin. Quads offered
    // before the first call count as one type.
    void StartType();
    // Keeps, in order, at the front of the quads (four vertices each) those
    // the frame pays for, and returns how many.
    int32_t Keep(Graphics::SpriteVertex* vertices, int32_t quads);

    int64_t GetQuadsKept() const { return m_quadsKept; }
    double GetAreaKept() const { return m_areaKept; }
    // The frames within which every quad of a type drawn shows: 1 within
    // the limits, 0 while types take turns one quad each.
    int64_t GetStride() const { return m_stride; }

private:
    // What a type offered, or what of it a frame holds for it.
    struct CCost {
        int64_t quads = 0;
        double area = 0.0;
    };
    // A type keeps its offered quads i with i % stride == phase (none with
    // stride 0); `later` is held back for the types drawn after it.
    struct CShare {
        int64_t stride = 1;
        int64_t phase = 0;
        CCost owed, later;
    };

    // The shares of this frame from the last frame's offers.
    void PlanShares();
    // Leaves a share's stride 0 for the types not drawn this frame; true
    // when every type is drawn.
    bool ChooseDrawnTypes();
    // Whether every drawn type's ceil(quads / stride) quads, at its average
    // area, fit the limits.
    bool Fits(int64_t stride) const;
    void ShareByStride(int64_t stride);
    void ShareByTurns();
    // Fills each share's `later` from the `owed` of those after it.
    void HoldBackForLaterTypes();

    // Whether the type drawing now has kept a quad, and so counts as drawn.
    bool TakeTypeDraw();

    int64_t m_quadLimit = INT64_MAX;
    int64_t m_typeLimit = INT64_MAX;
    int64_t m_typesKept = 0;
    bool m_typeDrawn = false;
    double m_areaLimit = 0;
    float m_width = 0, m_height = 0;
    bool m_limited = false;
    uint64_t m_frame = 0;
    // Every frame's offers, per type in order: the last frame's plan this
    // one's shares, and this frame's are being counted.
    std::vector<CCost> m_lastOffers, m_offers;
    std::vector<CShare> m_shares;
    int64_t m_stride = 1;
    // Turns given so far, over the types in order, while they take turns.
    uint64_t m_turns = 0;
    int64_t m_quadsKept = 0;
    double m_areaKept = 0;
};

} // namespace Engine::Particles
