// Particle types that wait many frames for the frame's visits still show
// their particles as they would without waiting: a type that waited emits at
// its next step for the whole time it missed, and those particles are born
// over that time, aged and moved to where its missed steps would have left
// them, so none is first drawn as a birth (the sparkle's births are unseen)
// and kept unseen until the type's next step.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "ParticleTestSupport.h"
#include "tools/ScenePictures.h"

namespace VexaTest {
namespace {

constexpr float kStep = 1.0f / 30.0f;

// Whether the particle's quad adds to the picture: alive, and its colour's
// alpha above a tenth.
bool Shows(const CParticle& particle) {
    return particle.deathPending != 0 && particle.colour1.alpha * particle.alphaFactor > 0.1f;
}

int32_t Showing(const CVexaParticleEmitter& emitter) {
    int32_t showing = 0;
    for (int32_t i = 0; i < emitter.GetParticleTypeCount(); ++i)
        for (const CParticle* p = emitter.GetParticleType(i).head; p; p = p->next) showing += Shows(*p);
    return showing;
}

// The sparkle (born unseen, living about 1.2 s) with its type repeated
// `types` times, each at `rate` times its own rate, born at the emitter and
// moving straight out at 10 pixels a second.
Tools::CVexaEmitter Sparkles(int types, float rate) {
    Tools::CVexaEmitter emitter = Tools::SparkleEmitter();
    Tools::CVexaParticleType type = emitter.types.at(0);
    for (Tools::CVexaCurveKey& key : type.curves[4].keys) key.value *= rate;
    SetC(emitter, 16, 0.0f);
    SetC(emitter, 14, 0.0f);
    SetQ(type, 12, 0.0f);
    emitter.types.assign(size_t(types), type);
    return emitter;
}

struct CWaitCase {
    const char* name;
    int64_t visits;  // the frame's limit: a type's step costs about 60
};

class WaitingTypesShowTest : public ::testing::TestWithParam<CWaitCase> {};

// 2,000 types under limits at which a type waits over a second, longer than a
// sparkle lives (up to 1.9 and 3.7 s here), against one type making as many
// particles a second, which steps every frame: over 180 frames the many types
// show about as many particles (born all at their type's step, a fifth and a
// fiftieth), each where its age puts it.
TEST_P(WaitingTypesShowTest, ShowAsManyParticlesAsOneTypeMakingAsMany) {
    constexpr int kTypes = 2000;
    SeedParticleRandom(7);
    CEffect many(Sparkles(kTypes, 1.0f));
    CEffect one(Sparkles(1, float(kTypes)));
    CParticleWorkBudget& budget = many.library.GetWorkBudget();
    int64_t showingMany = 0, showingOne = 0;
    float time = 0.0f;
    for (int frame = 0; frame < 240; ++frame) {
        budget.StartFrame(GetParam().visits);
        budget.StartStep();
        for (CEffect* effect : {&many, &one}) {
            effect->emitter->Move(time, kStep);
            effect->emitter->Update(time, kStep, 0, 0, 0, 1);
        }
        time += kStep;
        if (frame < 60) continue;
        showingMany += Showing(*many.emitter);
        showingOne += Showing(*one.emitter);
    }
    EXPECT_GT(showingOne, 180 * 15000);
    EXPECT_GE(5 * showingMany, 4 * showingOne);
    // Born over the waited time, each particle is where its age puts it.
    const float T = CVexaParticleEmitter::kTimeScale * (time - kStep);
    for (int32_t i = 0; i < kTypes; ++i) {
        const CVexaParticleType& type = many.Type(i);
        if (type.waited.GetMissed() > 0.0f) continue;
        for (const CParticle* p = type.head; p; p = p->next) {
            const float age = (T - p->birthTime) / CVexaParticleEmitter::kTimeScale;
            ASSERT_NEAR(std::hypot(p->position.x, p->position.y), 10.0f * age, 1e-2f) << "type " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Waits, WaitingTypesShowTest,
                         ::testing::Values(CWaitCase{"Visits5000", 5000}, CWaitCase{"Visits2200", 2200}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace VexaTest
