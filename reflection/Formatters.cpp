#include "reflection/Formatters.h"

#include <charconv>

#include "reflection/TypeInfo.h"

namespace Engine::Reflection {
namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

template <class N>
bool FromChars(std::string_view text, N& out) {
    text = Trim(text);
    if (text.empty()) return false;
    N value{};
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return false;
    out = value;
    return true;
}

template <class... Format>
std::string ToChars(auto value, Format... format) {
    std::array<char, 128> buffer;
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format...);
    return std::string(buffer.data(), result.ptr);
}

} // namespace

namespace Detail {

void AppendFixed(std::string& out, float value) {
    out += ToChars(value, std::chars_format::fixed, 6);
}

void AppendNumber(std::string& out, std::int32_t value) {
    out += ToChars(value);
}

bool ParseNumber(std::string_view text, float& out) {
    return FromChars(text, out);
}

bool ParseNumber(std::string_view text, std::int32_t& out) {
    return FromChars(text, out);
}

std::string FormatPrimitive(bool value) {
    return value ? "true" : "false";
}
std::string FormatPrimitive(long long value) {
    return ToChars(value);
}
std::string FormatPrimitive(unsigned long long value) {
    return ToChars(value);
}
std::string FormatPrimitive(float value) {
    return ToChars(value);
}
std::string FormatPrimitive(double value) {
    return ToChars(value);
}
std::string FormatPrimitive(long double value) {
    return ToChars(value);
}

bool ParsePrimitive(std::string_view text, bool& out) {
    const std::string_view word = Trim(text);
    if (word != "true" && word != "1" && word != "false" && word != "0") return false;
    out = word == "true" || word == "1";
    return true;
}
bool ParsePrimitive(std::string_view text, long long& out) {
    return FromChars(text, out);
}
bool ParsePrimitive(std::string_view text, unsigned long long& out) {
    return FromChars(text, out);
}
bool ParsePrimitive(std::string_view text, float& out) {
    return FromChars(text, out);
}
bool ParsePrimitive(std::string_view text, double& out) {
    return FromChars(text, out);
}
bool ParsePrimitive(std::string_view text, long double& out) {
    return FromChars(text, out);
}

} // namespace Detail

std::string FormatValue(const CValue& value) {
    if (value.IsEmpty()) throw CEmptyValueException();
    const CTypeFormatter* formatter = value.GetType()->GetFormatter();
    if (!formatter)
        throw CReflectionException(FormatString("no text form for type '%s'", value.GetType()->GetFullName().c_str()));
    return formatter->Format(value);
}

CValue ParseValue(std::string_view text, const CTypeInfo* type) {
    const CTypeFormatter* formatter = type->GetFormatter();
    if (!formatter)
        throw CReflectionException(FormatString("no text form for type '%s'", type->GetFullName().c_str()));
    CValue value;
    if (!formatter->TryParse(text, value))
        throw CReflectionException(FormatString("'%.*s' is not a value of type '%s'", static_cast<int>(text.size()),
                                                text.data(), type->GetFullName().c_str()));
    return value;
}

} // namespace Engine::Reflection
