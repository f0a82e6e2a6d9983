#pragma once
// A waiting particle type's particles whose lives its emitter's time has
// passed. The type's next step ends them, as its step at that time would
// have without the wait; until then they are not drawn. A type may wait
// long after its particles die: through the first round after a start or a
// reset, every type's first step makes its emission's curves the dearest
// part of the frame, and a type stepped early in the round waits for the
// rest of it (over three seconds with twelve effects of 100,000 types)
// while its burst ends in a second.

#include "particles/library/Particle.h"
#include "particles/library/VexaParticleEmitter.h"
#include "particles/library/VexaParticleType.h"

namespace VexaParticles {

class CEndedWhileWaiting {
public:
    explicit CEndedWhileWaiting(const CVexaParticleType& type)
        : m_waiting(type.waited.GetMissed() > 0.0f && !type.IsNeverDie() && type.emitter),
          m_T(m_waiting ? CVexaParticleEmitter::kTimeScale * type.emitter->GetStepTime() : 0.0f) {}
    // As a step at the emitter's time would find it: its life over.
    bool Ended(const CParticle& particle) const {
        return m_waiting && (m_T - particle.birthTime) / particle.lifeSpan >= 1.0f;
    }

private:
    bool m_waiting;
    float m_T;
};

} // namespace VexaParticles
