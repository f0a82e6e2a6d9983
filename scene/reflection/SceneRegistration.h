#pragma once
// The scene model's start-up registrations: one hook per type, the six key
// controllers (group KeyControllers) and then the scene types (group
// SceneTypes), each hook named by the type's registered name. A hook runs
// once; undoing it releases the type's method list (the records stay with
// the registry).

#include <span>

#include "app/Registration.h"

namespace Engine::Scene {

std::span<const CStartupHook> GetStartupHooks();

} // namespace Engine::Scene
