// The scene model's start-up registrations, run as the program runs them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Registration.h"
#include "reflection/Builtins.h"
#include "reflection/Reflection.h"
#include "scene/Scene.h"
#include "scene/SceneRegistration.h"

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
        if (hook->group == Engine::EStartupGroup::KeyControllers) EXPECT_FALSE(primitivesRan) << hook->name;
        if (hook->group == Engine::EStartupGroup::SceneTypes) EXPECT_TRUE(primitivesRan) << hook->name;
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

TEST(SceneRegistration, CreatesEveryConcreteTypeByName) {
    for (const char* name : {"CStepFloatCtrl", "CStepBoolCtrl", "CConstFloatController", "CLinearFloatCtrl",
                             "CBezierFloatCtrl", "CNoiseFloatControl", "CEaseCurveList", "CMultCurveList",
                             "CReflectionAniObject", "CVector2Controller", "CVector4Controller", "CRGBAController"}) {
        const CTypeInfo* type = Find(name);
        const CValue made = type->CreateDefaultInstance();
        EXPECT_EQ(made.GetDynamicType(), type) << name;
        Engine::ref_ptr<CAnimatable> object(made.GetAs<CAnimatable*>());
        ASSERT_TRUE(object) << name;
        object->Dispose();
    }
    EXPECT_ANY_THROW(Find("CStdController")->CreateDefaultInstance());
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
    EXPECT_EQ(Find("CLinearFloatCtrl")->GetMethods().size(), 0u);
    colour->Dispose();
    noise->Dispose();
}

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

} // namespace
