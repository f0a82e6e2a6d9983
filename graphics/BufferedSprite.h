#pragma once
// One buffered quad of the dirty-rectangle path and its hash. Frames are
// compared record by record, so the compared part is a canonical block of
// plain words: the texture appears in it as a stable serial number, never as
// a pointer, and the block has no padding.

#include <cstdint>

#include "app/Referenced.h"
#include "graphics/GraphicsTypes.h"
#include "graphics/QuadBounds.h"
#include "graphics/Texture.h"

namespace Engine::Graphics {

struct CBufferedSprite {
    // The hashed and compared 128 bytes.
    struct CBlock {
        // Top-left, top-right, bottom-right, bottom-left for an upright quad.
        SpriteVertex vertices[4];
        uint32_t textureId = 0;  // CTexture serial; 0 for no texture
        int32_t blendSource = BLEND_ONE;
        int32_t blendDestination = BLEND_ONE;
        uint32_t alphaBlend = 0;  // 0 or 1; the whole word is defined
    };

    CBlock block{};
    uint32_t hash = 0;
    ref_ptr<CTexture> texture;

    // Sets the texture and its id together.
    void SetTexture(ref_ptr<CTexture> value);
    // Stores HashBufferedSprite of the block.
    void UpdateHash();
    // Equal blocks and the same texture object.
    bool SameAs(const CBufferedSprite& other) const;
};

static_assert(sizeof(CBufferedSprite::CBlock) == 128);

// The record hash over the 128-byte block: eight 16-byte steps.
uint32_t HashBufferedSprite(const CBufferedSprite::CBlock& block);
// The hash continued over the bytes of the stored hash word; picks a bucket.
// The record's hash must be up to date.
uint32_t BucketHash(const CBufferedSprite& record);

CQuadBounds BoundingBoxOfQuad(const CBufferedSprite& record);

} // namespace Engine::Graphics
