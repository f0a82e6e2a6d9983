#pragma once
// The emitter's step in time: emission into each particle type and the life
// step that ages, varies and retires particles and drives the sub-emitters
// they carry. CVexaParticleEmitter::Update runs both for every type.

#include <cstdint>

namespace VexaParticles {

class CVexaParticleEmitter;
class CVexaParticleType;

// Emits the particles of one step into the type. The emitter's curve
// values must be current (Update caches them first).
void EmitParticles(CVexaParticleType& type, float time, float dt, bool emitting);

// Ages every live particle of the type: updates the living, starts the
// death sub-emitters of those that reach their life's end, and retires
// those no sub-emitter keeps.
void AgeParticles(CVexaParticleType& type, float time, float dt);

} // namespace VexaParticles
