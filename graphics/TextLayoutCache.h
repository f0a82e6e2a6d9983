#pragma once
// The layouts of the texts drawn lately, so that a text drawn again in the
// next frame is not converted and laid out again. A layout is kept under
// its text's buffer (copy-on-write: a kept copy stays as it was) and every
// other input of the layout; a few of the latest are kept, within a memory
// bound. The layouts drawn in the frame being drawn are kept whatever their
// size, so that a layout over the bound and the texts drawn beside it do not
// push each other out in every frame: memory stays within the bound and what
// one frame draws. Nor does the count push out what the last frame or this
// one drew, however many texts a frame draws; once they are drawn no more,
// the count is back within its bound. Each thread keeps its own.

#include <cstddef>
#include <cstdint>
#include <list>
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

    // A frame's drawing begins: the layouts the ended frame did not draw go
    // now beyond the bounds, and those it drew may go over the bytes from
    // now on. Until the first frame every layout may go.
    void StartFrame();

    // The kept layout of the text under the key, or null. A text of equal
    // characters in another buffer matches too, and its buffer is kept
    // from then on.
    const CPlacedText* Find(const CString& text, const CTextLayoutKey& key);
    // Keeps the layout of a text Find did not find as the latest, letting
    // the oldest go beyond the bounds.
    const CPlacedText& Keep(const CString& text, const CTextLayoutKey& key, CPlacedText&& placed);
    void Clear();
    // kBytes unless a test sets another.
    void SetByteBound(size_t bytes) { m_byteBound = bytes; }

    size_t GetCount() const { return m_entries.size(); }
    size_t GetBytes() const { return m_bytes; }
    // Layouts kept since the thread began: one per text laid out.
    uint64_t GetLayoutsMade() const { return m_made; }

private:
    struct CEntry {
        CString text;
        CTextLayoutKey key;
        CPlacedText placed;
        size_t bytes;
        uint64_t frame;  // the last frame that drew it
    };
    using CEntries = std::list<CEntry>;
    // An entry's place in the index: open addressing on a hash of the key
    // and the text's length, never of its characters, so that a lookup
    // costs the same at any length. Texts of one length under one key hash
    // alike and are told apart by their characters.
    struct CSlot {
        size_t hash;  // 0 for an empty slot
        CEntries::iterator entry;
    };

    // Lets the oldest layouts go while over a bound: over the bytes, those
    // this frame did not draw; over the count alone, those no frame from
    // `countedFrom` on drew, so that the texts one frame draws stay kept
    // into the next whatever their number. Until the first frame any may
    // go; the latest always stays.
    void Trim(uint64_t countedFrom);
    void Drop(CEntries::iterator entry);
    // The entry of the text under the key through the index, or the end.
    CEntries::iterator Look(const CString& text, const CTextLayoutKey& key);
    // Room in the index for one more entry, at most three quarters of the slots full.
    void MakeRoom();
    void Index(size_t hash, CEntries::iterator entry);

    // Latest drawn first, so that their frames only fall toward the back:
    // the oldest is the first to go under either bound.
    CEntries m_entries;
    std::vector<CSlot> m_slots;  // a power of two of them, or none
    // Tried before the index: the entry drawn next after the last one found,
    // when that one was drawn before, or the end. Frames mostly draw their
    // texts in the same order, and a text found here costs neither the key's
    // hash nor a read of the index.
    CEntries::iterator m_expected = m_entries.end();
    size_t m_bytes = 0;
    size_t m_byteBound = kBytes;
    uint64_t m_frame = 0;
    uint64_t m_made = 0;
};

} // namespace Engine::Graphics
