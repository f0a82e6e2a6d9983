#include "placefile/PlaceGroupObject.h"

#include "placefile/PlaceReading.h"

namespace Engine::Graphics::PlaceFile {

namespace {
constexpr uint32_t CHUNK_GROUP = 0xABAB;
// A type code and the smallest object record.
constexpr uint64_t MIN_CHILD_BYTES = 8;
} // namespace

CPlaceObject* CPlaceGroupObject::FindObjectByID(uint32_t id) {
    if (ID == id) return this;
    for (const std::unique_ptr<CPlaceObject>& child : Children)
        if (CPlaceObject* found = child->FindObjectByID(id)) return found;
    return nullptr;
}

void CPlaceGroupObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    CPlaceObject::Serialize(ar);
    ExpectChunk(ar, CHUNK_GROUP, "Invalid '' place file chunk ID (GroupObject)");
    const uint32_t count = ReadUInt(ar);
    SkipChunk(ar);
    ReadChildren(ar, count, false);
}

void CPlaceGroupObject::SerializeLegacy(CArchive& ar) {
    if (ar.IsStoring()) return;
    CPlaceObject::SerializeLegacy(ar);
    GroupWord0 = ReadUInt(ar);
    GroupWord1 = ReadUInt(ar);
    ReadChildren(ar, ReadUInt(ar), true);
}

void CPlaceGroupObject::ReadChildren(CArchive& ar, uint32_t count, bool legacy) {
    CheckCount(ar, count, MIN_CHILD_BYTES);
    Children.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        Children.push_back(legacy ? CreatePlaceObjectLegacy(ar, Layer, this) : CreatePlaceObject(ar, Layer, this));
}

} // namespace Engine::Graphics::PlaceFile
