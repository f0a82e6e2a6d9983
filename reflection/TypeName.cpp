#include "reflection/TypeName.h"

namespace Engine::Reflection {

void SplitQualifiedTypeName(std::string_view name, std::string& shortName, std::string& scope) {
    size_t split = std::string_view::npos;
    int depth = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '<') {
            ++depth;
        } else if (c == '>') {
            if (depth > 0) --depth;
        } else if (depth == 0 && c == ':' && i + 1 < name.size() && name[i + 1] == ':') {
            split = i;
            ++i;
        }
    }
    if (split == std::string_view::npos) {
        scope.clear();
        shortName.assign(name);
        return;
    }
    scope.assign(name.substr(0, split));
    shortName.assign(name.substr(split + 2));
}

std::string ExpandTypeNameCommas(std::string_view name) {
    static constexpr std::string_view kComma = " COMMA ";
    std::string result;
    result.reserve(name.size());
    size_t pos = 0;
    for (size_t hit; (hit = name.find(kComma, pos)) != std::string_view::npos; pos = hit + kComma.size()) {
        result.append(name.substr(pos, hit - pos));
        result.append(", ");
    }
    result.append(name.substr(pos));
    return result;
}

} // namespace Engine::Reflection
