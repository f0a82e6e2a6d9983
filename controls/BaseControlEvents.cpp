// Event dispatch of the base control: handler slots, default processing,
// bubbling to the parent, and the frame drag that moves or resizes a framed
// control by its caption or borders.

#include "controls/BaseControl.h"
#include "controls/ControlsManager.h"

namespace Engine::Controls {

namespace {

// Only one drag runs at a time, so the drag state is shared by all controls.
struct FrameDragState {
    bool moving = false;
    bool resizing = false;
    int32_t directionX = 0;
    int32_t directionY = 0;
    CPoint start;
    CRect startRect;
    uint32_t startButton = 0;
    ControlSizeLimits limits;
};

FrameDragState& DragState() {
    static FrameDragState state;
    return state;
}

// Resize directions of the border hit-test codes 13 to 20.
constexpr int32_t kResizeDirections[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {-1, -1}, {1, -1}, {0, 1}, {-1, 1}, {1, 1}};

uint32_t CaptionButtonBit(uint32_t hitTest) {
    switch (hitTest) {
    case HT_CLOSE: return 1;
    case HT_BUTTON2: return 2;
    case HT_BUTTON3: return 4;
    default: return 0;
    }
}

} // namespace

bool CBaseControl::SendEvent(Ref target, ControlEvent& event) {
    if (!target) return false;
    if (target->m_tracking == 0) return target->HandleEvent(event);
    event.subCode = event.code;
    event.code = target->m_tracking;
    const bool handled = target->HandleEvent(event);
    event.code = event.subCode;
    event.subCode = 0;
    return handled;
}

bool CBaseControl::SendNotify(Ref target, Ref sender, int32_t code, Ref extra) {
    ControlEvent event;
    event.code = CE_NOTIFY;
    event.notifyCode = code;
    event.senderId = sender ? uint32_t(sender->m_id) : 0;
    event.other = sender.get();
    event.extra = extra.get();
    return SendEvent(std::move(target), event);
}

bool CBaseControl::SendCommand(Ref target, Ref sender, uint32_t code) {
    ControlEvent event;
    event.code = CE_COMMAND;
    event.commandId = sender ? uint32_t(sender->m_id) : 0;
    event.commandCode = code;
    event.other = sender.get();
    return SendEvent(std::move(target), event);
}

bool CBaseControl::HandleEvent(ControlEvent& event) {
    DragState();  // set up on the first event
    if (DispatchToHandler(event)) return true;
    return DefaultProcessing(event);
}

bool CBaseControl::DispatchToHandler(ControlEvent& e) {
    switch (e.code) {
    case CE_COMMAND: return OnCommand(e.commandId, e.commandCode);
    case CE_CREATE: return OnCreate();
    case CE_CHILD_CREATED: return OnChildCreated(e.other);
    case CE_MOUSE_MOVE: return OnMouseMove(e.x, e.y, e.flags, e.hitTest);
    case CE_NC_MOUSE_MOVE: return OnNcMouseMove(e.x, e.y, e.flags, e.hitTest);
    case CE_MOUSE_ENTER: return OnMouseEnter();
    case CE_MOUSE_LEAVE: return OnMouseLeave();
    case CE_LBUTTON_DOWN: return OnLButtonDown(e.x, e.y, e.flags, e.hitTest);
    case CE_LBUTTON_UP: return OnLButtonUp(e.x, e.y, e.flags, e.hitTest);
    case CE_RBUTTON_DOWN: return OnRButtonDown(e.x, e.y, e.flags, e.hitTest);
    case CE_RBUTTON_UP: return OnRButtonUp(e.x, e.y, e.flags, e.hitTest);
    case CE_MBUTTON_DOWN: return OnMButtonDown(e.x, e.y, e.flags, e.hitTest);
    case CE_MBUTTON_UP: return OnMButtonUp(e.x, e.y, e.flags, e.hitTest);
    case CE_NC_LBUTTON_DOWN: return OnNcLButtonDown(e.x, e.y, e.flags, e.hitTest);
    case CE_NC_LBUTTON_UP: return OnNcLButtonUp(e.x, e.y, e.flags, e.hitTest);
    case CE_NC_RBUTTON_DOWN: return OnNcRButtonDown(e.x, e.y, e.flags, e.hitTest);
    case CE_NC_RBUTTON_UP: return OnNcRButtonUp(e.x, e.y, e.flags, e.hitTest);
    case CE_NC_MBUTTON_DOWN: return OnNcMButtonDown(e.x, e.y, e.flags, e.hitTest);
    case CE_NC_MBUTTON_UP: return OnNcMButtonUp(e.x, e.y, e.flags, e.hitTest);
    case CE_KEY_DOWN: return OnKeyDown(e.key, e.flags);
    case CE_KEY_UP: return OnKeyUp(e.key, e.flags);
    case CE_CHAR:
        switch (e.character) {
        case 0x03: return OnCopy();
        case 0x16: return OnPaste();
        case 0x18: return OnCut();
        default: return OnChar(e.character, e.flags);
        }
    case CE_CAPTURE_RELEASED: return OnCaptureReleased();
    case CE_SET_CAPTURE: return OnSetCapture(e.other);
    case CE_CAPTURE_CANCELLED: return OnCaptureCancelled();
    case CE_SET_CURSOR: return OnSetCursor();
    default: return false;
    }
}

bool CBaseControl::DefaultProcessing(ControlEvent& event) {
    switch (event.code) {
    case CE_FRAME_DRAG: return ContinueDrag(event);
    case CE_NOTIFY:
        if (const Ref parent = m_pParent) return parent->HandleEvent(event);
        break;
    case CE_NC_LBUTTON_DOWN: StartDrag(event); break;
    case CE_SET_CAPTURE: return true;
    case CE_KILL_FOCUS:
        if (m_pManager) m_pManager->SetFocusOwner(nullptr);
        return true;
    case CE_SET_FOCUS:
        if (m_pManager) m_pManager->SetFocusOwner(this);
        return true;
    default: break;
    }
    return CommonTail(event);
}

bool CBaseControl::CommonTail(ControlEvent& event) {
    if (m_pManager && m_pManager->GetCapture() == this) return true;
    // Held, so a handler up the chain that destroys the tree cannot free it.
    if (const Ref parent = m_pParent) return parent->HandleEvent(event);
    return true;
}

void CBaseControl::StartDrag(const ControlEvent& event) {
    FrameDragState& drag = DragState();
    m_pressedCaptionButtons = 0;
    drag.moving = false;
    drag.resizing = false;
    const uint32_t hit = event.hitTest;
    if (hit == HT_CAPTION) {
        drag.start = {event.x, event.y};
        drag.moving = true;
    } else if (CaptionButtonBit(hit)) {
        m_pressedCaptionButtons = CaptionButtonBit(hit);
    } else if (hit >= HT_LEFT && hit <= HT_BOTTOMRIGHT) {
        drag.directionX = kResizeDirections[hit - HT_LEFT][0];
        drag.directionY = kResizeDirections[hit - HT_LEFT][1];
        drag.start = {event.x, event.y};
        drag.resizing = true;
        // Each drag starts from the standard limits, so one control's
        // limits never leak into another's drag.
        drag.limits = ControlSizeLimits{};
        OnGetMinMaxInfo(drag.limits);
        drag.startRect = m_windowRect;
        CRect client = m_windowRect;
        ClientRectFromWindowRect(client);
        OnEnterSizeMove(client.Width(), client.Height());
    }
    drag.startButton = m_pressedCaptionButtons;
    if ((m_pressedCaptionButtons || drag.moving || drag.resizing) && m_pManager) {
        m_pManager->SetCaptureTo(this);
        m_tracking = 1;
    }
}

bool CBaseControl::ContinueDrag(const ControlEvent& event) {
    FrameDragState& drag = DragState();
    switch (event.subCode) {
    case CE_MOUSE_MOVE:
        if (drag.moving) {
            const int32_t dx = event.x - drag.start.x + m_clientOrigin.x;
            const int32_t dy = event.y - drag.start.y + m_clientOrigin.y;
            SetWindowRect(m_windowRect.left + dx, m_windowRect.top + dy, m_windowRect.right + dx,
                          m_windowRect.bottom + dy);
        } else if (drag.resizing) {
            const int32_t ax = drag.directionX == 0 ? 0
                               : event.x + m_windowRect.left + m_clientOrigin.x - drag.startRect.left - drag.start.x;
            const int32_t ay = drag.directionY == 0 ? 0
                               : event.y + m_windowRect.top + m_clientOrigin.y - drag.startRect.top - drag.start.y;
            CRect r = drag.startRect;
            (drag.directionX < 0 ? r.left : r.right) += ax;
            (drag.directionY < 0 ? r.top : r.bottom) += ay;
            ClientRectFromWindowRect(r);
            CPoint size{std::min(std::max(r.Width(), drag.limits.minWidth), drag.limits.maxWidth),
                        std::min(std::max(r.Height(), drag.limits.minHeight), drag.limits.maxHeight)};
            OnSizing(size);
            r.right = r.left + size.x;
            r.bottom = r.top + size.y;
            AdjustWindowRect(r);
            SetWindowRect(r.left, r.top, r.right, r.bottom);
        } else {
            m_pressedCaptionButtons = CaptionButtonBit(event.hitTest);
            if (m_pressedCaptionButtons != drag.startButton) m_pressedCaptionButtons = 0;
        }
        return true;
    case CE_LBUTTON_UP: EndDrag(true); return true;
    // Losing the capture ends the drag too; otherwise the control would
    // swallow every later event.
    case CE_CAPTURE_RELEASED:
    case CE_CAPTURE_CANCELLED: EndDrag(false); return true;
    default: return true;
    }
}

void CBaseControl::EndDrag(bool releaseCapture) {
    FrameDragState& drag = DragState();
    if (drag.resizing) {
        CRect client = m_windowRect;
        ClientRectFromWindowRect(client);
        OnExitSizeMove(client.Width(), client.Height());
    }
    m_pressedCaptionButtons = 0;
    drag.moving = false;
    drag.resizing = false;
    if (releaseCapture && m_pManager) m_pManager->ReleaseCapture();
    m_tracking = 0;
}

} // namespace Engine::Controls
