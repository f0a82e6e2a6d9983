#include "graphics/PlacedText.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/FrameQuitWatch.h"
#include "graphics/DrawContext.h"
#include "graphics/GlyphWindow.h"
#include "graphics/Text.h"

namespace Engine::Graphics {

bool CPlacedText::Reserve(size_t glyphs, size_t lines, Engine::CQuitCountdown& work) {
    return !(ReserveCounted(m_x, glyphs, work) || ReserveCounted(m_glyph, glyphs, work) ||
             ReserveCounted(m_character, glyphs, work) || ReserveCounted(m_lines, lines, work));
}

void CPlacedText::BeginLine(float y) {
    const uint32_t at = uint32_t(m_x.size());
    m_lines.push_back({y, at, at});
}

void CPlacedText::AddGlyph(float x, int32_t glyph, char16_t character) {
    m_x.push_back(x);
    m_glyph.push_back(glyph);
    m_character.push_back(character);
    m_lines.back().end = uint32_t(m_x.size());
}

bool CPlacedText::Finish(const CFont& font, float scaleX, float scaleY, float penX, float penY,
                         bool truncatesSpacing, Engine::CQuitCountdown& work) {
    m_scaleX = scaleX;
    m_scaleY = scaleY;
    m_penX = penX;
    m_penY = penY;
    m_truncatesSpacing = truncatesSpacing;
    CGlyphWindow::GlyphReach(font, m_reach);
    const SprFile::CSpriteRef& sprite = font.GetGlyphSprite();
    m_extentX = m_extentY = -std::numeric_limits<float>::infinity();
    bool xRises = true;
    for (size_t l = 0; l < m_lines.size(); ++l) {
        if (work.Count(1)) return false;
        const CLine& line = m_lines[l];
        if (l > 0 && !(line.y >= m_lines[l - 1].y)) m_linesRise = false;
        m_finite = m_finite && std::isfinite(line.y);
        for (uint32_t i = line.first; i < line.end; ++i) {
            if (work.Count(1)) return false;
            const float x = m_x[i];
            if (i > line.first && !(x >= m_x[i - 1])) xRises = false;
            m_finite = m_finite && std::isfinite(x);
            // As the walk measures, glyph by glyph.
            m_extentX = std::max(m_extentX, x + float(sprite.GetSpriteFrameWidth(m_glyph[i])) * scaleX);
            m_extentY = std::max(m_extentY, line.y + float(sprite.GetSpriteFrameHeight(m_glyph[i])) * scaleY);
        }
    }
    if (xRises || !m_finite) return true;
    // Grown glyph by glyph into room taken at once: no step copies or
    // clears the whole text. The minima are the x's until the backward pass.
    if (ReserveCounted(m_runningMax, m_x.size(), work) || ReserveCounted(m_runningMin, m_x.size(), work))
        return false;
    for (const CLine& line : m_lines) {
        if (line.first == line.end) continue;
        float high = m_x[line.first];
        for (uint32_t i = line.first; i < line.end; ++i) {
            if (work.Count(1)) return false;
            m_runningMax.push_back(high = std::max(high, m_x[i]));
            m_runningMin.push_back(m_x[i]);
        }
        float low = m_x[line.end - 1];
        for (uint32_t i = line.end; i-- > line.first;) {
            if (work.Count(1)) return false;
            m_runningMin[i] = low = std::min(low, m_runningMin[i]);
        }
    }
    return true;
}

size_t CPlacedText::GetMemoryBytes() const {
    return m_x.capacity() * sizeof(float) + m_glyph.capacity() * sizeof(int32_t) +
           m_character.capacity() * sizeof(char16_t) + m_lines.capacity() * sizeof(CLine) +
           (m_runningMax.capacity() + m_runningMin.capacity()) * sizeof(float);
}

void CPlacedText::Draw(CDrawContext& context, uint32_t flags, uint32_t recordFlags) const {
    if (flags & TEXT_MEASURE)
        Measure(context);
    else if (context.m_bCollectGlyphs)
        Collect(context, recordFlags);
    else
        Queue(context, recordFlags);
}

void CPlacedText::Measure(CDrawContext& context) const {
    context.m_extentX = std::max(context.m_extentX, m_extentX);
    context.m_extentY = std::max(context.m_extentY, m_extentY);
}

void CPlacedText::Collect(CDrawContext& context, uint32_t recordFlags) const {
    const CFont& font = *context.m_pFont;
    const SprFile::CSpriteRef* sprite = &font.GetGlyphSprite();
    const float padLeft = float(font.GetPaddingLeft()), padTop = float(font.GetPaddingTop());
    for (const CLine& line : m_lines)
        for (uint32_t i = line.first; i < line.end; ++i)
            context.m_glyphs.push_back({m_x[i] - padLeft, line.y - padTop, m_scaleX, m_scaleY, sprite, m_glyph[i],
                                        m_character[i], context.m_textColor, recordFlags});
}

void CPlacedText::Queue(CDrawContext& context, uint32_t recordFlags) const {
    if (m_x.empty()) return;
    const std::optional<CGlyphWindow> window =
        m_finite ? CGlyphWindow::Find(context, m_scaleX, m_scaleY, recordFlags, m_reach)
                 : std::nullopt;
    if (window) {
        QueueLines(context, recordFlags, *window);
    } else {
        for (const CLine& line : m_lines)
            for (uint32_t i = line.first; i < line.end; ++i) QueueGlyph(context, recordFlags, i, line.y);
    }
    // The walk leaves the glyph sprite at the last glyph's frame.
    context.m_pFont->GetGlyphSprite().GetTemplate().frame = m_glyph.back();
}

void CPlacedText::QueueLines(CDrawContext& context, uint32_t recordFlags, const CGlyphWindow& window) const {
    const auto [firstLine, endLine] = LinesBetween(window.top, window.bottom);
    const bool checkEach = !m_runningMax.empty();
    for (size_t l = firstLine; l < endLine; ++l) {
        const CLine& line = m_lines[l];
        if (!m_linesRise && !(line.y >= window.top && line.y <= window.bottom)) continue;
        const auto [first, end] = GlyphsBetween(line, window.left, window.right);
        for (uint32_t i = first; i < end; ++i)
            if (!checkEach || window.ContainsX(m_x[i])) QueueGlyph(context, recordFlags, i, line.y);
    }
}

std::pair<size_t, size_t> CPlacedText::LinesBetween(float top, float bottom) const {
    if (!m_linesRise) return {0, m_lines.size()};
    const auto first = std::lower_bound(m_lines.begin(), m_lines.end(), top,
                                        [](const CLine& line, float y) { return line.y < y; });
    const auto end =
        std::upper_bound(first, m_lines.end(), bottom, [](float y, const CLine& line) { return y < line.y; });
    return {size_t(first - m_lines.begin()), size_t(end - m_lines.begin())};
}

std::pair<uint32_t, uint32_t> CPlacedText::GlyphsBetween(const CLine& line, float left, float right) const {
    const std::vector<float>& low = m_runningMax.empty() ? m_x : m_runningMax;
    const std::vector<float>& high = m_runningMin.empty() ? m_x : m_runningMin;
    const auto first = std::lower_bound(low.begin() + line.first, low.begin() + line.end, left);
    const auto begin = high.begin() + (first - low.begin());
    const auto end = std::upper_bound(begin, high.begin() + line.end, right);
    return {uint32_t(first - low.begin()), uint32_t(end - high.begin())};
}

void CPlacedText::QueueGlyph(CDrawContext& context, uint32_t recordFlags, uint32_t index, float y) const {
    CFont& font = *context.m_pFont;
    SprFile::CSpriteRef& sprite = font.GetGlyphSprite();
    sprite.GetTemplate().frame = m_glyph[index];
    CSpriteQueueItem* item = CSpriteQueue::Append(context.m_params, sprite, context.m_textColor);
    if (!item) return;
    item->x = m_x[index] + float(font.GetPaddingLeft());
    item->y = y + float(font.GetPaddingTop());
    item->scaleX = m_scaleX;
    item->scaleY = m_scaleY;
    item->flags = recordFlags;
    CSpriteQueue::CommitLast(context.m_params);
}

} // namespace Engine::Graphics
