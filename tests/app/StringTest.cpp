#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/Exception.h"
#include "app/String.h"

TEST(CStringTest, EmptyStringsShareOneBuffer) {
    CString a, b(""), c(nullptr), d("abc", 0);
    for (const CString* s : {&a, &b, &c, &d}) {
        EXPECT_TRUE(s->IsSharedEmpty());
        EXPECT_STREQ(s->c_str(), "");
    }
    EXPECT_TRUE(CWString(nullptr, 5).IsSharedEmpty());
    EXPECT_TRUE(Utf8ToWide(CString()).IsSharedEmpty());
}

TEST(CStringTest, CopiesShareUntilOneWrites) {
    CString a("hello");
    CString b = a, c = a;
    EXPECT_TRUE(a.SharesBufferWith(b));
    b.AppendChar('!');
    c.GetBuffer(0)[0] = 'j';
    EXPECT_FALSE(a.SharesBufferWith(b));
    EXPECT_EQ(a, "hello");
    EXPECT_EQ(b, "hello!");
    EXPECT_EQ(c, "jello");
}

TEST(CStringTest, CopiesAcrossThreadsKeepCountsExact) {
    CString shared("shared text");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) ASSERT_EQ(CString(shared).GetLength(), 11);
        });
    for (auto& t : threads) t.join();
    CString after = shared;
    after.AppendChar('x'); // detaches: the original must survive intact
    EXPECT_EQ(shared, "shared text");
}

TEST(CStringTest, FormatReturnsLengthAndNeverTruncates) {
    CString s;
    EXPECT_EQ(s.Format("line%i", 7), 5);
    EXPECT_EQ(s, "line7");
    const std::string big(5000, 'x');
    CString t = FormatString("%s-%d", big.c_str(), 42);
    EXPECT_EQ(t.GetLength(), 5003);
    EXPECT_EQ(t.view().substr(4998), "xx-42");
    EXPECT_STREQ(Engine::CException::Format("A::B(...) : FAILED %d", 3).what(), "A::B(...) : FAILED 3");
}

struct WideCountCase { const char16_t* text; int count; std::u16string expected; };
class CWStringCountTest : public ::testing::TestWithParam<WideCountCase> {};

TEST_P(CWStringCountTest, TakesCountCutAtZero) {
    EXPECT_EQ(CWString(GetParam().text, GetParam().count).str(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Counts, CWStringCountTest, ::testing::Values(
    WideCountCase{u"abcdef", 3, u"abc"}, WideCountCase{u"ab\0cd", 5, u"ab"},
    WideCountCase{u"abc", -1, u"abc"}, WideCountCase{nullptr, 3, u""}));

struct InsertCase { const char16_t* base; int pos; const char16_t* add; std::u16string expected; };
class CWStringInsertTest : public ::testing::TestWithParam<InsertCase> {};

TEST_P(CWStringInsertTest, ClampsPositionAndReturnsLength) {
    const auto& c = GetParam();
    CWString s(c.base);
    const CWString copy = s;
    EXPECT_EQ(s.Insert(c.pos, CWString(c.add)), int(c.expected.size()));
    EXPECT_EQ(s.str(), c.expected);
    EXPECT_EQ(copy.str(), std::u16string(c.base)); // the shared copy is untouched
}

INSTANTIATE_TEST_SUITE_P(Positions, CWStringInsertTest, ::testing::Values(
    InsertCase{u"abc", 1, u"XY", u"aXYbc"}, InsertCase{u"abc", -5, u"X", u"Xabc"},
    InsertCase{u"abc", 99, u"X", u"abcX"}, InsertCase{u"abc", 1, u"", u"abc"}, InsertCase{u"", 0, u"q", u"q"}));

TEST(CWStringTest, InsertSelfAndGrowByAppend) {
    CWString s(u"ab");
    s.Insert(1, s);
    EXPECT_EQ(s.str(), u"aabb");
    CWString g;
    for (int i = 0; i < 1000; ++i) g.AppendChar(char16_t(u'a' + i % 26));
    EXPECT_EQ(g.GetLength(), 1000);
    EXPECT_EQ(g[999], u'a' + 999 % 26);
}

TEST(Utf8Test, WideTextIsStoredUnitByUnit) {
    EXPECT_EQ(Utf8ToWide(CString("\xF0\x9F\x98\x80\xFF")).str(), u"\xD83D\xDE00\uFFFD");
    EXPECT_EQ(WideToUtf8(CWString(u"\u00E9\xD83D\xDE00")).str(), "\xC3\xA9\xED\xA0\xBD\xED\xB8\x80");
}

TEST(NormalizePathTest, OnlyBackslashesChange) {
    EXPECT_EQ(NormalizePath(CString("place\\bg1.Place")), "place/bg1.Place");
    EXPECT_EQ(NormalizePath(CString("./a//b")), "./a//b");
}
