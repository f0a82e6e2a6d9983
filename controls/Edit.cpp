#include "controls/Edit.h"

#include <algorithm>

#include "app/Application.h"
#include "controls/ControlClipboard.h"
#include "controls/ControlText.h"
#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"
#include "graphics/Graphics.h"
#include "graphics/Text.h"

namespace Engine::Controls {

namespace {

constexpr float kTabWidth = 16.0f;

int32_t PrefixWidth(const Graphics::CFont& font, const CWString& text, int32_t count) {
    if (count <= 0) return 0;
    return int32_t(font.GetTextWidthW(text.c_str(), std::min(count, text.GetLength()), kTabWidth, 1.0f) + 0.0001f);
}

} // namespace

char16_t CEdit::FilterChar(char16_t character) const {
    if (character < 0x20) return 0;
    if (const auto font = GetFont(); font && !font->HasGlyph(character)) return 0;
    return character;
}

void CEdit::SetTextW(const CWString& text) { CBaseControl::SetText(WideToUtf8(text)); }

void CEdit::SetText(CString text) {
    m_selectionStart = m_selectionEnd = 0;
    CBaseControl::SetText(std::move(text));
    m_caret = GetTextW().GetLength();
    UpdateCaretRect(m_caret);
}

void CEdit::UpdateCaretRect(int32_t position) {
    const auto font = GetFont();
    if (!font) return;
    const int32_t x = PrefixWidth(*font, GetTextW(), position);
    const int32_t y = (m_clientRect.Height() - font->GetHeight()) / 2;
    SetFocusRect({x, y, x + 1, y + font->GetHeight()});
}

void CEdit::MoveCaret(int32_t position) {
    m_caret = position;
    UpdateCaretRect(m_caret);
}

CWString CEdit::GetSelectedText() const {
    return WideSubstring(GetTextW(), m_selectionStart, m_selectionEnd - m_selectionStart);
}

bool CEdit::DeleteSelection() {
    if (!HasSelection()) return false;
    CWString text = GetTextW();
    WideErase(text, m_selectionStart, m_selectionEnd - m_selectionStart);
    SetTextW(text);
    m_selectionEnd = m_selectionStart;
    MoveCaret(m_selectionStart);
    return true;
}

HWND CEdit::ClipboardOwner() const {
    Graphics::CGraphics* graphics = m_pManager ? m_pManager->GetGraphics() : nullptr;
    CApplication* application = graphics ? graphics->GetApplication() : nullptr;
    return application ? application->m_hWnd : nullptr;
}

bool CEdit::OnCopy() {
    SetClipboardText(ClipboardOwner(), GetSelectedText());
    return true;
}

bool CEdit::OnCut() {
    // A disabled or blocked box passes every event to the base, which would
    // still cut: its text stays as it is.
    if (HasStyle(CS_DISABLED) || IsInputBlocked()) return CBaseControl::OnCut();
    // The selection goes only once it is safe on the clipboard.
    if (SetClipboardText(ClipboardOwner(), GetSelectedText())) DeleteSelection();
    return true;
}

bool CEdit::OnPaste() {
    if (HasStyle(CS_DISABLED) || IsInputBlocked()) return CBaseControl::OnPaste();
    const CWString pasted = GetClipboardText(ClipboardOwner());
    // The limit counts the text as it will be once the selection is gone,
    // as typing does.
    const int32_t length = GetTextW().GetLength() - (m_selectionEnd - m_selectionStart);
    CWString accepted;
    for (int i = 0; i < pasted.GetLength(); ++i) {
        if (m_limit >= 0 && accepted.GetLength() + length >= m_limit) break;
        if (const char16_t c = FilterChar(pasted[i])) accepted.AppendChar(c);
    }
    if (DeleteSelection())
        m_selectionStart = std::max(m_selectionStart, 0);
    else
        m_selectionStart = m_selectionEnd = m_caret;
    CWString text = GetTextW();
    text.Insert(m_selectionStart, accepted);
    SetTextW(text);
    m_selectionStart = m_selectionEnd = m_selectionStart + accepted.GetLength();
    MoveCaret(m_selectionStart);
    return true;
}

bool CEdit::HandleKey(int32_t key, uint32_t flags, char16_t character) {
    if (m_pManager) m_pManager->RestartBlink();
    if (character >= 0x20) {
        DeleteSelection();
        CWString text = GetTextW();
        const char16_t c = FilterChar(character);
        if (c && (m_limit < 0 || text.GetLength() < m_limit)) {
            text.Insert(m_caret, CWString(&c, 1));
            SetTextW(text);
            MoveCaret(m_caret + 1);
        }
        m_selectionStart = m_selectionEnd = 0;
        return true;
    }
    CWString text = GetTextW();
    const int32_t length = text.GetLength();
    const bool shift = (flags & MOD_SHIFT) != 0;
    switch (key) {
    case KEY_BACKSPACE:
    case KEY_DELETE:
        if (DeleteSelection()) break;
        if (key == KEY_BACKSPACE && m_caret > 0) {
            MoveCaret(m_caret - 1);
            WideErase(text, m_caret, 1);
            SetTextW(text);
        } else if (key == KEY_DELETE && m_caret < length) {
            WideErase(text, m_caret, 1);
            SetTextW(text);
        }
        break;
    case KEY_HOME:
        if (m_caret > 0) MoveCaret(0);
        break;
    case KEY_END: MoveCaret(length); break;
    case KEY_LEFT:
        if (m_caret <= 0) return true;
        if (!shift) m_selectionStart = m_selectionEnd = 0;
        else if (!HasSelection()) SetSelection(m_caret - 1, m_caret);
        else if (m_selectionEnd == m_caret) --m_selectionEnd;
        else if (m_selectionStart == m_caret) --m_selectionStart;
        else SetSelection(m_caret - 1, m_caret);
        MoveCaret(m_caret - 1);
        return true;
    case KEY_RIGHT:
        if (m_caret >= length) return true;
        if (!shift) m_selectionStart = m_selectionEnd = 0;
        else if (!HasSelection()) SetSelection(m_caret, m_caret + 1);
        else if (m_selectionStart == m_caret) ++m_selectionStart;
        else if (m_selectionEnd == m_caret) ++m_selectionEnd;
        else SetSelection(m_caret, m_caret + 1);
        MoveCaret(m_caret + 1);
        return true;
    default: return false;
    }
    m_selectionStart = m_selectionEnd = 0;
    return true;
}

int32_t CEdit::IndexAt(int32_t x) const {
    const auto font = GetFont();
    const CWString text = GetTextW();
    int32_t width = 0, index = 0;
    for (; index < text.GetLength(); ++index) {
        const int32_t w = font->GetCharWidth(text[index]);
        if (width + w / 2 > x) break;
        width += w;
    }
    return index;
}

bool CEdit::HandleMouse(ControlEvent& event) {
    switch (event.code) {
    case CE_LBUTTON_DOWN: {
        if (!GetFont()) return true;
        const int32_t i = IndexAt(event.x);
        m_anchor = m_selectionStart = m_selectionEnd = i;
        MoveCaret(i);
        if (m_pManager) {
            m_pManager->RestartBlink();
            m_pManager->SetCaptureTo(this);
        }
        return true;
    }
    case CE_MOUSE_MOVE:
        if (!GetFont()) return true;
        if (m_pManager && m_pManager->GetCapture() == this) {
            const int32_t i = IndexAt(event.x);
            SetSelection(std::min(i, m_anchor), std::max(i, m_anchor));
            MoveCaret(i);
            m_pManager->RestartBlink();
        }
        break;
    case CE_LBUTTON_UP:
        if (m_pManager && m_pManager->GetCapture() == this) m_pManager->ReleaseCapture();
        break;
    case CE_CAPTURE_RELEASED:
    case CE_CAPTURE_CANCELLED: m_anchor = 0; break;
    case CE_SET_FOCUS: UpdateCaretRect(m_caret); break;
    case CE_SET_CURSOR:
        if (m_pManager) m_pManager->SetCursor(2);
        return true;
    case CE_KEY_DOWN:
    case CE_CHAR:
        // Keys the box used stop here, so the dialog does not act on them too.
        if (m_pManager && m_pManager->GetCapture() != this) {
            const bool character = event.code == CE_CHAR;
            if (HandleKey(character ? -1 : int32_t(event.key), event.flags, character ? event.character : 0))
                return true;
        }
        break;
    case CE_CREATE: MoveCaret(GetTextW().GetLength()); return true;
    default: break;
    }
    return CBaseControl::HandleEvent(event);
}

bool CEdit::HandleEvent(ControlEvent& event) {
    if (HasStyle(CS_DISABLED) || IsInputBlocked()) return CBaseControl::HandleEvent(event);
    return HandleMouse(event);
}

void CEdit::Draw(CRenderContext& context) {
    if (!m_pDescription) {
        context.FillRect(0, 0, m_clientRect.Width(), m_clientRect.Height(), 0xFFFFFFFF);
        context.Flush();
    }
    const auto font = GetFont();
    if (font) {
        Graphics::CTextLayout::SetFont(context.GetText(), font);
        context.EnableRenderSwitch3();
    }
    const int32_t y = font ? (m_clientRect.Height() - font->GetHeight()) / 2 : 0;
    if (font && HasSelection()) {
        const CWString text = GetTextW();
        const int32_t left = PrefixWidth(*font, text, m_selectionStart);
        context.FillRect(left, y, PrefixWidth(*font, text, m_selectionEnd) - left, font->GetHeight(),
                         GetSelectionColor());
    }
    if (font) {
        context.GetText().m_textColor = GetTextColor();
        Graphics::DrawText(context.GetText(), 0.0f, float(y), float(m_clientRect.Width()), float(font->GetHeight()),
                           1.0f, 1.0f, Graphics::TEXT_ALIGN_LEFT, 0, m_text);
    }
    context.Flush();
    context.DisableRenderSwitch3();
}

} // namespace Engine::Controls
