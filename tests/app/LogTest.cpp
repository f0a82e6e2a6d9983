#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "app/Log.h"
#include "app/LogEscape.h"
#include "app/TestFiles.h"

namespace {
class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_log.SetSink([this](std::string_view text) { m_text += text; });
        m_log.SetTimeSource([] {
            std::tm t{};
            t.tm_hour = 9, t.tm_min = 5, t.tm_sec = 3;
            return t;
        });
    }
    CLog m_log;
    std::string m_text;
};
} // namespace

TEST_F(LogTest, PrefixIndentationAndSections) {
    m_log.PrintLine("start %d", 1);
    m_log.BeginSection("Outer");
    m_log.Printf("Loading...");
    m_log.PrintLineRaw("OK");
    m_log.BeginSection("Inner");
    m_log.PrintfRaw("raw");
    m_log.PrintLineRaw("%s", "");
    m_log.EndSection();
    m_log.EndSection();
    EXPECT_EQ(m_text,
              "[09:05:03] start 1\n"
              "[09:05:03] [Outer begin]\n"
              "[09:05:03]   Loading...OK\n"
              "[09:05:03]   [Inner begin]\n"
              "raw\n"
              "[09:05:03]   [Inner end]\n"
              "[09:05:03] [Outer end]\n");
}

TEST_F(LogTest, UnbalancedEndAndDisabledWriteNothing) {
    m_log.EndSection();
    EXPECT_EQ(m_log.GetIndent(), 0);
    m_log.SetEnabled(false);
    m_log.BeginSection("Hidden");
    m_log.PrintLine("hidden");
    EXPECT_EQ(m_log.GetIndent(), 0);
    m_log.SetEnabled(true);
    m_log.PrintLine("shown");
    EXPECT_EQ(m_text, "[09:05:03] shown\n");
}

TEST_F(LogTest, AppendsToFileAndSurvivesTwoThreads) {
    TestFiles::CScratchFolder dir;
    const std::string path = dir.Write("test.log", "earlier run\n");
    ASSERT_TRUE(m_log.Open(path));
    std::thread worker([&] { for (int i = 0; i < 500; ++i) m_log.PrintLine("worker %d", i); });
    for (int i = 0; i < 500; ++i) m_log.PrintLine("main %d", i);
    worker.join();
    m_log.Close();
    std::istringstream in(TestFiles::ReadFileBytes(path));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "earlier run");
    int lines = 0;
    for (; std::getline(in, line); ++lines) EXPECT_EQ(line.rfind("[09:05:03] ", 0), 0u) << line;
    EXPECT_EQ(lines, 1000);
}

namespace {

struct CEscapeCase {
    const char* name;
    std::string text;
    std::string logged;
};

const CEscapeCase kEscapes[] = {
    {"PrintableAscii", "a-Z 0~9 \\path\\", "a-Z 0~9 \\path\\"},
    {"ControlCharacters", "tab\tline\nend\r\x1B[31m\x7F", "tab\\x09line\\x0Aend\\x0D\\x1B[31m\\x7F"},
    {"WellFormedUtf8", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
    {"StrayBytes", "\xFF\xFE\x80", "\\xFF\\xFE\\x80"},
    {"TruncatedSequence", "\xE2\x82", "\\xE2\\x82"},
    {"OverlongSlash", "\xC0\xAF", "\\xC0\\xAF"},
    {"EncodedSurrogate", "\xED\xA0\x80", "\\xED\\xA0\\x80"},
    {"BeyondUnicode", "\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},
    {"C1Control", "\xC2\x85", "\\xC2\\x85"},
};

class LogEscapeTest : public LogTest, public ::testing::WithParamInterface<CEscapeCase> {};

} // namespace

// Names from damaged files reach the log as text, never as raw bytes that
// break lines or drive a terminal.
TEST_P(LogEscapeTest, UnprintableBytesAreWrittenAsHex) {
    EXPECT_EQ(EscapeForLog(GetParam().text), GetParam().logged);
    m_log.PrintLine("name '%s'", GetParam().text.c_str());
    m_log.BeginSection(GetParam().text.c_str());
    EXPECT_EQ(m_text, "[09:05:03] name '" + GetParam().logged + "'\n[09:05:03] [" + GetParam().logged + " begin]\n");
}

INSTANTIATE_TEST_SUITE_P(Texts, LogEscapeTest, ::testing::ValuesIn(kEscapes),
                         [](const auto& info) { return std::string(info.param.name); });
