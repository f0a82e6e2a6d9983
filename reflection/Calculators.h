#pragma once
// Calculators: attached to a type record, they compute with two values of
// that type (the scene model subtracts controller values from properties).

#include <type_traits>

#include "app/Geometry.h"
#include "reflection/Value.h"

namespace Engine::Reflection {

class CCalculator {
public:
    virtual ~CCalculator() = default;
    virtual CValue Subtract(const CValue& a, const CValue& b) const = 0;
};

namespace Detail {
// Integers wrap instead of overflowing.
template <class T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>)
T Difference(T a, T b) {
    if constexpr (std::is_integral_v<T>) {
        using U = std::make_unsigned_t<T>;
        return static_cast<T>(static_cast<U>(static_cast<U>(a) - static_cast<U>(b)));
    } else {
        return a - b;
    }
}
inline Geometry::CVector2 Difference(const Geometry::CVector2& a, const Geometry::CVector2& b) {
    return {a.x - b.x, a.y - b.y};
}
inline Geometry::CVector3 Difference(const Geometry::CVector3& a, const Geometry::CVector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Geometry::CVector4 Difference(const Geometry::CVector4& a, const Geometry::CVector4& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w};
}
inline Geometry::CPoint Difference(const Geometry::CPoint& a, const Geometry::CPoint& b) {
    return {Difference(a.x, b.x), Difference(a.y, b.y)};
}
} // namespace Detail

// Subtracts number from number, or vector from vector component-wise.
template <class T>
class CArithmeticCalculator final : public CCalculator {
public:
    CValue Subtract(const CValue& a, const CValue& b) const override {
        return CValue(Detail::Difference(a.GetAs<const T&>(), b.GetAs<const T&>()));
    }
};

} // namespace Engine::Reflection
