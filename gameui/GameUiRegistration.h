#pragma once
// The game controls' start-up registrations: the mixin, then each game
// class by name with its widget base and the mixin as second base.

#include <span>

#include "app/Registration.h"

namespace GameUi {

std::span<const Engine::CStartupHook> GetStartupHooks();

} // namespace GameUi
