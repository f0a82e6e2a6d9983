#pragma once
// The widgets' start-up registrations: each class by its full name with its
// base, converters, default constructor and default style.

#include <span>

#include "app/Registration.h"

namespace Engine::Controls {

std::span<const CStartupHook> GetStartupHooks();

} // namespace Engine::Controls
