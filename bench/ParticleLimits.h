#pragma once
// Switches a particle system between the application's frame limits and
// none, for benchmarks that weigh what the limits cost.

#include <cstdint>
#include <limits>

#include "particles/engine/ParticleSystem.h"
#include "particles/library/ParticleWorkBudget.h"

namespace ParticleLimits {

inline void Use(Engine::Particles::CParticleSystem& particles, bool limited) {
    using Engine::Particles::CParticleSystem;
    if (limited)
        particles.SetFrameLimits(CParticleSystem::kFrameParticleVisits, CParticleSystem::kFrameParticleQuads,
                                 CParticleSystem::kFrameParticleScreens);
    else
        particles.SetFrameLimits(VexaParticles::CParticleWorkBudget::kUnlimited, INT64_MAX,
                                 std::numeric_limits<double>::infinity(), INT64_MAX);
}

} // namespace ParticleLimits
