#pragma once
// Particle motion between emission and drawing, and the orientation frame
// oriented quads are drawn in.

namespace VexaParticles {

class CVexaParticleType;

// One motion step of the type's live particles: velocity with turbulence
// from integrated gradient noise, the emitter's colliders, orbit and
// contraction about the birth position, spin, and the sub-emitters moved
// along.
void MoveParticles(CVexaParticleType& type, float time, float dt);

// The type's own rotation from its three Euler angles; all zero clears the
// Euler flag instead.
void BuildTypeRotation(CVexaParticleType& type);

// The type's orientation frame from its own rotation and the emitter's
// rotation or orientation, as its orientation mode says.
void BuildTypeFrame(CVexaParticleType& type);

} // namespace VexaParticles
