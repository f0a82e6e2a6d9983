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
    CDrawContext() = default;
    // Draws whatever the pass left in the sprite queue.
    ~CDrawContext();
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    // Makes entry 1 of the value list the value, filling a shorter list
    // with -1 first.
    void SetSecondValue(float value);

    std::vector<CGlyphRecord> m_glyphs;
    uint8_t m_bCollectGlyphs = 0;  // append glyphs to m_glyphs instead of queueing them
    Engine::ref_ptr<CFont> m_pFont;
    float m_tabWidth = 16.0f;  // unscaled pixels
    uint32_t m_textColor = 0xFFFFFFFFu;
    float m_letterSpacing = 0.0f;  // on top of the font's own
    float m_lineSpacing = 0.0f;    // on top of the font's line gap
    float m_penX = 0.0f;
    float m_penY = 0.0f;
    float m_lineStartX = 0.0f;
    float m_fontHeight = 0.0f;
    std::vector<float> m_values;  // for other users of the context
    CSpriteQueue::CParams m_params;
    uint8_t m_bSnapToPixels = 1;  // centred and justified positions become whole pixels
    float m_extentX = 0.0f;       // right and bottom edge reached in measuring mode
    float m_extentY = 0.0f;
};

} // namespace Engine::Graphics
