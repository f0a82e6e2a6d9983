// A frame's particle budget: what emission, aging, motion and drawing do
// within it, counted on the particles and on the quads the device receives.

#include <gtest/gtest.h>

#include "ParticleTestSupport.h"

namespace VexaTest {
namespace {

constexpr int64_t kUnlimited = CParticleWorkBudget::kUnlimited;

int32_t Quads(const CFakeDevice& device) {
    size_t vertices = 0;
    for (const auto& draw : device.draws) vertices += draw.size();
    return int32_t(vertices / 4);
}

// A thousand particles a second moving along x at 10 pixels a second.
TEST(ParticleWorkBudgetTest, AFrameStepsWholeTypesAndDrawsWithinItsLimits) {
    Tools::CVexaEmitter description = QuietEmitter();
    SetQ(description.types[0], 5, 1000.0f);
    SetQ(description.types[0], 4, 10.0f);
    CEffect effect(description);
    CParticleWorkBudget& budget = effect.library.GetWorkBudget();
    CVexaParticleType& type = effect.Type();

    // Each new particle takes two visits, its emission and its first aging.
    budget.Start(101, kUnlimited);
    effect.emitter->Update(0.0f, 1.0f, 0, 0, 0, 1);
    EXPECT_EQ(type.liveCount, 50);
    EXPECT_EQ(budget.GetVisitsLeft(), 1);
    // Moving 50 particles needs 50 visits: the type waits.
    effect.emitter->Move(0.0f, 0.5f);
    for (const CParticle* p = type.head; p; p = p->next) ASSERT_EQ(p->position.x, 0.0f);

    // The next frame pays for the move; then aging the 50 is past the limit,
    // so nothing is emitted either.
    budget.Start(50, kUnlimited);
    effect.emitter->Move(0.0f, 0.5f);
    for (const CParticle* p = type.head; p; p = p->next) ASSERT_EQ(p->position.x, 5.0f);
    effect.emitter->Update(0.5f, 0.5f, 0, 0, 0, 1);
    EXPECT_EQ(type.liveCount, 50);
    EXPECT_EQ(budget.GetVisitsLeft(), 0);

    budget.Start(kUnlimited, 20);
    EXPECT_EQ(effect.emitter->RenderAll(), 20);
    EXPECT_EQ(effect.emitter->RenderAll(), 0);
    EXPECT_EQ(Quads(effect.device), 20);
    budget.Start(kUnlimited, kUnlimited);
    EXPECT_EQ(effect.emitter->RenderAll(), 50);
    EXPECT_EQ(Quads(effect.device), 70);
}

} // namespace
} // namespace VexaTest
