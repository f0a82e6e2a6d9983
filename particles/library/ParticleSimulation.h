#pragma once
// The emitter's step in time: emission into each particle type and the life
// step that ages, varies and retires particles and drives the sub-emitters
// they carry. CVexaParticleEmitter::Update runs both for every type.

#include <cstdint>

namespace VexaParticles {

class CVexaParticleEmitter;
class CVexaParticleType;

// The most particles one emission step of a particle type makes, whatever
// its rate, burst and placement counts ask for: the file's words would
// otherwise size one step up to 2^31 x 2^33 particles. What the cap (or a
// full particle pool) cuts off is dropped, not carried to the next step.
inline constexpr uint32_t kMaxParticlesPerStep = 65536;

// Emits the particles of one step into the type and returns how many. The
// emitter's curve values must be current (Update caches them first). dt
// includes `missed`, the time the type waited before the step, over which
// its particles are born (a one-shot burst's all at the first missed step
// its emitter emitted in): those already dead are not made, and while the
// waiting types want more than the particle pool holds, only the type's
// share of them (CRecordShares).
uint32_t EmitParticles(CVexaParticleType& type, float time, float dt, float missed, bool emitting);

// Ages every live particle of the type: updates the living, starts the
// death sub-emitters of those that reach their life's end, and retires
// those no sub-emitter keeps. `waited`: the step covers time the type missed.
void AgeParticles(CVexaParticleType& type, float time, float dt, bool waited);

} // namespace VexaParticles
