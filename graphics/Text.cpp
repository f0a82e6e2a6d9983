#include "graphics/Text.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/FrameQuitWatch.h"
#include "graphics/Graphics.h"
#include "graphics/PlacedText.h"
#include "graphics/SpriteRef.h"
#include "graphics/TextLayoutCache.h"
#include "platform/Unicode.h"

namespace Engine::Graphics {

namespace {

// Thrown inside a layout once a quit has stopped the frame; the layout is
// then dropped.
struct CLayoutCut {};

// Characters measured, and bytes converted, between two counts of the
// frame's work.
constexpr int32_t kMeasurePiece = 1024;
constexpr size_t kConvertPiece = 4096;

bool IsLineBreak(char16_t ch) { return ch == u'\n' || ch == u'\r'; }
bool IsWordEnd(char16_t ch) { return ch == 0 || ch == u' ' || ch == u'\t' || IsLineBreak(ch); }

// A word with the white space before it.
struct CToken {
    float space = 0.0f;  // width of the white space before the word
    const char16_t* word = nullptr;
    int32_t length = 0;
    float width = 0.0f;
    bool paragraph = false;  // a line break came before the word
};

struct CPlacedWord {
    const char16_t* chars;
    int32_t length;
    float x;  // relative to the line start
    float width;
};

struct CLine {
    size_t first = 0;
    size_t count = 0;
    bool wrapped = false;  // ended by wrapping, not by a line break or the end
};

// What a text holds, found before the layout's walk so that the walk's
// vectors take their room at once: a vector that grows as it goes copies
// all it holds in one step, and that step grows with the text.
struct CTextCounts {
    size_t characters = 0;
    size_t lineBreaks = 0;   // '\n'
    size_t tabs = 0;
    size_t filledLines = 0;  // between '\n's, with a character
    size_t wordCharacters = 0;
    // At least the tokens: each after the first starts at a word end that
    // no space or tab comes before.
    size_t tokens = 1;
};

// Lays a text out into a CPlacedText with the context's font and spacings,
// the scales and the flags. The context's pen moves as the layout goes and
// is left where the last line ended. Every character, glyph, word and line
// the layout goes through counts one unit of the frame's work; once a quit
// stops the frame the layout throws CLayoutCut.
class CTextWriter {
public:
    CTextWriter(CDrawContext& context, float scaleX, float scaleY, uint32_t flags, CPlacedText& placed,
                Engine::CQuitCountdown& work)
        : m_ctx(context), m_font(*context.m_pFont), m_scaleX(scaleX), m_scaleY(scaleY), m_flags(flags),
          m_placed(placed), m_work(work) {}

    void LayOutPlain(float x, float y, const char16_t* text, float width, float height);
    void LayOutWrapped(float x, float y, const char16_t* text, float width, float height);
    // Hands the placed text the scales and where the pen was left; false
    // when a quit cut it.
    bool Finish() {
        return m_placed.Finish(m_font, m_scaleX, m_scaleY, m_ctx.m_penX, m_ctx.m_penY, m_truncatedSpacing, m_work);
    }

private:
    void Count(int64_t units) const {
        if (m_work.Count(units)) throw CLayoutCut{};
    }
    float LineAdvance() const {
        return (m_font.GetLineGap() + m_ctx.m_fontHeight + m_ctx.m_lineSpacing) * m_scaleY;
    }
    void AlignVertically(float y, float height, size_t lines);
    float AlignedX(uint32_t alignment, float width, float lineWidth) const;
    float Snap(float value) const { return m_ctx.m_bSnapToPixels ? std::floor(value) : value; }
    float MeasurePlainLine(const char16_t* chars, int32_t count);
    bool AlignsByWidth() const {
        const uint32_t alignment = m_flags & TEXT_ALIGN_MASK;
        return alignment == TEXT_ALIGN_CENTER || alignment == TEXT_ALIGN_RIGHT;
    }
    CTextCounts CountText(const char16_t* text) const;
    const char16_t* LineEnd(const char16_t* line) const;
    float GlyphAdvance(int32_t glyph) const;
    CToken NextToken(const char16_t*& p, float spaceWidth) const;
    // The text's words, placed on lines of the width; `tokens` is at least
    // their count.
    std::vector<CLine> Place(const char16_t* text, size_t tokens, float width, std::vector<CPlacedWord>& words) const;
    void Justify(const CLine& line, float width, std::vector<CPlacedWord>& words) const;
    void PlaceRun(float x, const char16_t* chars, int32_t count);

