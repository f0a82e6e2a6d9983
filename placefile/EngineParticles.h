#pragma once
// The place file's particle interfaces bound to the engine particle system:
// effect files taken through a local manager of the system's file table, and
// engine emitters made from them.

#include "app/Referenced.h"
#include "placefile/PlaceParticles.h"

namespace Engine::Particles {
class CParticleSystem;
}

namespace Engine::Graphics::PlaceFile {

// One owner's effect files over the system (not owned; it must outlive the
// result).
ref_ptr<IPlaceEffectFiles> CreateEngineEffectFiles(Engine::Particles::CParticleSystem& system);

} // namespace Engine::Graphics::PlaceFile
