#include <cmath>
#include <string>

#include "ControllerFixtures.h"
#include "app/Noise.h"

using namespace SceneTest;
using Engine::ref_ptr;

namespace {

// ---- out-of-range types -------------------------------------------------

enum class EKind { Step, SingleKey, Linear, Bezier };

struct OutOfRangeCase {
    EKind kind;
    int32_t type;
    double time;
    float expected;  // UNTOUCHED: the output keeps what the caller put in
};
constexpr float UNTOUCHED = -1.0f;

class OutOfRangeTest : public ControllerTest, public ::testing::WithParamInterface<OutOfRangeCase> {
protected:
    ref_ptr<CController> MakeController(EKind kind) {
        switch (kind) {
        case EKind::Step:
            return MakeWithKeys<CStepFloatCtrl>({{0, 10}, {5, 50}, {10, 100}});
        case EKind::SingleKey:
            return MakeWithKeys<CStepFloatCtrl>({{5, 7}});
        case EKind::Linear:
            return MakeWithKeys<CLinearFloatCtrl>({{0, 0}, {10, 100}});
        case EKind::Bezier: {
            // Linear tangents at thirds: the value 10 t.
            auto bezier = MakeWithKeys<CBezierFloatCtrl>({{0, 0}, {10, 100}});
            for (int i = 0; i < 2; ++i) {
                IBezFloatKey& key = bezier->KeyAt(i);
                key.inKind = key.outKind = TANGENT_LINEAR;
                key.inLength = key.outLength = 1.0f / 3.0f;
            }
            return bezier;
        }
        }
        return nullptr;
    }
};

TEST_P(OutOfRangeTest, YieldsTheTypesValue) {
    const OutOfRangeCase& c = GetParam();
    ref_ptr<CController> controller = MakeController(c.kind);
    controller->SetOutOfRangeType(c.type, ORT_BEFORE);
    controller->SetOutOfRangeType(c.type, ORT_AFTER);
    CValue value(UNTOUCHED);
    controller->GetControllerValue(c.time, value);
    EXPECT_NEAR(value.Get<float>(), c.expected, 2e-3);
}

// The generic evaluation (step keys 10, 50, 100 at 0, 5, 10) and the own
// one of the linear and Bezier tables (10 t over 0..10).
const OutOfRangeCase GENERIC_CASES[] = {
    {EKind::Step, ORT_CONSTANT, -5, 10}, {EKind::Step, ORT_CONSTANT, 15, 100},
                      {EKind::Step, ORT_CONSTANT, 0, 10}, {EKind::Step, ORT_CONSTANT, 10, 100},
                      {EKind::Step, ORT_LINEAR, 7, 50}, {EKind::Step, ORT_REPEAT, 23, 10},
                      {EKind::Step, ORT_REPEAT, 27, 50}, {EKind::Step, ORT_REPEAT, -3, 50},
                      {EKind::Step, ORT_REPEAT, -10, 100}, {EKind::Step, ORT_LOOP, 23, 10},
                      {EKind::Step, ORT_PING_PONG, 13, 50},
                      {EKind::Step, ORT_PING_PONG, 23, 10},
                      {EKind::Step, ORT_PING_PONG, -3, 10},
                      {EKind::Step, ORT_LINEAR, 15, UNTOUCHED},
                      {EKind::Step, ORT_RELATIVE_REPEAT, 15, UNTOUCHED},
                      {EKind::Step, ORT_IDENTITY, -3, UNTOUCHED},
                      {EKind::Step, 9, 15, UNTOUCHED},
                      {EKind::SingleKey, ORT_REPEAT, 100, 7}
};
INSTANTIATE_TEST_SUITE_P(Generic, OutOfRangeTest, ::testing::ValuesIn(GENERIC_CASES));

const OutOfRangeCase OWN_CASES[] = {
    {EKind::Linear, ORT_CONSTANT, -5, 0},         {EKind::Linear, ORT_CONSTANT, 15, 100},
    {EKind::Linear, ORT_CONSTANT, 2.5, 25},       {EKind::Linear, ORT_REPEAT, 23, 30},
    {EKind::Linear, ORT_REPEAT, -3, 70},          {EKind::Linear, ORT_REPEAT, -10, 0},
    {EKind::Linear, ORT_LOOP, 27, 70},            {EKind::Linear, ORT_PING_PONG, 13, 70},
    {EKind::Linear, ORT_PING_PONG, 23, 30},       {EKind::Linear, ORT_PING_PONG, -3, 30},
    {EKind::Linear, ORT_LINEAR, 15, 100},         {EKind::Linear, ORT_LINEAR, -5, 0},
    {EKind::Linear, ORT_RELATIVE_REPEAT, 25, 250}, {EKind::Linear, ORT_RELATIVE_REPEAT, -5, -50},
    {EKind::Linear, ORT_IDENTITY, 12, 102},       {EKind::Linear, ORT_IDENTITY, -3, -3},
    {EKind::Linear, 9, 23, 30},
};

std::vector<OutOfRangeCase> OwnCases(EKind kind) {
    std::vector<OutOfRangeCase> cases;
    for (OutOfRangeCase c : OWN_CASES) cases.push_back((c.kind = kind, c));
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Linear, OutOfRangeTest, ::testing::ValuesIn(OwnCases(EKind::Linear)));
INSTANTIATE_TEST_SUITE_P(Bezier, OutOfRangeTest, ::testing::ValuesIn(OwnCases(EKind::Bezier)));

// ---- interpolation inside the range -------------------------------------

TEST_F(ControllerTest, StepAndLinearBetweenAndAtTheKeys) {
    auto step = MakeWithKeys<CStepFloatCtrl>({{0, 10}, {5, 50}, {10, 100}});
    auto linear = MakeWithKeys<CLinearFloatCtrl>({{0, 0}, {10, 100}});
    const struct {
        double time;
        float step, linear;
    } rows[] = {{-5, 10, 0}, {0, 10, 0}, {2.5, 10, 25}, {5, 50, 50}, {9.99, 50, 99.9f}, {10, 100, 100}, {15, 100, 100}};
    for (const auto& row : rows) {
        EXPECT_EQ(step->GetStepValue(row.time), row.step) << row.time;
        EXPECT_NEAR(linear->GetValueAtTime(row.time), row.linear, 1e-4) << row.time;
    }
    // Equal times: the key found at or before.
    auto twin = MakeWithKeys<CLinearFloatCtrl>({{4, 1}, {4, 9}});
    EXPECT_EQ(twin->GetValueAtTime(4), 1.0f);
    EXPECT_EQ(MakeWithKeys<CLinearFloatCtrl>({})->GetValueAtTime(3), 0.0f);
    EXPECT_EQ(MakeWithKeys<CStepFloatCtrl>({})->GetStepValue(3), 0.0f);
}

double ReferenceBernstein(double p0, double p1, double p2, double p3, double s) {
    const double q = 1 - s;
    return p0 * q * q * q + 3 * p1 * s * q * q + 3 * p2 * s * s * q + p3 * s * s * s;
}

// The first parameter where the time curve reaches u, by bisection in double
// (the curve rises until it first reaches u).
double ReferenceParameter(double x1, double x2, double u) {
    double lo = 0, hi = 1;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        (ReferenceBernstein(0, x1, x2, 1, mid) < u ? lo : hi) = mid;
    }
    return lo;
}

