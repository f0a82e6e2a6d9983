#pragma once
// Text layout and drawing: lines placed in a box with alignment, optional
// word wrap and justification, drawn glyph by glyph through the sprite
// queue with the font, colour and spacings of a drawing context.

#include <cstdint>

#include "app/String.h"
#include "graphics/DrawContext.h"

namespace Engine::Graphics {

// Layout flags of the text drawing operations.
enum ETextFlags : uint32_t {
    TEXT_ALIGN_MASK = 0x3,
    TEXT_ALIGN_LEFT = 0x0,
    TEXT_ALIGN_CENTER = 0x1,
    TEXT_ALIGN_RIGHT = 0x2,
    TEXT_VALIGN_MASK = 0x30,
    TEXT_VALIGN_BOTTOM = 0x10,
    TEXT_VALIGN_CENTER = 0x20,
    TEXT_WORD_WRAP = 0x40,
    TEXT_MEASURE = 0x100,  // nothing is drawn; the context's extent grows
    TEXT_JUSTIFY = 0x200,  // with word wrap: lines that end by wrapping fill the width
};

class CTextLayout {
public:
    // Stores the font in the context and caches its height.
    static void SetFont(CDrawContext& context, Engine::ref_ptr<CFont> font);
    // Lays out and draws a zero-terminated text in the box (x, y, width,
    // height). recordFlags (ESpriteFlags) go to every glyph record. A null
    // or empty text, or a context without a font, draws nothing. Only the
    // glyphs that can show are queued (PlacedText.h).
    static void DrawTextW(CDrawContext& context, float x, float y, const char16_t* text, float width, float height,
                          float scaleX, float scaleY, uint32_t flags, uint32_t recordFlags);
};

// UTF-8 forms of CTextLayout::DrawTextW. The layout of a text drawn again
// with the same inputs is not made again (TextLayoutCache.h).
void DrawText(CDrawContext& context, float x, float y, float width, float height, float scaleX, float scaleY,
              uint32_t flags, uint32_t recordFlags, const CString& text);
// One line centred in the width.
void DrawTextAt(CDrawContext& context, const CString& text, float x, float y, float width);
void DrawTextInRect(CDrawContext& context, const CString& text, uint32_t flags, uint32_t recordFlags, float left,
                    float top, float right, float bottom);

} // namespace Engine::Graphics
