#pragma once
// The root of the control tree, made by the controls manager to cover the
// screen.

#include "controls/BaseControl.h"

namespace Engine::Controls {

class CDesktop : public CBaseControl {};

} // namespace Engine::Controls
