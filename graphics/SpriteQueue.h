#pragma once
// The process-wide 2D draw queue: the one road by which sprites, text and
// controls reach the driver. Records are collected in submission order and
// drawn at a flush, sorted by texture and state (except on the software
// driver) so that each run of equal texture and state is one draw call from
// one shared dynamic vertex buffer.

#include <cstdint>

#include "app/Referenced.h"
#include "graphics/GraphicsTypes.h"
#include "graphics/SpriteQueueItem.h"

namespace Engine::Graphics {

class CGraphics;
class CBufferedSpritesContainer;
class CVertexBuffer;
struct CQueuedSprite;

namespace SprFile {
class CSpriteRef;
}

class CSpriteQueue {
public:
    // What a drawing pass passes to every producer and to the flush.
    struct CParams {
        float offsetX = 0.0f;  // added to every record's translation at the flush
        float offsetY = 0.0f;
        float clipLeft = 0.0f;
        float clipTop = 0.0f;
        float clipWidth = -1.0f;
        float clipHeight = -1.0f;
        uint8_t clipOverride = 0;  // clip every record against the rectangle above
    };

    static constexpr int32_t CAPACITY = 1024;
    static constexpr int32_t VERTEX_CAPACITY = 4 * CAPACITY;

    // The driver the queue draws through; set before the vertex buffer is
    // made.
    static void SetDriver(CGraphics* driver);
    static CGraphics* GetDriver();

    // Until Init runs (and after Done) producers and flushes do nothing.
    static bool Init();
    static void Done();
    static bool IsInitialised();
    // True once a quit has stopped the frame: producers may stop walking
    // what they would queue, since nothing more is taken.
    static bool IsFrameStopped();
    // The shared buffer of VERTEX_CAPACITY sprite vertices; false without a
    // driver or when the driver made none.
    static bool CreateVertexBuffer();
    static void ReleaseVertexBuffer();
    // The shared buffer, also used by the dirty-rectangle redraw.
    static ref_ptr<CVertexBuffer> GetVertexBuffer();

    static int32_t GetCount();
    static const CSpriteQueueItem& GetItem(int32_t index);

    // Producers: a copy of the sprite's template record at the given place,
    // one colour in all four corners.
    static void QueueSprite(const CParams& params, const SprFile::CSpriteRef& sprite, int32_t x, int32_t y,
                            int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight,
                            uint32_t color);
    static void QueueSpriteAt(const CParams& params, const SprFile::CSpriteRef& sprite, int32_t x, int32_t y,
                              uint32_t color);
    static void QueueSpriteAtSize(const CParams& params, const SprFile::CSpriteRef& sprite, int32_t x, int32_t y,
                                  int32_t scaleX, int32_t scaleY, uint32_t color);
    static void QueueSpriteAtSizeF(const CParams& params, const SprFile::CSpriteRef& sprite, float x, float y,
                                   float scaleX, float scaleY, uint32_t color);

    // The producers' first half: flushes a full queue, then appends a copy
    // of the template coloured in all corners. Null when not initialised.
    // The caller fills in the rest and calls CommitLast.
    static CSpriteQueueItem* Append(const CParams& params, const SprFile::CSpriteRef& sprite, uint32_t color);
    // Splits the record just appended when its frame has several pieces or
    // it asks for splitting or tiling; a record whose frame does not exist
    // is dropped.
    static void CommitLast(const CParams& params);

    // Draws every queued record and empties the queue.
    static void Flush(const CParams& params);
    static void FlushIfPending(const CParams& params);

    // Order of the queued records with these indexes: by texture serial,
    // then by state (-1, 0 or 1). A flush draws records of equal texture and
    // state in the order they were queued.
    static int CompareItems(int32_t a, int32_t b);
    // Sets the filter and blend state that the flags' state bits ask for.
    static void ApplyItemStates(uint32_t flags);
    // The texture of the record's piece; a record without a sprite file or
    // definition keeps its own.
    static void ResolveTexture(CSpriteQueueItem& item);
    // Draws one record at once, outside the queue.
    static void DrawItemNow(CSpriteQueueItem& item);

    // The four screen-space vertices of a record (top-left, top-right,
    // bottom-right, bottom-left); false when it draws nothing (clipped away,
    // or naming a frame or piece that does not exist).
    static bool EmitQuad(const CSpriteQueueItem& item, SpriteVertex vertices[4]);
    // Splits a record into one record per visible piece part (pieces and
    // tiles). With params the parts are queued, else drawn at once.
    static void BuildQuads(const SprFile::CSpriteRef& sprite, const CSpriteQueueItem& item, const CParams* params);

    // An empty reference that draws untextured quads.
    static const SprFile::CSpriteRef& GetEmptySprite();
    // True when the sprite's current frame has several pieces or the record
    // asks for splitting or tiling.
    static bool NeedsSplit(const SprFile::CSpriteRef& sprite, const CSpriteQueueItem& item);

    // A new record copied from the whole of a split record, which the
    // splitter finishes at once (flushing a full queue first); null when the
    // queue is not initialised.
    static CQueuedSprite* AppendPart(const CParams& params, const CSpriteQueueItem& whole);
    // A finished part of a split record, already resolved: appended as it is
    // (flushing a full queue first) with params, else drawn at once.
    static void DrawPart(CQueuedSprite& part, const CParams* params);

private:
    // The records order[begin] to order[end - 1] of a flush with these
    // params, one run of equal texture and state; false when the frame is
    // stopped and the run was not drawn.
    static bool DrawRun(const CParams& params, int32_t begin, int32_t end);
    // The software driver's run: buffered in the container, not drawn; its
    // quads are counted on the quit watch as drawn ones are.
    static bool BufferRun(const CParams& params, int32_t begin, int32_t end, CBufferedSpritesContainer& container);
    static void DrawNow(CQueuedSprite& record);
};

} // namespace Engine::Graphics
