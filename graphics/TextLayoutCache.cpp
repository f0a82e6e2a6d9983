#include "graphics/TextLayoutCache.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/DrawContext.h"
#include "graphics/Text.h"

namespace Engine::Graphics {

namespace {

constexpr uint32_t kLayoutFlags = TEXT_ALIGN_MASK | TEXT_VALIGN_MASK | TEXT_WORD_WRAP | TEXT_JUSTIFY;

// One thread's lifetime: the layouts go with the thread.
thread_local CTextLayoutCache t_cache;

bool SameText(const CString& kept, const CString& text) {
    return kept.SharesBufferWith(text) ||
           (kept.GetLength() == text.GetLength() && std::memcmp(kept.c_str(), text.c_str(), size_t(kept.GetLength())) == 0);
}

} // namespace

CTextLayoutKey CTextLayoutKey::Of(const CDrawContext& context, float x, float y, float width, float height,
                                  float scaleX, float scaleY, uint32_t flags) {
    const CFont& font = *context.m_pFont;
    // Unwrapped layout uses only the whole pixels of the font's spacing,
    // and leaves the font holding them.
    const float spacing =
        (flags & TEXT_WORD_WRAP) ? font.GetLetterSpacing() : std::trunc(font.GetLetterSpacing());
    return {font.GetSerial(), spacing,      font.GetLineGap(), context.m_fontHeight,
            context.m_letterSpacing, context.m_lineSpacing, context.m_tabWidth, context.m_bSnapToPixels,
            x, y, width, height, scaleX, scaleY, flags & kLayoutFlags};
}

bool CTextLayoutKey::operator==(const CTextLayoutKey& other) const {
    static_assert(sizeof(CTextLayoutKey) == 64, "the key is compared as bytes: no padding");
    return std::memcmp(this, &other, sizeof(CTextLayoutKey)) == 0;
}

CTextLayoutCache& CTextLayoutCache::OfThisThread() { return t_cache; }

void CTextLayoutCache::StartFrame() {
    Trim(m_frame);
    ++m_frame;
}

const CPlacedText* CTextLayoutCache::Find(const CString& text, const CTextLayoutKey& key) {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        CEntry& entry = *m_entries[i];
        if (!(entry.key == key) || !SameText(entry.text, text)) continue;
        entry.text = text;
        entry.frame = m_frame;
        std::rotate(m_entries.begin(), m_entries.begin() + std::ptrdiff_t(i), m_entries.begin() + std::ptrdiff_t(i) + 1);
        return &m_entries.front()->placed;
    }
    return nullptr;
}

const CPlacedText& CTextLayoutCache::Keep(const CString& text, const CTextLayoutKey& key, CPlacedText&& placed) {
    const size_t bytes = size_t(text.GetLength()) + placed.GetMemoryBytes() + sizeof(CEntry);
    m_entries.insert(m_entries.begin(), std::make_unique<CEntry>(CEntry{text, key, std::move(placed), bytes, m_frame}));
    m_bytes += bytes;
    ++m_made;
    Trim(m_frame == 0 ? 0 : m_frame - 1);
    return m_entries.front()->placed;
}

void CTextLayoutCache::Trim(uint64_t countedFrom) {
    while (m_entries.size() > 1) {
        const bool overBytes = m_bytes > m_byteBound;
        if (!overBytes && m_entries.size() <= kEntries) return;
        // Over the bytes, what this frame did not draw goes; over the count
        // alone, only what no frame from `countedFrom` on drew.
        const auto goes = [&](const CEntry& entry) {
            return m_frame == 0 || (overBytes ? entry.frame != m_frame : entry.frame < countedFrom);
        };
        size_t oldest = m_entries.size() - 1;
        while (oldest > 0 && !goes(*m_entries[oldest])) --oldest;
        if (oldest == 0) return;
        m_bytes -= m_entries[oldest]->bytes;
        m_entries.erase(m_entries.begin() + std::ptrdiff_t(oldest));
    }
}

void CTextLayoutCache::Clear() {
    m_entries.clear();
    m_bytes = 0;
}

} // namespace Engine::Graphics
