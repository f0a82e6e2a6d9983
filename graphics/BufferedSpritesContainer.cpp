#include "graphics/BufferedSpritesContainer.h"

#include <algorithm>

namespace Engine::Graphics {

CBufferedSpritesContainer::CBufferedSpritesContainer() : m_bucketHeads(BUCKET_COUNT, kNoEntry) {}

void CBufferedSpritesContainer::Clear() {
    // The buckets keep their number: the next frame is likely as large.
    std::fill(m_bucketHeads.begin(), m_bucketHeads.end(), kNoEntry);
    m_entries.clear();
    m_records.clear();
}

void CBufferedSpritesContainer::Add(const SpriteVertex quad[4], const ref_ptr<CTexture>& texture,
                                    const CBufferedDrawState& state) {
    CBufferedSprite record;
    std::copy_n(quad, 4, record.block.vertices);
    record.SetTexture(texture);
    record.block.blendSource = state.blendSource;
    record.block.blendDestination = state.blendDestination;
    record.block.alphaBlend = state.alphaBlend;
    record.UpdateHash();
    const uint32_t bucketHash = BucketHash(record);
    if (!InBucket(bucketHash, record)) {
        if (m_entries.size() >= m_bucketHeads.size()) GrowBuckets();
        uint32_t& head = m_bucketHeads[BucketOf(bucketHash)];
        m_entries.push_back({record.hash, uint32_t(m_records.size()), head});
        head = uint32_t(m_entries.size() - 1);
    }
    // Grown by a quarter, not doubled: a frame of a full particle pool holds
    // over a hundred thousand records of 144 bytes in each of the driver's
    // containers, which keep their storage from frame to frame.
    if (m_records.size() == m_records.capacity()) m_records.reserve(m_records.size() + m_records.size() / 4 + 64);
    m_records.push_back(std::move(record));
}

void CBufferedSpritesContainer::AddQuads(const CBufferedDrawState& state, const SpriteVertex* quads, int32_t count,
                                         const ref_ptr<CTexture>& texture) {
    for (int32_t quad = 0; quad < count; ++quad) Add(quads + 4 * quad, texture, state);
}

bool CBufferedSpritesContainer::InBucket(uint32_t bucketHash, const CBufferedSprite& record) const {
    for (uint32_t at = m_bucketHeads[BucketOf(bucketHash)]; at != kNoEntry; at = m_entries[at].next) {
        const CBucketEntry& entry = m_entries[at];
        if (entry.hash == record.hash && m_records[entry.index].SameAs(record)) return true;
    }
    return false;
}

size_t CBufferedSpritesContainer::BucketOf(uint32_t bucketHash) const {
    // The record hash's low bits vary little between quads of one frame: a
    // multiplicative mix spreads every bit into the bucket's.
    return size_t(uint32_t(bucketHash * 0x9E3779B9u) >> m_bucketShift);
}

void CBufferedSpritesContainer::GrowBuckets() {
    m_bucketHeads.assign(m_bucketHeads.size() * 2, kNoEntry);
    --m_bucketShift;
    for (uint32_t at = 0; at < m_entries.size(); ++at) {
        uint32_t& head = m_bucketHeads[BucketOf(BucketHash(m_records[m_entries[at].index]))];
        m_entries[at].next = head;
        head = at;
    }
}

bool CBufferedSpritesContainer::Contains(const CBufferedSprite& record) const {
    return InBucket(BucketHash(record), record);
}

size_t CBufferedSpritesContainer::GetDistinctCount() const { return m_entries.size(); }

} // namespace Engine::Graphics
