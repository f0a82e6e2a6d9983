#include "controls/ControlsManager.h"

#include <algorithm>
#include <cmath>

#include "controls/Desktop.h"
#include "controls/StdControlsDrawing.h"
#include "graphics/Graphics.h"

namespace Engine::Controls {

namespace {

// The classic Windows scheme, by system-colour index; 0xAABBGGRR.
constexpr std::array<uint32_t, CControlsManager::kSysColorCount> kSysColors = {
    0xFFC8D0D4, 0xFFA56E3A, 0xFF6A240A, 0xFF808080, 0xFFC8D0D4, 0xFFFFFFFF, 0xFF000000,
    0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFC8D0D4, 0xFFC8D0D4, 0xFF808080, 0xFF6A240A,
    0xFFFFFFFF, 0xFFC8D0D4, 0xFF808080, 0xFF808080, 0xFF000000, 0xFFC8D0D4, 0xFFFFFFFF,
    0xFF404040, 0xFFC8D0D4, 0xFF000000, 0xFFE1FFFF, 0xFFB5B5B5, 0xFF800000, 0xFFF0CAA6,
};
constexpr std::array<double, TIMING_COUNT> kTimings = {0.5, 0.04, 0.5, 0.04, 0.4};
constexpr std::array<int32_t, METRIC_COUNT> kMetrics = {16, 16, 16, 20, 20, 10, 18};
constexpr uint32_t kFocusRectColor = 0xFF000000u;
// The focus rectangle shows for this share of each blink period.
constexpr double kBlinkOnShare = 0.67;

// Scan codes of the modifier keys.
constexpr uint8_t kLeftShift = 0x2A, kRightShift = 0x36, kLeftCtrl = 0x1D, kRightCtrl = 0x9D, kLeftAlt = 0x38,
                  kRightAlt = 0xB8;

constexpr uint32_t kReleaseClient[3] = {CE_LBUTTON_UP, CE_RBUTTON_UP, CE_MBUTTON_UP};
constexpr uint32_t kReleaseFrame[3] = {CE_NC_LBUTTON_UP, CE_NC_RBUTTON_UP, CE_NC_MBUTTON_UP};
constexpr uint32_t kPressClient[3] = {CE_LBUTTON_DOWN, CE_RBUTTON_DOWN, CE_MBUTTON_DOWN};
constexpr uint32_t kPressFrame[3] = {CE_NC_LBUTTON_DOWN, CE_NC_RBUTTON_DOWN, CE_NC_MBUTTON_DOWN};

bool Contains(const CRect& r, const CPoint& p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The client area of a control in screen coordinates.
CRect ScreenClientRect(const CBaseControl& control) {
    const CRect window = control.ClientToScreen();
    const int32_t left = window.left + control.GetClientOrigin().x, top = window.top + control.GetClientOrigin().y;
    return {left, top, left + control.GetClientRect().Width(), top + control.GetClientRect().Height()};
}

// Sends a fresh event with only its code and other control set.
bool SendWithOther(const CBaseControl::Ref& target, uint32_t code, CBaseControl* other) {
    ControlEvent event;
    event.code = code;
    event.other = other;
    return CBaseControl::SendEvent(target, event);
}

} // namespace

CControlsManager::CControlsManager(Graphics::CGraphics* graphics)
    : m_pGraphics(graphics), m_pDrawing(std::make_unique<CStdControlsDrawing>(this)) {}

CControlsManager::~CControlsManager() {
    if (const Ref desktop = GetDesktop()) desktop->Destroy();
    m_pDrawing.reset();
    m_keyQueue.clear();
    m_timers.clear();
    m_posted.clear();
    m_pDesktop = nullptr;
    m_pFocusOwner = nullptr;
    m_pActiveMenu = nullptr;
    m_pHover = nullptr;
    m_pFocus = nullptr;
    m_pCapture = nullptr;
}

CBaseControl::Ref CControlsManager::GetDesktop() const { return m_pDesktop; }

bool CControlsManager::CreateDesktop(Graphics::CGraphics* graphics) {
    m_pGraphics = graphics;
    m_pDesktop = new CDesktop;
    m_pFocus = m_pDesktop;
    m_pActiveMenu = nullptr;
    const int32_t width = graphics ? graphics->GetParams().width : 0;
    const int32_t height = graphics ? graphics->GetParams().height : 0;
    m_pDesktop->Create(this, nullptr, 0, 0, width, height, CString(), CS_VISIBLE, -1);
    m_sysColors = kSysColors;
    m_timings = kTimings;
    m_focusRectColor = kFocusRectColor;
    m_metrics = kMetrics;
    return true;
}

uint32_t CControlsManager::GetSysColor(int index) const {
    return index >= 0 && index < kSysColorCount ? m_sysColors[size_t(index)] : 0;
}

uint32_t CControlsManager::GetModifierFlags() const {
    const auto& k = m_input.keys;
    uint32_t flags = 0;
    if (k[kLeftShift] || k[kRightShift]) flags |= MOD_SHIFT;
    if (k[kLeftAlt] || k[kRightAlt]) flags |= MOD_ALT;
    if (k[kLeftCtrl] || k[kRightCtrl]) flags |= MOD_CTRL;
    return flags;
}

// Input step

void CControlsManager::TakeSnapshot(const uint8_t* keys, const Input::CMouseState& mouse) {
    ControlsInputState& in = m_input;
    if (in.firstUpdate) {
        std::copy(keys, keys + 256, in.keys.begin());
        in.previousKeys = in.keys;
        in.keysPressed.fill(0);
        in.keysReleased.fill(0);
        in.previousButtons = in.buttons = mouse.buttons;
        in.previousPosition = in.position = {mouse.x, mouse.y};
        in.previousMotion = in.motion = {mouse.dx, mouse.dy};
        return;
    }
    in.previousKeys = in.keys;
    std::copy(keys, keys + 256, in.keys.begin());
    in.previousButtons = mouse.previousButtons;
    in.buttons = mouse.buttons;
    in.previousPosition = in.position;
    in.position = {mouse.x, mouse.y};
    in.previousMotion = in.motion;
    in.motion = {mouse.dx, mouse.dy};
    for (size_t i = 0; i < 256; ++i) {
        in.keysPressed[i] = in.keys[i] && !in.previousKeys[i];
        in.keysReleased[i] = !in.keys[i] && in.previousKeys[i];
    }
}

void CControlsManager::Update(const uint8_t* keys, const Input::CMouseState& mouse) {
    TakeSnapshot(keys, mouse);
    if (m_input.firstUpdate) {
        m_input.firstUpdate = 0;
        return;
    }
    if (const Ref target = ChooseKeyTarget()) FlushKeyQueue(target);
    for (size_t b = 0; b < 3; ++b) {
        m_input.buttonsPressed[b] = m_input.buttons[b] && !m_input.previousButtons[b];
        m_input.buttonsReleased[b] = !m_input.buttons[b] && m_input.previousButtons[b];
    }
    ProcessMouse();
    UpdateCursor();
}

bool CControlsManager::IsInsideActiveMenu(const CBaseControl* control) const {
    return !m_pActiveMenu || (control && control->IsDescendantOf(m_pActiveMenu.get()));
}

CBaseControl::Ref CControlsManager::ChooseKeyTarget() const {
    if (m_pCapture) return m_pCapture;
    if (m_pFocus && IsInsideActiveMenu(m_pFocus.get())) return m_pFocus;
    return nullptr;
}

CBaseControl::Ref CControlsManager::ControlFromPoint(int32_t x, int32_t y) const {
    return m_pDesktop ? m_pDesktop->ControlFromPoint(x, y) : nullptr;
}

void CControlsManager::PostMouseEvent(uint32_t code, const Ref& target, int32_t x, int32_t y) {
    const CRect window = target->ClientToScreen();
    ControlEvent event;
    event.code = code;
    event.x = x;
    event.y = y;
    event.flags = GetModifierFlags();
    event.hitTest = target->HitTest(m_input.position.x - window.left, m_input.position.y - window.top);
    PostEvent(event, target);
}

void CControlsManager::ProcessMouse() {
    const CPoint pos = m_input.position;
    const Ref under = ControlFromPoint(pos.x, pos.y);
    if (!under) return;
    if (!m_pCapture && !IsInsideActiveMenu(under.get())) return;
    if (!m_pCapture)
        SetHover(under);
    else
        SetHover(under == m_pCapture ? m_pCapture : nullptr);

    const auto isClient = [this, &pos](const CBaseControl& target) {
        return m_pCapture.get() == &target || Contains(ScreenClientRect(target), pos);
    };
    const bool anyReleased = std::any_of(m_input.buttonsReleased.begin(), m_input.buttonsReleased.end(), [](uint8_t b) { return b; });
    if (anyReleased && (under == m_pFocus || m_pCapture)) {
        const Ref target = m_pCapture ? m_pCapture : under;
        const bool client = isClient(*target);
        const CRect window = target->ClientToScreen();
        for (size_t b = 0; b < 3; ++b)
            if (m_input.buttonsReleased[b])
                PostMouseEvent(client ? kReleaseClient[b] : kReleaseFrame[b], target, pos.x - window.left,
                               pos.y - window.top);
    }
    const bool anyPressed = std::any_of(m_input.buttonsPressed.begin(), m_input.buttonsPressed.end(), [](uint8_t b) { return b; });
    if (anyPressed) {
        if (under != m_pFocus) SetFocus(under);
        const bool client = m_pCapture == under || Contains(ScreenClientRect(*under), pos);
        const CRect window = under->ClientToScreen();
        const CRect clientRect = ScreenClientRect(*under);
        for (size_t b = 0; b < 3; ++b) {
            if (!m_input.buttonsPressed[b]) continue;
            if (client)
                PostMouseEvent(kPressClient[b], under, pos.x - clientRect.left, pos.y - clientRect.top);
            else
                PostMouseEvent(kPressFrame[b], under, pos.x - window.left, pos.y - window.top);
        }
    }
    if (pos != m_input.previousPosition) {
        const Ref target = m_pCapture ? m_pCapture : under;
        if (isClient(*target)) {
            const CRect clientRect = ScreenClientRect(*target);
            PostMouseEvent(CE_MOUSE_MOVE, target, pos.x - clientRect.left, pos.y - clientRect.top);
        } else {
            const CRect window = target->ClientToScreen();
            PostMouseEvent(CE_NC_MOUSE_MOVE, target, pos.x - window.left, pos.y - window.top);
        }
    }
}

void CControlsManager::UpdateCursor() {
    for (Ref control = ControlFromPoint(m_input.position.x, m_input.position.y); control;
         control = control->GetParent()) {
        if (!control->HasStyle(CS_VISIBLE)) continue;
        ControlEvent event;
        event.code = CE_SET_CURSOR;
        if (CBaseControl::SendEvent(control, event)) return;
    }
}

// Per-step tick, timers and posted events

void CControlsManager::Tick(double time, double step) {
    if (m_bBlinkRestart) {
        m_blinkPhase = time;
        m_bBlinkRestart = false;
    }
    if (m_pFocusOwner) {
        const double period = m_timings[TIMING_BLINK_PERIOD];
        m_bFocusRectShown = period > 0.0 && std::fmod(time - m_blinkPhase, period) <= period * kBlinkOnShare;
    }
    UpdateTimers(time);
    DispatchPostedEvents();
    if (const Ref desktop = GetDesktop()) UpdateTree(*desktop, time, step);
}

void CControlsManager::UpdateTree(CBaseControl& control, double time, double step) {
    control.Update(time, step);
    std::vector<Ref> children;
    children.reserve(size_t(control.GetChildCount()));
    for (int32_t i = 0; i < control.GetChildCount(); ++i) children.push_back(control.GetChild(i));
    for (const Ref& child : children)
        if (!child->IsDestroyed()) UpdateTree(*child, time, step);
}

Engine::ref_ptr<CTimer> CControlsManager::AddTimer(Ref owner, double interval) {
    Engine::ref_ptr<CTimer> timer(new CTimer(this, std::move(owner), interval));
    m_timers.push_back(timer);
    return timer;
}

void CControlsManager::RemoveTimer(const CTimer* timer) {
    const auto found = std::find_if(m_timers.begin(), m_timers.end(), [timer](const auto& t) { return t.get() == timer; });
    if (found != m_timers.end()) m_timers.erase(found);
}

void CControlsManager::RemoveTimersOf(const CBaseControl* owner) {
    std::erase_if(m_timers, [owner](const auto& t) { return t->GetOwner().get() == owner; });
}

Engine::ref_ptr<CTimer> CControlsManager::GetTimer(int32_t index) const {
    if (index < 0 || index >= GetTimerCount()) return nullptr;
    return m_timers[size_t(index)];
}

void CControlsManager::UpdateTimers(double time) {
    // A handler may add or remove timers: walk a copy, skipping the removed.
    const std::vector<Engine::ref_ptr<CTimer>> timers = m_timers;
    for (const auto& timer : timers) {
        if (std::find(m_timers.begin(), m_timers.end(), timer) == m_timers.end()) continue;
        if (!timer->IsDue(time)) continue;
        ControlEvent event;
        event.code = CE_TIMER;
        event.timer = timer.get();
        CBaseControl::SendEvent(timer->GetOwner(), event);
    }
}

void CControlsManager::PostEvent(const ControlEvent& event, Ref target) {
    m_posted.push_back({event, std::move(target)});
    m_posted.back().event.target = m_posted.back().target.get();
}

void CControlsManager::DispatchPostedEvents() {
    while (!m_posted.empty()) {
        CPostedEvent posted = std::move(m_posted.front());
        m_posted.pop_front();
        if (!posted.target || posted.target->IsDestroyed()) continue;
        CBaseControl::SendEvent(posted.target, posted.event);
    }
}

void CControlsManager::PostKeyEvent(const KeyRecord& record) {
    while (m_keyQueue.size() >= kKeyQueueLimit) m_keyQueue.pop_front();
    m_keyQueue.push_back(record);
}

void CControlsManager::FlushKeyQueue(Ref target) {
    const uint32_t flags = GetModifierFlags();
    for (const KeyRecord& record : m_keyQueue) {
        ControlEvent event;
        switch (record.type) {
        case KeyRecord::KEY_DOWN: event.code = CE_KEY_DOWN; event.key = record.key; break;
        case KeyRecord::KEY_UP: event.code = CE_KEY_UP; event.key = record.key; break;
        case KeyRecord::CHARACTER: event.code = CE_CHAR; event.character = record.character; break;
        default: continue;
        }
        event.flags = flags;
        PostEvent(event, target);
    }
    m_keyQueue.clear();
}

// Capture, focus and hover

void CControlsManager::MoveHolder(Ref& holder, Ref control, uint32_t lostCode, uint32_t gainedCode) {
    if (control == holder) return;
    // The old holder still holds during its event.
    if (const Ref old = holder) SendWithOther(old, lostCode, control.get());
    holder = control;
    if (control) SendWithOther(control, gainedCode, control.get());
}

void CControlsManager::SetCapture(Ref control, bool cancel) {
    MoveHolder(m_pCapture, std::move(control), cancel ? CE_CAPTURE_CANCELLED : CE_CAPTURE_RELEASED, CE_SET_CAPTURE);
}

void CControlsManager::SetHover(Ref control) { MoveHolder(m_pHover, std::move(control), CE_MOUSE_LEAVE, CE_MOUSE_ENTER); }

bool CControlsManager::SetFocus(Ref control) {
    if (control == m_pFocus) return false;
    if (const Ref old = m_pFocus)
        if (!SendWithOther(old, CE_KILL_FOCUS, control.get())) return false;
    if (!control) {
        m_pFocus = nullptr;
        return true;
    }
    ControlEvent gained;
    gained.code = CE_SET_FOCUS;
    gained.other = control.get();
    if (CBaseControl::SendEvent(control, gained)) {
        // A handler may pass the focus on by naming another control.
        m_pFocus = gained.other;
        return true;
    }
    if (const Ref old = m_pFocus) SendWithOther(old, CE_SET_FOCUS, old.get());
    return false;
}

} // namespace Engine::Controls
