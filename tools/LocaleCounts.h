#pragma once
// Locales whose size a count sets, each with its twin: only the start-up
// reads them, so no place-file work or frame sees the count. mkdemo writes
// the whole demo with such a locale (or such global values).

#include <string>

#include "tools/DemoData.h"

namespace Tools {

struct CLocaleCount {
    const char* name = "";
    int hints = kDemoHints;  // HINT_1 on: the demo's own, then numbered ones
    CLongTokens longTokens{};
};

inline constexpr CLocaleCount kLocaleCounts[] = {
    {"LocaleHints1M", 1'000'000},
    {"LocaleLongAttribute100M", kDemoHints, {.ignoredAttribute = 100'000'000}},
    {"LocaleLongText100M", kDemoHints, {.hintText = 100'000'000}},
    {"GlobalLongValue100M", kDemoHints, {.globalValue = 100'000'000}},
    {"LocaleHints", kDemoHints},
};

const char* LocaleCountName(CLocaleCount locale);
// The case named so, or false.
bool FindLocaleCount(const std::string& name, CLocaleCount& locale);

} // namespace Tools
