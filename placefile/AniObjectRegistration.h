#pragma once
// The animated place objects' start-up registrations: "CAniPlaceObject",
// "CAniVexaObject" and "CAniSpriteObject", each with its base, its
// constructor from the wrapper ("pRefObject") and its properties, setter
// then getter, in their index order. A hook runs once; undoing it releases
// the class's method list (the records stay with the registry).

#include <span>

#include "app/Registration.h"
#include "reflection/TypeInfo.h"

namespace Engine::Graphics::PlaceFile {

Engine::Reflection::CTypeInfo* RegisterReflection_CAniPlaceObject();
Engine::Reflection::CTypeInfo* RegisterReflection_CAniVexaObject();
Engine::Reflection::CTypeInfo* RegisterReflection_CAniSpriteObject();

std::span<const CStartupHook> GetStartupHooks();

} // namespace Engine::Graphics::PlaceFile
