#pragma once
// A container of controls that gives its first tab stop the focus and moves
// the focus with Tab, the arrow keys and Return.

#include "controls/BaseControl.h"

namespace Engine::Controls {

class CDialog : public CBaseControl {
public:
    void Draw(CRenderContext& context) override;
    bool HandleEvent(ControlEvent& event) override;
    // For the game's dialogs; nothing here.
    virtual void OnDialogHook() {}

private:
    bool OnChildCreatedEvent(const ControlEvent& event);
    bool OnCharacter(ControlEvent& event);
    bool OnArrowKey(const ControlEvent& event);

    // Set while Return is with the default button.
    bool m_bForwardingReturn = false;
};

} // namespace Engine::Controls
