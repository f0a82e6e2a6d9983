#include "controls/Dialog.h"

#include "controls/ControlDescription.h"
#include "controls/ControlsManager.h"
#include "controls/DrawSpriteAt.h"
#include "controls/RenderContext.h"

namespace Engine::Controls {

namespace {

// Holds a flag up for the life of a scope, also when the scope is left by
// an exception.
class CRaisedFlag {
public:
    explicit CRaisedFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~CRaisedFlag() { m_flag = false; }
    CRaisedFlag(const CRaisedFlag&) = delete;
    CRaisedFlag& operator=(const CRaisedFlag&) = delete;

private:
    bool& m_flag;
};

} // namespace

void CDialog::Draw(CRenderContext& context) {
    if (m_pDescription && m_pDescription->sprite) {
        context.EnableRenderSwitch3();
        // The context's origin is already the dialog's client area.
        DrawSpriteAt(*m_pDescription, context, 0.0f, 0.0f, 1.0f);
        context.Flush();
    }
    DrawChildren(context);
}

bool CDialog::OnChildCreatedEvent(const ControlEvent& event) {
    CBaseControl* child = event.other;
    if (!m_pManager || !child || !child->HasStyle(CS_TABSTOP)) return true;
    const Ref focus = m_pManager->GetFocus();
    if (!focus || focus->GetParent() != this) m_pManager->SetFocus(child);
    return true;
}

// Tab and Return come as characters: key events carry no character and
// character events no key code.
bool CDialog::OnCharacter(ControlEvent& event) {
    if (event.character == u'\t') {
        if (m_pManager) {
            if (const Ref next = (event.flags & MOD_SHIFT) ? GetPrevTabFromFocus() : GetNextTabFromFocus())
                m_pManager->SetFocus(next);
        }
        return true;
    }
    if (event.character == u'\r') {
        // The default button presses itself on the Return character. One
        // that cannot take it (disabled, input blocked) hands it back up to
        // this dialog: that Return ends here, or the two would pass it back
        // and forth until the stack runs out.
        if (m_bForwardingReturn) return true;
        if (const Ref button = FindDefaultButton()) {
            const Ref self(this);
            ControlEvent forwarded = event;
            const CRaisedFlag forwarding(m_bForwardingReturn);
            SendEvent(button, forwarded);
        }
        return true;
    }
    return CBaseControl::HandleEvent(event);
}

bool CDialog::OnArrowKey(const ControlEvent& event) {
    const Ref focus = m_pManager ? m_pManager->GetFocus() : nullptr;
    if (!focus || focus->GetParent() != this) return true;
    Ref target;
    switch (event.key) {
    case KEY_LEFT: target = FindTabStopLeft(*focus); break;
    case KEY_RIGHT: target = FindTabStopRight(*focus); break;
    case KEY_UP: target = FindTabStopAbove(*focus); break;
    default: target = FindTabStopBelow(*focus); break;
    }
    if (target) m_pManager->SetFocus(target);
    return true;
}

bool CDialog::HandleEvent(ControlEvent& event) {
    switch (event.code) {
    case CE_CHILD_CREATED: return OnChildCreatedEvent(event);
    case CE_KILL_FOCUS: return true;
    case CE_SET_FOCUS: return false;
    case CE_CHAR: return OnCharacter(event);
    case CE_KEY_DOWN:
        if (event.key == KEY_LEFT || event.key == KEY_RIGHT || event.key == KEY_UP || event.key == KEY_DOWN)
            return OnArrowKey(event);
        break;
    default: break;
    }
    return CBaseControl::HandleEvent(event);
}

} // namespace Engine::Controls
