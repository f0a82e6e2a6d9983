#include <gtest/gtest.h>

#include <string>

#include "platform/Unicode.h"

namespace {

struct CUnicodeCase {
    const char* name;
    std::string utf8;      // read by Utf8ToUtf16
    std::u16string wide;   // what it gives
    std::string stored;    // Utf16ToUtf8 of that
};

const std::string kR = "\xEF\xBF\xBD";  // U+FFFD stored

const CUnicodeCase kCases[] = {
    {"Empty", "", u"", ""},
    {"OneTwoAndThreeBytes", "A\xC3\xA9\xE2\x82\xAC", u"A\u00E9\u20AC", "A\xC3\xA9\xE2\x82\xAC"},
    {"LengthBoundaries", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", u"\x7F\u0080\u07FF\u0800\uFFFF",
     "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
    // Four bytes in, a pair of units; stored back unit by unit.
    {"FourBytesBecomeAPair", "\xF0\x9F\x98\x80", u"\xD83D\xDE00", "\xED\xA0\xBD\xED\xB8\x80"},
    {"PairStoredUnitByUnitReadsBack", "\xED\xA0\xBD\xED\xB8\x80", u"\xD83D\xDE00", "\xED\xA0\xBD\xED\xB8\x80"},
    {"LoneSurrogatesKept", "a\xED\xA0\x80" "b\xED\xB0\x80", u"a\xD800" u"b\xDC00", "a\xED\xA0\x80" "b\xED\xB0\x80"},
    {"HighestCodePoint", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF", "\xED\xAF\xBF\xED\xBF\xBF"},
    // Each byte of an invalid sequence becomes U+FFFD: bad leads, a stray
    // continuation, a missing one, truncated, overlong, beyond U+10FFFF.
    {"BadBytes", "a\xFF\xF8\x80\xC3z", u"a\uFFFD\uFFFD\uFFFD\uFFFDz", "a" + kR + kR + kR + kR + "z"},
    {"Truncated", "\xF0\x9F\x98", u"\uFFFD\uFFFD\uFFFD", kR + kR + kR},
    {"Overlong", "\xC0\xAF\xE0\x80\x80", std::u16string(5, 0xFFFD), kR + kR + kR + kR + kR},
    {"BeyondU10FFFF", "\xF4\x90\x80\x80", std::u16string(4, 0xFFFD), kR + kR + kR + kR},
};

class UnicodeTest : public ::testing::TestWithParam<CUnicodeCase> {};

TEST_P(UnicodeTest, ReadsAndStores) {
    EXPECT_EQ(Platform::Utf8ToUtf16(GetParam().utf8), GetParam().wide);
    EXPECT_EQ(Platform::Utf16ToUtf8(GetParam().wide), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Texts, UnicodeTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
