#include "particles/library/VexaParticleType.h"

#include "particles/library/VexaParticleEmitter.h"

namespace VexaParticles {

CVexaParticleType::~CVexaParticleType() { ClearParticles(); }

void CVexaParticleType::CopyFromPrototype(const CVexaParticleType& prototype, CVexaParticleEmitter* owner) {
    shape = prototype.shape;
    words = prototype.words;
    gradient = prototype.gradient;
    gradient.SetBorrowed();
    curves = prototype.curves;
    for (CParameterCurve& curve : curves) curve.SetBorrowed();
    meshes = prototype.meshes;
    meshes.SetBorrowed();
    subEmitters = prototype.subEmitters;
    library = prototype.library;
    file = prototype.file;
    emitter = owner;
    isCopy = true;
    emissionCounter = 0;
    emissionRemainder = prototype.emissionRemainder;
}

void CVexaParticleType::ClearParticles() {
    while (CParticle* particle = head) {
        head = particle->next;
        delete particle;
    }
    liveCount = 0;
}

} // namespace VexaParticles
