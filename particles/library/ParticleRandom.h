#pragma once
// The particle code's own random numbers: a lagged two-cursor generator over
// 17 words, one per process, seeded lazily from the milliseconds of wall
// time since the process started, so that every run differs. Tests seed it explicitly after getting it.

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

// The next draw of the process-wide generator as a uniform value in 0..1.
float ParticleRandomUnit();

// value x (1 + s x spread) with s uniform in -1..1; a spread above 1 gives
// value x spread x (1 + s) instead.
float ParticleRandomVariation(float value, float spread);

} // namespace VexaParticles
