#pragma once
// A bar filled in proportion to a value within a range, drawn from the
// description's sprite: with two frames the filled part from frame 0 and the
// rest from frame 1, with one frame only the filled part.

#include "controls/BaseControl.h"

namespace Engine::Controls {

class CProgressBar : public CBaseControl {
public:
    void Draw(CRenderContext& context) override;

    void SetRange(int32_t minimum, int32_t maximum) { m_minimum = minimum; m_maximum = maximum; }
    void SetPos(int32_t value) { m_value = value; }
    int32_t GetPos() const { return m_value; }

private:
    friend int32_t GetProgressFillWidth(const CProgressBar& bar, int32_t width);

    int32_t m_minimum = 0;
    int32_t m_maximum = 100;
    int32_t m_value = 0;
};

// The filled width of a bar w pixels wide; w itself for an empty range.
// Not clamped: a value outside the range gives a width outside 0..w.
int32_t GetProgressFillWidth(const CProgressBar& bar, int32_t width);

} // namespace Engine::Controls
