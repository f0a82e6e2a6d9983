#pragma once
// Demo data whose notice is one long line: the locale's four time-of-day
// greetings each one line of `length` characters, with the demo's scenes;
// each case with a twin of a few characters. Drawing the notice should cost
// about what the twin's does. The notice is no place-file work, so the
// frame counts' benchmark does not take these.

#include <string>

namespace Tools {

struct CLongNotice {
    const char* name;
    int length;
};

inline constexpr CLongNotice kLongNotices[] = {
    {"LongNotice1M", 1'000'000},
    {"LongNotice10", 10},
};

const char* LongNoticeName(CLongNotice notice);
// The case named so, or false.
bool FindLongNotice(const std::string& name, CLongNotice& notice);

} // namespace Tools
