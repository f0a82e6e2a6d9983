#include "controls/BaseControl.h"

#include <algorithm>

#include "controls/ControlDescription.h"
#include "controls/ControlsDrawing.h"
#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"
#include "graphics/Graphics.h"

namespace Engine::Controls {

namespace {

bool Contains(const CRect& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// The property words of the base class, in the order they are read.
constexpr ControlStyleWord kStyleWords[] = {
    {"visible", CS_VISIBLE},       {"child", CS_CHILD},         {"checked", CS_CHECKED}, {"tabstop", CS_TABSTOP},
    {"group", CS_GROUP},           {"disabled", CS_DISABLED},   {"border", CS_BORDER},   {"dlgframe", CS_DLGFRAME},
    {"caption", CS_CAPTION},       {"thickframe", CS_THICKFRAME}, {"clientedge", CS_CLIENTEDGE},
};

} // namespace

CBaseControl::~CBaseControl() noexcept(false) {
    m_pFont = nullptr;
    m_text = CString();
    m_children.clear();
    m_pParent = nullptr;
}

void CBaseControl::Create(CControlsManager* manager, Ref parent, int32_t x, int32_t y, int32_t width, int32_t height,
                          CString text, uint32_t style, int32_t id) {
    m_pManager = manager;
    m_style = style;
    CRect frame;
    AdjustWindowRect(frame);
    m_clientOrigin = {-frame.left, -frame.top};
    m_clientRect = {0, 0, width + frame.left - frame.right, height + frame.top - frame.bottom};
    m_windowRect = {x, y, x + width, y + height};
    m_pParent = parent;
    m_text = std::move(text);
    m_id = id;
    m_pFont = nullptr;
    m_focusRect = {};
    m_bDestroyed = false;
    if (parent) AddChild(*parent, this);
    Initialize();
    ControlEvent created;
    created.code = CE_CREATE;
    SendEvent(this, created);
    if (parent) {
        ControlEvent child;
        child.code = CE_CHILD_CREATED;
        child.other = this;
        SendEvent(parent, child);
    }
}

void CBaseControl::CreateFromDescription(CControlsManager* manager, Ref parent, const CControlDescription* description,
                                         const CControlDescription* parentDescription, CString text, uint32_t style,
                                         int32_t id) {
    m_pManager = manager;
    m_pDescription = description;
    CRect bounds = description ? description->GetBounds() : CRect{};
    if (parentDescription) {
        const CRect origin = parentDescription->GetBounds();
        bounds = {bounds.left - origin.left, bounds.top - origin.top, bounds.right - origin.left,
                  bounds.bottom - origin.top};
    }
    Create(manager, std::move(parent), bounds.left, bounds.top, bounds.Width(), bounds.Height(), std::move(text), style,
           id);
    ReadProperties();
}

void CBaseControl::ReadProperties() { ReadStyleWords(kStyleWords); }

void CBaseControl::ReadStyleWords(std::span<const ControlStyleWord> words) {
    if (!m_pDescription) return;
    for (const ControlStyleWord& word : words) {
        if (!m_pDescription->FindProperty(word.name)) continue;
        if (m_pDescription->GetProperty(word.name))
            m_style |= word.bit;
        else
            m_style &= ~word.bit;
    }
}

bool CBaseControl::IsInputBlocked() const {
    if (HasStyle(CS_INPUT_BLOCKED)) return true;
    if (!m_pParent) return false;
    if (m_pParent->HasStyle(CS_CHILD)) return m_pParent->IsInputBlocked();
    return m_pParent->HasStyle(CS_INPUT_BLOCKED);
}

void CBaseControl::HideChildren() {
    for (const Ref& child : m_children) child->m_style &= ~uint32_t(CS_VISIBLE);
}

void CBaseControl::Destroy() {
    if (m_bDestroyed) return;
    const Ref self(this);
    const Ref parent = m_pParent;
    bool focusInside = false;
    DestroyTree(focusInside);
    if (focusInside && m_pManager && parent) m_pManager->SetFocus(parent);
}

void CBaseControl::DestroyTree(bool& focusInside) {
    const Ref self(this);
    ControlEvent destroyed;
    destroyed.code = CE_DESTROY;
    SendEvent(self, destroyed);
    m_pFont = nullptr;
    if (CControlsManager* manager = m_pManager) {
        if (manager->GetFocusOwner() == this) manager->SetFocusOwner(nullptr);
        if (manager->GetHover() == this) manager->SetHover(nullptr);
        if (manager->GetCapture() == this) manager->SetCapture(nullptr, false);
        if (manager->GetActiveMenu() == this) manager->SetActiveMenu(nullptr);
        if (manager->GetFocus() == this) {
            focusInside = true;
            // Asked first, as for any change of focus; a control that
            // refuses to give it up loses it all the same, as it goes away.
            manager->SetFocus(nullptr);
            if (manager->GetFocus() == this) manager->DropFocus();
        }
        // A running timer would keep feeding the dead control.
        manager->RemoveTimersOf(this);
    }
    while (!m_children.empty()) {
        const Ref child = m_children.front();
        child->DestroyTree(focusInside);
        if (!m_children.empty() && m_children.front() == child) m_children.erase(m_children.begin());
    }
    if (m_pParent) RemoveChild(*m_pParent, this);
    m_children.clear();
    m_pParent = nullptr;
    m_style = 0;
    m_bDestroyed = true;
}

void CBaseControl::AddChild(CBaseControl& parent, Ref child) { parent.m_children.push_back(std::move(child)); }

void CBaseControl::RemoveChild(CBaseControl& parent, const CBaseControl* child) {
    std::erase_if(parent.m_children, [child](const Ref& c) { return c.get() == child; });
}

CBaseControl::Ref CBaseControl::GetChild(int32_t index) const {
    if (index < 0 || index >= GetChildCount()) return nullptr;
    return m_children[size_t(index)];
}

CBaseControl::Ref CBaseControl::FindChildByID(int32_t id) const {
    for (const Ref& child : m_children)
        if (child->m_id == id) return child;
    return nullptr;
}

bool CBaseControl::HasVisibleChild() const {
    return std::any_of(m_children.begin(), m_children.end(), [](const Ref& c) { return c->HasStyle(CS_VISIBLE); });
}

CBaseControl::Ref CBaseControl::GetNextChild(const CBaseControl* child, bool wrap) const {
    if (m_children.empty()) return nullptr;
    if (!child) return m_children.front();
    const auto found = std::find_if(m_children.begin(), m_children.end(), [child](const Ref& c) { return c.get() == child; });
    if (found == m_children.end()) return nullptr;
    if (found + 1 != m_children.end()) return *(found + 1);
    return wrap ? m_children.front() : nullptr;
}

CBaseControl::Ref CBaseControl::GetPrevChild(const CBaseControl* child, bool wrap) const {
    if (m_children.empty()) return nullptr;
    if (!child) return m_children.back();
    const auto found = std::find_if(m_children.begin(), m_children.end(), [child](const Ref& c) { return c.get() == child; });
    if (found == m_children.end()) return nullptr;
    if (found != m_children.begin()) return *(found - 1);
    return wrap ? m_children.back() : nullptr;
}

bool CBaseControl::IsDescendantOf(const CBaseControl* control) const {
    if (!control) return true;
    for (const CBaseControl* c = this; c; c = c->m_pParent.get())
        if (c == control) return true;
    return false;
}

Engine::ref_ptr<Graphics::CFont> CBaseControl::GetFont() const {
    for (const CBaseControl* c = this; c; c = c->m_pParent.get())
        if (c->m_pFont) return c->m_pFont;
    return nullptr;
}

bool CBaseControl::HasFocus() const { return m_pManager && m_pManager->GetFocus() == this; }

bool CBaseControl::IsHovered() const { return m_pManager && m_pManager->GetHover() == this; }

int32_t CBaseControl::FrameInset() const {
    return (HasStyle(CS_BORDER) ? 1 : 0) + (HasStyle(CS_CLIENTEDGE) ? 2 : 0) + (HasStyle(CS_DLGFRAME) ? 2 : 0) +
           (HasStyle(CS_THICKFRAME) ? 1 : 0);
}

void CBaseControl::AdjustWindowRect(CRect& rect) {
    const int32_t inset = FrameInset();
    rect = {rect.left - inset, rect.top - inset, rect.right + inset, rect.bottom + inset};
    if (HasStyle(CS_CAPTION) && m_pManager) rect.top -= m_pManager->GetCaptionHeight();
}

void CBaseControl::ClientRectFromWindowRect(CRect& rect) {
    CRect grown = rect;
    AdjustWindowRect(grown);
    rect = {2 * rect.left - grown.left, 2 * rect.top - grown.top, 2 * rect.right - grown.right,
            2 * rect.bottom - grown.bottom};
}

void CBaseControl::SetWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    m_position.x += left - m_windowRect.left;
    m_position.y += top - m_windowRect.top;
    m_windowRect = {left, top, right, bottom};
    const int32_t oldWidth = m_clientRect.Width(), oldHeight = m_clientRect.Height();
    CRect client = m_windowRect;
    ClientRectFromWindowRect(client);
    m_clientRect = {0, 0, client.Width(), client.Height()};
    if (m_clientRect.Width() != oldWidth || m_clientRect.Height() != oldHeight)
        OnSize(m_clientRect.Width(), m_clientRect.Height());
}

CRect CBaseControl::ClientToScreen() const {
    int32_t x = 0, y = 0;
    const CBaseControl* c = this;
    while (c->HasStyle(CS_CHILD) && c->m_pParent) {
        const CBaseControl* parent = c->m_pParent.get();
        x += c->m_windowRect.left + parent->m_clientOrigin.x;
        y += c->m_windowRect.top + parent->m_clientOrigin.y;
        c = parent;
    }
    x += c->m_windowRect.left;
    y += c->m_windowRect.top;
    return {x, y, x + m_windowRect.Width(), y + m_windowRect.Height()};
}

CBaseControl::Ref CBaseControl::ControlFromPoint(int32_t x, int32_t y) {
    if (!HasStyle(CS_VISIBLE)) return nullptr;
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        CBaseControl& child = **it;
        const bool unclipped = !child.HasStyle(CS_CHILD) || child.HasStyle(CS_UNCLIPPED_CHILDREN);
        if (unclipped || Contains(child.ClientToScreen(), x, y))
            if (Ref found = child.ControlFromPoint(x, y)) return found;
    }
    return Contains(ClientToScreen(), x, y) ? Ref(this) : nullptr;
}

