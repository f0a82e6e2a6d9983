// A scene's time step visits only the children the time can change; it must
// make the same calls, in the same order, as the walk over every child. Two
// scenes are built and edited alike from one seed; one is stepped by a copy
// of the walk, the other by the scene, and what each child was told is
// compared, through every kind of edit, also from inside a step.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>

#include "SceneFixtures.h"

using namespace SceneTest;
using Engine::ref_ptr;

namespace {

// (tag, time) for each controller asked and each logging object applied.
std::vector<std::pair<int, double>> g_calls;
// Called by a triggering object in its ApplyAtTime.
std::function<void()> g_editInsideStep;

class CLoggingCtrl : public CTestFloatCtrl {
public:
    void GetControllerValue(double time, CValue& value) override {
        g_calls.emplace_back(int(m_value), time);
        CTestFloatCtrl::GetControllerValue(time, value);
    }
    bool IsConstant() const override { return false; }
};

// Its tag is kept in the flags, which the archive keeps.
class CLoggingAniObject : public CAniObject {
public:
    static constexpr uint32_t kTrigger = 0x80;
    void ApplyAtTime(double time) override {
        g_calls.emplace_back(-int(GetFlags() >> 8), time);
        if ((GetFlags() & kTrigger) && g_editInsideStep) g_editInsideStep();
    }
};

void RegisterLoggingClasses() {
    static const bool s_done = [] {
        using namespace Engine::Reflection;
        RegisterSceneFixtures();
        RegisterClass<CLoggingCtrl, CTestFloatCtrl>("Test::CLoggingCtrl", ERefPtrForm::Yes);
        CReflector<CLoggingCtrl>::AddDefaultConstructor();
        CReflector<CLoggingCtrl>::AddAttribute(std::make_unique<IValueTypeAttribute>(TypeOf<float>()));
        RegisterClass<CLoggingAniObject, CAniObject>("Test::CLoggingAniObject", ERefPtrForm::Yes);
        CReflector<CLoggingAniObject>::AddDefaultConstructor();
        return true;
    }();
    (void)s_done;
}

// The walk as it was before the scene listed its animated children.
void ReferenceWalk(CAnimatable& object, double time) {
    for (int i = 0; i < object.GetSubAnimCount(); ++i) {
        const CAnimatable::Ref child = object.GetSubAnim(i);
        if (CAniObject* animated = ToAniObject(child.get())) animated->ApplyAtTime(time);
    }
}

// Random edits of one scene; two editors with one seed edit alike.
class CSceneEditor {
public:
    CSceneEditor(CScene& scene, unsigned seed) : m_scene(scene), m_rng(seed) {}

    void AddChild() {
        const int kind = Pick(5);
        ref_ptr<CAnimatable> child;
        if (kind == 0) child = new CTestNode;
        if (kind >= 1 && kind <= 3) {
            auto wrapper = MakeSpriteWrapper(0);
            if (kind == 2) wrapper->SetSubAnim(MakeController(), 0);
            if (kind == 3) wrapper->SetSubAnim(ref_ptr<CAnimatable>(new CTestBoolCtrl), 1);
            child = wrapper;
        }
        if (kind == 4) {
            child = new CLoggingAniObject;
            child->SetFlags(uint32_t(++m_tags) << 8 | (Pick(3) == 0 ? CLoggingAniObject::kTrigger : 0));
        }
        m_scene.AddChild(child);
    }

    // Any edit; an archive load only outside a step.
    void Edit(bool mayLoad) {
        const int count = m_scene.GetSubAnimCount();
        const int kind = Pick(mayLoad ? 6 : 5);
        if (count == 0 || kind == 0) return AddChild();
        const int index = Pick(count);
        auto* reflectable = dynamic_cast<CReflectionAniObject*>(m_scene.GetSubAnim(index).get());
        switch (kind) {
        case 1: m_scene.RemoveSubAnim(index); break;
        case 2:
            if (reflectable) reflectable->SetSubAnim(MakeController(), 0);
            break;
        case 3:
            if (reflectable) reflectable->SetSubAnim(nullptr, Pick(2));
            break;
        case 4:
            if (reflectable) reflectable->RemoveSubAnim(0);
            break;
        default: LoadScene(m_scene, SaveScene(m_scene));
        }
    }

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

private:
    ref_ptr<CAnimatable> MakeController() {
        ref_ptr<CLoggingCtrl> controller(new CLoggingCtrl);
        controller->m_value = float(++m_tags);
        return controller;
    }

    CScene& m_scene;
    std::mt19937 m_rng;
    int m_tags = 0;
};

struct StepRecord {
    std::vector<std::pair<int, double>> calls;
    std::vector<float> alphas;
};

// One step, from inside which the editor edits at each trigger (at most a
// few times a step).
StepRecord Step(CScene& scene, CSceneEditor& editor, bool reference, bool inPass, double time) {
    g_calls.clear();
    int edits = 0;
    g_editInsideStep = [&] {
        if (++edits <= 3) editor.Edit(false);
    };
    {
        std::optional<CUpdatePass> pass;
        if (inPass) pass.emplace();
        if (reference)
            ReferenceWalk(scene, time);
        else
            CAnimatable::UpdateSubAnimsAtTime(scene, time);
    }
    g_editInsideStep = nullptr;
    StepRecord record{std::move(g_calls), {}};
    for (int i = 0; i < scene.GetSubAnimCount(); ++i)
        if (auto* wrapper = dynamic_cast<CReflectionAniObject*>(scene.GetSubAnim(i).get()))
            record.alphas.push_back(static_cast<CTestSprite*>(wrapper->GetAnimObject())->m_alpha);
    return record;
}

class AnimatedChildrenTest : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override { RegisterLoggingClasses(); }
    void TearDown() override {
        m_walked->Dispose();
        m_listed->Dispose();
    }
    ref_ptr<CScene> m_walked{new CScene};
    ref_ptr<CScene> m_listed{new CScene};
};

TEST_P(AnimatedChildrenTest, StepsCallWhatTheWalkCalls) {
    CSceneEditor walkedEditor(*m_walked, GetParam());
    CSceneEditor listedEditor(*m_listed, GetParam());
    const int children = 5 + int(GetParam() * 7 % 60);
    for (int i = 0; i < children; ++i) {
        walkedEditor.AddChild();
        listedEditor.AddChild();
    }
    for (int step = 0; step < 200; ++step) {
        // Several steps run without edits, as frames do.
        if (step % 4 == 0) {
            walkedEditor.Edit(true);
            listedEditor.Edit(true);
        }
        const double time = 0.25 * step;
        const bool inPass = step % 2 == 0;
        const StepRecord walked = Step(*m_walked, walkedEditor, true, inPass, time);
        const StepRecord listed = Step(*m_listed, listedEditor, false, inPass, time);
        ASSERT_EQ(walked.calls, listed.calls) << "step " << step;
        ASSERT_EQ(walked.alphas, listed.alphas) << "step " << step;
        ASSERT_EQ(m_walked->GetSubAnimCount(), m_listed->GetSubAnimCount());
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, AnimatedChildrenTest, ::testing::Range(1u, 13u));

} // namespace
