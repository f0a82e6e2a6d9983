#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/Clipboard.h"
#include "platform/GlobalMemory.h"
#include "platform/Testing.h"

namespace {

struct CClipCase {
    const char* name;
    UINT writeFormat;
    std::u16string wideText;  // written as Unicode
    std::string ansiText;     // written as ANSI (UTF-8)
    UINT readFormat;
};

void PrintTo(const CClipCase& c, std::ostream* os) { *os << c.name; }

HGLOBAL Block(const void* data, size_t bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(block), data, bytes);
    GlobalUnlock(block);
    return block;
}

class ClipboardTest : public ::testing::TestWithParam<CClipCase> {
protected:
    void SetUp() override { Platform::Testing::Reset(); }
    void TearDown() override { Platform::Testing::Reset(); }
};

} // namespace

TEST_P(ClipboardTest, RoundTrip) {
    const CClipCase& c = GetParam();
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = c.writeFormat == CF_UNICODETEXT ? Block(c.wideText.c_str(), (c.wideText.size() + 1) * 2)
                                                    : Block(c.ansiText.c_str(), c.ansiText.size() + 1);
    EXPECT_EQ(SetClipboardData(c.writeFormat, block), block);
    CloseClipboard();

    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL read = GetClipboardData(c.readFormat);
    ASSERT_NE(read, nullptr);
    if (c.readFormat == CF_UNICODETEXT) {
        EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(read))), c.wideText);
        EXPECT_EQ(GlobalSize(read), (c.wideText.size() + 1) * 2);
    } else {
        EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(read))), c.ansiText);
    }
    CloseClipboard();
    EXPECT_EQ(GlobalLock(read), nullptr) << "the clipboard frees what it handed out when closed";
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ClipboardTest,
    ::testing::Values(CClipCase{"AnsiToAnsi", CF_TEXT, u"", "Hello, world", CF_TEXT},
                      CClipCase{"AnsiToUnicode", CF_TEXT, u"Gr\u00FC\u00DFe", "Gr\xC3\xBC\xC3\x9F" "e", CF_UNICODETEXT},
                      CClipCase{"UnicodeToUnicode", CF_UNICODETEXT, u"\u00DCn\u00EFc\u00F8d\u00E9 \U0001F600", "",
                                CF_UNICODETEXT},
                      CClipCase{"UnicodeToAnsi", CF_UNICODETEXT, u"\u00E9t\u00E9", "\xC3\xA9t\xC3\xA9", CF_TEXT}),
    [](const ::testing::TestParamInfo<CClipCase>& info) { return std::string(info.param.name); });

TEST(ClipboardRules, OpeningEmptyingAndRefusals) {
    Platform::Testing::Reset();
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr) << "not open";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr)) << "already open";
    EXPECT_EQ(SetClipboardData(7, GlobalAlloc(GMEM_MOVEABLE, 4)), nullptr) << "only text formats";
    SetClipboardData(CF_TEXT, Block("abc", 4));
    CloseClipboard();

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr) << "emptied";
    CloseClipboard();

    Platform::Testing::FailNext(Platform::Testing::Failure::ClipboardOpen);
    EXPECT_FALSE(OpenClipboard(nullptr));
    Platform::Testing::Reset();
}
