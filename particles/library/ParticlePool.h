#pragma once
// The process-wide free list of particle records. A dying particle's record
// goes back to it and a new particle takes one from it, so a running effect
// allocates only while it grows past its largest size so far. Main thread
// only, like the rest of the particle code.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "particles/library/Particle.h"

namespace VexaParticles {

// The most units of particle memory the process uses: every live particle
// of every emitter takes one, every attached sub-emitter copy
// SubEmitterCopyUnits of its types. This bounds what a damaged effect file
// can make live and the memory it holds (a full cap stays well under
// 256 MB); it holds an effect at the particle target of 100,000 live
// particles whose particles each carry a trail copy.
inline constexpr size_t kMaxParticleRecords = size_t(1) << 18;

// What an attached sub-emitter copy takes of the cap and counts in a frame's
// visits for each of its particle types, and at least: each type holds at
// least eight times a particle record's memory, and its emission, motion and
// life cost a step about as much as this many particles. So the cap bounds
// the copies' memory and the frame's visits their work, whatever their
// number of types.
inline constexpr size_t kSubEmitterCopyUnits = 8;

inline size_t SubEmitterCopyUnits(int32_t types) { return kSubEmitterCopyUnits * size_t(std::max(types, 1)); }

// What moving or aging the particle costs a frame's budget, in visits: the
// particle and its copies' units.
inline int64_t ParticleVisits(const CParticle& particle) { return 1 + int64_t(particle.copyUnits); }

// A record from the free list, which grows by a block of records when it is
// empty; its fields are left as they were (the emitter sets every one it
// uses). Null when the records in use and the attached sub-emitter copies
// together fill the cap.
CParticle* AcquireParticle();

// An attached sub-emitter copy takes `units` of the cap: otherwise an
// effect whose particles start sub-emitters grows without bound. False when
// not enough are left; then the copy is not made.
bool TakeSubEmitterUnits(size_t units);
void ReturnSubEmitterUnits(size_t units);
size_t GetSubEmitterCopyCount();
// Units of the cap in use: records in use and the copies' units.
size_t GetParticleUnitsInUse();

// The cap is kMaxParticleRecords; tests lower it to reach it quickly (0
// restores it).
void SetParticleRecordCap(size_t cap);
size_t GetParticleRecordCap();

// Deletes the particle's sub-emitters and puts its record on the free list.
void ReleaseParticle(CParticle* particle);

// Records in use and copies whose memory was left to the process's end
// (CPoolHolding): the pool no longer counts them, and makes new records in
// their place when it needs them.
void WriteOffParticleUnits(size_t records, size_t copies, size_t copyUnits);

// Records waiting on the free list, and records the pool holds: those made
// so far, less those written off.
size_t GetFreeParticleCount();
size_t GetParticleRecordCount();

} // namespace VexaParticles
