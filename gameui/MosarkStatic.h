#pragma once
// A text label of the game interface: its text in its font and colour,
// always word-wrapped, aligned by the static's style words, shifted by an
// offset, with optional line height and gap, and a fade of its own on top
// of the opacity. The owner assigns the fields.

#include "app/Geometry.h"
#include "controls/Static.h"
#include "gameui/MosarkBaseControl.h"

class CMosarkStatic : public Engine::Controls::CStatic, public CMosarkBaseControl {
public:
    void Update(double time, double step) override;
    void Draw(Engine::Controls::CRenderContext& context) override;

    // The placement flags of the style words: centred unless "top",
    // "bottom", "left" or "right" say otherwise (both of a pair: top or
    // left), always wrapped.
    uint32_t GetPlacementFlags() const;

    // Red, green and blue of the text; its alpha byte is not used.
    uint32_t m_nColor = 0xFFFFFFFFu;
    // Line height = font height + m_fLineHeightAdd.
    bool m_bLineHeight = false;
    float m_fLineHeightAdd = 0.0f;
    bool m_bReserved = false;
    bool m_bLineGap = false;
    int32_t m_nLineGap = 0;
    // While set, m_fFadeAlpha moves by m_fFadeSpeed per second within
    // 0..1 and scales the text's alpha.
    bool m_bFading = false;
    float m_fFadeAlpha = 1.0f;
    float m_fFadeSpeed = 0.0f;
    Engine::Geometry::CPoint m_ptTextOffset;
};