// The Bezier curve in double precision.
double ReferenceBezier(const IBezFloatKey& a, const IBezFloatKey& b, double t) {
    const double dt = b.time - a.time, u = (t - a.time) / dt;
    const double s = ReferenceParameter(a.outLength, 1 - b.inLength, u);
    auto rise = [dt](double slope, double length) { return 160 * slope * length * dt / std::cos(std::atan(slope)); };
    return ReferenceBernstein(a.value, a.value + rise(a.outSlope, a.outLength), b.value + rise(b.inSlope, b.inLength),
                              b.value, s);
}

TEST_F(ControllerTest, BezierFollowsTheNumericalCurve) {
    auto bezier = MakeWithKeys<CBezierFloatCtrl>({{0, 0}, {4, 20}, {10, -5}});
    const struct {
        float inSlope, inLength, outSlope, outLength;
    } tangents[] = {{0, 0.3333f, 0.05f, 0.3f}, {-0.02f, 0.25f, 0.01f, 0.5f}, {0.03f, 0.4f, 0, 0.3333f}};
    for (int i = 0; i < 3; ++i) {
        IBezFloatKey& key = bezier->KeyAt(i);
        key.inSlope = tangents[i].inSlope;
        key.inLength = tangents[i].inLength;
        key.outSlope = tangents[i].outSlope;
        key.outLength = tangents[i].outLength;
    }
    for (double t = 0.05; t < 10; t += 0.19) {
        const int segment = t < 4 ? 0 : 1;
        const double expected = ReferenceBezier(bezier->KeyAt(segment), bezier->KeyAt(segment + 1), t);
        EXPECT_NEAR(bezier->GetValueAtTime(t), expected, 2e-3) << t;
    }
    EXPECT_EQ(bezier->GetValueAtTime(-1), 0.0f);
    EXPECT_EQ(bezier->GetValueAtTime(4), 20.0f);
    EXPECT_EQ(bezier->GetValueAtTime(11), -5.0f);
    // A step out tangent holds the value until the next key.
    bezier->KeyAt(1).outKind = TANGENT_STEP;
    EXPECT_EQ(bezier->GetValueAtTime(9.9), 20.0f);
}

