#include "graphics/BufferedSprite.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace Engine::Graphics {

void CBufferedSprite::SetTexture(ref_ptr<CTexture> value) {
    block.textureId = value ? value->GetSerial() : 0;
    texture = std::move(value);
}

void CBufferedSprite::UpdateHash() { hash = HashBufferedSprite(block); }

bool CBufferedSprite::SameAs(const CBufferedSprite& other) const {
    // The texture pointer is compared too, so that a wrapped serial can
    // never make two live textures look alike.
    return hash == other.hash && texture == other.texture && std::memcmp(&block, &other.block, sizeof block) == 0;
}

uint32_t HashBufferedSprite(const CBufferedSprite::CBlock& block) {
    uint32_t words[32];
    static_assert(sizeof words == sizeof block);
    std::memcpy(words, &block, sizeof words);
    uint32_t h = 0;
    for (int i = 0; i < 32; i += 4)
        h = std::rotr(h + words[i], 21) ^ words[i + 3] ^ std::rotr(words[i + 2], 7) ^ std::rotr(words[i + 1], 14);
    return h;
}

uint32_t BucketHash(const CBufferedSprite& record) {
    // The record's hash is already the hash of its block.
    uint32_t h = record.hash;
    for (int byte = 0; byte < 4; ++byte) h = std::rotr(h ^ ((record.hash >> (8 * byte)) & 0xFFu), 7);
    return h;
}

CQuadBounds BoundingBoxOfQuad(const CBufferedSprite& record) { return GetQuadBounds(record.block.vertices); }

} // namespace Engine::Graphics
