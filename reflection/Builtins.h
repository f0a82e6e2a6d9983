#pragma once
// Registration of the library's built-in types, in four groups that start-up
// runs at their places in the fixed order: the geometry types with their
// text forms, Engine::CReferenced, the primitive types by name, and the
// primitive types' text forms. Each group runs once; a second call does
// nothing until the group is undone.

#include <span>

#include "app/Registration.h"

namespace Engine::Reflection {

void RegisterReflection_Geometry();
void RegisterReflection_CReferenced();
void RegisterReflection_Primitives();
void RegisterReflection_PrimitiveFormatters();

// Releases the groups' registration records (the types stay registered:
// the registry lives until the process ends).
void UnregisterReflection_Geometry();
void UnregisterReflection_CReferenced();
void UnregisterReflection_Primitives();
void UnregisterReflection_PrimitiveFormatters();

// The four groups as start-up hooks.
std::span<const CStartupHook> GetStartupHooks();

} // namespace Engine::Reflection
