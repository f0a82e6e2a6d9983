#pragma once
// A place object that keeps a curve: points with two control points each,
// open or closed. It draws nothing; its users find it by ID.

#include <cstdint>
#include <vector>

#include "placefile/PlaceObject.h"

namespace Engine::Graphics::PlaceFile {

struct CSplinePoint {
    Engine::Geometry::CVector3 Point;
    Engine::Geometry::CVector3 ControlA;
    Engine::Geometry::CVector3 ControlB;
    uint32_t Tag0 = 0;
    uint32_t Tag1 = 0;
};

class CPlaceSplineObject : public CPlaceObject {
public:
    using CPlaceObject::CPlaceObject;

    void SerializeLegacy(CArchive& ar) override;
    void Serialize(CArchive& ar) override;

    std::vector<CSplinePoint> Points;
    uint8_t Closed = 0;
};

} // namespace Engine::Graphics::PlaceFile
