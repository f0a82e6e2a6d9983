#pragma once
// The second base of every game control: the opacity through which a game
// dialog fades itself and its game children, applied to all a control draws.

#include <cstdint>

class CMosarkBaseControl {
public:
    // The alpha byte of what the control draws: opacity x 255 x the
    // class's own factor, truncated toward zero (0.5 gives 127). Values
    // outside 0..255 are held at the bounds.
    uint32_t GetAlpha(float factor = 1.0f) const;

    float m_fOpacity = 1.0f;
    // The large dialog's last fade position; nothing reads it.
    float m_fFadePosition = 1.0f;
    uint32_t m_nReserved = 0;
};

// The colour (a, a, a, a): a sprite fading as a whole.
constexpr uint32_t GreyWithAlpha(uint32_t alpha) { return alpha * 0x01010101u; }
// The colour with its alpha byte replaced.
constexpr uint32_t WithAlpha(uint32_t color, uint32_t alpha) { return (alpha << 24) | (color & 0x00FFFFFFu); }
