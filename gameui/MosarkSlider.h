#pragma once
// The game's skinned horizontal slider: the widget's value and handling,
// drawn from the sprite "slider" (a track stretched to the width and a
// thumb; frame 1 while it has the focus), faded with its opacity. Disabled,
// it leaves every event to the base control.

#include "controls/Slider.h"
#include "gameui/MosarkBaseControl.h"

class CMosarkSlider : public Engine::Controls::CSlider, public CMosarkBaseControl {
public:
    bool OnSetCursor() override;
    void Draw(Engine::Controls::CRenderContext& context) override;
    // No frame: the client area is 10 wider and taller than the window.
    void AdjustWindowRect(Engine::Controls::CRect& rect) override;
    bool HandleEvent(Engine::Controls::ControlEvent& event) override;
};
