#pragma once
// Comparators: attached to a type record, they compare two values of that
// type. CValue::Equals converts the other operand first, so both operands
// arrive as the comparator's own type.

#include <functional>
#include <type_traits>

#include "reflection/Value.h"

namespace Engine::Reflection {

class CComparator {
public:
    virtual ~CComparator() = default;
    virtual bool Equal(const CValue& a, const CValue& b) const = 0;
    virtual bool LessOrEqual(const CValue& a, const CValue& b) const = 0;
};

// Orders values with the type's own order. Pointers compare by address at
// full width (null first); enumerations as signed numbers, so a value with
// the top bit set orders below 0.
template <class T>
class CTotalOrderComparator final : public CComparator {
public:
    bool Equal(const CValue& a, const CValue& b) const override {
        const auto left = Key(a);
        return left == Key(b);
    }
    bool LessOrEqual(const CValue& a, const CValue& b) const override {
        const auto left = Key(a);
        const auto right = Key(b);
        if constexpr (std::is_pointer_v<T>)
            return !std::less<T>()(right, left);
        else
            return left <= right;
    }

private:
    static auto Key(const CValue& value) {
        if constexpr (std::is_enum_v<T>)
            return static_cast<std::make_signed_t<std::underlying_type_t<T>>>(value.GetAs<const T&>());
        else
            return Detail::ExtractResult<const T&>(value.GetAs<const T&>());
    }
};

// Tells equal values apart but has no order.
template <class T>
class CEqualityComparator final : public CComparator {
public:
    bool Equal(const CValue& a, const CValue& b) const override {
        const T& left = a.GetAs<const T&>();
        return left == b.GetAs<const T&>();
    }
    bool LessOrEqual(const CValue&, const CValue&) const override { throw CComparisonOperatorNotSupportedException(); }
};

} // namespace Engine::Reflection
