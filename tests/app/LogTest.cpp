#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "app/Log.h"
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
