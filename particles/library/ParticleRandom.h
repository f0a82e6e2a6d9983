#pragma once
// The particle code's own random numbers: a lagged two-cursor generator over
// 17 words, one per process, seeded lazily from the process clock so that
// every run differs. Tests seed it explicitly after getting it.

#include <array>
#include <cstdint>

namespace VexaParticles {

struct ParticleRandomGenerator {
    std::array<uint32_t, 17> state{};
    uint32_t cursorA = 0;
    uint32_t cursorB = 0;
    bool initialised = false;
};

// The process-wide generator, initialised on first use.
ParticleRandomGenerator& GetParticleRandomGenerator();

// Refills the state from the seed; the cursors stay where they are.
void ParticleRandomSeed(ParticleRandomGenerator& generator, uint32_t seed);
uint32_t ParticleRandomNext(ParticleRandomGenerator& generator);

} // namespace VexaParticles
