#include "particles/library/SubEmitterPrototypes.h"

#include "particles/library/VexaParticleEmitter.h"

namespace VexaParticles {

CSubEmitterPrototypes::CSubEmitterPrototypes(std::vector<Prototype> prototypes) : m_prototypes(std::move(prototypes)) {
    for (const Prototype& prototype : m_prototypes)
        m_starting[prototype->GetSettings().subEmitterStart != 0].push_back(prototype.get());
}

CSubEmitterPrototypes::~CSubEmitterPrototypes() = default;

} // namespace VexaParticles
