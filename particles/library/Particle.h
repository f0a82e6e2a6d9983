#pragma once
// One live particle of a particle type: its motion and drawing state, the
// values its type's curves give it over its life, the sub-emitters it
// carries, and its links in the type's live list. Records are recycled
// through the process-wide free list (ParticlePool.h).

#include <cstdint>
#include <memory>
#include <vector>

#include "app/Geometry.h"
#include "particles/library/ColourGradient.h"
#include "particles/library/SubEmitterUnit.h"
#include "particles/library/VexaAse.h"

namespace VexaParticles {

class CVexaParticleEmitter;

// A sub-emitter a particle carries; its time runs from the start time
// (seconds of its parent's time). Its units of the record cap go back with
// the entry.
struct CSubEmitterEntry {
    float startTime = 0;
    std::unique_ptr<CVexaParticleEmitter> emitter;
    CSubEmitterUnit unit;
};

struct CParticle {
    Engine::Geometry::CVector3 position;
    Engine::Geometry::CVector3 offset;           // from the emitter, at birth
    Engine::Geometry::CVector3 emitterPosition;  // at birth: the orbit centre
    Engine::Geometry::CVector3 direction;
    float noisePhase = 0;
    float colliderValue = 0;
    float angle = 0;

    // Current values, refreshed by every life step.
    float speed = 0;
    float size = 0;
    float spinSpeed = 0;
    float meshSpinSpeed = 0;
    float motionFactor = 0;  // kept from birth
    float turbulence = 0;
    float directionFactor = 0;
    float orbitSpeed = 0;
    float orbitContraction = 0;
    float alphaFactor = 0;

    // Base values at birth: base[1] to base[11]; base[0] is unused.
    float base[12] = {};
    float birthTime = 0;  // curve time
    float lifeSpan = 0;   // curve time

    CColour colour1;  // from the colour gradient
    CColour colour2;  // the emitter's tint at birth
    float colourMix = 0;

    const CVexaAse::CMeshInstance* mesh = nullptr;
    Engine::Geometry::CVector3 meshAxis{0, 0, 1};
    float meshAngle = 0;
    float meshScale = 1;

    int32_t deathPending = 0;
    int32_t gradientStarted = 0;
    // Its copies' units of the pool's cap, the sum kept so that the frame
    // counts the particle's visits with one read (ParticleVisits).
    uint32_t copyUnits = 0;

    std::vector<CSubEmitterEntry> subEmitters;

    CParticle* prev = nullptr;
    CParticle* next = nullptr;
};

} // namespace VexaParticles
