// Where new particles start, where they head and how they turn, and the mesh
// they show: expected values worked out by hand from the placement formulas
// (angles in radians, the shapes' own constants 1.57075, 6.283, 0.0174533,
// 3.1415 and 6.2831855), for an emitter at (100, 50, 0) emitting a burst.
// Values that rest on random draws take the draws from a copy of the
// generator, in the order the emission makes them.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "ParticleTestSupport.h"

namespace VexaTest {
namespace {

struct CShape {
    uint32_t shape = 0;  // 0 point, 1 line, else circle
    uint32_t ordered = 1;
    uint32_t count = 1;
    uint32_t twoSided = 0;
    float direction = 0;  // C13
    float spread = 0;     // C14
    float angle = 0;      // C15
    float size = 0;       // C16
    uint32_t rotationMode = 0;
    int32_t degrees = 0;
    uint32_t axis3D = 0;
    float elevation = 0;  // both elevation curves
};

// One type bursting once: the whole emission of the first update.
Tools::CVexaEmitter BurstEmitter(const CShape& s) {
    Tools::CVexaEmitter emitter = Tools::MakeVexaEmitter("Burst");
    emitter.shape = s.shape;
    emitter.orderedPlacement = s.ordered;
    emitter.placementCount = s.count;
    emitter.twoSidedA = emitter.twoSidedB = s.twoSided;
    SetC(emitter, 13, s.direction);
    SetC(emitter, 14, s.spread);
    SetC(emitter, 15, s.angle);
    SetC(emitter, 16, s.size);
    Tools::CVexaParticleType& type = emitter.types[0];
    type.flags = CVexaParticleType::kOneShotBurst;
    type.burstCount = 1;
    type.words[1] = s.rotationMode;
    type.words[2] = uint32_t(s.degrees);
    SetQ(type, 1, 50.0f);
    SetQ(type, 8, 0.0f);
    emitter.axis3D = s.axis3D;
    if (s.axis3D) {
        SetQ(type, 27, s.elevation);
        SetQ(type, 28, s.elevation);
    }
    return emitter;
}

// The emission's particles in the order they were made (the live list holds
// the newest first).
std::vector<const CParticle*> Emitted(const CVexaParticleType& type) {
    std::vector<const CParticle*> particles;
    for (const CParticle* p = type.tail; p; p = p->prev) particles.push_back(p);
    return particles;
}

struct CStart {
    float x, y, dx, dy, dz, angle;
};

// Within a few units in the last place of the expected value.
void ExpectNear(float actual, float expected, const char* what, size_t index) {
    EXPECT_NEAR(actual, expected, 2e-6f + std::fabs(expected) * 2e-7f) << what << " of particle " << index;
}

void ExpectStart(const CParticle& p, const CStart& e, size_t index) {
    ExpectNear(p.position.x, e.x, "x", index);
    ExpectNear(p.position.y, e.y, "y", index);
    EXPECT_EQ(p.position.z, 0.0f) << index;
    ExpectNear(p.direction.x, e.dx, "direction x", index);
    ExpectNear(p.direction.y, e.dy, "direction y", index);
    ExpectNear(p.direction.z, e.dz, "direction z", index);
    ExpectNear(p.angle, e.angle, "angle", index);
}

struct CPlacementCase {
    const char* name;
    CShape shape;
    std::vector<CStart> particles;
};

class ParticlePlacementTest : public ::testing::TestWithParam<CPlacementCase> {};

TEST_P(ParticlePlacementTest, StartsWhereTheShapePutsIt) {
    SeedParticleRandom(3);
    CEffect effect(BurstEmitter(GetParam().shape));
    effect.emitter->Update(0.0f, 0.1f, 100, 50, 0, 1);
    const std::vector<const CParticle*> particles = Emitted(effect.Type());
    ASSERT_EQ(particles.size(), GetParam().particles.size());
    for (size_t i = 0; i < particles.size(); ++i) ExpectStart(*particles[i], GetParam().particles[i], i);
}

// A line: t = j / (count - 1), start = centre + (cos C15, sin C15) x C16 x
// (2t - 1), a = C13 + C15 + 1.57075. A circle: t = j / count, point angle
// p = 6.283 t + C15, start = centre + C16 (cos p, sin p), a = C13 + p.
// Two-sided ordered placement reverses odd j and halves j.
INSTANTIATE_TEST_SUITE_P(
    Shapes, ParticlePlacementTest,
    ::testing::Values(
        CPlacementCase{"PointTakesOneParticleWhateverTheCount", {0, 1, 5, 0, 0.3f},
                       {{100, 50, 0.955336511f, 0.295520216f, 0, 0.3f}}},
        CPlacementCase{"LineOfThree", {1, 1, 3, 0, 0.2f, 0, 0.5f, 10},
                       {{91.2241745f, 45.2057457f, -0.644182265f, 0.764872015f, 0, 2.27075005f},
                        {100, 50, -0.644182265f, 0.764872015f, 0, 2.27075005f},
                        {108.775826f, 54.7942543f, -0.644182265f, 0.764872015f, 0, 2.27075005f}}},
        CPlacementCase{"LineOfOneStartsAtItsEnd", {1, 1, 1, 0, 0.2f, 0, 0.5f, 10},
                       {{91.2241745f, 45.2057457f, -0.644182265f, 0.764872015f, 0, 2.27075005f}}},
        CPlacementCase{"CircleOfFour", {2, 1, 4, 0, 0, 0, 0.25f, 20},
                       {{119.37825f, 54.9480782f, 0.968912423f, 0.247403964f, 0, 0.25f},
                        {95.0528183f, 69.378479f, -0.247359067f, 0.968923867f, 0, 1.82075f},
                        {80.6212921f, 45.0537148f, -0.96893537f, -0.247314185f, 0, 3.3915f},
                        {104.945381f, 30.6210632f, 0.247269064f, -0.968946874f, 0, 4.96224976f}}},
        CPlacementCase{"TwoSidedCircleOfTwo", {7, 1, 2, 1, 0.1f, 0, 0, 5},
                       {{105, 50, 0.995004177f, 0.0998334214f, 0, 0.1f},
                        {105, 50, -0.995004177f, -0.0998334214f, 0, 0.1f},
                        {95, 50.0004616f, -0.995013416f, -0.0997411236f, 0, 3.2414999f},
                        {95, 50.0004616f, 0.995013416f, 0.0997411236f, 0, 3.2414999f}}},
        CPlacementCase{"TwoSidedLineOfThree", {1, 1, 3, 1, 0.2f, 0, 0.5f, 10},
                       {{91.2241745f, 45.2057457f, -0.644182265f, 0.764872015f, 0, 2.27075005f},
                        {91.2241745f, 45.2057457f, 0.644182265f, -0.764872015f, 0, 2.27075005f},
                        {100, 50, -0.644182265f, 0.764872015f, 0, 2.27075005f},
                        {100, 50, 0.644182265f, -0.764872015f, 0, 2.27075005f},
                        {108.775826f, 54.7942543f, -0.644182265f, 0.764872015f, 0, 2.27075005f},
                        {108.775826f, 54.7942543f, 0.644182265f, -0.764872015f, 0, 2.27075005f}}},
        // Rotation mode 2: g x 0.0174533; mode 0: a + g x 0.0174533. A turn
        // of 100 rounds keeps the constant's last digit in sight.
        CPlacementCase{"FixedRotation", {0, 1, 1, 0, 0.3f, 0, 0, 0, 2, -36000},
                       {{100, 50, 0.955336511f, 0.295520216f, 0, -628.318787f}}},
        CPlacementCase{"RotationFromTheDirection", {0, 1, 1, 0, 0.3f, 0, 0, 0, 0, -36000},
                       {{100, 50, 0.955336511f, 0.295520216f, 0, -628.018799f}}},
        // Equal elevation curves: e = 3.1415 - 0.5.
        CPlacementCase{"ThreeDimensionalDirection", {0, 1, 1, 0, 0.3f, 0, 0, 0, 0, 0, 1, 0.5f},
                       {{100, 50, 0.458090395f, 0.141703963f, 0.877538145f, 0.3f}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Products and sums left to right, exactly: (cos C15 x C16) x (2t - 1) and
// (C13 + C15) + 1.57075. The other groupings differ in the last bit of the
// middle two starts and of the angle.
TEST(ParticleLinePlacementTest, TakesProductsAndSumsLeftToRight) {
    SeedParticleRandom(3);
    CEffect effect(BurstEmitter({1, 1, 4, 0, 0.3f, 0, 0.9f, 77.7f}));
    effect.emitter->Update(0.0f, 0.1f, 0, 0, 0, 1);
    const std::vector<const CParticle*> particles = Emitted(effect.Type());
    const std::array<std::array<float, 2>, 4> starts{
        {{-48.2990952f, -60.8644981f}, {-16.0996971f, -20.2881641f}, {16.0997009f, 20.288168f}, {48.2990952f, 60.8644981f}}};
    ASSERT_EQ(particles.size(), starts.size());
    for (size_t i = 0; i < starts.size(); ++i) {
        EXPECT_EQ(particles[i]->position.x, starts[i][0]) << i;
        EXPECT_EQ(particles[i]->position.y, starts[i][1]) << i;
        EXPECT_EQ(particles[i]->angle, 2.77075005f) << i;
    }
}

// The next draws of the particle generator, left for the emission to take.
std::vector<uint32_t> NextDraws(int n) {
    ParticleRandomGenerator copy = GetParticleRandomGenerator();
    std::vector<uint32_t> draws;
    for (int i = 0; i < n; ++i) draws.push_back(ParticleRandomNext(copy));
    return draws;
}

float Unit(uint32_t draw) { return float(double(draw) / 4294967295.0); }

// A point emitter's one particle with a direction spread, at random: a = C13
// + C14 x (2u - 1) x 0.5 from the first draw, then the reversal bit, then a
// random rotation u x 6.2831855, then the 3-D elevation 3.1415 - (lo + (hi -
// lo) u), each from the next draw it needs.
struct CDrawnCase {
    const char* name;
    uint32_t twoSided;
    uint32_t rotationMode;
    bool axis3D;
};

class ParticleDrawnPlacementTest : public ::testing::TestWithParam<CDrawnCase> {};

TEST_P(ParticleDrawnPlacementTest, TakesTheDrawsInOrder) {
    const CDrawnCase& c = GetParam();
    Tools::CVexaEmitter description = BurstEmitter({0, 0, 1, c.twoSided, 0.3f, 1.0f, 0, 0, c.rotationMode, 90, c.axis3D});
    SetQ(description.types[0], 27, 1.0f);
    SetQ(description.types[0], 28, 0.2f);
    CEffect effect(description);
    SeedParticleRandom(11);
    const std::vector<uint32_t> draws = NextDraws(4);
    effect.emitter->Update(0.0f, 0.1f, 100, 50, 0, 1);
    ASSERT_EQ(effect.Type().liveCount, 1);
    const CParticle& p = *effect.Type().head;

    size_t next = 0;
    const float a = 0.3f + 1.0f * (2.0f * Unit(draws[next++]) - 1.0f) * 0.5f;
    const bool reversed = c.twoSided && (draws[next++] & 1) != 0;
    const float angle = c.rotationMode == 0 ? a + 90.0f * 0.0174533f : Unit(draws[next++]) * 6.2831855f;
    float dx = std::cos(a), dy = std::sin(a), dz = 0;
    if (c.axis3D) {
        const float e = 3.1415f - (0.2f + (1.0f - 0.2f) * Unit(draws[next++]));
        dx *= std::sin(e);
        dy *= std::sin(e);
        dz = -std::cos(e);
    }
    if (reversed) dx = -dx, dy = -dy, dz = -dz;
    ExpectStart(p, {100, 50, dx, dy, dz, angle}, 0);
}

INSTANTIATE_TEST_SUITE_P(Draws, ParticleDrawnPlacementTest,
                         ::testing::Values(CDrawnCase{"Spread", 0, 0, false}, CDrawnCase{"TwoSided", 1, 0, false},
                                           CDrawnCase{"RandomRotation", 0, 1, false},
                                           CDrawnCase{"AnyOtherModeRotatesAtRandom", 1, 9, false},
                                           CDrawnCase{"Elevation", 0, 0, true},
                                           CDrawnCase{"EverythingDrawn", 1, 3, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CMeshCase {
    const char* name;
    std::vector<Tools::CVexaMeshReference> meshes;
    int instance;  // the picked instance's index, -1 for none
    float scale;
};

class ParticleMeshPickTest : public ::testing::TestWithParam<CMeshCase> {};

// With a positive total only entries of positive weight can be picked,
// whatever the draw; a single entry is taken as it is.
TEST_P(ParticleMeshPickTest, ShowsTheEntryItsWeightsGive) {
    Tools::CVexaDocument document;
    document.meshes.instances = {{11, 0, {1, 1, 1}}, {12, 0, {1, 1, 1}}, {13, 0, {1, 1, 1}}};
    Tools::CVexaEmitter emitter = BurstEmitter({2, 1, 16, 1, 0, 0, 0, 5});
    emitter.types[0].meshes = GetParam().meshes;
    document.emitters = {emitter};
    const auto file = ReadVexa(Tools::WriteVexa(document));
    auto running = file->CreateEmitter("Burst");
    SeedParticleRandom(5);
    running->Update(0.0f, 0.1f, 100, 50, 0, 1);
    const std::vector<const CParticle*> particles = Emitted(running->GetParticleType(0));
    ASSERT_EQ(particles.size(), 32u);
    const auto& instances = file->GetMeshLibrary().GetMeshInstances();
    for (const CParticle* p : particles) {
        EXPECT_EQ(p->mesh, GetParam().instance < 0 ? nullptr : &instances[size_t(GetParam().instance)]);
        EXPECT_EQ(p->meshScale, GetParam().scale);
        EXPECT_EQ(p->meshAngle, 0.0f);
        EXPECT_EQ(p->meshAxis.z, 1.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(Meshes, ParticleMeshPickTest,
                         ::testing::Values(CMeshCase{"None", {}, -1, 1.0f},
                                           CMeshCase{"One", {{12, 0, 2.5f, 0}}, 1, 2.5f},
                                           CMeshCase{"OnlyOneWeighs", {{11, 0, 1.5f, 0}, {12, 7, 2.5f, 0}, {13, 0, 3.5f, 0}}, 1, 2.5f},
                                           CMeshCase{"LastWeighs", {{11, 0, 1.5f, 0}, {12, 0, 2.5f, 0}, {13, 4, 3.5f, 0}}, 2, 3.5f}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace VexaTest