// ---- constant, bool and SetValue ----------------------------------------

TEST_F(ControllerTest, ConstantControllerKeepsItsOneKey) {
    auto constant = Make<CConstFloatController>();
    ASSERT_EQ(constant->GetKeyCount(), 1);
    constant->SetValue(0.0, CValue(4.5f), 0);
    EXPECT_EQ(constant->AddKey(3, 0), nullptr);
    EXPECT_EQ(constant->AppendKey(new ILinFloatKey), -1);
    constant->SetValue(7.0, CValue(9.0f), 0);  // no key there: nothing changes
    EXPECT_EQ(constant->GetKeyCount(), 1);
    for (double t : {-100.0, 0.0, 55.0}) EXPECT_EQ(Evaluate(*constant, t), 4.5f);
    constant->DeleteKey(0);
    EXPECT_EQ(Evaluate(*constant, 1), 0.0f);
}

TEST_F(ControllerTest, SetValueChangesOrAddsAKey) {
    auto linear = MakeWithKeys<CLinearFloatCtrl>({{0, 0}, {10, 100}});
    linear->SelectKey(1, true);
    linear->SetValue(10.0, CValue(50.0f), 0);
    linear->SetValue(4.0, CValue(8.0f), 0);
    ASSERT_EQ(linear->GetKeyCount(), 3);
    EXPECT_EQ(linear->KeyAt(1).time, 4.0);
    EXPECT_EQ(linear->KeyAt(1).flags, 0u);
    EXPECT_EQ(linear->KeyAt(2).value, 50.0f);
    EXPECT_EQ(linear->KeyAt(2).flags, uint32_t(KEY_SELECTED));
}

TEST_F(ControllerTest, StepBoolSwitchesAtItsKeys) {
    auto flag = MakeWithKeys<CStepBoolCtrl>({{0, 1}, {5, 0}});
    const struct {
        double time;
        bool on;
    } rows[] = {{-3, true}, {0, true}, {4.99, true}, {5, false}, {50, false}};
    for (const auto& row : rows) {
        CValue value;
        flag->GetControllerValue(row.time, value);
        EXPECT_EQ(value.Get<bool>(), row.on) << row.time;
    }
    EXPECT_FALSE(MakeWithKeys<CStepBoolCtrl>({})->GetBoolAt(1));
    flag->SetValue(5.0, CValue(true), 0);
    EXPECT_EQ(flag->GetKeyCount(), 2);
    EXPECT_EQ(flag->KeyAt(1).value, 1.0f);
    flag->OffsetKeyValues(CValue(true), false);
    EXPECT_EQ(flag->KeyAt(0).value, 2.0f);
    flag->OffsetKeyValues(CValue(-1.6f), false);
    EXPECT_FALSE(flag->GetBoolAt(0));  // 0.4
    flag->OffsetKeyValues(CValue(7), false);  // another type: nothing
    EXPECT_FLOAT_EQ(flag->KeyAt(0).value, 0.4f);
}

