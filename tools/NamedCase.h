#pragma once
// The case of a list whose name is the given one, for the tools and tests
// that take a damaged case by name.

#include <algorithm>
#include <cstddef>
#include <string>

namespace Tools {

template <class Case, size_t N>
bool FindNamedCase(const std::string& name, const Case (&cases)[N], const char* (*nameOf)(Case), Case& found) {
    const Case* at = std::find_if(std::begin(cases), std::end(cases), [&](Case c) { return name == nameOf(c); });
    if (at == std::end(cases)) return false;
    found = *at;
    return true;
}

} // namespace Tools
