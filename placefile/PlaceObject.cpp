#include "placefile/PlaceObject.h"

#include <memory>

#include "app/Exception.h"
#include "app/LoadingQuitCheck.h"
#include "placefile/PlaceGroupObject.h"
#include "placefile/PlaceLayer.h"
#include "placefile/PlaceReading.h"
#include "placefile/PlaceSplineObject.h"
#include "placefile/PlaceSpriteObject.h"
#include "placefile/PlaceVexaObject.h"

namespace Engine::Graphics::PlaceFile {

namespace {
constexpr uint32_t CHUNK_OBJECT = 0x1111;

// The fraction of size at which pos lies; the middle for an empty size.
float LegacyPivot(float position, int32_t start, int32_t size) {
    return size == 0 ? 0.5f : (position - float(start)) / float(size);
}

std::unique_ptr<CPlaceObject> NewObject(uint32_t type, bool legacy, CPlaceLayer* layer, CPlaceGroupObject* parent) {
    switch (type) {
    case PLACE_SPRITE:
    case PLACE_SPRITE_UNLINKED: return std::make_unique<CPlaceSpriteObject>(layer, parent);
    case PLACE_SPLINE: return std::make_unique<CPlaceSplineObject>(layer, parent);
    case PLACE_GROUP: return std::make_unique<CPlaceGroupObject>(layer, parent);
    case PLACE_PARTICLES:
        if (!legacy) return std::make_unique<CPlaceVexaObject>(layer, parent);
        break;
    default: break;
    }
    throw Engine::CException::Format("Unknown place object type %u", type);
}

std::unique_ptr<CPlaceObject> CreateObject(CArchive& ar, CPlaceLayer* layer, CPlaceGroupObject* parent, bool legacy) {
    Engine::CLoadingQuitCheck::Count();
    const uint32_t type = ReadUInt(ar);
    std::unique_ptr<CPlaceObject> object = NewObject(type, legacy, layer, parent);
    object->Type = type;
    if (legacy)
        object->SerializeLegacy(ar);
    else
        object->Serialize(ar);
    return object;
}
} // namespace

CPlaceObject::CPlaceObject(CPlaceLayer* layer, CPlaceGroupObject* parent)
    : Layer(layer), Parent(parent), Properties(layer->Properties.GetDescs()) {}

CPlaceObject* CPlaceObject::FindObjectByID(uint32_t id) {
    return ID == id ? this : nullptr;
}

void CPlaceObject::Draw(const SpriteFlushParams&, float, float, bool, float) {}

void CPlaceObject::DrawAt(float, float, bool, float) {}

void CPlaceObject::SetFlags(uint32_t flags) {
    Flag0 = (flags & 0x01) != 0;
    Flag1 = (flags & 0x02) != 0;
    UseOwnBlendMode = (flags & 0x04) == 0;
    QueueFlag1 = (flags & 0x08) != 0;
    QueueFlag2 = (flags & 0x10) != 0;
}

void CPlaceObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    ExpectChunk(ar, CHUNK_OBJECT, "Invalid '' place  file chunk ID ()");
    ar.ReadString(Name);
    ID = ReadUInt(ar);
    Width = ReadInt(ar);
    Height = ReadInt(ar);
    Position.x = ReadFloat(ar);
    Position.y = ReadFloat(ar);
    Pivot.x = ReadFloat(ar);
    Pivot.y = ReadFloat(ar);
    Angle = ReadFloat(ar);
    SetFlags(ReadUInt(ar));
    Color = ReadUInt(ar);
    SkipChunk(ar);
    Properties.Serialize(ar);
}

void CPlaceObject::SerializeLegacy(CArchive& ar) {
    if (ar.IsStoring()) return;
    ar.ReadString(Name);
    ID = ReadUInt(ar);
    const int32_t left = ReadInt(ar);
    const int32_t top = ReadInt(ar);
    const int32_t right = ReadInt(ar);
    const int32_t bottom = ReadInt(ar);
    // Wrapping differences: a corrupt rectangle must not overflow.
    Width = int32_t(uint32_t(right) - uint32_t(left));
    Height = int32_t(uint32_t(bottom) - uint32_t(top));
    SetFlags(ReadUInt(ar));
    Angle = ReadFloat(ar);
    const float dx = ReadFloat(ar);
    const float dy = ReadFloat(ar);
    Position.x = float(int64_t(left) + right) * 0.5f + dx;
    Position.y = float(int64_t(top) + bottom) * 0.5f + dy;
    Pivot.x = LegacyPivot(Position.x, left, Width);
    Pivot.y = LegacyPivot(Position.y, top, Height);
    Properties.SerializeLegacy(ar);
}

std::unique_ptr<CPlaceObject> CreatePlaceObject(CArchive& ar, CPlaceLayer* layer, CPlaceGroupObject* parent) {
    return CreateObject(ar, layer, parent, false);
}

std::unique_ptr<CPlaceObject> CreatePlaceObjectLegacy(CArchive& ar, CPlaceLayer* layer, CPlaceGroupObject* parent) {
    return CreateObject(ar, layer, parent, true);
}

} // namespace Engine::Graphics::PlaceFile
