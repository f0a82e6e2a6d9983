// Noise and eased key tables against values worked out by hand: the noise
// from its seeded gradient table and the smoothstep blend, the eased table
// by its two linear interpolations.

#include <string>

#include "ControllerFixtures.h"

using namespace SceneTest;

namespace {

struct NoiseCase {
    const char* name;
    float phase, frequency, strength, rampTime, base;
    bool positive;
    double time;
    float expected;
};

class NoiseValueTest : public ControllerTest, public ::testing::WithParamInterface<NoiseCase> {};

TEST_P(NoiseValueTest, TakesTheHandWorkedValue) {
    const NoiseCase& c = GetParam();
    auto noise = Make<CNoiseFloatControl>();
    noise->m_phase = c.phase;
    noise->m_frequency = c.frequency;
    noise->m_strength = c.strength;
    noise->m_rampTime = c.rampTime;
    noise->m_baseValue = c.base;
    noise->m_positive = c.positive;
    EXPECT_EQ(noise->GetNoiseValue(c.time), c.expected);
    EXPECT_EQ(Evaluate(*noise, c.time), c.expected);
}

// The gradients and the permutation come from the C runtime generator
// seeded with 548485; the lattice starts 10000 below x.
INSTANTIATE_TEST_SUITE_P(
    HandWorked, NoiseValueTest,
    ::testing::Values(NoiseCase{"Default", 1000, 1, 10, 0, 0, false, 0.25, -0.013275146484375f},
                      NoiseCase{"DefaultLater", 1000, 1, 10, 0, 0, false, 1.7, -0.5001389980316162f},
                      NoiseCase{"Tuned", 10, 0.35f, 12, 0, 3, false, 3.0, 2.8734548091888428f},
                      NoiseCase{"TunedOnALatticePoint", 10, 0.35f, 12, 0, 3, false, 5.0, 1.9013671875f},
                      NoiseCase{"TunedLater", 10, 0.35f, 12, 0, 3, false, 7.5, 1.2876777648925781f},
                      NoiseCase{"TunedBeforeZero", 10, 0.35f, 12, 0, 3, false, -3.3, 2.2031636238098145f},
                      NoiseCase{"Positive", 10, 0.35f, 12, 0, 3, true, 3.0, 8.873455047607422f},
                      NoiseCase{"PositiveLater", 10, 0.35f, 12, 0, 3, true, 7.5, 7.287677764892578f},
                      NoiseCase{"RampStart", 10, 0.35f, 12, 2, 3, false, 0.0, 3.0f},
                      NoiseCase{"RampHalfWay", 10, 0.35f, 12, 2, 3, false, 1.0, 1.830503225326538f},
                      NoiseCase{"RampDone", 10, 0.35f, 12, 2, 3, false, 2.0, 1.8432226181030273f}),
    [](const auto& info) { return std::string(info.param.name); });

struct EaseCase {
    double time;
    double eased;
    float expected;
};

class EasedValueTest : public ControllerTest, public ::testing::WithParamInterface<EaseCase> {};

// A table through (2, 80), (9, 560), (16, 80), eased by a linear curve
// through (0, 0), (5, 3), (15, 17), (20, 20): slow at both ends.
TEST_P(EasedValueTest, ReadsTheTableAtTheEasedTime) {
    const EaseCase& c = GetParam();
    auto table = MakeWithKeys<CLinearFloatCtrl>({{2, 80}, {9, 560}, {16, 80}});
    table->AddEaseCurve(MakeWithKeys<CLinearFloatCtrl>({{0, 0}, {5, 3}, {15, 17}, {20, 20}}));
    double eased = 0, time = c.time;
    table->GetEaseCurveList()->EaseTime(&eased, &time);
    EXPECT_EQ(eased, c.eased);
    EXPECT_EQ(Evaluate(*table, c.time), c.expected);
}

INSTANTIATE_TEST_SUITE_P(HandWorked, EasedValueTest,
                         ::testing::Values(EaseCase{2.5, 1.5, 80.0f},  // before the first key: held
                                           EaseCase{10.0, 10.0, 491.4285583496094f},
                                           EaseCase{12.5, 13.5, 251.42857360839844f},
                                           EaseCase{19.0, 19.399999618530273, 80.0f}));

} // namespace
