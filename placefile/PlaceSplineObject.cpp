#include "placefile/PlaceSplineObject.h"

#include "app/LoadingQuitCheck.h"
#include "placefile/PlaceReading.h"

namespace Engine::Graphics::PlaceFile {

namespace {
constexpr uint32_t CHUNK_SPLINE = 0xCACA;
constexpr uint32_t CHUNK_SPLINE_POINTS = 0x0100;
// Six coordinates and two tags.
constexpr uint64_t POINT_BYTES = 32;

// Control A, control B, the point (x, y each), then the tags.
template <class ReadCoordinate>
CSplinePoint ReadPoint(CArchive& ar, ReadCoordinate read) {
    CSplinePoint point;
    for (Engine::Geometry::CVector3* v : {&point.ControlA, &point.ControlB, &point.Point}) {
        v->x = read(ar);
        v->y = read(ar);
    }
    point.Tag0 = ReadUInt(ar);
    point.Tag1 = ReadUInt(ar);
    return point;
}

template <class ReadCoordinate>
void ReadPoints(CArchive& ar, std::vector<CSplinePoint>& points, int32_t count, ReadCoordinate read) {
    if (count <= 0) return;
    CheckCount(ar, uint32_t(count), POINT_BYTES);
    points.reserve(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        Engine::CLoadingQuitCheck::Count();
        points.push_back(ReadPoint(ar, read));
    }
}
} // namespace

void CPlaceSplineObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    CPlaceObject::Serialize(ar);
    ExpectChunk(ar, CHUNK_SPLINE, "Invalid '' place file chunk ID (SplineObject)");
    const int32_t count = ReadInt(ar);
    Closed = ReadUInt(ar) != 0;
    ExpectChunk(ar, CHUNK_SPLINE_POINTS, "Invalid '' place file chunk ID (ResSplineObject)");
    ReadPoints(ar, Points, count, [](CArchive& a) { return ReadFloat(a); });
}

void CPlaceSplineObject::SerializeLegacy(CArchive& ar) {
    if (ar.IsStoring()) return;
    CPlaceObject::SerializeLegacy(ar);
    const int32_t count = ReadInt(ar);
    Closed = ReadUInt(ar) != 0;
    ReadPoints(ar, Points, count, [](CArchive& a) { return float(ReadInt(a)); });
}

} // namespace Engine::Graphics::PlaceFile
