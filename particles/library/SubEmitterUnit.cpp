#include "particles/library/SubEmitterUnit.h"

#include "particles/library/ParticlePool.h"

namespace VexaParticles {

CSubEmitterUnit CSubEmitterUnit::Take() {
    CSubEmitterUnit unit;
    unit.m_held = TakeSubEmitterUnit();
    return unit;
}

CSubEmitterUnit& CSubEmitterUnit::operator=(CSubEmitterUnit&& other) noexcept {
    if (this != &other) {
        if (m_held) ReturnSubEmitterUnit();
        m_held = std::exchange(other.m_held, false);
    }
    return *this;
}

CSubEmitterUnit::~CSubEmitterUnit() {
    if (m_held) ReturnSubEmitterUnit();
}

} // namespace VexaParticles
