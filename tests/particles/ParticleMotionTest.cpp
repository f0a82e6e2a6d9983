// The motion step of hand-placed particles and the orientation frame.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "ParticleTestSupport.h"
#include "particles/library/ParticleMotion.h"
#include "particles/library/VexaCollider.h"

namespace VexaTest {
namespace {

using Engine::Geometry::CVector3;

struct CMotionCase {
    const char* name;
    std::function<void(CParticle&)> set;
    float dt;
    CVector3 position;
    float angle;
};

class ParticleMotionTest : public ::testing::TestWithParam<CMotionCase> {};

// A particle at (3, 4, 2) whose orbit centre is the origin.
TEST_P(ParticleMotionTest, MovesAsItsValuesSay) {
    CEffect effect(QuietEmitter());
    CParticle& particle = AddParticle(effect.Type(), {3, 4, 2});
    GetParam().set(particle);
    MoveParticles(effect.Type(), 1.0f, GetParam().dt);
    EXPECT_NEAR(particle.position.x, GetParam().position.x, 1e-5f);
    EXPECT_NEAR(particle.position.y, GetParam().position.y, 1e-5f);
    EXPECT_NEAR(particle.position.z, GetParam().position.z, 1e-5f);
    EXPECT_NEAR(particle.angle, GetParam().angle, 1e-6f);
}

const float kC = std::cos(0.5f), kS = std::sin(0.5f);

INSTANTIATE_TEST_SUITE_P(
    Cases, ParticleMotionTest,
    ::testing::Values(CMotionCase{"Still", [](CParticle&) {}, 1.0f, {3, 4, 2}, 0},
                      CMotionCase{"Speed", [](CParticle& p) { p.speed = 10, p.direction = {1, 0, 0}, p.motionFactor = 2; },
                                  0.5f, {13, 4, 2}, 0},
                      CMotionCase{"Orbit", [](CParticle& p) { p.orbitSpeed = 0.5f; }, 1.0f,
                                  {3 * kC - 4 * kS, 3 * kS + 4 * kC, 2}, 0.5f},
                      CMotionCase{"Contraction", [](CParticle& p) { p.orbitContraction = 0.5f; }, 1.0f, {1.5f, 2, 2}, 0},
                      CMotionCase{"Spin", [](CParticle& p) { p.spinSpeed = 2; }, 0.25f, {3, 4, 2}, 0.5f},
                      CMotionCase{"FlatTurbulence",
                                  [](CParticle& p) { p.turbulence = 500, p.speed = 1, p.direction = {0, 0, 1}; }, 0.5f,
                                  {3, 4, 2.5f}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Sends the particle back from where it is halfway through the step.
class CMirror : public IVexaCollider {
public:
    uint32_t Collide(float, float* position, float* velocity, float* direction, float timeLeft, float, float, int32_t,
                     float* hitTime, uint32_t) override {
        ++asked;
        *hitTime = timeLeft * 0.5f;
        for (int i = 0; i < 3; ++i) {
            position[i] += *hitTime * velocity[i];
            velocity[i] = -velocity[i];
            direction[i] = -direction[i];
        }
        return 1;
    }
    int asked = 0;
};

TEST(ParticleMotionTest, ACollidersHitIsNotAskedAgainInTheSameStep) {
    CEffect effect(QuietEmitter());
    CMirror mirror;
    effect.emitter->AddValue(reinterpret_cast<uintptr_t>(&mirror));
    CParticle& particle = AddParticle(effect.Type(), {0, 0, 0});
    particle.speed = 4;
    particle.direction = {1, 0, 0};
    MoveParticles(effect.Type(), 0.0f, 1.0f);
    EXPECT_EQ(mirror.asked, 1);
    EXPECT_FLOAT_EQ(particle.position.x, 0.0f);
    EXPECT_EQ(particle.direction.x, -1.0f);
}

} // namespace
} // namespace VexaTest
