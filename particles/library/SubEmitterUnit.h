#pragma once
// The unit of the particle pool's record cap that one attached sub-emitter
// copy holds (ParticlePool.h); it goes back to the pool with its holder.

#include <utility>

namespace VexaParticles {

class CSubEmitterUnit {
public:
    CSubEmitterUnit() = default;
    // Holds a unit, or none when the cap is used up.
    static CSubEmitterUnit Take();
    CSubEmitterUnit(CSubEmitterUnit&& other) noexcept : m_held(std::exchange(other.m_held, false)) {}
    CSubEmitterUnit& operator=(CSubEmitterUnit&& other) noexcept;
    ~CSubEmitterUnit();

    bool IsHeld() const { return m_held; }

private:
    bool m_held = false;
};

} // namespace VexaParticles
