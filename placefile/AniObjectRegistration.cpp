#include "placefile/AniObjectRegistration.h"

#include <utility>

#include "placefile/AniSpriteObject.h"
#include "placefile/AniVexaObject.h"
#include "reflection/Reflector.h"

namespace Engine::Graphics::PlaceFile {

using Engine::Reflection::CReflector;
using Engine::Reflection::CTypeInfo;
using Engine::Scene::CReflectionAniObject;

namespace {

template <class T, class Base>
void RegisterClass(const char* name) {
    using R = CReflector<T>;
    R::RegisterType(name);
    R::RegisterVoidPointerConverter();
    R::template AddConstructor<CReflectionAniObject*>("pRefObject");
    R::template AddBase<Base>();
}

template <class T>
struct CHookState {
    static inline bool registered = false;
};

template <class T, CTypeInfo* (*Register)()>
void RunOnce() {
    if (!std::exchange(CHookState<T>::registered, true)) Register();
}

template <class T>
void Undo() {
    if (std::exchange(CHookState<T>::registered, false)) CReflector<T>::Release();
}

} // namespace

CTypeInfo* RegisterReflection_CAniPlaceObject() {
    using T = CAniPlaceObject;
    using R = CReflector<T>;
    RegisterClass<T, Engine::Scene::IReflectionAnimObject>("CAniPlaceObject");
    R::AddProperty("Angle", &T::SetAngle, &T::GetAngle);
    R::AddProperty("Position", &T::SetPosition, &T::GetPosition);
    R::AddProperty("Size", &T::SetSize, &T::GetSize);
    R::AddProperty("Zoom", &T::SetZoom, &T::GetZoom);
    R::AddProperty("Color", &T::SetColor, &T::GetColor);
    return R::Record();
}

CTypeInfo* RegisterReflection_CAniVexaObject() {
    using T = CAniVexaObject;
    using R = CReflector<T>;
    RegisterClass<T, CAniPlaceObject>("CAniVexaObject");
    R::AddProperty("Time", &T::SetTime, &T::GetTime);
    R::AddProperty("IsEmitting", &T::SetIsEmitting, &T::GetIsEmitting);
    R::AddProperty("TintColor", &T::SetTintColor, &T::GetTintColor);
    return R::Record();
}

CTypeInfo* RegisterReflection_CAniSpriteObject() {
    using T = CAniSpriteObject;
    using R = CReflector<T>;
    RegisterClass<T, CAniPlaceObject>("CAniSpriteObject");
    R::AddProperty("Frame", &T::SetFrame, &T::GetFrame);
    R::AddProperty("SpriteOffset", &T::SetSpriteOffset, &T::GetSpriteOffset);
    R::AddProperty("SpriteTile", &T::SetSpriteTile, &T::GetSpriteTile);
    R::AddProperty("Opacity", &T::SetOpacity, &T::GetOpacity);
    return R::Record();
}

std::span<const CStartupHook> GetStartupHooks() {
    static constexpr CStartupHook kHooks[] = {
        {EStartupGroup::AnimatedObjects, "CAniPlaceObject",
         &RunOnce<CAniPlaceObject, &RegisterReflection_CAniPlaceObject>, &Undo<CAniPlaceObject>},
        {EStartupGroup::AnimatedObjects, "CAniVexaObject", &RunOnce<CAniVexaObject, &RegisterReflection_CAniVexaObject>,
         &Undo<CAniVexaObject>},
        {EStartupGroup::AnimatedObjects, "CAniSpriteObject",
         &RunOnce<CAniSpriteObject, &RegisterReflection_CAniSpriteObject>, &Undo<CAniSpriteObject>},
    };
    return kHooks;
}

} // namespace Engine::Graphics::PlaceFile