    CDrawContext& m_ctx;
    CFont& m_font;
    float m_scaleX;
    float m_scaleY;
    uint32_t m_flags;
    CPlacedText& m_placed;
    Engine::CQuitCountdown& m_work;
    bool m_truncatedSpacing = false;
    // Kept until the layout ends: letting go of them takes time that grows
    // with the text, and they then go after its last count.
    std::vector<CPlacedWord> m_words;
    std::vector<CLine> m_lines;
};

void CTextWriter::AlignVertically(float y, float height, size_t lines) {
    const float n = float(lines);
    const float textHeight =
        (m_ctx.m_fontHeight * n + (m_font.GetLineGap() + m_ctx.m_lineSpacing) * (n - 1.0f)) * m_scaleY;
    switch (m_flags & TEXT_VALIGN_MASK) {
    case 0: m_ctx.m_penY = y; break;
    case TEXT_VALIGN_BOTTOM: m_ctx.m_penY = y + (height - textHeight); break;
    default: m_ctx.m_penY = y + std::floor((height - textHeight) * 0.5f); break;
    }
}

// Any alignment value other than centred or right starts at the line
// start; with justification that holds for every line.
float CTextWriter::AlignedX(uint32_t alignment, float width, float lineWidth) const {
    switch (alignment) {
    case TEXT_ALIGN_CENTER: return Snap(m_ctx.m_lineStartX + (width - lineWidth) * 0.5f);
    case TEXT_ALIGN_RIGHT: return m_ctx.m_lineStartX + width - lineWidth;
    default: return m_ctx.m_lineStartX;
    }
}

// The font's own spacing counts in whole pixels here; the font keeps the
// truncated value afterwards. A line that starts at the line start whatever
// its width is not walked for it.
float CTextWriter::MeasurePlainLine(const char16_t* chars, int32_t count) {
    const float own = std::trunc(m_font.GetLetterSpacing());
    m_truncatedSpacing = true;
    CFont::CWidthWalk walk;
    if (AlignsByWidth()) {
        m_font.SetLetterSpacing(own + m_ctx.m_letterSpacing);
        for (int32_t done = 0; done < count; done += kMeasurePiece) {
            const int32_t piece = std::min(kMeasurePiece, count - done);
            Count(piece);
            m_font.WalkTextWidthW(walk, chars + done, piece, m_ctx.m_tabWidth, m_scaleX);
        }
    }
    m_font.SetLetterSpacing(own);
    return walk.total;
}

// Each character counts once a piece of them has been gone through.
CTextCounts CTextWriter::CountText(const char16_t* text) const {
    CTextCounts counts;
    char16_t previous = u'\n';
    int32_t piece = 0;
    for (const char16_t* p = text; *p; previous = *p++) {
        if (++piece == kMeasurePiece) {
            Count(piece);
            piece = 0;
        }
        const char16_t ch = *p;
        ++counts.characters;
        counts.lineBreaks += ch == u'\n';
        counts.tabs += ch == u'\t';
        counts.filledLines += previous == u'\n' && ch != u'\n';
        counts.wordCharacters += !IsWordEnd(ch);
        counts.tokens += IsWordEnd(ch) && previous != u' ' && previous != u'\t';
    }
    return counts;
}

const char16_t* CTextWriter::LineEnd(const char16_t* line) const {
    int32_t piece = 0;
    for (; *line && *line != u'\n'; ++line)
        if (++piece == kMeasurePiece) {
            Count(piece);
            piece = 0;
        }
    return line;
}

void CTextWriter::LayOutPlain(float x, float y, const char16_t* text, float width, float height) {
    const CTextCounts counts = CountText(text);
    // Every character but line breaks and tabs is a glyph.
    if (!m_placed.Reserve(counts.characters - counts.lineBreaks - counts.tabs, counts.filledLines, m_work))
        throw CLayoutCut{};
    if (m_flags & TEXT_VALIGN_MASK) {
        AlignVertically(y, height, 1 + counts.lineBreaks);
        m_ctx.m_lineStartX = m_ctx.m_penX = x;
    }
    for (const char16_t* line = text;;) {
        Count(1);
        const char16_t* end = LineEnd(line);
        const int32_t count = int32_t(end - line);
        if (count > 0) {
            m_ctx.m_penX = AlignedX(m_flags & TEXT_ALIGN_MASK, width, MeasurePlainLine(line, count));
            m_placed.BeginLine(m_ctx.m_penY);
            PlaceRun(m_ctx.m_penX, line, count);
        }
        if (!*end) break;
        m_ctx.m_penY += LineAdvance();
        m_ctx.m_penX = m_ctx.m_lineStartX;
        line = end + 1;
    }
}

float CTextWriter::GlyphAdvance(int32_t glyph) const {
    if (glyph < 0) return 0.0f;
    return float(m_font.GetGlyphSprite().GetSpriteFrameWidth(glyph) + m_font.GetPaddingLeft() +
                 m_font.GetPaddingRight());
}

// The word at p with the white space before it; p is left after the word.
CToken CTextWriter::NextToken(const char16_t*& p, float spaceWidth) const {
    CToken token;
    for (; *p == u' ' || *p == u'\t'; ++p) {
        Count(1);
        token.space += *p == u'\t' ? m_ctx.m_tabWidth * m_scaleX : spaceWidth;
    }
    if (IsLineBreak(*p)) {
        token.paragraph = true;
        if (*p++ == u'\r' && *p == u'\n') ++p;
    }
    token.word = p;
    char16_t previous = 0;
    for (; !IsWordEnd(*p); ++p) {
        Count(1);
        const float kerning = float(m_font.GetKerning(previous, *p));
        token.width += (GlyphAdvance(m_font.FindGlyph(*p)) + m_font.GetLetterSpacing() + kerning +
                        m_ctx.m_letterSpacing) * m_scaleX;
        previous = *p;
    }
    // White space at the end is a pair with an empty word: it can wrap
    // the line before it like any other.
    token.length = int32_t(p - token.word);
    return token;
}

std::vector<CLine> CTextWriter::Place(const char16_t* text, size_t tokens, float width,
                                      std::vector<CPlacedWord>& words) const {
    const float spacing = m_font.GetLetterSpacing() + m_ctx.m_letterSpacing;
    const float spaceWidth = (GlyphAdvance(m_font.FindGlyph(u' ')) + spacing) * m_scaleX;
    // A word for each token, and a line at most for each and the first.
    std::vector<CLine> lines;
    if (ReserveCounted(words, tokens, m_work) || ReserveCounted(lines, tokens + 1, m_work)) throw CLayoutCut{};
    lines.emplace_back();
    float penX = m_ctx.m_lineStartX;
    for (const char16_t* p = text; *p;) {
        const CToken token = NextToken(p, spaceWidth);
        Count(1);
        const bool wrap = !token.paragraph && lines.back().count > 0 &&
                          penX + token.space + token.width > m_ctx.m_lineStartX + width;
        if (token.paragraph || wrap) {
            lines.back().wrapped = wrap;
            lines.push_back({words.size(), 0, false});
            penX = m_ctx.m_lineStartX;
        }
        const float gap = lines.back().count == 0 ? 0.0f : token.space;
        words.push_back({token.word, token.length, penX + gap - m_ctx.m_lineStartX, token.width});
        penX += gap + token.width;
        ++lines.back().count;
    }
    return lines;
}

void CTextWriter::Justify(const CLine& line, float width, std::vector<CPlacedWord>& words) const {
    float total = 0.0f;
    for (size_t i = line.first; i < line.first + line.count; ++i) {
        Count(1);
        total += words[i].width;
    }
    const float gap = (width - total) / float(line.count - 1);
    for (size_t i = line.first + 1; i < line.first + line.count; ++i) {
        Count(1);
        words[i].x = Snap(words[i - 1].x + words[i - 1].width + gap);
    }
}

void CTextWriter::LayOutWrapped(float x, float y, const char16_t* text, float width, float height) {
    const CTextCounts counts = CountText(text);
    m_lines = Place(text, counts.tokens, width, m_words);
    std::vector<CPlacedWord>& words = m_words;
    // Only the first line can be without a word; the words' characters are
    // the glyphs.
    if (!m_placed.Reserve(counts.wordCharacters, m_lines.size() - (m_lines.front().count == 0), m_work))
        throw CLayoutCut{};
    AlignVertically(y, height, m_lines.size());
    m_ctx.m_lineStartX = m_ctx.m_penX = x;
    for (const CLine& line : m_lines) {
        Count(1);
        if (line.count > 0) {
            if ((m_flags & TEXT_JUSTIFY) && line.count > 1 && line.wrapped) Justify(line, width, words);
            const CPlacedWord& last = words[line.first + line.count - 1];
            // Alignment uses the line's full extent, from the first word's
            // left edge to the last word's right edge.
            const float lineWidth = last.x + last.width - words[line.first].x;
            m_ctx.m_penX = AlignedX(m_flags & (TEXT_ALIGN_MASK | TEXT_JUSTIFY), width, lineWidth);
            m_placed.BeginLine(m_ctx.m_penY);
            for (size_t i = line.first; i < line.first + line.count; ++i) {
                Count(1);
                PlaceRun(m_ctx.m_penX + words[i].x, words[i].chars, words[i].length);
            }
        }
        m_ctx.m_penY += LineAdvance();
        m_ctx.m_penX = m_ctx.m_lineStartX;
    }
}

// The walk along a run of characters: each glyph's x is the sum, in this
// order, of the advances, kerning and spacings before it.
void CTextWriter::PlaceRun(float x, const char16_t* chars, int32_t count) {
    int32_t run = 0;
    char16_t previous = 0;
    for (int32_t i = 0; i < count; ++i) {
        Count(1);
        const char16_t ch = chars[i];
        float advance = m_ctx.m_tabWidth;  // tabs are not scaled
        if (ch == u'\t') {
            run = 0;
        } else {
            if (++run > 1)
                x += float(m_font.GetKerning(previous, ch)) + m_font.GetLetterSpacing() + m_ctx.m_letterSpacing;
            const int32_t glyph = m_font.FindGlyph(ch);
            advance = GlyphAdvance(glyph) * m_scaleX;
            m_placed.AddGlyph(x, glyph, ch);
        }
        x += advance;
        previous = ch;
    }
}

// The drawing's count of the frame's work, so that a quit cuts a layout as
// it cuts the rest of the drawing; without a driver nothing stops it.
Engine::CQuitCountdown& DrawingCountdown() {
    thread_local Engine::CQuitCountdown unwatched;
    CGraphics* driver = CSpriteQueue::GetDriver();
    return driver ? driver->GetDrawingCountdown() : unwatched;
}

// The text's UTF-16 form, as Utf8ToWide gives it, converted a piece at a
// time with each byte counted as work; none once a quit stops the frame.
// A piece ends before a byte that does not continue a sequence, so that no
// sequence is cut: an invalid one there decodes as in the whole text.
std::optional<std::u16string> ToUtf16(const CString& text, Engine::CQuitCountdown& work) {
    const std::string_view bytes = text.view();
    std::u16string wide;
    if (ReserveCounted(wide, bytes.size(), work)) return std::nullopt;
    for (size_t start = 0; start < bytes.size();) {
        size_t end = std::min(bytes.size(), start + kConvertPiece);
        while (end < bytes.size() && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) ++end;
        if (work.Count(int64_t(end - start))) return std::nullopt;
        wide += Platform::Utf8ToUtf16(bytes.substr(start, end - start));
        start = end;
    }
    return wide;
}

// A new layout of the text; the context's pen is left where the last line
// ended. None when a quit stopped the frame first: the pen is then left
// anywhere, and the font as it was.
std::optional<CPlacedText> LayOut(CDrawContext& context, float x, float y, const char16_t* text, float width,
                                  float height, float scaleX, float scaleY, uint32_t flags) {
    std::optional<CPlacedText> placed(std::in_place);
    context.m_lineStartX = context.m_penX = x;
    context.m_penY = y;
    CFont& font = *context.m_pFont;
    const float spacing = font.GetLetterSpacing();
    CTextWriter writer(context, scaleX, scaleY, flags, *placed, DrawingCountdown());
    try {
        if (flags & TEXT_WORD_WRAP)
            writer.LayOutWrapped(x, y, text, width, height);
        else
            writer.LayOutPlain(x, y, text, width, height);
        if (writer.Finish()) return placed;
    } catch (const CLayoutCut&) {
        // a quit stopped the frame
    }
    font.SetLetterSpacing(spacing);
    return std::nullopt;
}

// What laying the text out again would leave in the context and the font.
void Replay(CDrawContext& context, float x, const CPlacedText& placed) {
    context.m_lineStartX = x;
    context.m_penX = placed.GetPenX();
    context.m_penY = placed.GetPenY();
    CFont& font = *context.m_pFont;
    if (placed.TruncatesSpacing()) font.SetLetterSpacing(std::trunc(font.GetLetterSpacing()));
}

} // namespace

void CTextLayout::SetFont(CDrawContext& context, Engine::ref_ptr<CFont> font) {
    context.m_pFont = std::move(font);
    if (context.m_pFont) context.m_fontHeight = float(context.m_pFont->GetHeight());
}

void CTextLayout::DrawTextW(CDrawContext& context, float x, float y, const char16_t* text, float width, float height,
                            float scaleX, float scaleY, uint32_t flags, uint32_t recordFlags) {
    if (!text || !*text || !context.m_pFont) return;
    if (const std::optional<CPlacedText> placed = LayOut(context, x, y, text, width, height, scaleX, scaleY, flags))
        placed->Draw(context, flags, recordFlags);
}

void DrawText(CDrawContext& context, float x, float y, float width, float height, float scaleX, float scaleY,
              uint32_t flags, uint32_t recordFlags, const CString& text) {
    if (text.IsEmpty() || !context.m_pFont) return;
    CTextLayoutCache& cache = CTextLayoutCache::OfThisThread();
    const CTextLayoutKey key = CTextLayoutKey::Of(context, x, y, width, height, scaleX, scaleY, flags);
    const CPlacedText* placed = cache.Find(text, key);
    if (!placed) {
        // A layout cut by a quit is not kept: the frame ends undrawn.
        const std::optional<std::u16string> wide = ToUtf16(text, DrawingCountdown());
        if (!wide) return;
        // A text that converts to nothing draws nothing, and is kept so.
        std::optional<CPlacedText> made =
            wide->empty() || !(*wide)[0] ? CPlacedText::Blank()
                                         : LayOut(context, x, y, wide->c_str(), width, height, scaleX, scaleY, flags);
        if (!made) return;
        placed = &cache.Keep(text, key, std::move(*made));
    }
    if (placed->IsBlank()) return;
    Replay(context, x, *placed);
    placed->Draw(context, flags, recordFlags);
}

void DrawTextAt(CDrawContext& context, const CString& text, float x, float y, float width) {
    DrawText(context, x, y, width, 0.0f, 1.0f, 1.0f, TEXT_ALIGN_CENTER, 0, text);
}

void DrawTextInRect(CDrawContext& context, const CString& text, uint32_t flags, uint32_t recordFlags, float left,
                    float top, float right, float bottom) {
    DrawText(context, left, top, right - left, bottom - top, 1.0f, 1.0f, flags, recordFlags, text);
}

} // namespace Engine::Graphics