void CBaseControl::CaptionButtonSize(int32_t& width, int32_t& height) const {
    CRect box;
    if (m_pManager && m_pManager->GetDrawing())
        m_pManager->GetDrawing()->DrawFrameControl(nullptr, box, CControlsDrawing::DFC_CAPTION,
                                                   CControlsDrawing::C_DFCS_ADJUSTRECT);
    width = box.Width();
    height = box.Height();
}

uint32_t CBaseControl::HitTest(int32_t x, int32_t y) {
    const int32_t inset = FrameInset();
    const int32_t innerRight = m_windowRect.Width() - inset, innerBottom = m_windowRect.Height() - inset;
    if (HasStyle(CS_CAPTION_BUTTONS)) {
        int32_t bw = 0, bh = 0;
        CaptionButtonSize(bw, bh);
        if (y >= inset + 2 && y < inset + 2 + bh) {
            const int32_t x0 = innerRight - bw - 2;
            if (x >= x0 && x < x0 + bw) return HT_CLOSE;
            if (x >= x0 - 2 - bw && x < x0 - 2) return HT_BUTTON2;
            if (x >= x0 - 2 - 2 * bw && x < x0 - 2 - bw) return HT_BUTTON3;
        }
    }
    if (HasStyle(CS_CAPTION) && m_pManager && x >= inset && x < innerRight && y >= inset &&
        y < inset + m_pManager->GetCaptionHeight())
        return HT_CAPTION;
    if (HasStyle(CS_THICKFRAME)) {
        if (y < inset) return x < inset ? HT_TOPLEFT : x >= innerRight ? HT_TOPRIGHT : HT_TOP;
        if (y > innerBottom) return x < inset ? HT_BOTTOMLEFT : x >= innerRight ? HT_BOTTOMRIGHT : HT_BOTTOM;
        if (x < inset) return HT_LEFT;
        if (x >= innerRight) return HT_RIGHT;
    }
    return HT_CLIENT;
}