// ---- noise --------------------------------------------------------------

TEST_F(ControllerTest, NoiseValues) {
    auto noise = Make<CNoiseFloatControl>();
    EXPECT_EQ(noise->GetNoiseValue(0.0), 10 * GradientNoise1D(1000.0f));
    // Golden values of the default controller.
    const struct {
        double time;
        float value;
    } golden[] = {{0.25, -0.0132751465f}, {1.7, -0.500138998f}, {12.5, 0.859375f}, {-3.3, -0.170054436f}};
    for (const auto& row : golden) EXPECT_FLOAT_EQ(Evaluate(*noise, row.time), row.value) << row.time;

    noise->m_baseValue = 3;
    noise->m_rampTime = 2;
    const float full1 = 3 + 10 * GradientNoise1D(1001.0f);
    EXPECT_EQ(noise->GetNoiseValue(0.0), 3.0f);
    EXPECT_FLOAT_EQ(noise->GetNoiseValue(1.0), 3 + 0.5f * (full1 - 3));
    EXPECT_FLOAT_EQ(noise->GetNoiseValue(2.5), 3 + 10 * GradientNoise1D(1002.5f));
    EXPECT_FLOAT_EQ(noise->GetNoiseValue(-0.5), 3 + 10 * GradientNoise1D(999.5f));
    noise->m_positive = true;
    EXPECT_FLOAT_EQ(noise->GetNoiseValue(2.5), 3 + 10 * (GradientNoise1D(1002.5f) + 0.5f));
    noise->SetStrenght(0);
    EXPECT_EQ(noise->GetNoiseValue(7.25), 3.0f);
    // Unbounded range: the out-of-range types never apply to finite times.
    noise->SetOutOfRangeType(ORT_IDENTITY, ORT_AFTER);
    EXPECT_EQ(Evaluate(*noise, 1e9), 3.0f);
}

// ---- ease curves --------------------------------------------------------

TEST_F(ControllerTest, EaseCurvesMapTheTimeAndTheLastWins) {
    auto controller = MakeWithKeys<CLinearFloatCtrl>({{0, 0}, {10, 100}});
    const auto held = controller->GetEaseCurveList();
    auto& list = *held;
    double eased = 0, time = 40;
    list.EaseTime(&eased, &time);
    EXPECT_EQ(eased, 40.0);
    controller->AddEaseCurve(MakeWithKeys<CLinearFloatCtrl>({{0, 0}, {100, 50}}));
    list.EaseTime(&eased, &time);
    EXPECT_EQ(eased, 20.0);
    EXPECT_NEAR(Evaluate(*controller, 8), 40.0f, 1e-4);

    auto twice = MakeWithKeys<CLinearFloatCtrl>({{0, 0}, {100, 200}});
    auto plusOne = MakeWithKeys<CLinearFloatCtrl>({{0, 1}, {100, 101}});
    list.RemoveSubAnim(0);
    list.SetSubAnim(twice, 0);
    list.SetSubAnim(plusOne, 1);
    time = 5;
    list.EaseTime(&eased, &time);
    EXPECT_EQ(eased, 6.0);
    EXPECT_NEAR(Evaluate(*controller, 5), 60.0f, 1e-4);
    EXPECT_EQ(controller->GetSubAnimCount(), 2);
    EXPECT_EQ(controller->GetSubAnimName(1), CString("CLinearFloatCtrl"));
    EXPECT_EQ(controller->GetSubAnimType(0).type, Engine::Reflection::TypeOf<float>());
}

