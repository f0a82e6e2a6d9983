#pragma once
// A text laid out once: every glyph with the pen position the layout's walk
// gave it, line by line. Drawing it again queues only the glyphs that can
// show, found by bisection over the lines' y and over each line's x, at the
// very positions the walk computed, so a picture does not change; measuring
// takes the extent kept here and collecting lists every glyph.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "app/FrameQuitWatch.h"

namespace Engine::Graphics {

// Takes room for n elements, each KiB of it counted as a unit of work:
// taking room costs more the more is taken, and a look follows a large one.
// True once a quit has stopped the frame.
template <class Container>
bool ReserveCounted(Container& container, size_t n, Engine::CQuitCountdown& work) {
    container.reserve(n);
    return work.Count(int64_t(n * sizeof(typename Container::value_type) >> 10));
}

class CDrawContext;
class CFont;
struct CGlyphWindow;

class CPlacedText {
public:
    // What a text that converts to nothing leaves: it draws nothing and
    // leaves the context as it was.
    static CPlacedText Blank() {
        CPlacedText blank;
        blank.m_blank = true;
        return blank;
    }
    bool IsBlank() const { return m_blank; }

    // Room for what the layout will add, taken before it begins: growing
    // as it goes would copy every glyph kept so far in one step. False
    // when a quit stopped the frame.
    bool Reserve(size_t glyphs, size_t lines, Engine::CQuitCountdown& work);
    // Filled by the layout, in drawing order.
    void BeginLine(float y);
    void AddGlyph(float x, int32_t glyph, char16_t character);
    // After the last glyph: the scales, the pen where the layout left it,
    // and whether the layout truncated the font's letter spacing. Each line
    // and glyph gone through counts on `work`; false when a quit stopped the
    // frame first, and the text is then not to be drawn.
    bool Finish(const CFont& font, float scaleX, float scaleY, float penX, float penY, bool truncatesSpacing,
                Engine::CQuitCountdown& work);

    // Draws as the layout's walk would: queued (only what can show),
    // measured (TEXT_MEASURE) or collected, by the flags and the context.
    void Draw(CDrawContext& context, uint32_t flags, uint32_t recordFlags) const;

    float GetPenX() const { return m_penX; }
    float GetPenY() const { return m_penY; }
    bool TruncatesSpacing() const { return m_truncatesSpacing; }
    size_t GetGlyphCount() const { return m_x.size(); }
    size_t GetMemoryBytes() const;

private:
    struct CLine {
        float y;
        uint32_t first, end;  // glyph indexes
    };

    void Measure(CDrawContext& context) const;
    void Collect(CDrawContext& context, uint32_t recordFlags) const;
    void Queue(CDrawContext& context, uint32_t recordFlags) const;
    void QueueLines(CDrawContext& context, uint32_t recordFlags, const CGlyphWindow& window) const;
    void QueueGlyph(CDrawContext& context, uint32_t recordFlags, uint32_t index, float y) const;
    // The lines whose y lies in [top, bottom].
    std::pair<size_t, size_t> LinesBetween(float top, float bottom) const;
    // The glyphs of the line that may lie in [left, right].
    std::pair<uint32_t, uint32_t> GlyphsBetween(const CLine& line, float left, float right) const;

    std::vector<float> m_x;
    std::vector<int32_t> m_glyph;
    std::vector<char16_t> m_character;
    std::vector<CLine> m_lines;
    // Only when some line's x falls back (negative spacing or kerning): the
    // largest x up to each glyph and the smallest from it on, which rise
    // as a line goes and so can be bisected.
    std::vector<float> m_runningMax, m_runningMin;
    bool m_linesRise = true;   // the lines' y never fall
    bool m_finite = true;      // every position is a finite number
    float m_reach[2] = {};     // of the font's glyphs
    float m_extentX = 0.0f, m_extentY = 0.0f;  // what measuring gives; -inf without glyphs
    float m_scaleX = 1.0f, m_scaleY = 1.0f;
    float m_penX = 0.0f, m_penY = 0.0f;
    bool m_truncatesSpacing = false;
    bool m_blank = false;
};

} // namespace Engine::Graphics
