#include "placefile/AniPlaceObject.h"

#include <array>
#include <cmath>
#include <limits>

#include "app/Exception.h"
#include "app/Math.h"
#include "placefile/PlaceFile.h"
#include "placefile/PlaceObject.h"
#include "placefile/PlaceReading.h"

namespace Engine::Graphics::PlaceFile {

using Engine::Geometry::CVector2;
using Engine::Geometry::CVector4;

int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    constexpr double low = std::numeric_limits<int32_t>::min(), high = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(std::trunc(value), low, high));
}

float ByteToPercent(uint32_t byte) { return static_cast<float>(double(byte & 0xFFu) / 255.0 * 100.0); }

CAniPlaceObject::CAniPlaceObject(Engine::Scene::CReflectionAniObject* pRefObject) : m_refObject(pRefObject) {}

CString CAniPlaceObject::GetName() const { return m_object ? m_object->Name : CString("No Object!"); }

void CAniPlaceObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    CChunkHeader header;
    ar.ReadChunkHeader(header);
    const uint32_t id = ReadUInt(ar);
    m_object = BindObject(GetCurrentPlaceFile().get(), id);
}

void CAniPlaceObject::Unbind() { m_refObject = nullptr; }

CPlaceObject* CAniPlaceObject::BindObject(const CPlaceFile* placeFile, uint32_t id) {
    CPlaceObject* found = placeFile ? placeFile->FindObjectByID(id) : nullptr;
    if (!found)
        throw Engine::CException::Format("Can't find object '%d' in place file '%s'", int32_t(id),
                                         placeFile ? placeFile->Name.c_str() : "");
    return found;
}

void CAniPlaceObject::SetAngle(float value) {
    if (m_object) m_object->Angle = value * kDegreesToRadians;
}

float CAniPlaceObject::GetAngle() const { return m_object ? m_object->Angle * kRadiansToDegrees : 0.0f; }

void CAniPlaceObject::SetPosition(CVector2 value) {
    if (m_object) m_object->Position = value;
}

CVector2 CAniPlaceObject::GetPosition() const { return m_object ? m_object->Position : CVector2{0.0f, 0.0f}; }

void CAniPlaceObject::SetSize(CVector2 value) {
    if (!m_object) return;
    m_object->Width = TruncateToInt32(value.x);
    m_object->Height = TruncateToInt32(value.y);
}

CVector2 CAniPlaceObject::GetSize() const {
    if (!m_object) return {0.0f, 0.0f};
    return {float(m_object->Width), float(m_object->Height)};
}

void CAniPlaceObject::SetZoom(CVector2 value) {
    if (m_object) m_object->Zoom = {value.x * kPercent, value.y * kPercent};
}

CVector2 CAniPlaceObject::GetZoom() const {
    if (!m_object) return {0.0f, 0.0f};
    return {m_object->Zoom.x * 100.0f, m_object->Zoom.y * 100.0f};
}

void CAniPlaceObject::SetColor(CVector4 value) {
    if (!m_object) return;
    std::array<float, 4> rgba{value.x * kPercent, value.y * kPercent, value.z * kPercent, value.w * kPercent};
    ClampColorRGBA(rgba);
    m_object->Color = PackColorRGBA(rgba[0], rgba[1], rgba[2], rgba[3]);
}

CVector4 CAniPlaceObject::GetColor() const {
    if (!m_object) return {0.0f, 0.0f, 0.0f, 0.0f};
    const uint32_t c = m_object->Color;
    return {ByteToPercent(c), ByteToPercent(c >> 8), ByteToPercent(c >> 16), ByteToPercent(c >> 24)};
}

} // namespace Engine::Graphics::PlaceFile
