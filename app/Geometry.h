#pragma once
// Plain geometry values shared by every subsystem. Vectors and CRectF hold
// floats; CPoint and CRect hold 32-bit integers.

#include <cstdint>

namespace Engine::Geometry {

struct CVector2 {
    float x = 0, y = 0;
    friend bool operator==(const CVector2&, const CVector2&) = default;
};

struct CVector3 {
    float x = 0, y = 0, z = 0;
    friend bool operator==(const CVector3&, const CVector3&) = default;
};

struct CVector4 {
    float x = 0, y = 0, z = 0, w = 0;
    friend bool operator==(const CVector4&, const CVector4&) = default;
};

struct CPoint {
    int32_t x = 0, y = 0;
    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const CRect&, const CRect&) = default;
};

struct CRectF {
    float left = 0, top = 0, right = 0, bottom = 0;
    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
    friend bool operator==(const CRectF&, const CRectF&) = default;
};

} // namespace Engine::Geometry
