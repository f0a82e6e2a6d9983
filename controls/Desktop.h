#pragma once
// The root of the control tree, made by the controls manager to cover the
// screen. It answers every event, so nothing rises past it.

#include "controls/BaseControl.h"

namespace Engine::Controls {

class CDesktop : public CBaseControl {
public:
    bool HandleEvent(ControlEvent& event) override;
};

} // namespace Engine::Controls
