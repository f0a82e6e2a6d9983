#pragma once
// The units of the particle pool's record cap that one attached sub-emitter
// copy holds (ParticlePool.h); they go back to the pool with their holder.

#include <cstddef>
#include <cstdint>
#include <utility>

namespace VexaParticles {

class CSubEmitterUnit {
public:
    CSubEmitterUnit() = default;
    // Holds `units`, or none when the cap has not that many left.
    static CSubEmitterUnit Take(size_t units);
    CSubEmitterUnit(CSubEmitterUnit&& other) noexcept : m_units(std::exchange(other.m_units, 0)) {}
    CSubEmitterUnit& operator=(CSubEmitterUnit&& other) noexcept;
    ~CSubEmitterUnit();

    bool IsHeld() const { return m_units != 0; }
    uint32_t GetUnits() const { return m_units; }

private:
    // Held units never pass the cap, 2^18.
    uint32_t m_units = 0;
};

} // namespace VexaParticles
