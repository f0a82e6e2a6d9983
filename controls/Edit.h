#pragma once
// The single-line text entry box: caret, selection by mouse or Shift with
// the arrows, a length limit, a character filter and clipboard copy, cut
// and paste. The text stays UTF-8; editing works on its UTF-16 form, and
// every position counts UTF-16 units.

#include "controls/BaseControl.h"
#include "platform/WinTypes.h"

namespace Engine::Controls {

class CEdit : public CBaseControl {
public:
    bool OnCopy() override;
    bool OnPaste() override;
    bool OnCut() override;
    void SetText(CString text) override;
    void Draw(CRenderContext& context) override;
    bool HandleEvent(ControlEvent& event) override;

    virtual uint32_t GetTextColor() const { return 0xFF000000; }
    virtual uint32_t GetSelectionColor() const { return 0xFFC56A31; }
    // The character to insert, or 0 to refuse it.
    virtual char16_t FilterChar(char16_t character) const;

    // The key routine: key codes come with character 0, characters with
    // key -1. True when the key or character was used.
    bool HandleKey(int32_t key, uint32_t flags, char16_t character);

    CWString GetSelectedText() const;
    // Removes the selected text and puts the caret where it began; false,
    // changing nothing, when the selection is empty.
    bool DeleteSelection();
    // Stores the text and keeps caret and selection, which SetText resets.
    void SetTextW(const CWString& text);

    int32_t GetCaret() const { return m_caret; }
    int32_t GetSelectionStart() const { return m_selectionStart; }
    int32_t GetSelectionEnd() const { return m_selectionEnd; }
    void SetSelection(int32_t start, int32_t end) { m_selectionStart = start; m_selectionEnd = end; }
    // Negative: no limit.
    void SetLimit(int32_t limit) { m_limit = limit; }

private:
    bool HasSelection() const { return m_selectionStart != m_selectionEnd; }
    void UpdateCaretRect(int32_t position);
    void MoveCaret(int32_t position);
    int32_t IndexAt(int32_t x) const;
    HWND ClipboardOwner() const;
    bool HandleMouse(ControlEvent& event);

    int32_t m_caret = 0;
    int32_t m_limit = -1;
    int32_t m_selectionStart = 0;
    int32_t m_selectionEnd = 0;
    int32_t m_anchor = 0;
};

} // namespace Engine::Controls
