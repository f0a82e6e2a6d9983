#include "particles/library/PoolHolding.h"

#include "particles/library/ParticlePool.h"

namespace VexaParticles {

CPoolHolding::~CPoolHolding() {
    // The emitters go before their library: whatever is still held was left
    // with them.
    if (m_records != 0 || m_copies != 0) WriteOffParticleUnits(size_t(m_records), size_t(m_copies), size_t(m_copyUnits));
}

void CPoolHolding::DropCopies(const CParticle& particle) {
    for (const CSubEmitterEntry& sub : particle.subEmitters)
        if (sub.unit.IsHeld()) --m_copies;
    m_copyUnits -= particle.copyUnits;
}

} // namespace VexaParticles
