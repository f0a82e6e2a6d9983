#include "graphics/BufferedSpritesContainer.h"

#include <algorithm>

namespace Engine::Graphics {

namespace {
constexpr size_t kFirstBucketCapacity = 8;
}

CBufferedSpritesContainer::CBufferedSpritesContainer() : m_buckets(BUCKET_COUNT) {}

void CBufferedSpritesContainer::Clear() {
    for (std::vector<CBucketEntry>& bucket : m_buckets) bucket.clear();
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
    std::vector<CBucketEntry>& bucket = m_buckets[BucketHash(record) % BUCKET_COUNT];
    if (!InBucket(bucket, record)) {
        if (bucket.capacity() == 0) bucket.reserve(kFirstBucketCapacity);
        bucket.push_back({record.hash, uint32_t(m_records.size())});
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

bool CBufferedSpritesContainer::InBucket(const std::vector<CBucketEntry>& bucket,
                                         const CBufferedSprite& record) const {
    return std::any_of(bucket.begin(), bucket.end(), [&](const CBucketEntry& entry) {
        return entry.hash == record.hash && m_records[entry.index].SameAs(record);
    });
}

bool CBufferedSpritesContainer::Contains(const CBufferedSprite& record) const {
    return InBucket(m_buckets[BucketHash(record) % BUCKET_COUNT], record);
}

size_t CBufferedSpritesContainer::GetDistinctCount() const {
    size_t count = 0;
    for (const std::vector<CBucketEntry>& bucket : m_buckets) count += bucket.size();
    return count;
}

} // namespace Engine::Graphics
