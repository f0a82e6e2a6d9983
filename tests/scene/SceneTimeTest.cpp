#include <gtest/gtest.h>

#include "SceneFixtures.h"

using namespace SceneTest;
using Engine::ref_ptr;

namespace {

struct WrapCase {
    uint32_t mode;
    uint32_t endless;
    double start, end, t, expected;
};

class WrapTest : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapTest, MapsIntoTheSpan) {
    const WrapCase c = GetParam();
    CSceneTime time;
    time.wrapMode = c.mode;
    time.endless = c.endless;
    time.spanStart = c.start;
    time.spanEnd = c.end;
    EXPECT_DOUBLE_EQ(WrapTimeIntoSpan(time, c.t), c.expected) << "mode " << c.mode << " t " << c.t;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WrapTest,
    ::testing::Values(
        // Loop, at and around both ends; a negative time stays below the start.
        WrapCase{WRAP_LOOP, 0, 0, 50, 0, 0}, WrapCase{WRAP_LOOP, 0, 0, 50, 49.5, 49.5},
        WrapCase{WRAP_LOOP, 0, 0, 50, 50, 0}, WrapCase{WRAP_LOOP, 0, 0, 50, 50.5, 0.5},
        WrapCase{WRAP_LOOP, 0, 0, 50, -1, -1}, WrapCase{WRAP_LOOP, 0, 10, 20, 25, 15},
        WrapCase{WRAP_LOOP, 0, 10, 20, 10, 10}, WrapCase{WRAP_LOOP, 1, 10, 20, 25, 35},
        // Reverse.
        WrapCase{WRAP_REVERSE, 0, 0, 50, 0, 50}, WrapCase{WRAP_REVERSE, 0, 0, 50, 10, 40},
        WrapCase{WRAP_REVERSE, 0, 0, 50, 50, 50}, WrapCase{WRAP_REVERSE, 0, 0, 50, 49.5, 0.5},
        WrapCase{WRAP_REVERSE, 1, 0, 50, 70, ENDLESS_TIME - 70},
        // Ping-pong: odd cycles run backwards.
        WrapCase{WRAP_PING_PONG, 0, 0, 50, 60, 40}, WrapCase{WRAP_PING_PONG, 0, 0, 50, 110, 10},
        WrapCase{WRAP_PING_PONG, 0, 0, 50, 49.5, 49.5}, WrapCase{WRAP_PING_PONG, 0, 0, 50, 50, 50},
        WrapCase{WRAP_PING_PONG, 0, 0, 50, 100, 0}, WrapCase{WRAP_PING_PONG, 0, 0, 50, -10, -10},
        WrapCase{WRAP_PING_PONG, 0, 0, 50, -60, 60}, WrapCase{WRAP_PING_PONG, 1, 0, 50, 70, 70},
        // Any other mode gives the reduced time without the span start.
        WrapCase{3, 0, 10, 20, 25, 5}, WrapCase{3, 1, 10, 20, 25, 25},
        // A span without length maps everything to its start.
        WrapCase{WRAP_LOOP, 0, 7, 7, 123, 7}, WrapCase{WRAP_PING_PONG, 0, 7, 7, -3, 7}));

class SceneTimeTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterSceneFixtures(); }
    void TearDown() override { m_scene->Dispose(); }
    ref_ptr<CScene> m_scene{new CScene};
};

TEST_F(SceneTimeTest, SetTimeScalesByTheRateAndWraps) {
    const CSceneTime& time = m_scene->GetTimeRecord();
    EXPECT_EQ(time.rate, 5.0f);
    EXPECT_EQ(time.spanEnd, 50.0);
    m_scene->SetTime(11.0);
    EXPECT_DOUBLE_EQ(time.wrappedTime, 5.0);
    m_scene->SetTime(10.0);
    EXPECT_DOUBLE_EQ(time.wrappedTime, 0.0);
    m_scene->SetTime(9.99);
    EXPECT_DOUBLE_EQ(time.wrappedTime, 9.99 * 5.0);
    EXPECT_EQ(time.currentTime, 9.99);
    EXPECT_FALSE(CAnimatable::IsUpdating());
    {
        const CUpdatePass pass;  // re-entry: nothing changes
        m_scene->SetTime(3.0);
    }
    EXPECT_EQ(time.currentTime, 9.99);
    EXPECT_DOUBLE_EQ(time.wrappedTime, 9.99 * 5.0);
}

TEST_F(SceneTimeTest, ChildrenAreAnimatedAtTheMappedTime) {
    auto wrapper = MakeSpriteWrapper(7);
    auto controller = MakeFloatCtrl(0.5f, 0.01f);
    wrapper->SetSubAnim(controller, 0);
    auto node = ref_ptr<CAnimatable>(new CTestNode);
    EXPECT_TRUE(m_scene->AddChild(wrapper));
    EXPECT_FALSE(m_scene->AddChild(wrapper));
    EXPECT_TRUE(m_scene->AddChild(node));
    EXPECT_FALSE(m_scene->AddChild(nullptr));
    EXPECT_EQ(m_scene->GetSubAnimCount(), 2);
    EXPECT_EQ(m_scene->GetSubAnimName(0), CString("Sprite 7"));
    EXPECT_EQ(m_scene->GetSubAnimName(1), CString("No Name"));
    EXPECT_EQ(m_scene->GetAniObject(1), nullptr);

    auto* sprite = static_cast<CTestSprite*>(wrapper->GetAnimObject());
    m_scene->SetTime(4.0);  // 20 in the span
    EXPECT_FLOAT_EQ(sprite->m_alpha, 0.5f + 0.01f * 20);
    // A change of the controller re-applies the scene's current time.
    controller->m_value = 0.25f;
    controller->NotifyDependents(REFMSG_CHANGED, 1);
    EXPECT_FLOAT_EQ(sprite->m_alpha, 0.25f + 0.01f * 20);
    EXPECT_TRUE(wrapper->GetFlags() & CReflectable::FLAG_CHANGED);

    // Removing a child disposes of it: it loses its controller.
    m_scene->RemoveSubAnim(0);
    EXPECT_EQ(m_scene->GetSubAnimCount(), 1);
    EXPECT_EQ(wrapper->GetSubAnimCount(), 0);
    EXPECT_EQ(controller->GetDependentCount(), 0);
    EXPECT_EQ(CTestSprite::s_alive, 0);
}

