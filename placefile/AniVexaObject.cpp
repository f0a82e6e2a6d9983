#include "placefile/AniVexaObject.h"

#include <array>

#include "app/Math.h"
#include "placefile/PlaceReading.h"

namespace Engine::Graphics::PlaceFile {

using Engine::Geometry::CVector4;

void CAniVexaObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    CAniPlaceObject::Serialize(ar);
    SkipChunk(ar);
}

CPlaceVexaObject::CVexaEmitter* CAniVexaObject::Emitter() const {
    auto* vexa = dynamic_cast<CPlaceVexaObject*>(m_object);
    return vexa ? &vexa->Emitter : nullptr;
}

void CAniVexaObject::SetTime(float value) {
    if (auto* emitter = Emitter()) emitter->Time = value;
}

float CAniVexaObject::GetTime() {
    const auto* emitter = Emitter();
    return emitter ? emitter->Time : 0.0f;
}

void CAniVexaObject::SetIsEmitting(bool value) {
    if (auto* emitter = Emitter()) emitter->IsEmitting = value ? 1 : 0;
}

bool CAniVexaObject::GetIsEmitting() {
    const auto* emitter = Emitter();
    return emitter && emitter->IsEmitting != 0;
}

void CAniVexaObject::SetTintColor(CVector4 value) {
    auto* emitter = Emitter();
    if (!emitter) return;
    std::array<float, 4> rgba{value.x, value.y, value.z, value.w};
    ClampColorRGBA(rgba);
    emitter->TintColor = {rgba[0], rgba[1], rgba[2], rgba[3]};
}

CVector4 CAniVexaObject::GetTintColor() {
    const auto* emitter = Emitter();
    return emitter ? emitter->TintColor : CVector4{};
}

} // namespace Engine::Graphics::PlaceFile
