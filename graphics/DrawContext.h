#pragma once
// The drawing context made on the stack for one drawing pass: the queue
// parameters every producer receives, and the text state (font, colour,
// spacings, pen) that text layout works on.

#include <cstdint>
#include <vector>

#include "app/Referenced.h"
#include "graphics/Font.h"
#include "graphics/SpriteQueue.h"

namespace Engine::Graphics {

// One positioned glyph, collected instead of queued.
struct CGlyphRecord {
    float x = 0.0f;  // glyph position minus the font's left padding
    float y = 0.0f;  // glyph position minus the font's top padding
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    const SprFile::CSpriteRef* sprite = nullptr;
    int32_t glyph = 0;
    char16_t character = 0;
    uint32_t color = 0;
    uint32_t flags = 0;  // ESpriteFlags of the queued record
};

class CDrawContext {
public:
    // Empty lists, parameters without offset or clip, then ResetText.
    CDrawContext() { ResetText(); }
    // Draws whatever the pass left in the sprite queue.
    ~CDrawContext();
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    // Text state back to its start: no font, opaque white, pen at the
    // origin, tab width 16, no extra spacing, glyphs queued and snapped to
    // pixels. The line start is left as it is.
    void ResetText();

    // Makes entry 1 of the value list the value, filling a shorter list
    // with -1 first.
    void SetSecondValue(float value);

    std::vector<CGlyphRecord> m_glyphs;
    // The text state, set by ResetText.
    uint8_t m_bCollectGlyphs;  // append glyphs to m_glyphs instead of queueing them
    Engine::ref_ptr<CFont> m_pFont;
    float m_tabWidth;  // unscaled pixels
    uint32_t m_textColor;
    float m_letterSpacing;  // on top of the font's own
    float m_lineSpacing;    // on top of the font's line gap
    float m_penX;
    float m_penY;
    float m_lineStartX = 0.0f;
    float m_fontHeight;
    std::vector<float> m_values;  // for other users of the context
    CSpriteQueue::CParams m_params;
    uint8_t m_bSnapToPixels;  // centred and justified positions become whole pixels
    float m_extentX = 0.0f;       // right and bottom edge reached in measuring mode
    float m_extentY = 0.0f;
};

} // namespace Engine::Graphics
