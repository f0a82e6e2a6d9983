#include "scene/controllers/Keys.h"

#include "scene/SceneArchive.h"

namespace Engine::Scene {

namespace {

void SerializeFloat(CArchive& ar, float& value) {
    if (ar.IsStoring())
        ar.WriteFloat(value);
    else
        ar.ReadFloat(value);
}

void SerializeDWord(CArchive& ar, uint32_t& value) {
    if (ar.IsStoring())
        ar.WriteDWord(value);
    else
        ar.ReadDWord(value);
}

} // namespace

void IKey::SerializeHead(CArchive& ar) {
    SerializeDWord(ar, flags);
    SerializeDouble(ar, time);
}

void IFloatValueKey::Serialize(CArchive& ar) {
    SerializeHead(ar);
    SerializeFloat(ar, value);
}

void IBezFloatKey::Serialize(CArchive& ar) {
    SerializeHead(ar);
    SerializeFloat(ar, value);
    SerializeFloat(ar, inSlope);
    SerializeFloat(ar, inLength);
    SerializeFloat(ar, outSlope);
    SerializeFloat(ar, outLength);
    SerializeDWord(ar, inKind);
    SerializeDWord(ar, outKind);
}

} // namespace Engine::Scene
