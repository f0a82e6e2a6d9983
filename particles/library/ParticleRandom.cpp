#include "particles/library/ParticleRandom.h"

#include <bit>
#include <chrono>

namespace VexaParticles {
namespace {

uint32_t NextWord(uint32_t index) { return index == 16 ? 0 : index + 1; }

// Taken while the program starts, before main.
const std::chrono::steady_clock::time_point g_processStart = std::chrono::steady_clock::now();

// Wall time, not processor time: a process that has mostly waited still
// gets a seed of its own.
uint32_t MillisecondsSinceProcessStart() {
    const auto elapsed = std::chrono::steady_clock::now() - g_processStart;
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

} // namespace

ParticleRandomGenerator& GetParticleRandomGenerator() {
    static ParticleRandomGenerator generator;
    if (!generator.initialised) {
        generator.initialised = true;
        generator.cursorA = 0;
        generator.cursorB = 1;
        ParticleRandomSeed(generator, MillisecondsSinceProcessStart());
    }
    return generator;
}

void ParticleRandomSeed(ParticleRandomGenerator& generator, uint32_t seed) {
    uint32_t s = seed;
    for (uint32_t& word : generator.state) {
        word = (s - 97832771u) ^ (s + 341392369u);
        s = std::rotr(s, 7) + 1734929173u;
    }
}

uint32_t ParticleRandomNext(ParticleRandomGenerator& generator) {
    uint32_t& a = generator.state[generator.cursorA];
    uint32_t& b = generator.state[generator.cursorB];
    const uint32_t m = ((a + b) << 7) ^ (b >> 7);
    const uint32_t r = b + m * 371u - 1260060265u;
    a ^= r;
    b = b + r * r * 317u + m + 2342812u;
    do {
        if (generator.cursorB == 16) {
            generator.cursorB = 0;
        } else {
            generator.cursorB += 1;
            generator.cursorA = NextWord(generator.cursorA);
        }
    } while (generator.cursorA == generator.cursorB);
    return r;
}

float ParticleRandomUnit() {
    return float(double(ParticleRandomNext(GetParticleRandomGenerator())) / 4294967295.0);
}

float ParticleRandomVariation(float value, float spread) {
    const float s = 2.0f * ParticleRandomUnit() - 1.0f;
    if (spread <= 1.0f) return value * (1.0f + s * spread);
    return value * spread * (1.0f + s);
}

} // namespace VexaParticles
