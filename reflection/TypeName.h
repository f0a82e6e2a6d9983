#pragma once
// Helpers for the registered names of types.

#include <string>
#include <string_view>

namespace Engine::Reflection {

// Splits at the last "::" that lies outside angle brackets. Without one the
// scope is empty and the short name is the whole name.
void SplitQualifiedTypeName(std::string_view name, std::string& shortName, std::string& scope);

// Registered names spell a comma inside template arguments as " COMMA "
// (a comma cannot pass through a macro argument); this turns each into ", ".
std::string ExpandTypeNameCommas(std::string_view name);

} // namespace Engine::Reflection
