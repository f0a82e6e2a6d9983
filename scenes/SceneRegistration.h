#pragma once
// The generated scene classes' start-up registrations: one hook per class,
// in the fixed order of the registry. Each hook makes its class's single
// instance and appends it to the registry once; nothing is undone at exit,
// the instances and the registry live until the process ends.

#include <span>

#include "app/Registration.h"

namespace Engine::Scenes {

std::span<const CStartupHook> GetStartupHooks();

} // namespace Engine::Scenes
