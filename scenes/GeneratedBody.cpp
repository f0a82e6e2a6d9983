#include "scenes/GeneratedBody.h"

#include <optional>

#include "placefile/AniSpriteObject.h"
#include "placefile/AniVexaObject.h"
#include "scene/ReflectionAniObject.h"
#include "scene/Vector2Controller.h"
#include "scene/Vector4Controller.h"
#include "scene/controllers/BezierFloatCtrl.h"
#include "scene/controllers/EaseCurveList.h"
#include "scene/controllers/LinearFloatCtrl.h"
#include "scene/controllers/NoiseFloatControl.h"

namespace __SceneGeneratedCode {

namespace {

using Engine::Geometry::CVector2;
using Engine::Geometry::CVector4;
using Engine::Graphics::PlaceFile::CAniSpriteObject;
using Engine::Graphics::PlaceFile::CAniVexaObject;
using Engine::Scene::CAnimatable;
using Engine::Scene::CBezierFloatCtrl;
using Engine::Scene::CLinearFloatCtrl;
using Engine::Scene::CNoiseFloatControl;
using Engine::Scene::CReflectionAniObject;
using Engine::Scene::CStdController;
using Engine::Scene::CVector2Controller;
using Engine::Scene::CVector4Controller;

constexpr int kWholeProperty = -1;

// The child at the index, or null when there is none.
CAnimatable::Ref Child(const CAnimatable* parent, int index) {
    if (!parent || index < 0 || index >= parent->GetSubAnimCount()) return nullptr;
    return parent->GetSubAnim(index);
}

// One walk from the root: scene -> object -> property controller
// [-> component controller]. The references live as long as the walk.
struct CWalk {
    CWalk(const CScene* scene, int object, int property, int component = kWholeProperty)
        : node(Child(scene, object)), controller(Child(node.get(), property)),
          part(component == kWholeProperty ? controller : Child(controller.get(), component)) {}

