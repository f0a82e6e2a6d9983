#pragma once
// Demo data whose notice is one long line: the locale's four time-of-day
// greetings each one line of `length` characters, over bg6 alone (so that
// every run shows the same scene); each case with a twin of a few
// characters. Drawing the notice should cost
// about what the twin's does. The notice is no place-file work, so the
// frame counts' benchmark does not take these.

#include <string>

namespace Tools {

struct CLongNotice {
    const char* name;
    int length;
};

inline constexpr int kLongNoticeScene = 6;

inline constexpr CLongNotice kLongNotices[] = {
    {"LongNotice1M", 1'000'000},
    {"LongNotice10M", 10'000'000},
    {"LongNotice10", 10},
};

const char* LongNoticeName(CLongNotice notice);
// The case named so, or false.
bool FindLongNotice(const std::string& name, CLongNotice& notice);

} // namespace Tools
