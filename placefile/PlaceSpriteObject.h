#pragma once
// A place object that shows one sprite: a frame drawn into the object's
// rectangle, rotated and zoomed about its pivot, optionally tiled, shifted
// inside its frame, tinted and blended.

#include <cstdint>
#include <memory>

#include "graphics/SpriteRef.h"
#include "placefile/PlaceObject.h"

namespace Engine::Graphics::PlaceFile {

class CPlaceSpriteObject : public CPlaceObject {
public:
    using CPlaceObject::CPlaceObject;

    // Queues the frame, turned with the parent group about the group's
    // position (the parent's angle alone sets the rotation).
    void Draw(const SpriteFlushParams& params, float x, float y, bool drawHidden, float opacity) override;
    // Queues the frame without any parent rotation and flushes.
    void DrawAt(float x, float y, bool drawHidden, float opacity) override;
    void SerializeLegacy(CArchive& ar) override;
    void Serialize(CArchive& ar) override;

    // The layer's top-level path: no parent, the layer's record, no flush.
    void QueueAt(const SpriteFlushParams& params, float x, float y, float opacity);

    uint32_t BlendMode = 0;
    int32_t SpriteID = -1;
    uint32_t Frame = 0;
    uint8_t SpriteFlag0 = 0;
    uint8_t QueueFlag4 = 0;
    uint8_t TileX = 0;
    uint8_t TileY = 0;
    Engine::Geometry::CVector2 SpriteOffset{0.0f, 0.0f};
    Engine::Geometry::CVector2 SpriteTile{1.0f, 1.0f};
    std::unique_ptr<SprFile::CSpriteRef> Sprite;

private:
    // Appends one item for the frame at the caller's offset (x, y) plus the
    // parent's shift; a, left, top and centre as the drawing path computed
    // them.
    void QueueFrame(const SpriteFlushParams& params, float x, float y, Engine::Geometry::CVector2 shift, float a,
                    float left, float top, Engine::Geometry::CVector2 centre, float opacity);
    uint32_t GetItemFlags() const;
};

// The colour with its alpha byte scaled by opacity (rounded, clamped).
uint32_t ApplyOpacity(uint32_t color, float opacity);

} // namespace Engine::Graphics::PlaceFile