void CBaseControl::DrawNonClient(CRenderContext& context) {
    CControlsDrawing* drawing = m_pManager ? m_pManager->GetDrawing() : nullptr;
    CRect r{0, 0, m_windowRect.Width(), m_windowRect.Height()};
    const auto lines = [&context](const CRect& at) {
        constexpr uint32_t kWhite = 0xFFFFFFFFu;  // the colour of a fresh text layout
        context.FillRect(at.left, at.top, at.Width(), 1, kWhite);
        context.FillRect(at.left, at.top, 1, at.Height(), kWhite);
        context.FillRect(at.left, at.bottom - 1, at.Width(), 1, kWhite);
        context.FillRect(at.right - 1, at.top, 1, at.Height(), kWhite);
        context.FlushIfPending();
    };
    const auto shrink = [&r](int32_t n) { r = {r.left + n, r.top + n, r.right - n, r.bottom - n}; };
    if (HasStyle(CS_BORDER)) {
        lines(r);
        shrink(1);
    }
    if (HasStyle(CS_CLIENTEDGE)) {
        if (drawing) drawing->DrawFrame(context, r.left, r.top, r.right, r.bottom, true);
        shrink(2);
    }
    if (HasStyle(CS_DLGFRAME)) {
        if (drawing) drawing->DrawFrame(context, r.left, r.top, r.right, r.bottom, false);
        shrink(2);
    }
    if (HasStyle(CS_THICKFRAME)) {
        lines(r);
        shrink(1);
    }
    if (HasStyle(CS_CAPTION) && drawing)
        drawing->DrawCaption(context, r.left, r.top, r.right, r.top + m_pManager->GetCaptionHeight(), true);
    if (HasStyle(CS_CAPTION_BUTTONS) && drawing) {
        int32_t bw = 0, bh = 0;
        CaptionButtonSize(bw, bh);
        const int32_t top = r.top + 2, x0 = r.right - bw - 2;
        const int32_t lefts[3] = {x0, x0 - 2 - bw, x0 - 2 - 2 * bw};
        const uint32_t states[3] = {CControlsDrawing::C_DFCS_CAPTIONCLOSE, 2, 3};
        for (int i = 0; i < 3; ++i) {
            CRect button{lefts[i], top, lefts[i] + bw, top + bh};
            const bool pressed = m_pressedCaptionButtons & (1u << i);
            drawing->DrawFrameControl(&context, button, CControlsDrawing::DFC_CAPTION,
                                      states[i] | (pressed ? uint32_t(CControlsDrawing::C_DFCS_PUSHED) : 0u));
        }
    }
}