TEST_F(ControllerTest, AddEaseCurveGivesAnEmptyTableTheIdentity) {
    auto controller = Make<CStepFloatCtrl>();
    auto empty = Make<CStepFloatCtrl>();
    auto keyed = MakeWithKeys<CLinearFloatCtrl>({{3, 3}});
    controller->AddEaseCurve(empty);
    controller->AddEaseCurve(keyed);
    ASSERT_EQ(empty->GetKeyCount(), 2);
    EXPECT_EQ(empty->KeyAt(1).time, 100.0);
    EXPECT_EQ(empty->KeyAt(1).value, 100.0f);
    EXPECT_EQ(keyed->GetKeyCount(), 1);
    // The second curve lands before the first.
    EXPECT_EQ(controller->GetEaseCurveList()->GetCurve(0).get(), keyed.get());
}

TEST_F(ControllerTest, CurveListIndicesAreClamped) {
    auto list = Make<CMultCurveList>();
    auto a = Make<CStepFloatCtrl>(), b = Make<CStepFloatCtrl>(), c = Make<CStepFloatCtrl>();
    auto d = Make<CStepFloatCtrl>(), e = Make<CStepFloatCtrl>();
    list->SetSubAnim(a, -1);  // empty: at 0
    list->SetSubAnim(b, 1);
    list->SetSubAnim(c, 2);
    list->SetSubAnim(d, -1);  // three: at 2
    list->SetSubAnim(e, 10);  // past the end: appended
    const CController* order[] = {a.get(), b.get(), d.get(), c.get(), e.get()};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(list->GetCurve(i).get(), order[i]) << i;
    EXPECT_THROW(list->SetSubAnim(Make<CTestNode>(), 0), int);
}

// ---- vector and colour controllers --------------------------------------

TEST_F(ControllerTest, VectorControllersAssembleTheirComponents) {
    auto colour = Make<CRGBAController>();
    ASSERT_EQ(colour->GetSubAnimCount(), 4);
    EXPECT_EQ(colour->GetVector(), (Engine::Geometry::CVector4{0, 0, 0, 0}));
    EXPECT_EQ(colour->GetSubAnimName(0), CString("r"));
    EXPECT_EQ(colour->GetSubAnimName(4), CString());
    EXPECT_NE(dynamic_cast<CLinearFloatCtrl*>(colour->GetSubAnim(3).get()), nullptr);
    EXPECT_TRUE(colour->IsConstant());

    auto x = MakeWithKeys<CLinearFloatCtrl>({{0, 0}, {10, 1}});
    colour->SetSubAnim(x, 0);
    colour->SetZ(0.5f);  // the constant component keeps its current value
    CValue value;
    colour->GetControllerValue(5, value);
    EXPECT_EQ(value.Get<Engine::Geometry::CVector4>(), (Engine::Geometry::CVector4{0.5f, 0, 0.5f, 0}));
    EXPECT_FALSE(colour->IsConstant());

    colour->OffsetKeyValues(CValue(Engine::Geometry::CVector4{2, 0, 0, 0}), false);
    EXPECT_EQ(colour->GetVector().x, 0.5f);
    EXPECT_EQ(x->KeyAt(1).value, 3.0f);

    colour->SetControllerValue(10, CValue(Engine::Geometry::CVector4{7, 0, 0, 0}), 0);
    EXPECT_EQ(x->KeyAt(1).value, 7.0f);

    auto position = Make<CVector2Controller>();
    EXPECT_EQ(position->GetSubAnimName(1), CString("Y"));
    position->SetSubAnim(MakeWithKeys<CLinearFloatCtrl>({{0, 4}, {1, 4}}), 1);
    position->GetControllerValue(0.5, value);
    EXPECT_EQ(value.Get<Engine::Geometry::CVector2>(), (Engine::Geometry::CVector2{0, 4}));
}

} // namespace
