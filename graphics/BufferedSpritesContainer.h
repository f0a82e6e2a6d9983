#pragma once
// One frame's buffered quads: the records in drawing order, and a hash
// table over the distinct records so that the next frame can ask whether a
// record was drawn here.

#include <bit>
#include <cstdint>
#include <vector>

#include "app/Referenced.h"
#include "graphics/BufferedSprite.h"

namespace Engine::Graphics {

// The blend state that goes with each buffered quad.
struct CBufferedDrawState {
    int32_t blendSource = BLEND_ONE;
    int32_t blendDestination = BLEND_ONE;
    uint32_t alphaBlend = 0;
};

class CBufferedSpritesContainer : public Engine::CReferenced {
public:
    static constexpr size_t BUCKET_COUNT = 512;
    static_assert((BUCKET_COUNT & (BUCKET_COUNT - 1)) == 0);

    CBufferedSpritesContainer();

    // Drops every record (and its texture reference); the storage stays
    // for the next frame.
    void Clear();
    // Makes the record of one quad, enters it in the table unless an equal
    // record is there already, and appends it to the drawing order in any
    // case.
    void Add(const SpriteVertex quad[4], const ref_ptr<CTexture>& texture, const CBufferedDrawState& state);
    // Appends count quads of four vertices each, with one texture and state.
    void AddQuads(const CBufferedDrawState& state, const SpriteVertex* quads, int32_t count,
                  const ref_ptr<CTexture>& texture);
    // True when an equal record (block and texture) was added.
    bool Contains(const CBufferedSprite& record) const;

    const std::vector<CBufferedSprite>& GetRecords() const { return m_records; }
    // The number of distinct records in the table.
    size_t GetDistinctCount() const;

private:
    // A distinct record: its index in m_records, and its hash, kept here so
    // that a look-up passes over other records without reading them; the
    // next entry of its bucket, or kNoEntry.
    struct CBucketEntry {
        uint32_t hash;
        uint32_t index;
        uint32_t next;
    };
    static constexpr uint32_t kNoEntry = UINT32_MAX;

    bool InBucket(uint32_t bucketHash, const CBufferedSprite& record) const;
    size_t BucketOf(uint32_t bucketHash) const;
    // Doubles the buckets and chains every entry again.
    void GrowBuckets();

    // The table starts with BUCKET_COUNT buckets (a power of two, so that the
    // top bits of a mixed hash pick the bucket) and doubles whenever the
    // distinct records outnumber them, so that a look-up passes over about
    // one entry however many quads a frame holds.
    std::vector<uint32_t> m_bucketHeads;
    std::vector<CBucketEntry> m_entries;
    int m_bucketShift = 32 - std::countr_zero(BUCKET_COUNT);
    std::vector<CBufferedSprite> m_records;
};

} // namespace Engine::Graphics