    CAnimatable::Ref node, controller, part;
};

template <class T>
T* As(const CAnimatable::Ref& ref) {
    return dynamic_cast<T*>(ref.get());
}

std::optional<float> Plain(CAnimatable* controller, EForm form, double t) {
    switch (form) {
    case EForm::Linear:
    case EForm::LinearEased:
    case EForm::LinearNoiseEased:
        if (auto* linear = dynamic_cast<CLinearFloatCtrl*>(controller)) return linear->GetORTValue(t);
        return std::nullopt;
    case EForm::Bezier:
        if (auto* bezier = dynamic_cast<CBezierFloatCtrl*>(controller)) return bezier->GetORTValue(t);
        return std::nullopt;
    case EForm::Noise:
        if (auto* noise = dynamic_cast<CNoiseFloatControl*>(controller)) return noise->GetNoiseValue(t);
        return std::nullopt;
    case EForm::Literal: break;
    }
    return std::nullopt;
}

// Ease curve 0 of the controller at t, as the time to read the controller at.
std::optional<double> EasedTime(const CScene* scene, int object, int property, int component, EForm form, double t) {
    const CWalk walk(scene, object, property, component);
    const auto* owner = As<CStdController>(walk.part);
    // Held while the curve is evaluated.
    const Engine::ref_ptr<Engine::Scene::CEaseCurveList> list = owner ? owner->GetEaseCurveList() : nullptr;
    const CAnimatable::Ref curve = Child(list.get(), 0);
    const std::optional<float> eased =
        Plain(curve.get(), form == EForm::LinearNoiseEased ? EForm::Noise : EForm::Linear, t);
    if (!eased) return std::nullopt;
    return double(*eased);
}

// A component's value: the literal, or its controller evaluated.
std::optional<float> Evaluate(const CScene* scene, int object, int property, int component, CComponent value,
                              double t) {
    if (value.form == EForm::Literal) return value.literal;
    if (value.form == EForm::LinearEased || value.form == EForm::LinearNoiseEased) {
        const std::optional<double> eased = EasedTime(scene, object, property, component, value.form, t);
        if (!eased) return std::nullopt;
        t = *eased;
    }
    const CWalk walk(scene, object, property, component);
    return Plain(walk.part.get(), value.form, t);
}

// The animated object held by the node, when it is of the class asked for:
// straight from the value when it holds that class, else through the
// object's interface (which also answers for an object of another class).
template <class TObject>
TObject* AnimatedObject(const CAnimatable::Ref& node) {
    const auto* wrapper = As<CReflectionAniObject>(node);
    if (!wrapper) return nullptr;
    const Engine::Reflection::CValue& value = wrapper->GetWrappedObject();
    if (value.Holds<TObject*>()) return value.GetAs<TObject*>();
    return dynamic_cast<TObject*>(wrapper->GetAnimObject());
}

template <class TObject, class TValue>
void Apply(const CScene* scene, int object, void (TObject::*setter)(TValue), TValue value) {
    const CAnimatable::Ref node = Child(scene, object);
    if (TObject* animated = AnimatedObject<TObject>(node)) (animated->*setter)(value);
}

template <class TObject>
void ApplyScalar(const CScene* scene, int object, int property, CComponent component, double t,
                 void (TObject::*setter)(float)) {
    if (const std::optional<float> value = Evaluate(scene, object, property, kWholeProperty, component, t))
        Apply(scene, object, setter, *value);
}

// The vector controllers by their component count.
template <int N>
struct CVectorTraits;
template <>
struct CVectorTraits<2> {
    using Controller = CVector2Controller;
    using Vector = CVector2;
};
template <>
struct CVectorTraits<4> {
    using Controller = CVector4Controller;
    using Vector = CVector4;
};

template <int N>
bool Store(const CScene* scene, int object, int property, int component, float value) {
    const CWalk walk(scene, object, property);
    auto* controller = As<typename CVectorTraits<N>::Controller>(walk.controller);
    if (!controller) return false;
    switch (component) {
    case 0: controller->SetX(value); break;
    case 1: controller->SetY(value); break;
    case 2:
        if constexpr (N == 4) controller->SetZ(value);
        break;
    default:
        if constexpr (N == 4) controller->SetW(value);
        break;
    }
    return true;
}

template <int N>
std::optional<typename CVectorTraits<N>::Vector> ReadBack(const CScene* scene, int object, int property) {
    const CWalk walk(scene, object, property);
    const auto* controller = As<typename CVectorTraits<N>::Controller>(walk.controller);
    if (!controller) return std::nullopt;
    return controller->GetVector();
}

// Components stored in order, then the held vector read back and applied.
template <int N, class TObject>
void ApplyVector(const CScene* scene, int object, int property, const CComponent (&components)[N], double t,
                 void (TObject::*setter)(typename CVectorTraits<N>::Vector)) {
    for (int k = 0; k < N; ++k) {
        const std::optional<float> value = Evaluate(scene, object, property, k, components[k], t);
        if (!value || !Store<N>(scene, object, property, k, *value)) return;
    }
    if (const auto vector = ReadBack<N>(scene, object, property)) Apply(scene, object, setter, *vector);
}

} // namespace

void CSceneBody::Angle(int object, CComponent value) const {
    ApplyScalar<CAniSpriteObject>(m_scene, object, PropAngle, value, m_time, &CAniSpriteObject::SetAngle);
}

void CSceneBody::Position(int object, CComponent x, CComponent y) const {
    ApplyVector<2, CAniSpriteObject>(m_scene, object, PropPosition, {x, y}, m_time, &CAniSpriteObject::SetPosition);
}

void CSceneBody::Size(int object, CComponent width, CComponent height) const {
    ApplyVector<2, CAniSpriteObject>(m_scene, object, PropSize, {width, height}, m_time, &CAniSpriteObject::SetSize);
}

void CSceneBody::Zoom(int object, CComponent x, CComponent y) const {
    ApplyVector<2, CAniSpriteObject>(m_scene, object, PropZoom, {x, y}, m_time, &CAniSpriteObject::SetZoom);
}

void CSceneBody::Color(int object, CComponent red, CComponent green, CComponent blue, CComponent alpha) const {
    ApplyVector<4, CAniSpriteObject>(m_scene, object, PropColor, {red, green, blue, alpha}, m_time,
                                     &CAniSpriteObject::SetColor);
}

void CSceneBody::Frame(int object, CComponent value) const {
    ApplyScalar<CAniSpriteObject>(m_scene, object, PropFrame, value, m_time, &CAniSpriteObject::SetFrame);
}

void CSceneBody::SpriteOffset(int object, CComponent x, CComponent y) const {
    ApplyVector<2, CAniSpriteObject>(m_scene, object, PropSpriteOffset, {x, y}, m_time,
                                     &CAniSpriteObject::SetSpriteOffset);
}

void CSceneBody::Opacity(int object, CComponent value) const {
    ApplyScalar<CAniSpriteObject>(m_scene, object, PropOpacity, value, m_time, &CAniSpriteObject::SetOpacity);
}

void CSceneBody::ParticleTime(int object, CComponent value) const {
    ApplyScalar<CAniVexaObject>(m_scene, object, PropFrame, value, m_time, &CAniVexaObject::SetTime);
}

} // namespace __SceneGeneratedCode
