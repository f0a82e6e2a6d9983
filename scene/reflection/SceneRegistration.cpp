#include "scene/reflection/SceneRegistration.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>
#include <utility>

#include "reflection/Reflection.h"
#include "scene/Scene.h"

namespace Engine::Scene {

namespace {

using Engine::Reflection::CReflector;
using Engine::Reflection::ERefPtrForm;
using Engine::Reflection::TypeOf;

// A registered name as a template argument, so that one hook instance
// carries its type's name.
template <std::size_t N>
struct CTypeName {
    constexpr CTypeName(const char (&name)[N]) { std::copy_n(name, N, text); }
    char text[N];
};

// The steps every registration begins with: record, names, pointer forms
// and (for a concrete type) the converter from void*.
template <class T>
void BeginType(std::string_view name, ERefPtrForm refPtr, bool isAbstract = false) {
    CReflector<T>::RegisterType(name, refPtr, isAbstract);
    if (!isAbstract) CReflector<T>::RegisterVoidPointerConverter();
}

template <class T>
void AddValueType(const Engine::Reflection::CTypeInfo* valueType) {
    CReflector<T>::AddAttribute(std::make_unique<IValueTypeAttribute>(valueType));
}

// A key controller: record, optional mark, default constructor, then the
// reflected bases in order.
template <class T, class Mark, class... Bases>
void RegisterKeyController(std::string_view name) {
    BeginType<T>(name, ERefPtrForm::Yes);
    if constexpr (!std::is_void_v<Mark>) CReflector<T>::AddAttribute(std::make_unique<Mark>());
    CReflector<T>::AddDefaultConstructor();
    (CReflector<T>::template AddBase<Bases>(), ...);
}

// A type with a default constructor and the given reflected bases.
template <class T, class... Bases>
void RegisterConstructible(std::string_view name) {
    BeginType<T>(name, ERefPtrForm::Yes);
    CReflector<T>::AddDefaultConstructor();
    (CReflector<T>::template AddBase<Bases>(), ...);
}

// A type named with its reflected bases only.
template <class T, ERefPtrForm RefPtr, class... Bases>
void RegisterNamed(std::string_view name) {
    BeginType<T>(name, RefPtr);
    (CReflector<T>::template AddBase<Bases>(), ...);
}

template <class T>
void RegisterValueTypeTag(std::string_view name, const Engine::Reflection::CTypeInfo* valueType) {
    BeginType<T>(name, ERefPtrForm::No);
    AddValueType<T>(valueType);
}

void RegisterNoiseFloatControl(std::string_view name) {
    RegisterKeyController<CNoiseFloatControl, void, CController, IFloatController>(name);
    CReflector<CNoiseFloatControl>::AddProperty("Strenght", &CNoiseFloatControl::SetStrenght,
                                                &CNoiseFloatControl::GetStrenght);
}

void RegisterStdController(std::string_view name) {
    BeginType<CStdController>(name, ERefPtrForm::No, true);
    CReflector<CStdController>::AddBase<CController>();
}

// Built after its two bases, unlike the other constructible types.
void RegisterReflectionAniObject(std::string_view name) {
    RegisterNamed<CReflectionAniObject, ERefPtrForm::Yes, CReflectable, CAniObject>(name);
    CReflector<CReflectionAniObject>::AddDefaultConstructor();
}

void RegisterVector2Controller(std::string_view name) {
    using R = CReflector<CVector2Controller>;
    BeginType<CVector2Controller>(name, ERefPtrForm::Yes);
    R::AddAttribute(std::make_unique<IDefaultController>());
    R::AddDefaultConstructor();
    R::AddBase<CController>();
    R::AddBase<IVector2Controller>();
    R::AddProperty("X", &CVector2Controller::SetX, &CVector2Controller::GetX);
    R::AddProperty("Y", &CVector2Controller::SetY, &CVector2Controller::GetY);
}

void RegisterVector4Controller(std::string_view name) {
    using R = CReflector<CVector4Controller>;
    RegisterConstructible<CVector4Controller, CController, IVector4Controller>(name);
    R::AddProperty("X", &CVector4Controller::SetX, &CVector4Controller::GetX);
    R::AddProperty("Y", &CVector4Controller::SetY, &CVector4Controller::GetY);
    R::AddProperty("Z", &CVector4Controller::SetZ, &CVector4Controller::GetZ);
    R::AddProperty("W", &CVector4Controller::SetW, &CVector4Controller::GetW);
}

void RegisterRGBAController(std::string_view name) {
    BeginType<CRGBAController>(name, ERefPtrForm::Yes);
    CReflector<CRGBAController>::AddAttribute(std::make_unique<IDefaultController>());
    CReflector<CRGBAController>::AddDefaultConstructor();
    CReflector<CRGBAController>::AddBase<CVector4Controller>();
}

template <class T>
constinit bool g_registered = false;

template <class T, CTypeName Name, void (*Register)(std::string_view)>
void Run() {
    if (!std::exchange(g_registered<T>, true)) Register(Name.text);
}

template <class T>
void Undo() {
    if (std::exchange(g_registered<T>, false)) CReflector<T>::Release();
}

template <class T, CTypeName Name, void (*Register)(std::string_view)>
constexpr CStartupHook Hook(EStartupGroup group) {
    return {group, Name.text, &Run<T, Name, Register>, &Undo<T>};
}

template <class T, CTypeName Name, void (*Register)(std::string_view)>
constexpr CStartupHook KeyController = Hook<T, Name, Register>(EStartupGroup::KeyControllers);

template <class T, CTypeName Name, void (*Register)(std::string_view)>
constexpr CStartupHook SceneType = Hook<T, Name, Register>(EStartupGroup::SceneTypes);

void RegisterFloatTag(std::string_view name) { RegisterValueTypeTag<IFloatController>(name, TypeOf<float>()); }
void RegisterBoolTag(std::string_view name) { RegisterValueTypeTag<IBoolController>(name, TypeOf<bool>()); }
void RegisterVector2Tag(std::string_view name) {
    RegisterValueTypeTag<IVector2Controller>(name, TypeOf<Engine::Geometry::CVector2>());
}
void RegisterVector4Tag(std::string_view name) {
    RegisterValueTypeTag<IVector4Controller>(name, TypeOf<Engine::Geometry::CVector4>());
}

constexpr auto No = ERefPtrForm::No;
constexpr auto Yes = ERefPtrForm::Yes;

} // namespace

std::span<const CStartupHook> GetStartupHooks() {
    static constexpr CStartupHook kHooks[] = {
        KeyController<CStepFloatCtrl, "Engine::Scene::CStepFloatCtrl",
                      &RegisterKeyController<CStepFloatCtrl, void, IKeyControl, CController, IFloatController>>,
        KeyController<CStepBoolCtrl, "Engine::Scene::CStepBoolCtrl",
                      &RegisterKeyController<CStepBoolCtrl, IDefaultController, IKeyControl, CController,
                                             IBoolController>>,
        KeyController<CConstFloatController, "Engine::Scene::CConstFloatController",
                      &RegisterKeyController<CConstFloatController, void, IKeyControl, CController,
                                             IFloatController>>,
        KeyController<CLinearFloatCtrl, "Engine::Scene::CLinearFloatCtrl",
                      &RegisterKeyController<CLinearFloatCtrl, IDefaultController, IKeyControl, CController,
                                             IFloatController, ISupportGetORTControllerValue>>,
        KeyController<CBezierFloatCtrl, "Engine::Scene::CBezierFloatCtrl",
                      &RegisterKeyController<CBezierFloatCtrl, IBezFloatKeyController, IKeyControl, CController,
                                             IFloatController, ISupportGetORTControllerValue>>,
        KeyController<CNoiseFloatControl, "Engine::Scene::CNoiseFloatControl", &RegisterNoiseFloatControl>,

        SceneType<IReflectionAnimObject, "Engine::Scene::IReflectionAnimObject",
                  &RegisterNamed<IReflectionAnimObject, No>>,
        SceneType<IKeyControl, "Engine::Scene::IKeyControl", &RegisterNamed<IKeyControl, No>>,
        SceneType<CStdController, "Engine::Scene::CStdController", &RegisterStdController>,
        SceneType<CEaseCurveList, "Engine::Scene::CEaseCurveList", &RegisterConstructible<CEaseCurveList, CAnimatable>>,
        SceneType<CTimeValue, "Engine::Scene::CTimeValue", &RegisterNamed<CTimeValue, No>>,
        SceneType<CMultCurveList, "Engine::Scene::CMultCurveList", &RegisterConstructible<CMultCurveList, CAnimatable>>,
        SceneType<IFloatController, "Engine::Scene::IFloatController", &RegisterFloatTag>,
        SceneType<IBoolController, "Engine::Scene::IBoolController", &RegisterBoolTag>,
        SceneType<IVector2Controller, "Engine::Scene::IVector2Controller", &RegisterVector2Tag>,
        SceneType<IVector4Controller, "Engine::Scene::IVector4Controller", &RegisterVector4Tag>,
        SceneType<ISupportGetORTControllerValue, "Engine::Scene::ISupportGetORTControllerValue",
                  &RegisterNamed<ISupportGetORTControllerValue, No>>,
        SceneType<CReferenceTarget, "Engine::Scene::CReferenceTarget", &RegisterNamed<CReferenceTarget, Yes>>,
        SceneType<CAnimatable, "Engine::Scene::CAnimatable", &RegisterNamed<CAnimatable, Yes, CReferenceTarget>>,
        SceneType<CReflectable, "Engine::Scene::CReflectable", &RegisterNamed<CReflectable, Yes, CAnimatable>>,
        SceneType<CController, "Engine::Scene::CController", &RegisterNamed<CController, No, CAnimatable>>,
        SceneType<CReflectionAniObject, "Engine::Scene::CReflectionAniObject", &RegisterReflectionAniObject>,
        SceneType<CAniObject, "Engine::Scene::CAniObject", &RegisterNamed<CAniObject, Yes, CAnimatable>>,
        SceneType<CVector2Controller, "Engine::Scene::CVector2Controller", &RegisterVector2Controller>,
        SceneType<CVector4Controller, "Engine::Scene::CVector4Controller", &RegisterVector4Controller>,
        SceneType<CRGBAController, "Engine::Scene::CRGBAController", &RegisterRGBAController>,
    };
    return kHooks;
}

} // namespace Engine::Scene
