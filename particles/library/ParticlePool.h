#pragma once
// The process-wide free list of particle records. A dying particle's record
// goes back to it and a new particle takes one from it, so a running effect
// allocates only while it grows past its largest size so far. Main thread
// only, like the rest of the particle code.

#include <cstddef>

#include "particles/library/Particle.h"

namespace VexaParticles {

// A record from the free list, which grows by a block of records when it is
// empty; its fields are left as they were (the emitter sets every one it
// uses).
CParticle* AcquireParticle();

// Deletes the particle's sub-emitters and puts its record on the free list.
void ReleaseParticle(CParticle* particle);

// Records waiting on the free list.
size_t GetFreeParticleCount();

} // namespace VexaParticles
