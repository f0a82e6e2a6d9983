// Keyboard navigation among the children of a control: tab order (the
// creation order), groups of radio buttons, the default button and the
// nearest tab stop in an arrow's direction.

#include <cstdlib>

#include "controls/BaseControl.h"
#include "controls/ControlsManager.h"

namespace Engine::Controls {

namespace {

constexpr uint32_t kDefaultPushButton = 0x10;

CPoint Centre(const CBaseControl& control) {
    const CRect& r = control.GetWindowRect();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// High part: the offset across the direction (the side above or to the left
// wins a tie); low part: the distance along it. 0: not in that direction.
int64_t Score(int32_t along, int32_t across) {
    if (along <= 0) return 0;
    const int64_t weight = across < 0 ? -2 * int64_t(across) : 2 * int64_t(across) + 1;
    return weight * 65536 + along;
}

int64_t ScoreLeft(const CBaseControl& r, const CBaseControl& k) {
    return Score(Centre(r).x - Centre(k).x, Centre(k).y - Centre(r).y);
}
int64_t ScoreRight(const CBaseControl& r, const CBaseControl& k) {
    return Score(Centre(k).x - Centre(r).x, Centre(k).y - Centre(r).y);
}
int64_t ScoreAbove(const CBaseControl& r, const CBaseControl& k) {
    return Score(Centre(r).y - Centre(k).y, Centre(k).x - Centre(r).x);
}
int64_t ScoreBelow(const CBaseControl& r, const CBaseControl& k) {
    return Score(Centre(k).y - Centre(r).y, Centre(k).x - Centre(r).x);
}

} // namespace

CBaseControl::Ref CBaseControl::WalkTabStops(const CBaseControl* control, bool wrap, bool forward) const {
    const auto step = [&](const CBaseControl* from) { return forward ? GetNextChild(from, wrap) : GetPrevChild(from, wrap); };
    Ref child = step(control);
    // With wrap the walk ends where it began: the given control, or the
    // first child looked at.
    const CBaseControl* stop = control ? control : child.get();
    while (child) {
        if (child->HasStyle(CS_TABSTOP) && child.get() != control) return child;
        child = step(child.get());
        if (child.get() == stop) return nullptr;
    }
    return nullptr;
}

CBaseControl::Ref CBaseControl::GetNextTabStop(const CBaseControl* control, bool wrap) const {
    return WalkTabStops(control, wrap, true);
}

CBaseControl::Ref CBaseControl::GetPrevTabStop(const CBaseControl* control, bool wrap) const {
    return WalkTabStops(control, wrap, false);
}

CBaseControl::Ref CBaseControl::GetNextTabFromFocus() const {
    const CBaseControl* focus = m_pManager ? m_pManager->GetFocus().get() : nullptr;
    if (focus && focus->m_pParent.get() == this) return GetNextTabStop(focus, true);
    return GetNextTabStop(nullptr, false);
}

CBaseControl::Ref CBaseControl::GetPrevTabFromFocus() const {
    const CBaseControl* focus = m_pManager ? m_pManager->GetFocus().get() : nullptr;
    if (focus && focus->m_pParent.get() == this) return GetPrevTabStop(focus, true);
    return GetPrevTabStop(nullptr, false);
}

CBaseControl::Ref CBaseControl::FindNearestTabStop(const CBaseControl& reference, TabScore score) const {
    Ref best;
    int64_t bestScore = 0;
    for (Ref k = GetNextTabStop(nullptr, false); k; k = GetNextTabStop(k.get(), false)) {
        const int64_t s = score(reference, *k);
        if (s != 0 && (!best || s < bestScore)) {
            best = k;
            bestScore = s;
        }
    }
    return best;
}

CBaseControl::Ref CBaseControl::FindTabStopLeft(const CBaseControl& r) const { return FindNearestTabStop(r, ScoreLeft); }
CBaseControl::Ref CBaseControl::FindTabStopRight(const CBaseControl& r) const { return FindNearestTabStop(r, ScoreRight); }
CBaseControl::Ref CBaseControl::FindTabStopAbove(const CBaseControl& r) const { return FindNearestTabStop(r, ScoreAbove); }
CBaseControl::Ref CBaseControl::FindTabStopBelow(const CBaseControl& r) const { return FindNearestTabStop(r, ScoreBelow); }

CBaseControl::Ref CBaseControl::GetFirstOfGroup(const CBaseControl* control) const {
    for (Ref c = control ? Ref(const_cast<CBaseControl*>(control)) : nullptr; c; c = GetPrevChild(c.get(), false))
        if (c->HasStyle(CS_GROUP)) return c;
    return GetNextChild(nullptr, false);
}

CBaseControl::Ref CBaseControl::GetLastOfGroup(const CBaseControl* control) const {
    Ref last = control ? Ref(const_cast<CBaseControl*>(control)) : nullptr;
    for (Ref c = GetNextChild(control, false); c; c = GetNextChild(c.get(), false)) {
        if (c->HasStyle(CS_GROUP)) return last;
        last = c;
    }
    return last;
}

void CBaseControl::CheckRadioInGroup(CBaseControl& parent) {
    const Ref last = parent.GetLastOfGroup(this);
    for (Ref c = parent.GetFirstOfGroup(this); c; c = parent.GetNextChild(c.get(), false)) {
        if (c.get() == this)
            c->m_style |= CS_CHECKED;
        else
            c->m_style &= ~uint32_t(CS_CHECKED);
        if (c == last) break;
    }
}

CBaseControl::Ref CBaseControl::FindDefaultButton() const {
    for (Ref k = GetNextTabStop(nullptr, false); k; k = GetNextTabStop(k.get(), false))
        if (k->GetDlgCode() & kDefaultPushButton) return k;
    return nullptr;
}

} // namespace Engine::Controls
