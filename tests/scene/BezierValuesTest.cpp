// Bezier evaluation against values worked out by hand from the key data:
// the parameter walk, the control points of every tangent kind, the
// tangent handles, and slopes too steep for the single-precision cosine.

#include <cmath>
#include <ostream>

#include "ControllerFixtures.h"

using namespace SceneTest;
using Engine::ref_ptr;

namespace {

struct ParameterCase {
    float x1, x2, u;
    float expected;
};

void PrintTo(const ParameterCase& c, std::ostream* os) { *os << "(" << c.x1 << ", " << c.x2 << ", " << c.u << ")"; }

class BezierParameterTest : public ::testing::TestWithParam<ParameterCase> {};

TEST_P(BezierParameterTest, WalksToTheHandWorkedParameter) {
    const ParameterCase& c = GetParam();
    EXPECT_EQ(SolveBezierParameter(c.x1, c.x2, c.u), c.expected);
}

// The walk stops once its step is at most 0.000001, wherever the root is:
// the full-length handles (1, 0) end 0.0023 past the curve's root 0.5, and
// the identity curve short of it.
INSTANTIATE_TEST_SUITE_P(Walk, BezierParameterTest,
                         ::testing::Values(ParameterCase{1.0f, 0.0f, 0.5f, 0.5023328065872192f},
                                           ParameterCase{1.0f, 0.0f, 0.05f, 0.017254402860999107f},
                                           ParameterCase{0.3333f, 1.0f - 0.3333f, 0.5f, 0.4999968707561493f},
                                           ParameterCase{0.2f, 0.9f, 0.25f, 0.27025601267814636f},
                                           ParameterCase{0.0f, 1.0f, 0.1f, 0.19579844176769257f},
                                           ParameterCase{0.9f, 0.1f, 0.75f, 0.8839263916015625f},
                                           ParameterCase{0.2f, 0.9f, 0.0000009f, 0.0f},
                                           ParameterCase{0.2f, 0.9f, 0.9999991f, 1.0f}));

// One segment from key A to key B and the value it takes at a time.
struct SegmentCase {
    const char* name;
    IBezFloatKey a, b;
    double time;
    float expected;
};

void PrintTo(const SegmentCase& c, std::ostream* os) { *os << c.name; }

IBezFloatKey Key(double time, float value, float inSlope = 0, float outSlope = 0, float inLength = 0.3333f,
                 float outLength = 0.3333f, uint32_t inKind = 0, uint32_t outKind = 0) {
    IBezFloatKey key;
    key.time = time;
    key.value = value;
    key.inSlope = inSlope;
    key.outSlope = outSlope;
    key.inLength = inLength;
    key.outLength = outLength;
    key.inKind = inKind;
    key.outKind = outKind;
    return key;
}

class BezierSegmentTest : public ControllerTest, public ::testing::WithParamInterface<SegmentCase> {};

TEST_P(BezierSegmentTest, TakesTheHandWorkedValue) {
    const SegmentCase& c = GetParam();
    auto bezier = MakeWithKeys<CBezierFloatCtrl>({});
    bezier->AppendKey(new IBezFloatKey(c.a));
    bezier->AppendKey(new IBezFloatKey(c.b));
    EXPECT_EQ(bezier->GetValueAtTime(c.time), c.expected);
}

// Control points: linear kinds at the thirds of the rise; other kinds at
// 160 slope length dt / cos(atan(slope)) from their key (cos(atan(0.75)) is
// 0.8, so the out slope 0.75 over half of 4 s rises by 300).
INSTANTIATE_TEST_SUITE_P(
    HandWorked, BezierSegmentTest,
    ::testing::Values(
        SegmentCase{"StraightLine", Key(0, 0, 0, 0, 0.3333f, 0.3333f, 1, 1), Key(10, 30, 0, 0, 0.3333f, 0.3333f, 1, 1),
                    5.0, 14.99990463256836f},
        SegmentCase{"FullLengthFlatHandles", Key(0, 0, 0, 0, 0.3333f, 1.0f), Key(10, 600, 0, 0, 1.0f), 5.0,
                    302.0994873046875f},
        SegmentCase{"SlopesNearA", Key(2, 10, 0, 0.75f, 0.3333f, 0.5f), Key(6, 40, -0.2f, 0, 0.25f), 3.0,
                    119.65819549560547f},
        SegmentCase{"SlopesMiddle", Key(2, 10, 0, 0.75f, 0.3333f, 0.5f), Key(6, 40, -0.2f, 0, 0.25f), 5.0,
                    81.49636840820312f},
        SegmentCase{"SlopesNearB", Key(2, 10, 0, 0.75f, 0.3333f, 0.5f), Key(6, 40, -0.2f, 0, 0.25f), 5.5,
                    47.042076110839844f},
        SegmentCase{"FullLengthSlopeIntoLinearKind", Key(2, 10, 0, 0.75f, 0.3333f, 1.0f),
                    Key(6, 40, -0.2f, 0, 1.0f, 0.3333f, 1), 3.0, 159.9459228515625f},
        SegmentCase{"StepHoldsA", Key(2, 10, 0, 0.75f, 0.3333f, 0.5f, 0, 2), Key(6, 40), 5.9, 10.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControllerTest, TangentHandlesLieWhereTheirSlopesPoint) {
    auto bezier = MakeWithKeys<CBezierFloatCtrl>({});
    bezier->AppendKey(new IBezFloatKey(Key(0, 0)));
    bezier->AppendKey(new IBezFloatKey(Key(4, 20, -0.2f, 0.75f, 0.25f, 0.5f)));
    bezier->AppendKey(new IBezFloatKey(Key(10, -5)));
    // in: a quarter of 4 s back, 20 + (0.25 160 4 / cos(atan(-0.2))) (-0.2);
    // out: half of 6 s on, 20 + (0.5 160 6 / 0.8) 0.75.
    const CBezierFloatCtrl::CHandle in = bezier->GetInHandle(1), out = bezier->GetOutHandle(1);
    EXPECT_EQ(in.time, 3.0);
    EXPECT_EQ(in.value, -12.633724212646484f);
    EXPECT_EQ(out.time, 7.0);
    EXPECT_EQ(out.value, 470.0f);
}

// Beyond 2^25 the single-precision cosine of the slope's atan turns
// negative and would put the handle on the other side of the key: such
// slopes are held at the steepest sound one, and the direction kept.
TEST_F(ControllerTest, SlopesTooSteepForTheCosineAreHeldNotFlipped) {
    constexpr float steepest = 33554430.0f;
    auto bezier = MakeWithKeys<CBezierFloatCtrl>({});
    bezier->AppendKey(new IBezFloatKey(Key(0, 0)));
    bezier->AppendKey(new IBezFloatKey(Key(4, 20)));
    bezier->AppendKey(new IBezFloatKey(Key(10, 0)));
    IBezFloatKey& middle = bezier->KeyAt(1);
    IBezFloatKey& first = bezier->KeyAt(0);
    for (const float sign : {1.0f, -1.0f}) {
        middle.outSlope = first.outSlope = sign * steepest;
        const float handle = bezier->GetOutHandle(1).value;
        const float value = bezier->GetValueAtTime(2.0);
        EXPECT_EQ(handle, 20.0f + sign * 1.4220717462441165e+17f);
        EXPECT_EQ(value, sign * 3.5552014846918656e+16f);
        for (const float steeper : {1e9f, INFINITY}) {
            middle.outSlope = first.outSlope = sign * steeper;
            EXPECT_EQ(bezier->GetOutHandle(1).value, handle) << steeper;
            EXPECT_EQ(bezier->GetValueAtTime(2.0), value) << steeper;
        }
    }
    // Inside the sound range the formula's own result stands, coarse as the
    // cosine is there (7.5e-8 for a slope of 2e7).
    bezier->KeyAt(2).time = 20;
    bezier->KeyAt(1).time = 10;
    bezier->KeyAt(1).value = 0;
    first.outSlope = 2e7f;
    EXPECT_EQ(bezier->GetValueAtTime(5.0), 5.297663059479757e+16f);
}

TEST(BezierCurveTest, SlopeFromHandleInvertsTheHandle) {
    for (float slope : {-3.0f, -0.4f, 0.0f, 0.02f, 1.5f, 12.0f})
        for (float length : {0.1f, 0.3333f, 0.9f})
            for (float span : {0.5f, 4.0f}) {
                const float rise = HandleRise(slope, length, span);
                EXPECT_NEAR(SlopeFromHandle(2.0f, length, span, 2.0f + rise), slope, 1e-4f * (1 + std::fabs(slope)));
            }
    EXPECT_EQ(SlopeFromHandle(1, 0, 4, 5), 0.0f);
}

} // namespace
