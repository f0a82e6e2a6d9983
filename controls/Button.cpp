#include "controls/Button.h"

#include "controls/ControlDescription.h"
#include "controls/ControlsDrawing.h"
#include "controls/ControlsManager.h"
#include "controls/DrawSpriteAt.h"
#include "controls/RenderContext.h"
#include "graphics/SpriteRef.h"
#include "graphics/Text.h"

namespace Engine::Controls {

namespace {

constexpr ControlStyleWord kButtonWords[] = {
    {"auto_repeat", CButton::BS_AUTO_REPEAT}, {"radio", CButton::BS_RADIO},  {"check", CButton::BS_CHECK},
    {"focus_on_hover", CButton::BS_FOCUS_ON_HOVER}, {"default", CButton::BS_DEFAULT},
};

constexpr uint32_t kCheckFace = 0xFFC8D0D4;

} // namespace

CButton::~CButton() noexcept(false) { m_pRepeatTimer = nullptr; }

void CButton::ReadProperties() {
    CBaseControl::ReadProperties();
    ReadStyleWords(kButtonWords);
}

uint32_t CButton::GetDlgCode() {
    if (IsCheckable()) return 0x2040;
    return HasStyle(BS_DEFAULT) ? 0x2010 : 0x2020;
}

bool CButton::OnSetCursor() {
    if (m_pManager) m_pManager->SetCursor(HasStyle(CS_DISABLED) ? 1 : 12);
    return true;
}

void CButton::Click() {
    const Ref self(this);
    if (HasStyle(BS_RADIO)) {
        if (m_pParent) CheckRadioInGroup(*m_pParent);
    } else if (HasStyle(BS_CHECK)) {
        m_style ^= CS_CHECKED;
    }
    if (const Ref parent = m_pParent) SendCommand(parent, self, 0);
}

void CButton::DropRepeatTimer() {
    if (!m_pRepeatTimer) return;
    if (m_pManager) m_pManager->RemoveTimer(m_pRepeatTimer.get());
    m_pRepeatTimer = nullptr;
}

bool CButton::OnLButtonDown(int32_t, int32_t, uint32_t, uint32_t) {
    if (IsInert() || !m_pManager) return false;
    m_pManager->SetCaptureTo(this);
    m_bPressed = true;
    if (HasStyle(BS_AUTO_REPEAT)) {
        DropRepeatTimer();
        m_pRepeatTimer = m_pManager->AddTimer(this, m_pManager->GetTiming(TIMING_REPEAT_DELAY));
        Click();
    }
    return true;
}

bool CButton::OnLButtonUp(int32_t, int32_t, uint32_t, uint32_t) {
    if (IsInert() || !m_pManager) return false;
    const Ref self(this);
    if (m_bPressed && !HasStyle(BS_AUTO_REPEAT)) Click();
    m_bPressed = false;
    DropRepeatTimer();
    if (m_pManager->GetCapture() == this) m_pManager->ReleaseCapture();
    return true;
}

bool CButton::OnMouseLeave() {
    if (IsInert()) return false;
    if (m_pManager && m_pManager->GetCapture() == this) m_bPressed = false;
    return true;
}

bool CButton::OnMouseEnter() {
    if (IsInert()) return false;
    if (m_pManager && m_pManager->GetCapture() == this) {
        if (m_pRepeatTimer) {
            m_pRepeatTimer->SetInterval(m_pManager->GetTiming(TIMING_REPEAT_INTERVAL));
            m_pRepeatTimer->Rearm();
            Click();
        }
        m_bPressed = true;
    }
    return true;
}

bool CButton::OnMouseMove(int32_t, int32_t, uint32_t, uint32_t) {
    if (IsInert()) return false;
    if (HasStyle(BS_FOCUS_ON_HOVER) && m_pManager && !m_pManager->GetCapture() && m_pManager->GetHover())
        m_pManager->SetFocus(m_pManager->GetHover());
    return true;
}

void CButton::Press() {
    m_bKeyPressed = true;
    m_bPressed = true;
    if (m_pManager) m_pManager->SetCaptureTo(this);
    if (HasStyle(BS_AUTO_REPEAT)) Click();
}

bool CButton::OnChar(char16_t character, uint32_t) {
    if (IsInert() || (character != u'\r' && character != u' ')) return false;
    Press();
    return true;
}

bool CButton::OnKeyUp(uint32_t key, uint32_t) {
    if (IsInert() || (key != KEY_SPACE && key != KEY_RETURN) || !m_bKeyPressed) return false;
    const Ref self(this);
    m_bKeyPressed = false;
    m_bPressed = false;
    if (m_pManager && m_pManager->GetCapture() == this) m_pManager->ReleaseCapture();
    if (!HasStyle(BS_AUTO_REPEAT)) Click();
    return true;
}

bool CButton::HandleEvent(ControlEvent& event) {
    if (IsInert()) return CBaseControl::HandleEvent(event);
    switch (event.code) {
    case CE_TIMER:
        if (!m_pRepeatTimer || event.timer != m_pRepeatTimer.get()) break;
        if (m_pManager && m_pManager->GetHover() == this) {
            Click();
            if (m_pRepeatTimer) m_pRepeatTimer->SetInterval(m_pManager->GetTiming(TIMING_REPEAT_INTERVAL));
        }
        return true;
    case CE_CREATE:
    case CE_DESTROY:
        if (event.code == CE_DESTROY) DropRepeatTimer();
        return true;
    case CE_CHAR:
        if (event.key == KEY_SPACE || event.key == KEY_RETURN) {
            Press();
            return true;
        }
        break;
    default: break;
    }
    return CBaseControl::HandleEvent(event);
}

void CButton::Draw(CRenderContext& context) {
    const CRect r = m_clientRect;
    if (m_pDescription && m_pDescription->sprite) {
        Graphics::SprFile::CSpriteRef& sprite = *m_pDescription->sprite;
        int32_t frame = 0;
        if (IsCheckable()) {
            if (!IsChecked()) return;
        } else {
            frame = HasStyle(CS_DISABLED) ? 3 : m_bPressed ? 2 : HasFocus() ? 1 : 0;
        }
        if (frame >= sprite.GetSpriteFrameCount()) frame = 0;
        sprite.SetFrame(frame);
        context.EnableRenderSwitch3();
        DrawSpriteAt(*m_pDescription, context, 0.0f, 0.0f, 1.0f);
        context.Flush();
        return;
    }
    CControlsDrawing* drawing = m_pManager ? m_pManager->GetDrawing() : nullptr;
    if (m_frameControlType != 0) {
        CRect box = r;
        if (drawing)
            drawing->DrawFrameControl(&context, box, m_frameControlType,
                                      m_frameControlState | (m_bPressed ? uint32_t(CControlsDrawing::C_DFCS_PUSHED) : 0u));
        return;
    }
    DrawStandard(context);
}

void CButton::DrawStandard(CRenderContext& context) {
    using namespace Graphics;
    CControlsDrawing* drawing = m_pManager ? m_pManager->GetDrawing() : nullptr;
    const int32_t w = m_clientRect.Width(), h = m_clientRect.Height();
    const bool checkable = IsCheckable();
    const float offset = !checkable && (m_bPressed || IsChecked()) ? 1.0f : 0.0f;
    if (checkable)
        context.FillRect(0, 0, w, h, kCheckFace);
    else if (drawing)
        drawing->DrawButton(context, 0, 0, w, h, m_bPressed);
    context.EnableRenderSwitch3();
    const auto font = GetFont();
    if (font) CTextLayout::SetFont(context.GetText(), font);
    if (font && checkable) {
        uint32_t state = (IsChecked() ? uint32_t(CControlsDrawing::C_DFCS_CHECKED) : 0u) |
                         (m_bPressed ? uint32_t(CControlsDrawing::C_DFCS_INACTIVE) : 0u) |
                         (HasStyle(BS_RADIO) ? uint32_t(CControlsDrawing::C_DFCS_BUTTONRADIO) : 0u);
        CRect glyph{0, 0, 0, 0};
        if (drawing)
            drawing->DrawFrameControl(nullptr, glyph, CControlsDrawing::DFC_BUTTON,
                                      state | CControlsDrawing::C_DFCS_ADJUSTRECT);
        const int32_t gw = glyph.Width(), gh = glyph.Height();
        glyph = {0, (h - gh) / 2, gw, (h - gh) / 2 + gh};
        context.GetText().m_textColor = 0xFF000000;
        DrawText(context.GetText(), float(gw + gw / 2), float((h - font->GetHeight()) / 2), float(w), float(h), 1.0f,
                 1.0f, TEXT_ALIGN_LEFT, 0, m_text);
        if (drawing) drawing->DrawFrameControl(&context, glyph, CControlsDrawing::DFC_BUTTON, state);
    } else if (font) {
        context.GetText().m_textColor = 0xFF000000;
        DrawText(context.GetText(), offset, float((h - font->GetHeight()) / 2) + offset, float(w),
                 float(font->GetHeight()), 1.0f, 1.0f, TEXT_ALIGN_CENTER, 0, m_text);
    }
    context.Flush();
}

} // namespace Engine::Controls
