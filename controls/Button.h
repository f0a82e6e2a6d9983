#pragma once
// The push button, check box and radio button in one class, with optional
// auto-repeat, keyboard focus on hover and a default-button mark.

#include "controls/BaseControl.h"
#include "controls/Timer.h"

namespace Engine::Controls {

class CButton : public CBaseControl {
public:
    enum ButtonStyle : uint32_t {
        BS_AUTO_REPEAT = 0x01,
        BS_RADIO = 0x02,
        BS_CHECK = 0x04,
        BS_FOCUS_ON_HOVER = 0x08,
        BS_DEFAULT = 0x10,
    };

    ~CButton() noexcept(false) override;

    void ReadProperties() override;
    bool OnMouseEnter() override;
    bool OnMouseLeave() override;
    bool OnSetCursor() override;
    bool OnLButtonDown(int32_t x, int32_t y, uint32_t flags, uint32_t hit) override;
    bool OnLButtonUp(int32_t x, int32_t y, uint32_t flags, uint32_t hit) override;
    bool OnMouseMove(int32_t x, int32_t y, uint32_t flags, uint32_t hit) override;
    bool OnKeyUp(uint32_t key, uint32_t flags) override;
    bool OnChar(char16_t character, uint32_t flags) override;
    uint32_t GetDlgCode() override;
    void Draw(CRenderContext& context) override;
    bool HandleEvent(ControlEvent& event) override;

    // Checks a radio button in its group or toggles a check box, then sends
    // the parent a command.
    void Click();
    bool IsPressed() const { return m_bPressed; }
    bool IsChecked() const { return HasStyle(CS_CHECKED); }
    bool IsCheckable() const { return HasStyle(BS_CHECK | BS_RADIO); }
    void SetFrameControl(int type, uint32_t state) { m_frameControlType = type; m_frameControlState = state; }
    const Engine::ref_ptr<CTimer>& GetRepeatTimer() const { return m_pRepeatTimer; }

private:
    bool IsInert() const { return HasStyle(CS_DISABLED) || IsInputBlocked(); }
    void Press();
    void DropRepeatTimer();
    void DrawStandard(CRenderContext& context);

    Engine::ref_ptr<CTimer> m_pRepeatTimer;
    bool m_bKeyPressed = false;
    bool m_bPressed = false;
    int m_frameControlType = 0;
    uint32_t m_frameControlState = 0;
};

} // namespace Engine::Controls
