#pragma once
// Test-only scene classes registered beside the real scene types: a float
// and a bool controller with data of their own, a sprite that animated
// wrappers create by class name, and a plain animatable. Header-only, so the
// scene archive's fuzz target seeds its corpus with the same classes.

#include <cstdint>
#include <vector>

#include "app/Registration.h"
#include "reflection/Builtins.h"
#include "reflection/Reflection.h"
#include "scene/Scene.h"
#include "scene/reflection/SceneRegistration.h"

namespace SceneTest {

using namespace Engine::Scene;
using Engine::Reflection::CValue;

constexpr uint32_t CHUNK_TEST_CONTROLLER = 0x7E57;

// Yields value + slope * t; GetKeyCount reports the keys it was given.
class CTestFloatCtrl : public CController, public IKeyControl {
public:
    void GetControllerValue(double time, CValue& value) override { value = CValue(Evaluate(time)); }
    void GetValue(double time, CValue& value) override { GetControllerValue(time, value); }
    void SetControllerValue(double time, const CValue& value, int) override {
        m_value = value.Get<float>() - m_slope * float(time);
        ++m_sets;
    }
    void OffsetKeyValues(const CValue& delta, bool) override { m_value += delta.Get<float>(); }
    int GetKeyCount() const override { return m_keys; }
    int GetKeyRecordCount() const override { return m_keys; }
    int AppendKey(IKey* key) override { return delete key, -1; }
    void SortKeys() override {}
    bool Serialize(CArchive& ar) override {
        if (!CController::Serialize(ar)) return false;
        if (ar.IsStoring()) {
            ar.BeginChunk(CHUNK_TEST_CONTROLLER, CHUNK_VERSION);
            ar.WriteFloat(m_value);
            ar.WriteFloat(m_slope);
            ar.EndChunk();
            return true;
        }
        const int64_t end = ReadObjectChunk(ar, CHUNK_TEST_CONTROLLER, "CTestFloatCtrl");
        ar.ReadFloat(m_value);
        ar.ReadFloat(m_slope);
        CheckChunkEnd(ar, end, "CTestFloatCtrl");
        return true;
    }
    float Evaluate(double time) const { return m_value + m_slope * float(time); }

    float m_value = 0;
    float m_slope = 0;
    int m_keys = 0;
    int m_sets = 0;
};

class CTestBoolCtrl : public CController {
public:
    void GetControllerValue(double, CValue& value) override { value = CValue(m_on); }
    void GetValue(double time, CValue& value) override { GetControllerValue(time, value); }
    void SetControllerValue(double, const CValue& value, int) override { m_on = value.Get<bool>(); }
    bool m_on = true;
};

// The wrapped object: two animated properties and a tag of its own data.
class CTestSprite : public IReflectionAnimObject {
public:
    explicit CTestSprite(CReflectionAniObject* wrapper) : m_wrapper(wrapper) { ++s_alive; }
    ~CTestSprite() noexcept(false) override { --s_alive; }
    CString GetName() const override { return FormatString("Sprite %u", m_tag); }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring())
            ar.WriteDWord(m_tag);
        else
            ar.ReadDWord(m_tag);
    }
    void Unbind() override { m_wrapper = nullptr; }
    void SetAlpha(float alpha) { m_alpha = alpha; }
    float GetAlpha() const { return m_alpha; }
    void SetVisible(bool visible) { m_visible = visible; }
    bool GetVisible() const { return m_visible; }

    CReflectionAniObject* m_wrapper;
    float m_alpha = 1;
    bool m_visible = false;
    uint32_t m_tag = 0;
    static inline int s_alive = 0;
};

class CTestNode : public CAnimatable {};

template <class T, class... Bases>
void RegisterClass(const char* name, Engine::Reflection::ERefPtrForm refPtr) {
    using R = Engine::Reflection::CReflector<T>;
    R::RegisterType(name, refPtr);
    R::RegisterVoidPointerConverter();
    (R::template AddBase<Bases>(), ...);
}

