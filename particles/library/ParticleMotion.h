#pragma once
// Particle motion between emission and drawing, and the orientation frame
// oriented quads are drawn in.

#include <cstdint>

namespace VexaParticles {

class CVexaParticleType;

// One motion step of the type's live particles: velocity with turbulence
// from integrated gradient noise, the emitter's colliders, orbit and
// contraction about the birth position, spin, and the sub-emitters moved
// along.
void MoveParticles(CVexaParticleType& type, float time, float dt);

// Moves the type's `count` newest particles, born before `time` over a time
// the type waited and just given their first life step, over their ages to
// `time`, as the steps they missed would have moved them. Their sub-emitters
// start at `time` and are not moved. The visit each particle's emission
// counted pays for it.
void MoveBorn(CVexaParticleType& type, int32_t count, float time);

// The type's own rotation from its three Euler angles; all zero clears the
// Euler flag instead.
void BuildTypeRotation(CVexaParticleType& type);

// The type's orientation frame from its own rotation and the emitter's
// rotation or orientation, as its orientation mode says.
void BuildTypeFrame(CVexaParticleType& type);

} // namespace VexaParticles
