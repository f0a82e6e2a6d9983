#pragma once
// What the particles of one library may cost the frame being made: visits
// of the simulation (each particle emitted, aged or moved counts one) and
// particles drawn. Within the record cap a damaged effect file can still
// ask for a full pool of particles at every step, and a frame of many steps
// then keeps the application from its input for minutes. With limits set,
// a particle type whose step the frame cannot pay for whole waits for a
// later frame, and drawing stops at the frame's last quad. Unlimited until
// the application sets limits.

#include <cstdint>
#include <limits>

namespace VexaParticles {

class CParticleWorkBudget {
public:
    static constexpr int64_t kUnlimited = std::numeric_limits<int64_t>::max();

    // The limits of the frame now starting; kUnlimited lifts one.
    void Start(int64_t visits, int64_t quads) {
        m_visitsLeft = visits;
        m_quadsLeft = quads;
    }
    // Visits of particles emitted, aged or moved: false, taking none, when
    // the frame has fewer left.
    bool TakeVisits(int64_t count) { return Take(m_visitsLeft, count); }
    // One particle drawn: false once the frame has none left.
    bool TakeQuad() { return Take(m_quadsLeft, 1); }

    int64_t GetVisitsLeft() const { return m_visitsLeft; }
    int64_t GetQuadsLeft() const { return m_quadsLeft; }

private:
    static bool Take(int64_t& left, int64_t count) {
        if (left == kUnlimited) return true;
        if (left < count) return false;
        left -= count;
        return true;
    }

    int64_t m_visitsLeft = kUnlimited;
    int64_t m_quadsLeft = kUnlimited;
};

} // namespace VexaParticles