TEST_F(SceneTimeTest, ReflectableSlotsRecordAndSuppressChanges) {
    auto wrapper = MakeSpriteWrapper(1);
    ASSERT_EQ(wrapper->GetSubAnimCount(), 2);
    EXPECT_EQ(wrapper->GetSubAnimName(1), CString("Visible"));
    auto first = MakeFloatCtrl(1);
    auto second = MakeFloatCtrl(2);
    wrapper->SetSubAnim(first, 0);
    wrapper->SetSubAnim(second, 0);  // the first is disposed of
    EXPECT_EQ(first->GetDependentCount(), 0);
    EXPECT_EQ(second->GetDependent(0).get(), wrapper.get());

    // Suppressed changes stop at the reflectable, which still notes them.
    m_scene->AddChild(wrapper);
    wrapper->SetFlags(CReflectable::FLAG_SUPPRESS_CHANGES);
    EXPECT_EQ(second->NotifyDependents(REFMSG_CHANGED, 1), REFRESULT_STOP);
    EXPECT_EQ(wrapper->GetFlags(), CReflectable::FLAG_SUPPRESS_CHANGES | CReflectable::FLAG_CHANGED);

    // Constant outside an update pass only while every controller is.
    EXPECT_TRUE(wrapper->IsConstant());
    second->m_keys = 2;
    EXPECT_FALSE(wrapper->IsConstant());

    // Recording takes the sprite's values into the controllers: as a new
    // value when they differ, else as an offset of the keys.
    auto* sprite = static_cast<CTestSprite*>(wrapper->GetAnimObject());
    sprite->m_alpha = 0.75f;
    wrapper->UpdateAtTime(3.0, true);
    wrapper->UpdateAtTime(3.0, true);
    EXPECT_FLOAT_EQ(second->Evaluate(3.0), 0.75f);
    EXPECT_EQ(second->m_sets, 1);
    sprite->m_alpha = 1.0f;
    wrapper->UpdateAtTime(3.0, false);
    EXPECT_FLOAT_EQ(second->Evaluate(3.0), 1.0f);
    EXPECT_EQ(second->m_sets, 1);
}

TEST(DefaultControllerTest, EachPropertyGetsTheMarkedControllerOfItsType) {
    RegisterSceneFixtures();
    auto wrapper = MakeSpriteWrapper(2);
    CClassDir::GetInstance().CreateDefaultControllers(*wrapper);
    EXPECT_NE(dynamic_cast<CLinearFloatCtrl*>(wrapper->GetSubAnim(0).get()), nullptr);
    EXPECT_NE(dynamic_cast<CStepBoolCtrl*>(wrapper->GetSubAnim(1).get()), nullptr);
    wrapper->Dispose();
}

TEST(TimeObjectTest, SpansPassDownAndStartsStay) {
    using Engine::KeyFramer::CBaseTimeObject;
    ref_ptr<CBaseTimeObject> root(new Engine::KeyFramer::CEndlessTimeSpan(nullptr, 2.5));
    EXPECT_EQ(root->GetStart(), 2.5);
    EXPECT_EQ(root->GetSpanEnd(), 0.0);
    root->SetSpan(10.0, 20.0);
    ref_ptr<CBaseTimeObject> child(new CBaseTimeObject(root, 1.0));
    EXPECT_EQ(child->GetStart(), 11.0);
    EXPECT_EQ(child->GetSpanStart(), 10.0);
    root->SetSpan(0.0, 5.0);
    EXPECT_EQ(child->GetSpanEnd(), 5.0);
    EXPECT_EQ(child->GetStart(), 11.0);
    child = nullptr;
    EXPECT_EQ(root->GetChildCount(), 0u);
    root->SetSpan(1.0, 2.0);
}

// A time object that replaces SetSpan and records each span it is given.
class CRecordingSpan : public Engine::KeyFramer::CBaseTimeObject {
public:
    using CBaseTimeObject::CBaseTimeObject;
    void SetSpan(double start, double end) override {
        spans.emplace_back(start, end);
        CBaseTimeObject::SetSpan(start, end);
    }
    std::vector<std::pair<double, double>> spans;
};

TEST(TimeObjectTest, TheParentSpanReachesADerivedSetSpan) {
    using Engine::KeyFramer::CBaseTimeObject;
    ref_ptr<CBaseTimeObject> root(new Engine::KeyFramer::CEndlessTimeSpan(nullptr, 0.0));
    root->SetSpan(3.0, 7.0);
    const auto child = CBaseTimeObject::Create<CRecordingSpan>(root, 1.0);
    EXPECT_EQ(child->spans, (std::vector<std::pair<double, double>>{{3.0, 7.0}}));
    EXPECT_EQ(child->GetStart(), 4.0);
    EXPECT_TRUE(CBaseTimeObject::Create<CRecordingSpan>(nullptr, 1.0)->spans.empty());
}

} // namespace
