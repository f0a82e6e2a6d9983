#include "controls/Slider.h"

#include <algorithm>

#include "controls/ControlsDrawing.h"
#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"

namespace Engine::Controls {

namespace {

constexpr uint32_t kTrackColor = 0xFFE3E8E9;
constexpr int32_t kDefaultMetric = 16;

} // namespace

CSlider::CSlider() : m_pFirst(new CButton), m_pSecond(new CButton) {}

int32_t CSlider::ArrowLength() const {
    return m_pManager ? m_pManager->GetMetric(METRIC_SCROLLBAR_WIDTH) : kDefaultMetric;
}

int32_t CSlider::ThumbLength() const {
    return m_pManager ? m_pManager->GetMetric(METRIC_THUMB_LENGTH) : kDefaultMetric;
}

int32_t CSlider::GetTrackLength() const {
    const int32_t extent = IsVertical() ? m_clientRect.Height() : m_clientRect.Width();
    return extent - 2 * ArrowLength() - ThumbLength();
}

void CSlider::Initialize() {
    const bool vertical = IsVertical();
    m_pFirst->Create(m_pManager, this, 0, 0, 0, 0, CString(), CS_VISIBLE | CS_CHILD | CButton::BS_AUTO_REPEAT, -1);
    m_pSecond->Create(m_pManager, this, 0, 0, 0, 0, CString(), CS_VISIBLE | CS_CHILD | CButton::BS_AUTO_REPEAT, -1);
    m_pFirst->SetFrameControl(CControlsDrawing::DFC_SCROLL, vertical ? 0 : 2);
    m_pSecond->SetFrameControl(CControlsDrawing::DFC_SCROLL, vertical ? 1 : 3);
    PlaceButtons();
}

void CSlider::OnSize(int32_t, int32_t) { PlaceButtons(); }

void CSlider::PlaceButtons() {
    const int32_t w = m_clientRect.Width(), h = m_clientRect.Height();
    const int32_t l = ArrowLength();
    const int32_t t = m_pManager ? m_pManager->GetMetric(METRIC_ARROW_THICKNESS) : kDefaultMetric;
    if (IsVertical()) {
        const int32_t x = (w - t) / 2;
        m_pFirst->SetWindowRect(x, 0, x + t, l);
        m_pSecond->SetWindowRect(x, h - l, x + t, h);
    } else {
        const int32_t y = (h - t) / 2;
        m_pFirst->SetWindowRect(0, y, l, y + t);
        m_pSecond->SetWindowRect(w - l, y, w, y + t);
    }
}

uint32_t CSlider::HitTest(int32_t x, int32_t y) {
    const int32_t start = ArrowLength() + m_thumbOffset;
    const int32_t along = Along(x, y), across = IsVertical() ? x : y;
    const int32_t extentAcross = IsVertical() ? m_clientRect.Width() : m_clientRect.Height();
    if (along >= start && along < start + ThumbLength() && across >= 0 && across < extentAcross) return HIT_THUMB;
    return HIT_TRACK;
}

// A slider too short for a track still keeps its position (a short list
// scrolls by it); the thumb then stays at the start.
bool CSlider::SetPos(int32_t value) {
    const int32_t track = GetTrackLength();
    if (m_maximum <= m_minimum) return false;
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_position) return false;
    m_position = value;
    m_thumbOffset =
        track <= 0 ? 0
                   : int32_t(int64_t(track) * (m_position - int64_t(m_minimum)) / (int64_t(m_maximum) - m_minimum));
    return true;
}

bool CSlider::SetThumbOffset(int32_t offset) {
    const int32_t track = GetTrackLength();
    if (m_maximum <= m_minimum || track <= 0) return false;
    offset = std::clamp(offset, 0, track);
    if (offset == m_thumbOffset) return false;
    m_thumbOffset = offset;
    m_position = int32_t(m_minimum + (int64_t(m_maximum) - m_minimum) * offset / track);
    return true;
}

void CSlider::Notify() {
    if (const Ref parent = m_pParent) SendNotify(parent, this, 0);
}

bool CSlider::SetPosNotify(int32_t value) {
    if (!SetPos(value)) return false;
    Notify();
    return true;
}

bool CSlider::SetThumbOffsetNotify(int32_t offset) {
    if (!SetThumbOffset(offset)) return false;
    Notify();
    return true;
}

bool CSlider::HandleEvent(ControlEvent& event) {
    const int32_t l = ArrowLength();
    switch (event.code) {
    case CE_COMMAND:
        if (event.other == m_pFirst.get()) return SetPosNotify(m_position - m_lineStep), true;
        if (event.other == m_pSecond.get()) return SetPosNotify(m_position + m_lineStep), true;
        break;
    case CE_LBUTTON_DOWN:
        if (m_pManager) m_pManager->SetCaptureTo(this);
        m_bDragging = false;
        if (HitTest(event.x, event.y) == HIT_THUMB) {
            m_bDragging = true;
            m_grabOffset = Along(event.x, event.y) - l - m_thumbOffset;
        } else {
            SetThumbOffsetNotify(Along(event.x, event.y) - ThumbLength() / 2 - l);
            m_bDragging = true;
            m_grabOffset = ThumbLength() / 2;
        }
        break;
    case CE_MOUSE_MOVE:
        if (m_bDragging && m_pManager && m_pManager->GetCapture() == this)
            SetThumbOffsetNotify(Along(event.x, event.y) - l - m_grabOffset);
        break;
    case CE_LBUTTON_UP:
        m_bDragging = false;
        if (m_pManager && m_pManager->GetCapture() == this) m_pManager->ReleaseCapture();
        break;
    // Keys come as key-down events: character events carry no key code.
    case CE_KEY_DOWN:
        if (m_pManager && m_pManager->GetCapture()) break;
        switch (event.key) {
        case KEY_HOME: SetPosNotify(m_minimum); return true;
        case KEY_LEFT: SetPosNotify(m_position - m_lineStep); return true;
        case KEY_RIGHT: SetPosNotify(m_position + m_lineStep); return true;
        case KEY_END: SetPosNotify(m_maximum); return true;
        default: break;
        }
        break;
    default: break;
    }
    return CBaseControl::HandleEvent(event);
}

void CSlider::Draw(CRenderContext& context) {
    if (HasStyle(CS_VISIBLE)) {
        const int32_t w = m_clientRect.Width(), h = m_clientRect.Height();
        const int32_t l = ArrowLength(), thumb = ThumbLength(), start = l + m_thumbOffset;
        if (IsVertical())
            context.FillRect(0, l, w, h - 2 * l, kTrackColor);
        else
            context.FillRect(l, 0, w - 2 * l, h, kTrackColor);
        context.Flush();
        if (CControlsDrawing* drawing = m_pManager ? m_pManager->GetDrawing() : nullptr) {
            if (IsVertical())
                drawing->DrawButton(context, 0, start, w, start + thumb, false);
            else
                drawing->DrawButton(context, start, 0, start + thumb, h, false);
        }
        context.Flush();
    }
    DrawChildren(context);
}

} // namespace Engine::Controls
