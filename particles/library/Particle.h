#pragma once
// One live particle of a particle type: a link in the type's live list and
// the sub-emitters it carries. The simulation adds its motion state.

#include <memory>
#include <vector>

namespace VexaParticles {

class CVexaParticleEmitter;

struct CParticle {
    CParticle* prev = nullptr;
    CParticle* next = nullptr;
    std::vector<std::unique_ptr<CVexaParticleEmitter>> subEmitters;
};

} // namespace VexaParticles
