#pragma once
// The demo's locale with many elements that its reader skips with a warning
// each: kern pairs of the font "main" without an amount, and strings whose
// key is taken already. A run on it should log a few of each and their
// count, not one line per element. mkdemo writes the whole demo with it.

#include <string>

#include "tools/PakWriter.h"

namespace Tools {

struct CNoisyLocale {
    const char* name;
    int count;  // of each kind of skipped element
};

inline constexpr CNoisyLocale kNoisyLocales[] = {
    {"LocaleNoisy1M", 1'000'000},
};

const char* NoisyLocaleName(CNoisyLocale locale);
// The case named so, or false.
bool FindNoisyLocale(const std::string& name, CNoisyLocale& locale);

// Adds `count` kern pairs without an amount to the font "main" of the pack's
// "xml/Locale.xml", and `count` more strings under the key HINT_1 after its
// own. Throws Engine::CException when the pack has no such locale.
void AddLocaleNoise(CPakWriter& pack, int count);

} // namespace Tools
