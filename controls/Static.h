#pragma once
// A text or a picture that takes no input.

#include "controls/BaseControl.h"

namespace Engine::Controls {

class CStatic : public CBaseControl {
public:
    enum StaticStyle : uint32_t {
        SS_TOP = 0x01,
        SS_BOTTOM = 0x02,
        SS_LEFT = 0x04,
        SS_RIGHT = 0x08,
        SS_WORDWRAP = 0x10,
        SS_MIDDLE = 0x20,
    };

    void ReadProperties() override;
    void Draw(CRenderContext& context) override;
    bool HandleEvent(ControlEvent& event) override;

    // The text placement flags of the style's alignment bits.
    uint32_t GetTextFlags() const;
    uint32_t GetTextColor() const { return m_textColor; }
    void SetTextColor(uint32_t color) { m_textColor = color; }
    // A negative frame leaves the sprite's frame as it is.
    void SetPictureFrame(int32_t frame) { m_pictureFrame = frame; }

protected:
    // Sets the control's font on the context's text layout, blending on,
    // in the colour given; false without a font.
    bool PrepareText(CRenderContext& context, uint32_t color) const;

    uint32_t m_textColor = 0xFF000000;
    int32_t m_pictureFrame = -1;
};

} // namespace Engine::Controls
