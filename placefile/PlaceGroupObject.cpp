#include "placefile/PlaceGroupObject.h"

#include "app/Exception.h"
#include "placefile/PlaceFile.h"
#include "placefile/PlaceLayer.h"
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

int CPlaceGroupObject::GetDepth() const {
    int depth = 1;
    for (const CPlaceGroupObject* parent = Parent; parent; parent = parent->Parent) ++depth;
    return depth;
}

void CPlaceGroupObject::ReadChildren(CArchive& ar, uint32_t count, bool legacy) {
    // Reading, searching and destroying recurse once per level: a limit
    // keeps a file of endlessly nested groups from exhausting the stack.
    if (GetDepth() > MAX_DEPTH) {
        const CPlaceFile* placeFile = Layer ? Layer->PlaceFile : nullptr;
        throw Engine::CException::Format("Invalid or corrupted .place file '%s' : groups nested deeper than %d",
                                         placeFile ? placeFile->Name.c_str() : "", MAX_DEPTH);
    }
    CheckCount(ar, count, MIN_CHILD_BYTES);
    Children.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        Children.push_back(legacy ? CreatePlaceObjectLegacy(ar, Layer, this) : CreatePlaceObject(ar, Layer, this));
}

} // namespace Engine::Graphics::PlaceFile
