#pragma once
// One queued 2D quad or sprite, as the sprite draw queue stores it. Every
// sprite reference carries one as its template of drawing parameters.

#include <cstdint>

#include "app/Referenced.h"
#include "graphics/Texture.h"

namespace Engine::Graphics {

namespace SprFile {
class CSpriteRef;
}

// Drawing flags of a queued record.
enum ESpriteFlags : uint32_t {
    SPRITE_MIRROR_X = 0x1,
    SPRITE_MIRROR_Y = 0x2,
    SPRITE_LINEAR_FILTER = 0x4,
    SPRITE_SPLIT = 0x8,         // always split into pieces
    SPRITE_TILE_FLAT = 0x10,    // tile; tiles other than the origin tile are flat quads
    SPRITE_TILE = 0x20,
    SPRITE_BLEND_ALPHA = 0x40,  // source alpha, one minus source alpha
    SPRITE_BLEND_ADD = 0x80,    // one, one
    SPRITE_BLEND_ONE_INV_ALPHA = 0x100,
    SPRITE_BLEND_ALPHA_ADD = 0x200,  // source alpha, one
    SPRITE_BLEND_OFF = 0x400,
    SPRITE_BLEND_MASK = 0x7C0,
    // Bits that select a texture filter or a blend state; records are
    // batched by texture and these bits.
    SPRITE_STATE_MASK = 0x7C4,
    SPRITE_SPLIT_MASK = SPRITE_SPLIT | SPRITE_TILE_FLAT | SPRITE_TILE,
};

// Corner order of CSpriteQueueItem::colors.
enum ESpriteCorner : int { CORNER_TOP_LEFT = 0, CORNER_TOP_RIGHT = 1, CORNER_BOTTOM_LEFT = 2, CORNER_BOTTOM_RIGHT = 3 };

struct CSpriteQueueItem {
    // Not owned; null draws an untextured quad.
    const SprFile::CSpriteRef* sprite = nullptr;
    // Resolved from the sprite when the queue flushes; records are batched
    // by it.
    Engine::ref_ptr<CTexture> texture;
    int32_t frame = 0;   // negative counts as 0
    int32_t piece = -1;  // negative counts as 0
    float x = 0.0f;      // top-left corner, or the centre when centred or rotated
    float y = 0.0f;
    float sourceX = 0.0f;  // offset into the piece, in texels
    float sourceY = 0.0f;
    float sourceWidth = -1.0f;  // negative: the whole piece
    float sourceHeight = -1.0f;
    float angle = 0.0f;  // radians
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float pivotX = 0.0f;  // rotation centre relative to the position
    float pivotY = 0.0f;
    float translateX = 0.0f;  // added just before the driver's 2D transform
    float translateY = 0.0f;
    uint8_t clipEnabled = 0;
    float clipLeft = 0.0f;
    float clipTop = 0.0f;
    float clipWidth = -1.0f;
    float clipHeight = -1.0f;
    uint32_t flags = 0;  // ESpriteFlags
    uint8_t centred = 0;
    // Red in the lowest byte, alpha in the highest; ESpriteCorner order.
    uint32_t colors[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
};

// Gives a template record the default drawing parameters; the sprite
// pointer is kept.
void ResetDrawParams(CSpriteQueueItem& item);

} // namespace Engine::Graphics
