#pragma once
// Running effects in tests: effects described in the writer's terms with
// their curves named as the simulation names them, read into a library
// over the recording device, and the random sources seeded.

#include <algorithm>
#include <array>
#include <memory>

#include "VexaTestSupport.h"
#include "app/Noise.h"
#include "app/Random.h"
#include "particles/library/ParticlePool.h"
#include "particles/library/ParticleRandom.h"
#include "particles/library/VexaParticleLibrary.h"

namespace VexaTest {

// Emitter curve Ci's place in the emitter record, from the format's table:
// C1 C11 C2 C4 C6 C3 C12 C13 C14 C7 C9 C15 C16 C10 C17, C8 after the
// direction words, then C18 C19 C5.
inline constexpr std::array<int, 19> kEmitterCurveFileOrder{1,  11, 2,  4, 6,  3,  12, 13, 14, 7,
                                                            9,  15, 16, 10, 17, 8, 18, 19, 5};

inline void SetC(Tools::CVexaEmitter& emitter, int i, float value) {
    const auto at = std::find(kEmitterCurveFileOrder.begin(), kEmitterCurveFileOrder.end(), i);
    emitter.curves[size_t(at - kEmitterCurveFileOrder.begin())] = Tools::MakeVexaCurve(value);
}
inline void SetQ(Tools::CVexaParticleType& type, int i, float value) {
    type.curves[size_t(i - 1)] = Tools::MakeVexaCurve(value);
}

// One type that emits 10 particles a second at the emitter's position,
// living 1 second, without spreads, motion, orbit or turbulence; opaque white.
inline Tools::CVexaEmitter QuietEmitter(const char* name = "Quiet") {
    Tools::CVexaEmitter emitter = Tools::MakeVexaEmitter(name);
    for (int c : {10, 13, 14, 15, 16}) SetC(emitter, c, 0.0f);
    Tools::CVexaParticleType& type = emitter.types[0];
    for (int q : {3, 4, 7, 8, 9, 10, 11, 12, 14, 17, 19, 20, 21, 24, 25, 29, 30, 35, 36, 37}) SetQ(type, q, 0.0f);
    SetQ(type, 1, 50.0f);
    SetQ(type, 5, 10.0f);
    return emitter;
}

// The same draws on every run: the noise tables (which reseed the C
// generator) are built first, then both generators start from the seed.
inline void SeedParticleRandom(uint32_t seed) {
    GradientNoise1D(0.0f);
    ParticleRandomGenerator& generator = GetParticleRandomGenerator();
    generator.cursorA = 0;
    generator.cursorB = 1;
    ParticleRandomSeed(generator, seed);
    CrtSrand(seed);
}

// A hand-placed live particle: still, half the default extent, opaque white.
inline CParticle& AddParticle(CVexaParticleType& type, Engine::Geometry::CVector3 position) {
    CParticle& particle = *AcquireParticle();
    particle = CParticle{};
    particle.position = position;
    particle.motionFactor = 1.0f;
    particle.size = 0.5f;
    particle.alphaFactor = 1.0f;
    particle.deathPending = 1;
    particle.colour1 = {1, 1, 1, 1};
    type.LinkParticle(&particle);
    return particle;
}

// A running emitter of a one-emitter file, drawn through the recording device.
struct CEffect {
    explicit CEffect(const Tools::CVexaEmitter& description) {
        library.Init(&device);
        Tools::CVexaDocument document;
        document.emitters = {description};
        file = ReadVexa(Tools::WriteVexa(document), &library);
        emitter = file->CreateEmitter(description.name.c_str());
    }
    CVexaParticleType& Type(int32_t index = 0) { return emitter->GetParticleType(index); }

    CFakeDevice device;
    CVexaParticleLibrary library;
    std::unique_ptr<CVexaFile> file;
    std::unique_ptr<CVexaParticleEmitter> emitter;
};

} // namespace VexaTest
