#include "tools/LocaleCounts.h"

#include "tools/NamedCase.h"

namespace Tools {

const char* LocaleCountName(CLocaleCount locale) { return locale.name; }

bool FindLocaleCount(const std::string& name, CLocaleCount& locale) {
    return FindNamedCase(name, kLocaleCounts, &LocaleCountName, locale);
}

} // namespace Tools
