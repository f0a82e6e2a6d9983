#include "particles/library/SubEmitterUnit.h"

#include "particles/library/ParticlePool.h"

namespace VexaParticles {

CSubEmitterUnit CSubEmitterUnit::Take(size_t units) {
    CSubEmitterUnit held;
    if (units != 0 && TakeSubEmitterUnits(units)) held.m_units = uint32_t(units);
    return held;
}

CSubEmitterUnit& CSubEmitterUnit::operator=(CSubEmitterUnit&& other) noexcept {
    if (this != &other) {
        if (m_units) ReturnSubEmitterUnits(m_units);
        m_units = std::exchange(other.m_units, 0);
    }
    return *this;
}

CSubEmitterUnit::~CSubEmitterUnit() {
    if (m_units) ReturnSubEmitterUnits(m_units);
}

} // namespace VexaParticles
