#pragma once
// Writes the four screen-space vertices of queued records. What the driver
// decides for a whole run (colour byte order, texture and buffer offsets,
// 2D transform) is read once when the emitter is made, and the texel inset
// once per texture size, not once per quad. Every quad that is to be drawn
// passes the driver's sprite area limit here (DrawnAreaLimit.h).

#include <bit>
#include <cstdint>

#include "graphics/DrawnAreaLimit.h"
#include "graphics/GraphicsTypes.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteQueueRecord.h"

namespace Engine::Graphics {

class CGraphics;

class CQuadEmitter {
public:
    // Emits records as they are, each cut to its own clip rectangle.
    explicit CQuadEmitter(CGraphics& driver);
    // Emits the records of a flush: each moved by the pass's offset and cut
    // to its clip override; the records' own clip rectangles do not count.
    CQuadEmitter(CGraphics& driver, const CSpriteQueue::CParams& pass);

    // The vertices top-left, top-right, bottom-right, bottom-left; false
    // when the record draws nothing (clipped away, or naming a frame, piece
    // or bitmap that does not exist).
    bool Emit(const CQueuedSprite& record, SpriteVertex vertices[4]);
    // Emit for a quad that is then drawn: false also when the frame's area
    // limit leaves it out.
    bool EmitDrawn(const CQueuedSprite& record, SpriteVertex vertices[4]);
    // The quads of records[order[0]] to records[order[count - 1]], to be
    // drawn, one after another from vertices on, leaving out those that draw
    // nothing or that the area limit leaves out; the number of vertices
    // written.
    int32_t EmitRun(const CQueuedSprite* records, const int32_t* order, int32_t count, SpriteVertex* vertices);

private:
    // An unturned quad under no 2D transform stays an upright rectangle.
    bool IsUpright(const CSpriteQueueItem& item) const;

private:
    struct CQuadSource;

    // Emit's body, inline in the run's loop.
    [[gnu::always_inline]] bool EmitInline(const CQueuedSprite& record, SpriteVertex vertices[4]);

    // The steps of Emit, one call each per quad. Kept inline: passed
    // between calls, the source's small struct goes through the stack, and
    // reading it back right after it was written stalls the processor.
    [[gnu::always_inline]] CQuadSource Source(const CSpriteQueueItem& item, const CSpriteSource& sprite);
    [[gnu::always_inline]] void SetTextureCoordinates(const CSpriteQueueItem& item, const CQuadSource& source,
                                                      SpriteVertex vertices[4]);
    [[gnu::always_inline]] void SetColors(const CSpriteQueueItem& item, SpriteVertex vertices[4]) const;
    [[gnu::always_inline]] static void SetPositions(const CQueuedSprite& record, const CQuadSource& source,
                                                    SpriteVertex vertices[4]);
    // False when the record is clipped away.
    [[gnu::always_inline]] bool ClipTo(const CSpriteQueueItem& item, SpriteVertex vertices[4]) const;
    static bool Clip(float clipLeft, float clipTop, float clipWidth, float clipHeight, SpriteVertex vertices[4]);
    [[gnu::always_inline]] void Transform(const CSpriteQueueItem& item, SpriteVertex vertices[4]) const;
    // The per-size constants for a texture of this size.
    [[gnu::always_inline]] void UseTextureSize(int32_t width, int32_t height);
    // A source size over the texture size, kept for the next quad of the
    // same sizes (a run's quads mostly share them; the division is slow).
    struct CSpanCache {
        uint32_t size = 0;  // the bits of the source size: -0 and 0 differ
        float span = 0.0f;
        bool valid = false;
        float Of(float sourceSize, float textureSize) {
            const uint32_t bits = std::bit_cast<uint32_t>(sourceSize);
            if (!valid || bits != size) {
                size = bits;
                span = sourceSize / textureSize;
                valid = true;
            }
            return span;
        }
    };

    CDrawnAreaLimit& m_limit;
    bool m_colorRGBA;
    float m_textureOffsetU = 0.0f, m_textureOffsetV = 0.0f;
    bool m_textureOffset;
    float m_bufferOffsetX = 0.0f, m_bufferOffsetY = 0.0f;
    bool m_identity;
    float m_transform[6];

    // Of a flush: whether the records' own clip rectangles are replaced, and
    // by what (enabled or not); the pass's offset.
    bool m_pass = false;
    bool m_passClipEnabled = false;
    float m_passClip[4] = {};  // left, top, width, height
    bool m_passOffset = false;
    float m_passOffsetX = 0.0f, m_passOffsetY = 0.0f;

    int32_t m_textureWidth = 0, m_textureHeight = 0;  // of the constants below; 0: none yet
    float m_width = 1.0f, m_height = 1.0f;             // never 0: coordinates divide by them
    float m_insetU = 0.0f, m_insetV = 0.0f;
    float m_shiftU = 0.0f, m_shiftV = 0.0f;  // the driver's texture offset in coordinates
    CSpanCache m_spanU, m_spanV;             // for m_width and m_height
};

} // namespace Engine::Graphics
