#include "graphics/GlyphWindow.h"

#include <algorithm>
#include <cmath>

#include "graphics/DrawContext.h"
#include "graphics/Graphics.h"

namespace Engine::Graphics {

namespace {

// Rounding between the walk's sums and the window's differences is a few
// units in the last place of the largest coordinate; a couple of pixels
// more cost nothing. A glyph whose quad can show lies within the window's
// bounds and its reach, so theirs is the largest coordinate that counts:
// a glyph far off the screen, however far, cannot round onto it.
constexpr float kMarginPixels = 2.0f;
constexpr float kMarginRelative = 1.0f / 65536.0f;

bool IsPlainRecord(const CSpriteQueueItem& record, uint32_t recordFlags) {
    return record.angle == 0.0f && !record.centred && record.sourceWidth < 0.0f && record.sourceHeight < 0.0f &&
           !(recordFlags & SPRITE_SPLIT_MASK);
}

} // namespace

void CGlyphWindow::GlyphReach(const CFont& font, float reach[2]) {
    reach[0] = reach[1] = 0.0f;
    const SprFile::CSpriteDef* definition = font.GetGlyphSprite().GetDefinition();
    if (!definition) return;
    for (const SprFile::CSpriteFrame& frame : definition->frames) {
        double width = frame.width, height = frame.height, pieceWidths = 0.0, pieceHeights = 0.0;
        for (size_t i = 0; i < frame.GetPieceCount(); ++i) {
            const auto [w, h] = frame.GetPieceSize(i);
            pieceWidths += std::abs(double(w));
            pieceHeights += std::abs(double(h));
        }
        reach[0] = std::max(reach[0], float(std::max(width, pieceWidths)));
        reach[1] = std::max(reach[1], float(std::max(height, pieceHeights)));
    }
}

std::optional<CGlyphWindow> CGlyphWindow::Find(const CDrawContext& context, float scaleX, float scaleY,
                                               uint32_t recordFlags, const float reach[2]) {
    CGraphics* driver = CSpriteQueue::GetDriver();
    if (!driver || !driver->m_bTransform2DIdentity || !context.m_pFont) return std::nullopt;
    const CFont& font = *context.m_pFont;
    const SprFile::CSpriteRef& sprite = font.GetGlyphSprite();
    if (!sprite.GetDefinition() || !IsPlainRecord(sprite.GetTemplate(), recordFlags)) return std::nullopt;
    const CGraphicsParams& screen = driver->GetParams();
    if (screen.width <= 0 || screen.height <= 0) return std::nullopt;

    // The back buffer in record coordinates: a record moves by its
    // translation, the pass's offset and the driver's buffer offset.
    float bufferX = 0.0f, bufferY = 0.0f;
    driver->GetBufferOffset(&bufferX, &bufferY);
    const CSpriteQueueItem& record = sprite.GetTemplate();
    const CSpriteQueue::CParams& pass = context.m_params;
    const float shiftX = record.translateX + pass.offsetX + bufferX;
    const float shiftY = record.translateY + pass.offsetY + bufferY;
    float left = -shiftX, right = float(screen.width) - shiftX;
    float top = -shiftY, bottom = float(screen.height) - shiftY;
    // The clip cuts records before they move.
    if (pass.clipOverride && pass.clipWidth >= 0.0f && pass.clipHeight >= 0.0f) {
        left = std::max(left, pass.clipLeft);
        right = std::min(right, pass.clipLeft + pass.clipWidth);
        top = std::max(top, pass.clipTop);
        bottom = std::min(bottom, pass.clipTop + pass.clipHeight);
    }

    // A glyph's record sits at the pen plus the paddings; its quad reaches
    // at most the glyph's reach to either side.
    const float reachX = reach[0] * std::abs(scaleX), reachY = reach[1] * std::abs(scaleY);
    const float largest = std::max({std::abs(left), std::abs(right), std::abs(top), std::abs(bottom),
                                    reachX, reachY});
    const float margin = kMarginPixels + largest * kMarginRelative;
    const float padLeft = float(font.GetPaddingLeft()), padTop = float(font.GetPaddingTop());
    const CGlyphWindow window{left - padLeft - reachX - margin, right - padLeft + reachX + margin,
                              top - padTop - reachY - margin, bottom - padTop + reachY + margin};
    const float sum = window.left + window.right + window.top + window.bottom;
    if (!std::isfinite(sum)) return std::nullopt;
    return window;
}

} // namespace Engine::Graphics
