#pragma once
// A record as the sprite queue keeps it: the producer's record together with
// what the queue works out once when the record is queued.

#include <cmath>

#include "graphics/SpriteQueueItem.h"
#include "graphics/SpriteRef.h"
#include "graphics/SpriteSource.h"

namespace Engine::Graphics {

// Aligned to cache lines: a flush reads the records of a run in sorted
// order, not in the order they lie in memory, and an aligned record spans
// three lines where an unaligned one mostly spans four.
struct alignas(64) CQueuedSprite {
    CQueuedSprite() = default;
    explicit CQueuedSprite(const CSpriteQueueItem& record) : item(record) {}

    // Finds the frame and piece and turns the angle into its sine and
    // cosine. The texture is left for the flush: a texture made or reloaded
    // after queueing must still be the one drawn.
    void Resolve() {
        ResolveSource();
        ResolveRotation();
    }
    void ResolveSource() { source = FindSpriteSource(item); }
    void ResolveRotation() {
        if (item.angle == 0.0f)
            SetRotation(0.0f, 1.0f);
        else
            SetRotation(std::sin(item.angle), std::cos(item.angle));
    }
    void SetRotation(float sineOfAngle, float cosineOfAngle) {
        sine = sineOfAngle;
        cosine = cosineOfAngle;
        resolved = true;
    }
    // False when the sprite lost its definition since (its file was
    // emptied): the pointers into the definition must not be followed.
    bool IsCurrent() const {
        return resolved && (!item.sprite || item.sprite->GetDefinition() == source.definition);
    }

    CSpriteQueueItem item;
    CSpriteSource source;
    // The texture the flush found for the record; the sprite file (or the
    // record itself) holds it while the flush draws.
    CTexture* texture = nullptr;
    float sine = 0.0f;
    float cosine = 1.0f;
    bool resolved = false;
};

} // namespace Engine::Graphics