void CBaseControl::DrawChildren(CRenderContext& context) {
    if (!HasStyle(CS_VISIBLE)) return;
    const CPoint origin = context.GetOrigin();
    const CRect clip = context.GetClip();
    const CRect desktop = m_pManager && m_pManager->GetDesktop() ? m_pManager->GetDesktop()->GetWindowRect() : clip;
    const std::vector<Ref> children = m_children;  // a Draw may change the tree
    for (const Ref& child : children) {
        bool drawSelf = !context.m_pOnlyInside || child->IsDescendantOf(context.m_pOnlyInside.get());
        if (context.m_pLeftOut && child->IsDescendantOf(context.m_pLeftOut.get())) drawSelf = false;
        if (!child->HasStyle(CS_VISIBLE)) continue;
        const bool placedInParent = child->HasStyle(CS_CHILD);
        const CRect& w = child->m_windowRect;
        const CPoint at = placedInParent ? CPoint{origin.x + w.left, origin.y + w.top} : CPoint{w.left, w.top};
        const CRect screen{at.x, at.y, at.x + w.Width(), at.y + w.Height()};
        CRect childClip = IntersectRect(placedInParent ? clip : desktop, screen);
        if (!childClip.IsEmpty()) {
            context.SetOrigin(at);
            context.SetClip(childClip);
            context.ApplyOrigin();
            if (drawSelf) {
                if (context.GetGraphics()) context.GetGraphics()->gSwitch(3, false);
                child->DrawNonClient(context);
            }
            const CPoint client{at.x + child->m_clientOrigin.x, at.y + child->m_clientOrigin.y};
            childClip = IntersectRect(childClip, {client.x, client.y, client.x + child->m_clientRect.Width(),
                                                  client.y + child->m_clientRect.Height()});
            context.SetOrigin(client);
            context.SetClip(childClip);
            context.ApplyOrigin();
            if (!childClip.IsEmpty()) {
                if (drawSelf)
                    child->Draw(context);
                else
                    child->DrawChildren(context);
            }
            // Marked even when the child is not drawn itself, so a subtree
            // drawn alone still shows where the focus is.
            const CRect& focus = child->m_focusRect;
            if (m_pManager && m_pManager->GetFocusOwner() == child && m_pManager->IsFocusRectShown() &&
                !focus.IsEmpty()) {
                context.FillRect(focus.left, focus.top, focus.Width(), focus.Height(), m_pManager->GetFocusRectColor());
                context.FlushIfPending();
            }
        }
        context.SetOrigin(origin);
        context.SetClip(clip);
        context.ApplyOrigin();
    }
}

} // namespace Engine::Controls
