// Quads of hand-placed particles as the recording device receives them:
// corners, colours, batches, the budget and the device state.

#include <gtest/gtest.h>

#include <cmath>

#include "ParticleTestSupport.h"

namespace VexaTest {
namespace {

using Engine::Geometry::CVector3;

const CVector3 kAt{100, 50, 0};

void ExpectCorners(const std::vector<CParticleVertex>& quad, const std::vector<CVector3>& corners) {
    ASSERT_EQ(quad.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(quad[i].x, corners[i].x, 1e-4f) << "corner " << i;
        EXPECT_NEAR(quad[i].y, corners[i].y, 1e-4f) << "corner " << i;
        EXPECT_NEAR(quad[i].z, corners[i].z, 1e-4f) << "corner " << i;
        EXPECT_EQ(quad[i].w, 1.0f);
    }
}

TEST(ParticleDrawingTest, AFlatQuadSpansTheExtentAboutItsPivot) {
    CEffect effect(QuietEmitter());
    CParticle& particle = AddParticle(effect.Type(), kAt);
    ASSERT_EQ(effect.emitter->RenderAll(), 1);
    ASSERT_EQ(effect.device.draws.size(), 1u);
    // No shape: an extent of 64 at size 0.5.
    ExpectCorners(effect.device.draws[0], {{68, 18, 0}, {132, 18, 0}, {132, 82, 0}, {68, 82, 0}});
    EXPECT_EQ(effect.device.draws[0][1].u, 1.0f);
    EXPECT_EQ(effect.device.draws[0][3].v, 1.0f);

    // A quarter turn with the pivot half an extent along u, flipped u.
    particle.angle = 3.14159265f / 2;
    effect.Type().words.drawValue2 = 0.5f;
    effect.Type().words.drawFlags = CVexaParticleType::kFlipU;
    effect.emitter->RenderAll();
    ExpectCorners(effect.device.draws[1], {{132, 2, 0}, {132, 66, 0}, {68, 66, 0}, {68, 2, 0}});
    EXPECT_EQ(effect.device.draws[1][0].u, 1.0f);
    EXPECT_EQ(effect.device.draws[1][1].u, 0.0f);
}

TEST(ParticleDrawingTest, AnOrientedQuadLiesInTheFrameThenTheEmittersScaleAndOffset) {
    Tools::CVexaEmitter description = QuietEmitter();
    description.axis3D = 1;
    description.types[0].words[4] = 1;
    CEffect effect(description);
    // Rows right (1, 0, 0), up (0, 0, 1): the quad stands in the x-z plane.
    const float standUp[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1};
    effect.emitter->SetRotation(standUp);
    effect.emitter->Update(0, 0, 0, 0, 0, 0);
    effect.emitter->SetScale(2);
    effect.emitter->SetOffset(10, 0, 0);
    AddParticle(effect.Type(), kAt);
    effect.emitter->RenderAll();
    ExpectCorners(effect.device.draws[0], {{146, 100, -64}, {274, 100, -64}, {274, 100, 64}, {146, 100, 64}});

    const float moved[16] = {1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1};
    effect.emitter->SetMatrix(moved);
    effect.emitter->RenderAll();
    EXPECT_NEAR(effect.device.draws[1][0].x, 147, 1e-4f);
    EXPECT_NEAR(effect.device.draws[1][0].z, -61, 1e-4f);
}

// A flat quad turned by 0.3 and an upright one drawn in a frame turned by
// 0.3 have the same half-axes, each (direction * extent) * size. The other
// grouping, direction * (extent * size), moves every corner's x by a bit.
class ParticleQuadRoundingTest : public ::testing::TestWithParam<bool> {};

TEST_P(ParticleQuadRoundingTest, TakesTheHalfAxesDirectionTimesExtentThenSize) {
    const bool oriented = GetParam();
    Tools::CVexaEmitter description = QuietEmitter();
    description.axis3D = oriented ? 1 : 0;
    description.types[0].words[4] = 1;
    CEffect effect(description);
    const float c = std::cos(0.3f), s = std::sin(0.3f);
    const float turned[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    effect.emitter->SetRotation(turned);
    effect.emitter->Update(0, 0, 0, 0, 0, 0);
    CVexaShape shape;
    shape.width = 5;
    shape.height = 10;
    effect.Type().shape = &shape;
    CParticle& particle = AddParticle(effect.Type(), kAt);
    particle.size = 0.7f;
    particle.angle = oriented ? 0.0f : 0.3f;
    effect.emitter->RenderAll();
    const std::vector<CVector3> expected{
        {98.724968f, 42.2783241f, 0}, {105.412315f, 44.3469658f, 0}, {101.275032f, 57.7216759f, 0},
        {94.5876846f, 55.6530342f, 0}};
    const std::vector<CParticleVertex>& quad = effect.device.draws.at(0);
    ASSERT_EQ(quad.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(quad[i].x, expected[i].x) << "corner " << i;
        EXPECT_EQ(quad[i].y, expected[i].y) << "corner " << i;
        EXPECT_EQ(quad[i].z, expected[i].z) << "corner " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(FlatAndOriented, ParticleQuadRoundingTest, ::testing::Bool());

struct CColourCase {
    bool rgba;
    CColour colour1;
    float mix;
    float alphaFactor;
    uint32_t packed;
};

class ParticleColourTest : public ::testing::TestWithParam<CColourCase> {};

TEST_P(ParticleColourTest, PacksEveryCornerClampedInTheDevicesOrder) {
    CEffect effect(QuietEmitter());
    effect.device.rgba = GetParam().rgba;
    CParticle& particle = AddParticle(effect.Type(), kAt);
    particle.colour1 = GetParam().colour1;
    particle.colour2 = {0, 0, 1, 1};
    particle.colourMix = GetParam().mix;
    particle.alphaFactor = GetParam().alphaFactor;
    effect.emitter->RenderAll();
    for (const CParticleVertex& corner : effect.device.draws.at(0)) EXPECT_EQ(corner.colour, GetParam().packed);
}

INSTANTIATE_TEST_SUITE_P(Colours, ParticleColourTest,
                         ::testing::Values(CColourCase{false, {1, 0, 0, 1}, 0, 1, 0xFFFF0000u},
                                           CColourCase{true, {1, 0, 0, 1}, 0, 1, 0xFF0000FFu},
                                           CColourCase{false, {1.2f, -0.1f, 0.5f, 1}, 0, 1, 0xFFFF0080u},
                                           CColourCase{false, {1, 1, 1, 0.8f}, 0, 2, 0xFFFFFFFFu},
                                           CColourCase{false, {1, 0, 0, 1}, 0.5f, 0.5f, 0x80800080u},
                                           CColourCase{false, {1, 0, 0, 1}, 1, 1, 0xFF0000FFu}));

TEST(ParticleDrawingTest, OnlyVisibleParticlesAreDrawnInBatchesOfTheBuffer) {
    CEffect effect(QuietEmitter());
    EXPECT_EQ(effect.emitter->RenderAll(), 0);
    EXPECT_TRUE(effect.device.states.empty());

    AddParticle(effect.Type(), kAt).alphaFactor = 0.01f;
    AddParticle(effect.Type(), kAt).deathPending = 0;
    for (int i = 0; i < 513; ++i) AddParticle(effect.Type(), kAt);
    EXPECT_EQ(effect.emitter->RenderAll(), 513);
    ASSERT_EQ(effect.device.draws.size(), 2u);
    EXPECT_EQ(effect.device.draws[0].size(), 512u * 4);
    EXPECT_EQ(effect.device.draws[1].size(), 4u);
    EXPECT_EQ(effect.device.states, (std::vector<std::string>{"RenderState 0 1", "Blend 1 5", "NoTexture"}));

}

struct CBudgetCase {
    int32_t max;
    int32_t mode;
    uint32_t drawFlags;
    std::vector<float> xs;  // x of the drawn particles' first corners, in order
};

class ParticleBudgetTest : public ::testing::TestWithParam<CBudgetCase> {};

// Particles 0 to 5 emitted in order: the head is the newest, at x = 5.
TEST_P(ParticleBudgetTest, DrawsTheWalksChoice) {
    SeedParticleRandom(7);
    CEffect effect(QuietEmitter());
    effect.Type().words.drawFlags = GetParam().drawFlags;
    for (int i = 0; i < 6; ++i) AddParticle(effect.Type(), {float(i) + 32, 0, 0}).size = 1.0f / 64;
    const int32_t drawn = effect.emitter->Render(GetParam().max, GetParam().mode);
    std::vector<float> xs;
    for (const auto& draw : effect.device.draws)
        for (size_t i = 0; i < draw.size(); i += 4) xs.push_back(draw[i].x + 1);
    EXPECT_EQ(drawn, int32_t(xs.size()));
    if (GetParam().mode == 0) EXPECT_EQ(xs, GetParam().xs);
    else EXPECT_LT(xs.size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Walks, ParticleBudgetTest,
                         ::testing::Values(CBudgetCase{-1, 0, 0, {32, 33, 34, 35, 36, 37}},
                                           CBudgetCase{-1, 0, CVexaParticleType::kFirstInOrder, {37, 36, 35, 34, 33, 32}},
                                           CBudgetCase{3, 0, CVexaParticleType::kFirstInOrder, {37, 36, 35}},
                                           CBudgetCase{3, 0, 0, {34, 35, 36}}, CBudgetCase{10, 0, 0, {32, 33, 34, 35, 36, 37}},
                                           CBudgetCase{3, 1, 0, {}}));

TEST(ParticleDrawingTest, RenderAllDrawsTheSubEmittersFirst) {
    Tools::CVexaEmitter description = QuietEmitter();
    description.types[0].subEmitters = {QuietEmitter("Sub")};
    CEffect effect(description);
    for (float t : {0.0f, 0.25f, 0.5f}) effect.emitter->Update(t, 0.25f, 0, 0, 0, 1);
    const uint32_t count = effect.emitter->GetParticleCount();
    EXPECT_GT(count, uint32_t(effect.Type().liveCount));
    EXPECT_EQ(effect.emitter->RenderAll(), int32_t(count));
}

} // namespace
} // namespace VexaTest
