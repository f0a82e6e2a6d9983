#pragma once
// The pen positions at which a glyph can show: its quad may touch the back
// buffer, and the pass's clip rectangle when that is on. Glyphs outside need
// not be queued; the window is wide enough that rounding never leaves out
// one that shows.

#include <cstdint>
#include <optional>

namespace Engine::Graphics {

class CDrawContext;
class CFont;

struct CGlyphWindow {
    float left, right, top, bottom;  // pen x and y, inclusive

    bool ContainsX(float x) const { return x >= left && x <= right; }

    // Null when every glyph has to be queued: no driver or back buffer to
    // measure against, a 2D transform, or records that turn, centre, cut
    // their source or split into tiles. reach is how far a glyph's quad
    // may extend from its corner, unscaled (GlyphReach).
    static std::optional<CGlyphWindow> Find(const CDrawContext& context, float scaleX, float scaleY,
                                            uint32_t recordFlags, const float reach[2]);
    // The widest and tallest any glyph of the font can draw: for each frame
    // the larger of its size and the sum of its pieces' sizes.
    static void GlyphReach(const CFont& font, float reach[2]);
};

} // namespace Engine::Graphics
