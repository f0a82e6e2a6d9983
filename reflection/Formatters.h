#pragma once
// Type formatters turn a value into text and back. They belong to a type
// record and are never converters: text is not a path between types.
//
// Field lists (the geometry types) are comma-separated fields in the C
// locale whatever the process locale: floats as "%f", integers as "%d".
// Parsing wants exactly the number of fields; spaces around a field are
// optional, integers are range-checked decimals and trailing text is
// refused. Primitives: bool as "true"/"false" (parsing also takes "1"/"0"),
// characters and integers as decimals, floating types in the shortest form
// that reads back exactly, std::string as itself.

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "reflection/Value.h"

namespace Engine::Reflection {

class CTypeFormatter {
public:
    virtual ~CTypeFormatter() = default;
    virtual std::string Format(const CValue& value) const = 0;
    // False (and out untouched) for text that is not a value of the type.
    virtual bool TryParse(std::string_view text, CValue& out) const = 0;
};

// The text of a value by its static type's formatter. Throws
// CEmptyValueException for the empty value, CReflectionException for a
// type without a text form.
std::string FormatValue(const CValue& value);
// A value of the type read from text; CReflectionException with a message
// naming the type when the type has no text form or the text is bad.
CValue ParseValue(std::string_view text, const CTypeInfo* type);

namespace Detail {
void AppendFixed(std::string& out, float value);
void AppendNumber(std::string& out, std::int32_t value);
// Whole-text numbers, spaces around allowed; false on anything else.
bool ParseNumber(std::string_view text, float& out);
bool ParseNumber(std::string_view text, std::int32_t& out);
} // namespace Detail

// A struct of N fields of one type (float or int32), in member order.
template <class T, class Field, size_t N>
class CFieldListFormatter final : public CTypeFormatter {
public:
    using Members = std::array<Field T::*, N>;
    explicit CFieldListFormatter(Members members) : m_members(members) {}

    std::string Format(const CValue& value) const override {
        const T& object = value.GetAs<const T&>();
        std::string text;
        for (size_t i = 0; i < N; ++i) {
            if (i) text += ", ";
            if constexpr (std::is_same_v<Field, float>)
                Detail::AppendFixed(text, object.*m_members[i]);
            else
                Detail::AppendNumber(text, object.*m_members[i]);
        }
        return text;
    }

    bool TryParse(std::string_view text, CValue& out) const override {
        T object{};
        for (size_t field = 0, start = 0; field < N; ++field) {
            const size_t comma = text.find(',', start);
            const bool last = field + 1 == N;
            if ((comma == std::string_view::npos) != last) return false;
            if (!Detail::ParseNumber(text.substr(start, comma - start), object.*m_members[field])) return false;
            start = comma + 1;
        }
        out = CValue(object);
        return true;
    }

private:
    Members m_members;
};

template <class T, class Field, size_t N>
std::unique_ptr<CTypeFormatter> MakeFieldListFormatter(const std::array<Field T::*, N>& members) {
    return std::make_unique<CFieldListFormatter<T, Field, N>>(members);
}

namespace Detail {
std::string FormatPrimitive(bool value);
std::string FormatPrimitive(long long value);
std::string FormatPrimitive(unsigned long long value);
std::string FormatPrimitive(float value);
std::string FormatPrimitive(double value);
std::string FormatPrimitive(long double value);
bool ParsePrimitive(std::string_view text, bool& out);
bool ParsePrimitive(std::string_view text, long long& out);
bool ParsePrimitive(std::string_view text, unsigned long long& out);
bool ParsePrimitive(std::string_view text, float& out);
bool ParsePrimitive(std::string_view text, double& out);
bool ParsePrimitive(std::string_view text, long double& out);
} // namespace Detail

template <class T>
class CPrimitiveFormatter final : public CTypeFormatter {
    // Integers of every width go through the widest one of their signedness.
    using Wide = std::conditional_t<std::is_integral_v<T> && !std::is_same_v<T, bool>,
                                    std::conditional_t<std::is_signed_v<T>, long long, unsigned long long>, T>;

public:
    std::string Format(const CValue& value) const override {
        if constexpr (std::is_same_v<T, std::string>)
            return value.GetAs<const std::string&>();
        else
            return Detail::FormatPrimitive(static_cast<Wide>(value.GetAs<const T&>()));
    }

    bool TryParse(std::string_view text, CValue& out) const override {
        if constexpr (std::is_same_v<T, std::string>) {
            out = CValue(std::string(text));
        } else {
            Wide wide{};
            if (!Detail::ParsePrimitive(text, wide)) return false;
            if constexpr (!std::is_same_v<Wide, T>) {
                if (wide < Wide(std::numeric_limits<T>::min()) || wide > Wide(std::numeric_limits<T>::max()))
                    return false;
            }
            out = CValue(static_cast<T>(wide));
        }
        return true;
    }
};

} // namespace Engine::Reflection
