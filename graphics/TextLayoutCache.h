#pragma once
// The layouts of the texts drawn lately, so that a text drawn again in the
// next frame is not converted and laid out again. A layout is kept under
// its text's buffer (copy-on-write: a kept copy stays as it was) and every
// other input of the layout; a few of the latest are kept, within a memory
// bound. Each thread keeps its own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/String.h"
#include "graphics/PlacedText.h"

namespace Engine::Graphics {

class CDrawContext;

// Every input of a layout but the text, compared bit for bit.
struct CTextLayoutKey {
    uint64_t font;  // the font's serial
    float fontSpacing, lineGap, fontHeight, letterSpacing, lineSpacing, tabWidth;
    uint32_t snap;
    float x, y, width, height, scaleX, scaleY;
    uint32_t flags;  // the layout's bits of the text flags

    static CTextLayoutKey Of(const CDrawContext& context, float x, float y, float width, float height, float scaleX,
                             float scaleY, uint32_t flags);
    bool operator==(const CTextLayoutKey& other) const;
};

class CTextLayoutCache {
public:
    static constexpr size_t kEntries = 16;
    static constexpr size_t kBytes = size_t(96) << 20;

    static CTextLayoutCache& OfThisThread();

    // The kept layout of the text under the key, or null. A text of equal
    // characters in another buffer matches too, and its buffer is kept
    // from then on.
    const CPlacedText* Find(const CString& text, const CTextLayoutKey& key);
    // Keeps the layout as the latest, letting the oldest go beyond the
    // bounds.
    const CPlacedText& Keep(const CString& text, const CTextLayoutKey& key, CPlacedText&& placed);
    void Clear();

    size_t GetCount() const { return m_entries.size(); }
    // Layouts kept since the thread began: one per text laid out.
    uint64_t GetLayoutsMade() const { return m_made; }

private:
    struct CEntry {
        CString text;
        CTextLayoutKey key;
        CPlacedText placed;
        size_t bytes;
    };

    std::vector<std::unique_ptr<CEntry>> m_entries;  // latest first
    size_t m_bytes = 0;
    uint64_t m_made = 0;
};

} // namespace Engine::Graphics
