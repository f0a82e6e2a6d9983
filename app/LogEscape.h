#pragma once
// Log text is read in terminals and editors: bytes that would act there
// (control characters, broken UTF-8 from a damaged file's names) are
// written as \xNN instead.

#include <string>
#include <string_view>

// Keeps printable ASCII and well-formed UTF-8 of printable characters;
// every other byte becomes \xNN (two upper-case hex digits).
std::string EscapeForLog(std::string_view text);
