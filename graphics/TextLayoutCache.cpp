#include "graphics/TextLayoutCache.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>
#include <string_view>

#include "graphics/DrawContext.h"
#include "graphics/Text.h"

namespace Engine::Graphics {

namespace {

constexpr uint32_t kLayoutFlags = TEXT_ALIGN_MASK | TEXT_VALIGN_MASK | TEXT_WORD_WRAP | TEXT_JUSTIFY;

// One thread's lifetime: the layouts go with the thread.
thread_local CTextLayoutCache t_cache;

// Never 0, which marks an empty slot.
size_t HashOf(const CTextLayoutKey& key, int length) {
    const size_t bytes =
        std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(&key), sizeof(CTextLayoutKey)));
    const size_t hash = bytes ^ (size_t(length) * 0x9e3779b97f4a7c15u);
    return hash ? hash : 1;
}

bool Matches(const CString& keptText, const CTextLayoutKey& keptKey, const CString& text, const CTextLayoutKey& key) {
    if (!(keptKey == key)) return false;
    return keptText.SharesBufferWith(text) ||
           (keptText.GetLength() == text.GetLength() &&
            std::memcmp(keptText.c_str(), text.c_str(), size_t(keptText.GetLength())) == 0);
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
    CEntries::iterator entry = m_expected;
    if (entry == m_entries.end() || !Matches(entry->text, entry->key, text, key)) entry = Look(text, key);
    if (entry == m_entries.end()) return nullptr;
    // Latest first: the entry toward the front was drawn after this one.
    m_expected = entry == m_entries.begin() ? m_entries.end() : std::prev(entry);
    entry->text = text;
    entry->frame = m_frame;
    m_entries.splice(m_entries.begin(), m_entries, entry);
    return &entry->placed;
}

CTextLayoutCache::CEntries::iterator CTextLayoutCache::Look(const CString& text, const CTextLayoutKey& key) {
    if (m_slots.empty()) return m_entries.end();
    const size_t mask = m_slots.size() - 1, hash = HashOf(key, text.GetLength());
    for (size_t i = hash & mask; m_slots[i].hash; i = (i + 1) & mask) {
        const CEntries::iterator entry = m_slots[i].entry;
        if (m_slots[i].hash == hash && Matches(entry->text, entry->key, text, key)) return entry;
    }
    return m_entries.end();
}

const CPlacedText& CTextLayoutCache::Keep(const CString& text, const CTextLayoutKey& key, CPlacedText&& placed) {
    const size_t bytes = size_t(text.GetLength()) + placed.GetMemoryBytes() + sizeof(CEntry);
    // Made apart and moved in once there is room: a failed allocation
    // leaves the cache as it was.
    MakeRoom();
    CEntries made;
    made.push_back(CEntry{text, key, std::move(placed), bytes, m_frame});
    Index(HashOf(key, text.GetLength()), made.begin());
    m_entries.splice(m_entries.begin(), made);
    m_bytes += bytes;
    ++m_made;
    Trim(m_frame == 0 ? 0 : m_frame - 1);
    return m_entries.front().placed;
}

void CTextLayoutCache::Trim(uint64_t countedFrom) {
    while (m_entries.size() > 1) {
        const bool overBytes = m_bytes > m_byteBound;
        if (!overBytes && m_entries.size() <= kEntries) return;
        // Over the bytes, what this frame did not draw goes; over the count
        // alone, only what no frame from `countedFrom` on drew. When the
        // oldest stays, so does every later one.
        const CEntry& oldest = m_entries.back();
        if (m_frame != 0 && (overBytes ? oldest.frame == m_frame : oldest.frame >= countedFrom)) return;
        Drop(std::prev(m_entries.end()));
    }
}

void CTextLayoutCache::Drop(CEntries::iterator entry) {
    const size_t mask = m_slots.size() - 1;
    const size_t hash = HashOf(entry->key, entry->text.GetLength());
    size_t hole = hash & mask;
    while (m_slots[hole].hash != hash || m_slots[hole].entry != entry) hole = (hole + 1) & mask;
    // Each later slot of the run moves into the hole unless that would put
    // it before its own hashed slot, so that every lookup still finds it.
    for (size_t i = (hole + 1) & mask; m_slots[i].hash; i = (i + 1) & mask) {
        if (((i - m_slots[i].hash) & mask) < ((i - hole) & mask)) continue;
        m_slots[hole] = m_slots[i];
        hole = i;
    }
    m_slots[hole].hash = 0;
    if (m_expected == entry) m_expected = m_entries.end();
    m_bytes -= entry->bytes;
    m_entries.erase(entry);
}

void CTextLayoutCache::MakeRoom() {
    if (4 * (m_entries.size() + 1) <= 3 * m_slots.size()) return;
    std::vector<CSlot> slots(std::max<size_t>(64, 2 * m_slots.size()), CSlot{0, {}});
    slots.swap(m_slots);
    for (const CSlot& slot : slots)
        if (slot.hash) Index(slot.hash, slot.entry);
}

void CTextLayoutCache::Index(size_t hash, CEntries::iterator entry) {
    const size_t mask = m_slots.size() - 1;
    size_t i = hash & mask;
    while (m_slots[i].hash) i = (i + 1) & mask;
    m_slots[i] = {hash, entry};
}

void CTextLayoutCache::Clear() {
    m_slots.clear();
    m_entries.clear();
    m_expected = m_entries.end();
    m_bytes = 0;
}

} // namespace Engine::Graphics
