#include "reflection/Reflector.h"

#include "app/Log.h"

namespace Engine::Reflection::Detail {

void WarnDuplicateName(const CTypeInfo* record, std::string_view name) {
    const CTypeInfo* other = CTypeRegistry::Instance().FindTypeByName(name);
    if (other && other != record)
        GetLog().PrintLine("Reflection: type name '%.*s' is registered twice", static_cast<int>(name.size()),
                           name.data());
}

std::string_view LastNamePart(std::string_view qualifiedName) {
    const size_t split = qualifiedName.rfind("::");
    return split == std::string_view::npos ? qualifiedName : qualifiedName.substr(split + 2);
}

} // namespace Engine::Reflection::Detail
