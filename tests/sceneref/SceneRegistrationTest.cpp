// The scene model's start-up registrations, run as the program runs them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Registration.h"
#include "reflection/Builtins.h"
#include "reflection/Reflection.h"
#include "scene/Scene.h"
#include "scene/reflection/SceneRegistration.h"

namespace {

using namespace Engine::Scene;
using Engine::Reflection::CTypeInfo;
using Engine::Reflection::CTypeRegistry;
using Engine::Reflection::CValue;
using Engine::Reflection::TypeOf;

const Engine::CStartupRegistration g_startup{Engine::Reflection::GetStartupHooks(), Engine::Scene::GetStartupHooks()};

const CTypeInfo* Find(const std::string& name) {
    return CTypeRegistry::Instance().FindTypeByName("Engine::Scene::" + name);
}

TEST(SceneRegistration, RunsKeyControllersBeforePrimitivesAndSceneTypesLast) {
    std::vector<std::string> scene;
    bool primitivesRan = false;
    for (const Engine::CStartupHook* hook : g_startup.GetRunOrder()) {
        if (hook->group == Engine::EStartupGroup::Primitives) primitivesRan = true;
        const bool sceneType = hook->group == Engine::EStartupGroup::SceneTypes;
        if (sceneType || hook->group == Engine::EStartupGroup::KeyControllers) {
            EXPECT_EQ(primitivesRan, sceneType) << hook->name;
        }
        if (std::string(hook->name).starts_with("Engine::Scene::")) scene.emplace_back(hook->name + 15);
    }
    const std::vector<std::string> expected = {
        "CStepFloatCtrl", "CStepBoolCtrl", "CConstFloatController", "CLinearFloatCtrl", "CBezierFloatCtrl",
        "CNoiseFloatControl", "IReflectionAnimObject", "IKeyControl", "CStdController", "CEaseCurveList",
        "CTimeValue", "CMultCurveList", "IFloatController", "IBoolController", "IVector2Controller",
        "IVector4Controller", "ISupportGetORTControllerValue", "CReferenceTarget", "CAnimatable", "CReflectable",
        "CController", "CReflectionAniObject", "CAniObject", "CVector2Controller", "CVector4Controller",
        "CRGBAController"};
    EXPECT_EQ(scene, expected);
    for (const auto& name : expected) EXPECT_NE(Find(name), nullptr) << name;
    // Mentioned by the key controllers first, completed later: the same record.
    EXPECT_EQ(Find("CStepFloatCtrl")->GetBaseTypes().front(), Find("IKeyControl"));
}

struct ConcreteCase {
    const char* name;
    bool keyTable;  // lists IKeyControl among its reflected bases
};

class ConcreteTypeTest : public ::testing::TestWithParam<ConcreteCase> {};

// Made by name as a plain pointer (no count taken), typed by its run-time
// class, and reached through its key interface only when it names one.
TEST_P(ConcreteTypeTest, IsCreatedByNameAndAnswersTheKeyQuery) {
    const CTypeInfo* type = Find(GetParam().name);
    const CValue made = type->CreateDefaultInstance();
    EXPECT_EQ(made.GetType(), type->GetPointerType());
    EXPECT_EQ(made.GetDynamicType(), type);
    auto* object = made.GetAs<CAnimatable*>();
    ASSERT_NE(object, nullptr);
    const int count = object->GetRefCount();
    EXPECT_EQ(CValue(made).GetAs<CAnimatable*>(), object);
    EXPECT_EQ(object->GetRefCount(), count);
    Engine::ref_ptr<CAnimatable> held(object);
    EXPECT_EQ(QueryKeyControl(object), GetParam().keyTable ? dynamic_cast<IKeyControl*>(object) : nullptr);
    object->Dispose();
}

INSTANTIATE_TEST_SUITE_P(
    All, ConcreteTypeTest,
    ::testing::Values(ConcreteCase{"CStepFloatCtrl", true}, ConcreteCase{"CStepBoolCtrl", true},
                      ConcreteCase{"CConstFloatController", true}, ConcreteCase{"CLinearFloatCtrl", true},
                      ConcreteCase{"CBezierFloatCtrl", true}, ConcreteCase{"CNoiseFloatControl", false},
                      ConcreteCase{"CEaseCurveList", false}, ConcreteCase{"CMultCurveList", false},
                      ConcreteCase{"CReflectionAniObject", false}, ConcreteCase{"CVector2Controller", false},
                      ConcreteCase{"CVector4Controller", false}, ConcreteCase{"CRGBAController", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SceneRegistration, AbstractAndNullAreRefusedQuietly) {
    EXPECT_ANY_THROW(Find("CStdController")->CreateDefaultInstance());
    EXPECT_EQ(QueryKeyControl(nullptr), nullptr);
}

TEST(SceneRegistration, PropertiesAreReachedByNameThroughTheBases) {
    Engine::ref_ptr<CRGBAController> colour(new CRGBAController);
    const auto* w = Find("CRGBAController")->GetProperty("W", nullptr, true);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->SetValue(CValue(colour.get()), CValue(0.75f)));
    EXPECT_EQ(colour->GetW(), 0.75f);
    EXPECT_EQ(w->GetValue(CValue(colour.get())).Get<float>(), 0.75f);

    Engine::ref_ptr<CNoiseFloatControl> noise(new CNoiseFloatControl);
    const auto* strength = Find("CNoiseFloatControl")->GetProperty("Strenght", nullptr, false);
    ASSERT_NE(strength, nullptr);
    strength->SetValue(CValue(noise.get()), CValue(3.5f));
    EXPECT_EQ(noise->GetStrenght(), 3.5f);
    // The getter is bound const, the setter not.
    const CValue constNoise(static_cast<const CNoiseFloatControl*>(noise.get()));
    EXPECT_EQ(strength->GetValue(constNoise).Get<float>(), 3.5f);
    EXPECT_THROW(strength->SetValue(constNoise, CValue(1.0f)), Engine::Reflection::CConstIsConstException);
    EXPECT_EQ(Find("CNoiseFloatControl")->GetMethods().size(), 2u);
    EXPECT_EQ(Find("CLinearFloatCtrl")->GetMethods().size(), 0u);
    colour->Dispose();
    noise->Dispose();
}

// The component getters are bound non-const: reading a component through a
// const controller is refused, as writing one is; through a plain pointer
// both reach the component.
template <class T>
void ExpectComponentAccess(const char* type, const char* name) {
    Engine::ref_ptr<T> controller(new T);
    const auto* property = Find(type)->GetProperty(name, nullptr, true);
    ASSERT_NE(property, nullptr);
    const CValue constController(static_cast<const T*>(controller.get()));
    EXPECT_THROW(property->GetValue(constController), Engine::Reflection::CConstIsConstException);
    EXPECT_THROW(property->SetValue(constController, CValue(2.0f)), Engine::Reflection::CConstIsConstException);
    EXPECT_TRUE(property->SetValue(CValue(controller.get()), CValue(2.5f)));
    EXPECT_EQ(property->GetValue(CValue(controller.get())).Get<float>(), 2.5f);
    controller->Dispose();
}

struct ComponentCase {
    const char* type;
    const char* property;
    void (*expect)(const char* type, const char* property);
};

void PrintTo(const ComponentCase& c, std::ostream* os) { *os << c.type << "." << c.property; }

class ComponentGetterTest : public ::testing::TestWithParam<ComponentCase> {};

TEST_P(ComponentGetterTest, ThroughAConstControllerIsRefused) {
    GetParam().expect(GetParam().type, GetParam().property);
}

constexpr auto kVector2 = &ExpectComponentAccess<CVector2Controller>;
constexpr auto kVector4 = &ExpectComponentAccess<CVector4Controller>;
constexpr auto kColour = &ExpectComponentAccess<CRGBAController>;

INSTANTIATE_TEST_SUITE_P(
    All, ComponentGetterTest,
    ::testing::Values(ComponentCase{"CVector2Controller", "X", kVector2}, ComponentCase{"CVector2Controller", "Y", kVector2},
                      ComponentCase{"CVector4Controller", "X", kVector4}, ComponentCase{"CVector4Controller", "Y", kVector4},
                      ComponentCase{"CVector4Controller", "Z", kVector4}, ComponentCase{"CVector4Controller", "W", kVector4},
                      ComponentCase{"CRGBAController", "X", kColour}, ComponentCase{"CRGBAController", "W", kColour}),
    [](const auto& info) { return std::string(info.param.type) + info.param.property; });

TEST(SceneRegistration, CastsKeepTheObject) {
    Engine::ref_ptr<CNoiseFloatControl> noise(new CNoiseFloatControl);
    const CValue asController(static_cast<CController*>(noise.get()));
    EXPECT_EQ(asController.GetAs<CNoiseFloatControl*>(), noise.get());
    EXPECT_EQ(asController.GetAs<CStepFloatCtrl*>(), nullptr);
    EXPECT_EQ(asController.GetAs<CAnimatable*>(), noise.get());

    Engine::ref_ptr<CLinearFloatCtrl> linear(new CLinearFloatCtrl);
    const CValue value(linear.get());
    EXPECT_EQ(value.GetAs<IFloatController*>(), static_cast<IFloatController*>(linear.get()));
    EXPECT_EQ(value.GetAs<ISupportGetORTControllerValue*>(),
              static_cast<ISupportGetORTControllerValue*>(linear.get()));
    EXPECT_EQ(value.GetAs<IKeyControl*>(), static_cast<IKeyControl*>(linear.get()));
    EXPECT_EQ(CValue(static_cast<IKeyControl*>(linear.get())).GetAs<CLinearFloatCtrl*>(), linear.get());
    EXPECT_EQ(CValue(static_cast<CLinearFloatCtrl*>(nullptr)).GetAs<IFloatController*>(), nullptr);
    EXPECT_ANY_THROW(CValue(static_cast<IFloatController*>(linear.get())).GetAs<CLinearFloatCtrl*>());
    // Through CController, which CStdController names as its base.
    EXPECT_EQ(CValue(static_cast<CStdController*>(linear.get())).GetAs<CAnimatable*>(), linear.get());
    Engine::ref_ptr<CVector4Controller> vector(new CVector4Controller);
    EXPECT_EQ(CValue(static_cast<CController*>(vector.get())).GetAs<CVector2Controller*>(), nullptr);
    EXPECT_EQ(CValue(vector.get()).GetAs<IVector4Controller*>(), static_cast<IVector4Controller*>(vector.get()));
    vector->Dispose();
    noise->Dispose();
    linear->Dispose();
}

TEST(SceneRegistration, DefaultControllersAreTheMarkedOnes) {
    CClassDir& dir = CClassDir::GetInstance();
    EXPECT_EQ(dir.FindDefaultController(TypeOf<float>()), Find("CLinearFloatCtrl"));
    EXPECT_EQ(dir.FindDefaultController(TypeOf<bool>()), Find("CStepBoolCtrl"));
    EXPECT_EQ(dir.FindDefaultController(TypeOf<Engine::Geometry::CVector2>()), Find("CVector2Controller"));
    EXPECT_EQ(dir.FindDefaultController(TypeOf<Engine::Geometry::CVector4>()), Find("CRGBAController"));
    EXPECT_NE(Find("CBezierFloatCtrl")->GetCustomAttribute<IBezFloatKeyController>(false), nullptr);
}

TEST(SceneValueForms, CountedFormsHoldTheirObject) {
    Engine::ref_ptr<CEaseCurveList> list(new CEaseCurveList);
    const CValue pointer(list.get());
    {
        const auto counted = pointer.GetBox()->GetObjectPtr();
        ASSERT_NE(counted, nullptr);
        EXPECT_EQ(counted->GetRawPointer(), list.get());
        EXPECT_EQ(counted->GetStaticType(), TypeOf<Engine::ref_ptr<CEaseCurveList>>());
        EXPECT_EQ(counted->GetDynamicType(), nullptr);
        EXPECT_EQ(list->GetRefCount(), 2);
    }
    EXPECT_EQ(list->GetRefCount(), 1);
    // No counted form: through a const pointer, or of a class registered without one.
    EXPECT_EQ(CValue(static_cast<const CEaseCurveList*>(list.get())).GetBox()->GetObjectPtr(), nullptr);
    Engine::ref_ptr<CLinearFloatCtrl> linear(new CLinearFloatCtrl);
    EXPECT_EQ(CValue(static_cast<CStdController*>(linear.get())).GetBox()->GetObjectPtr(), nullptr);
    EXPECT_THROW(Engine::DynamicRefCast<CMultCurveList>(Engine::ref_ptr<CAnimatable>(list)), int);
    EXPECT_EQ(Engine::DynamicRefCast<CAnimatable>(Engine::ref_ptr<CReferenceTarget>(list)), list);
    list->Dispose();
    linear->Dispose();
}

TEST(SceneValueForms, DynamicTypesAndPointerConstructors) {
    CTimeValue time;
    EXPECT_EQ(CValue(&time).GetDynamicType(), Find("CTimeValue"));
    Engine::ref_ptr<CLinearFloatCtrl> linear(new CLinearFloatCtrl);
    const CValue tag(static_cast<IFloatController*>(linear.get()));
    EXPECT_EQ(tag.GetDynamicType(), Find("IFloatController"));
    EXPECT_EQ(CValue(static_cast<CAnimatable*>(linear.get())).GetDynamicType(), Find("CLinearFloatCtrl"));
    for (const CTypeInfo* pointer : {Find("CAnimatable")->GetPointerType(), Find("CAnimatable")->GetConstPointerType()}) {
        std::vector<CValue> args{CValue(1.0f)};
        const CValue made = pointer->GetConstructors().front()->Invoke(args);
        EXPECT_EQ(made.GetType(), pointer);
        EXPECT_TRUE(made.IsNull());
        EXPECT_EQ(made.GetDynamicType(), nullptr);
    }
    linear->Dispose();
}

} // namespace
