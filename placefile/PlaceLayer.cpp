#include "placefile/PlaceLayer.h"

#include "placefile/PlaceGroupObject.h"
#include "placefile/PlaceReading.h"
#include "placefile/PlaceSpriteObject.h"
#include "placefile/PlaceVexaObject.h"

namespace Engine::Graphics::PlaceFile {

namespace {
constexpr uint32_t CHUNK_LAYER = 0x2222;
// A type code and the smallest object record.
constexpr uint64_t MIN_OBJECT_BYTES = 8;
} // namespace

void FlushSpriteQueue(const SpriteFlushParams& params) {
    if (CSpriteQueue::GetCount() != 0) CSpriteQueue::Flush(params);
}

void CPlaceLayer::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    ExpectChunk(ar, CHUNK_LAYER, "Invalid '' place  file chunk ID (PlaceLayer)");
    ar.ReadString(Name);
    ReadUInt(ar);
    Flag = ReadUInt(ar) != 0;
    const uint32_t flags = ReadUInt(ar);
    FlagBit1 = (flags & 0x02) != 0;
    BatchSprites = (flags & 0x04) != 0;
    ReadUInt(ar);
    CChunkHeader unchecked;
    ar.ReadChunkHeader(unchecked);
    ReadUInt(ar);
    Properties.Serialize(ar);
    ReadObjects(ar, false);
}

void CPlaceLayer::SerializeLegacy(CArchive& ar) {
    if (ar.IsStoring()) return;
    ar.ReadString(Name);
    ReadUInt(ar);
    Flag = ReadUInt(ar) != 0;
    FlagBit1 = ReadUInt(ar) != 0;
    ReadUInt(ar);
    Properties.SerializeLegacy(ar);
    ReadObjects(ar, true);
}

void CPlaceLayer::ReadObjects(CArchive& ar, bool legacy) {
    const uint32_t count = ReadUInt(ar);
    CheckCount(ar, count, MIN_OBJECT_BYTES);
    Objects.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        Objects.push_back(legacy ? CreatePlaceObjectLegacy(ar, this, nullptr) : CreatePlaceObject(ar, this, nullptr));
}

void CPlaceLayer::Draw(float x, float y, float opacity) {
    const SpriteFlushParams params;
    for (const std::unique_ptr<CPlaceObject>& object : Objects) {
        // A quit stopped the frame: the queue takes nothing more.
        if (CSpriteQueue::IsFrameStopped()) return;
        switch (object->Type) {
        case PLACE_GROUP:
            for (const std::unique_ptr<CPlaceObject>& child : static_cast<CPlaceGroupObject&>(*object).Children)
                child->Draw(params, x, y, false, opacity);
            break;
        case PLACE_PARTICLES:
            FlushSpriteQueue(params);
            static_cast<CPlaceVexaObject&>(*object).Render(x, y);
            break;
        case PLACE_SPRITE: {
            auto& sprite = static_cast<CPlaceSpriteObject&>(*object);
            if (!sprite.Sprite || !sprite.Visible) break;
            sprite.QueueAt(params, x, y, opacity);
            if (!BatchSprites) FlushSpriteQueue(params);
            break;
        }
        default: break;
        }
    }
    FlushSpriteQueue(params);
}

} // namespace Engine::Graphics::PlaceFile
