#pragma once
// The scroll bar and slider: a track between two auto-repeat arrow buttons
// and a thumb that is dragged, clicked into place or moved with the keys.
// Every change of position notifies the parent chain.

#include "controls/BaseControl.h"
#include "controls/Button.h"

namespace Engine::Controls {

class CSlider : public CBaseControl {
public:
    enum SliderStyle : uint32_t { SBS_VERTICAL = 0x1 };
    enum SliderHit : uint32_t { HIT_THUMB = 11, HIT_TRACK = 12 };

    CSlider();

    void Initialize() override;
    void Draw(CRenderContext& context) override;
    // (x, y) in client coordinates.
    uint32_t HitTest(int32_t x, int32_t y) override;
    void OnSize(int32_t width, int32_t height) override;
    bool HandleEvent(ControlEvent& event) override;

    // Each reports whether the position or offset changed; an empty range
    // changes nothing, nor does an offset on a track without length.
    bool SetPos(int32_t value);
    bool SetThumbOffset(int32_t offset);
    bool SetPosNotify(int32_t value);
    bool SetThumbOffsetNotify(int32_t offset);
    void SetRange(int32_t minimum, int32_t maximum) { m_minimum = minimum; m_maximum = maximum; }
    void SetLineStep(int32_t step) { m_lineStep = step; }

    int32_t GetPos() const { return m_position; }
    int32_t GetMinimum() const { return m_minimum; }
    int32_t GetMaximum() const { return m_maximum; }
    int32_t GetThumbOffset() const { return m_thumbOffset; }
    int32_t GetTrackLength() const;
    const Engine::ref_ptr<CButton>& GetFirstButton() const { return m_pFirst; }
    const Engine::ref_ptr<CButton>& GetSecondButton() const { return m_pSecond; }

private:
    bool IsVertical() const { return HasStyle(SBS_VERTICAL); }
    int32_t Along(int32_t x, int32_t y) const { return IsVertical() ? y : x; }
    int32_t ArrowLength() const;
    int32_t ThumbLength() const;
    void PlaceButtons();
    void Notify();

    int32_t m_minimum = 0;
    int32_t m_maximum = 100;
    int32_t m_position = 0;
    int32_t m_thumbOffset = 0;
    bool m_bDragging = false;
    int32_t m_grabOffset = 0;
    int32_t m_lineStep = 1;
    int32_t m_pageStep = 10;
    Engine::ref_ptr<CButton> m_pFirst;
    Engine::ref_ptr<CButton> m_pSecond;
};

} // namespace Engine::Controls
