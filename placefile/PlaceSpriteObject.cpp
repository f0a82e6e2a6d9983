#include "placefile/PlaceSpriteObject.h"

#include <algorithm>
#include <cmath>

#include "placefile/PlaceGroupObject.h"
#include "placefile/PlaceLayer.h"
#include "placefile/PlaceReading.h"

namespace Engine::Graphics::PlaceFile {

namespace {
constexpr uint32_t CHUNK_SPRITE = 0x0040;
constexpr uint32_t FORCED_BLEND_MODE = 4;
constexpr uint32_t BLEND_FLAGS[] = {SPRITE_BLEND_ALPHA, SPRITE_BLEND_ALPHA_ADD, SPRITE_BLEND_ADD,
                                    SPRITE_BLEND_ONE_INV_ALPHA, SPRITE_BLEND_OFF};
} // namespace

uint32_t ApplyOpacity(uint32_t color, float opacity) {
    if (opacity == 1.0f) return color;
    const float scaled = std::trunc(opacity * float(color >> 24) + 0.5f);
    // NaN fails both tests and ends at 0.
    const uint32_t alpha = scaled >= 255.0f ? 255u : (scaled > 0.0f ? uint32_t(scaled) : 0u);
    return (color & 0x00FFFFFFu) | (alpha << 24);
}

void CPlaceSpriteObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    CPlaceObject::Serialize(ar);
    ExpectChunk(ar, CHUNK_SPRITE, "Invalid '' place file chunk ID (SpriteObject)");
    SpriteID = ReadInt(ar);
    SpriteOffset.x = ReadFloat(ar);
    SpriteOffset.y = ReadFloat(ar);
    TileX = ReadUInt(ar) != 0;
    TileY = ReadUInt(ar) != 0;
    SpriteTile.x = ReadFloat(ar);
    SpriteTile.y = ReadFloat(ar);
    Frame = ReadUInt(ar);
    const uint32_t flags = ReadUInt(ar);
    SpriteFlag0 = (flags & 0x01) != 0;
    QueueFlag4 = (flags & 0x02) != 0;
    BlendMode = (flags >> 8) & 0x0F;
    if (!UseOwnBlendMode) BlendMode = FORCED_BLEND_MODE;
}

void CPlaceSpriteObject::SerializeLegacy(CArchive& ar) {
    if (ar.IsStoring()) return;
    CPlaceObject::SerializeLegacy(ar);
    SpriteID = ReadInt(ar);
    Frame = ReadUInt(ar);
    SpriteFlag0 = ReadUInt(ar) != 0;
}

void CPlaceSpriteObject::Draw(const SpriteFlushParams& params, float x, float y, bool drawHidden, float opacity) {
    if ((!drawHidden && !Visible) || !Sprite) return;
    const float left = Position.x - float(Width) * Pivot.x;
    const float top = Position.y - float(Height) * Pivot.y;
    if (!Parent) {
        QueueFrame(params, x, y, {0.0f, 0.0f}, Angle, left, top, Position, opacity);
        return;
    }
    const float g = Parent->Angle;
    const float ux = Position.x - Parent->Position.x;
    const float uy = Position.y - Parent->Position.y;
    const float dx = (ux * std::cos(g) - uy * std::sin(g)) - ux;
    const float dy = (ux * std::sin(g) + uy * std::cos(g)) - uy;
    QueueFrame(params, x, y, {dx, dy}, g, left, top, {Position.x + dx, Position.y + dy}, opacity);
}

void CPlaceSpriteObject::QueueAt(const SpriteFlushParams& params, float x, float y, float opacity) {
    if (!Sprite) return;
    const float left = Position.x - float(Width) * Pivot.x;
    const float top = Position.y - float(Height) * Pivot.y;
    QueueFrame(params, x, y, {0.0f, 0.0f}, Angle, left, top, Position, opacity);
}

void CPlaceSpriteObject::DrawAt(float x, float y, bool drawHidden, float opacity) {
    if ((!drawHidden && !Visible) || !Sprite) return;
    const SpriteFlushParams params;
    QueueAt(params, x, y, opacity);
    FlushSpriteQueue(params);
}

uint32_t CPlaceSpriteObject::GetItemFlags() const {
    uint32_t flags = (TileX || TileY) ? SPRITE_TILE : SPRITE_SPLIT;
    if (QueueFlag1) flags |= SPRITE_MIRROR_X;
    if (QueueFlag2) flags |= SPRITE_MIRROR_Y;
    if (QueueFlag4) flags |= SPRITE_LINEAR_FILTER;
    if (BlendMode < std::size(BLEND_FLAGS)) flags |= BLEND_FLAGS[BlendMode];
    return flags;
}

void CPlaceSpriteObject::QueueFrame(const SpriteFlushParams& params, float x, float y, Engine::Geometry::CVector2 shift,
                                    float a, float left, float top, Engine::Geometry::CVector2 centre, float opacity) {
    const float w = float(Width);
    const float h = float(Height);
    const int32_t frame = std::max(0, Sprite->GetFrame());
    const float fw = float(Sprite->GetSpriteFrameWidth(frame));
    const float fh = float(Sprite->GetSpriteFrameHeight(frame));
    const float zw = w * Zoom.x;
    const float zh = h * Zoom.y;
    // An empty rectangle, frame or tile shows nothing and would make the
    // item's scale and pivot infinite.
    if (zw == 0.0f || zh == 0.0f || fw == 0.0f || fh == 0.0f || SpriteTile.x == 0.0f || SpriteTile.y == 0.0f) return;
    const float px = (centre.x - left) / w;
    const float py = (centre.y - top) / h;
    const float sx = TileX ? 1.0f / SpriteTile.x : zw / (fw * SpriteTile.x);
    const float sy = TileY ? 1.0f / SpriteTile.y : zh / (fh * SpriteTile.y);
    const float itemX = x + shift.x + centre.x + (0.5f - px) * zw;
    const float itemY = y + shift.y + centre.y + (0.5f - py) * zh;

    CSpriteQueueItem* item = CSpriteQueue::Append(params, *Sprite, ApplyOpacity(Color, opacity));
    if (!item) return;
    item->x = itemX;
    item->y = itemY;
    item->sourceX = fw * SpriteOffset.x;
    item->sourceY = fh * SpriteOffset.y;
    item->sourceWidth = zw / sx;
    item->sourceHeight = zh / sy;
    item->angle = a;
    item->scaleX = sx;
    item->scaleY = sy;
    // About the centre moved by the caller's offset (not by the parent's
    // shift, which the centre already holds), so that a moved layer turns
    // about the same point of the sprite.
    item->pivotX = x + centre.x - itemX;
    item->pivotY = y + centre.y - itemY;
    item->flags = GetItemFlags();
    item->centred = 1;
    CSpriteQueue::CommitLast(params);
}

} // namespace Engine::Graphics::PlaceFile