// The program's own start-up registrations of the scene types, then the
// test classes, once per process; undone at exit.
inline void RegisterSceneFixtures() {
    static const bool s_done = [] {
        using namespace Engine::Reflection;
        using R = ERefPtrForm;
        static const Engine::CStartupRegistration s_startup{Engine::Reflection::GetStartupHooks(),
                                                            Engine::Scene::GetStartupHooks()};
        RegisterClass<CTestFloatCtrl, CController, IKeyControl>("Test::CTestFloatCtrl", R::Yes);
        CReflector<CTestFloatCtrl>::AddDefaultConstructor();
        CReflector<CTestFloatCtrl>::AddAttribute(std::make_unique<IValueTypeAttribute>(TypeOf<float>()));
        RegisterClass<CTestBoolCtrl, CController>("Test::CTestBoolCtrl", R::Yes);
        CReflector<CTestBoolCtrl>::AddDefaultConstructor();
        CReflector<CTestBoolCtrl>::AddAttribute(std::make_unique<IValueTypeAttribute>(TypeOf<bool>()));
        RegisterClass<CTestSprite, IReflectionAnimObject>("Test::CTestSprite", R::No);
        CReflector<CTestSprite>::AddConstructor<CReflectionAniObject*>("pRefObject");
        CReflector<CTestSprite>::AddProperty("Alpha", &CTestSprite::SetAlpha, &CTestSprite::GetAlpha);
        CReflector<CTestSprite>::AddProperty("Visible", &CTestSprite::SetVisible, &CTestSprite::GetVisible);
        RegisterClass<CTestNode, CAnimatable>("Test::CTestNode", R::Yes);
        CReflector<CTestNode>::AddDefaultConstructor();
        return true;
    }();
    (void)s_done;
}

// A wrapper bound to the sprite type, wrapping a new sprite with the tag.
inline Engine::ref_ptr<CReflectionAniObject> MakeSpriteWrapper(uint32_t tag) {
    Engine::ref_ptr<CReflectionAniObject> wrapper(new CReflectionAniObject);
    wrapper->SetReflectedType(Engine::Reflection::TypeOf<CTestSprite>());
    wrapper->CreateWrappedObject();
    static_cast<CTestSprite*>(wrapper->GetAnimObject())->m_tag = tag;
    return wrapper;
}

inline Engine::ref_ptr<CTestFloatCtrl> MakeFloatCtrl(float value, float slope = 0) {
    Engine::ref_ptr<CTestFloatCtrl> controller(new CTestFloatCtrl);
    controller->m_value = value;
    controller->m_slope = slope;
    return controller;
}

// The engine's own save path, from a given next-object-ID counter.
inline std::vector<uint8_t> SaveScene(CScene& scene, uint32_t counter = 1001) {
    CAnimatable::SetNextObjectId(counter);
    Engine::CMemoryFile file;
    CArchive ar(&file, true);
    scene.Serialize(ar);
    return file.Detach();
}

inline void LoadScene(CScene& scene, const std::vector<uint8_t>& bytes) {
    Engine::CMemoryFile file(bytes.data(), bytes.size());
    CArchive ar(&file, false);
    scene.Serialize(ar);
}

// Two wrapped sprites sharing one controller, a bool controller, an empty
// slot and a plain node.
inline void BuildSampleScene(CScene& scene) {
    scene.SetName("Garden");
    scene.GetTimeRecord().spanEnd = 80;
    scene.GetTimeRecord().wrapMode = WRAP_PING_PONG;
    auto first = MakeSpriteWrapper(11);
    auto second = MakeSpriteWrapper(22);
    auto shared = MakeFloatCtrl(0.5f, 0.25f);
    first->SetSubAnim(shared, 0);
    first->SetSubAnim(Engine::ref_ptr<CAnimatable>(new CTestBoolCtrl), 1);
    second->SetSubAnim(shared, 0);
    first->SetFlags(0x80);
    auto node = Engine::ref_ptr<CAnimatable>(new CTestNode);
    node->SetFlags(3);
    scene.AddChild(first);
    scene.AddChild(node);
    scene.AddChild(second);
}

// Every controller kind: an eased, multiplied Bezier curve and a bool
// controller on a sprite, a colour controller with a noise component, and a
// constant controller.
inline void BuildControllerScene(CScene& scene) {
    auto sprite = MakeSpriteWrapper(7);
    Engine::ref_ptr<CBezierFloatCtrl> alpha(new CBezierFloatCtrl);
    alpha->AddKey(4.0, 0x41);
    alpha->SetOutOfRangeType(ORT_PING_PONG, ORT_AFTER);
    alpha->AddEaseCurve(Engine::ref_ptr<CController>(new CLinearFloatCtrl));
    alpha->GetMultCurveList()->SetSubAnim(Engine::ref_ptr<CAnimatable>(new CStepFloatCtrl), 0);
    sprite->SetSubAnim(alpha, 0);
    Engine::ref_ptr<CStepBoolCtrl> visible(new CStepBoolCtrl);
    visible->AddKey(2.0, 0);
    sprite->SetSubAnim(visible, 1);
    Engine::ref_ptr<CRGBAController> colour(new CRGBAController);
    colour->SetSubAnim(Engine::ref_ptr<CAnimatable>(new CNoiseFloatControl), 2);
    scene.AddChild(sprite);
    scene.AddChild(colour);
    scene.AddChild(Engine::ref_ptr<CAnimatable>(new CConstFloatController));
}

} // namespace SceneTest
