#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "app/Log.h"
#include "app/LogEscape.h"
#include "app/LogFile.h"
#include "app/TestFiles.h"
#include "platform/FileAccess.h"

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

// A text given to the log, and how it stands in the log.
struct CLoggedTextCase {
    const char* name;
    std::string text;
    std::string logged;
};

// What a line and then a section named by the same text write.
std::string LineThenSection(const std::string& line, const std::string& section) {
    return "[09:05:03] " + line + "\n[09:05:03] [" + section + " begin]\n";
}

const CLoggedTextCase kEscapes[] = {
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

class LogEscapeTest : public LogTest, public ::testing::WithParamInterface<CLoggedTextCase> {};

} // namespace

// Names from damaged files reach the log as text, never as raw bytes that
// break lines or drive a terminal.
TEST_P(LogEscapeTest, UnprintableBytesAreWrittenAsHex) {
    EXPECT_EQ(EscapeForLog(GetParam().text), GetParam().logged);
    m_log.PrintLine("name '%s'", GetParam().text.c_str());
    m_log.BeginSection(GetParam().text.c_str());
    EXPECT_EQ(m_text, LineThenSection("name '" + GetParam().logged + "'", GetParam().logged));
}

INSTANTIATE_TEST_SUITE_P(Texts, LogEscapeTest, ::testing::ValuesIn(kEscapes),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

const std::string kFull(CLog::kMaxTextBytes, 'a');

const CLoggedTextCase kCuts[] = {
    {"AtTheLimit", kFull, kFull},
    {"OneOver", kFull + "b", kFull + " ... [1 more bytes]"},
    {"EightMegabytes", std::string(8 << 20, 'p'), std::string(CLog::kMaxTextBytes, 'p') + " ... [8384512 more bytes]"},
    // A two-byte character across the limit goes whole to the cut part.
    {"CharacterBoundary", std::string(CLog::kMaxTextBytes - 1, 'a') + "\xC3\xA9z",
     std::string(CLog::kMaxTextBytes - 1, 'a') + " ... [3 more bytes]"},
};

class LogCutTest : public LogTest, public ::testing::WithParamInterface<CLoggedTextCase> {};

} // namespace

// One huge value (an 8 MB start-up path) never becomes one huge line.
TEST_P(LogCutTest, LongTextIsCutAtTheLimit) {
    m_log.PrintLine("%s", GetParam().text.c_str());
    m_log.BeginSection(GetParam().text.c_str());
    EXPECT_EQ(m_text, LineThenSection(GetParam().logged, GetParam().logged));
}

INSTANTIATE_TEST_SUITE_P(Texts, LogCutTest, ::testing::ValuesIn(kCuts),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct CRotationCase {
    const char* name;
    int64_t size;  // of the log as it is opened
    bool rotated;
};

class LogRotationTest : public LogTest, public ::testing::WithParamInterface<CRotationCase> {};

} // namespace

// A log over 1 MiB becomes "<name>.1" (replacing an older one) as it is
// opened, and a new one starts; a smaller one is appended to.
TEST_P(LogRotationTest, OverTheLimitMovesToThePreviousFile) {
    TestFiles::CScratchFolder dir;
    const std::string old(size_t(GetParam().size), 'o');
    const std::string path = dir.Write("screensaver.log", old);
    dir.Write("screensaver.log.1", "an older previous log");
    ASSERT_TRUE(m_log.Open(path));
    m_log.PrintLine("new run");
    m_log.Close();
    const std::string line = "[09:05:03] new run\n";
    if (GetParam().rotated) {
        EXPECT_EQ(TestFiles::ReadFileBytes(path), line);
        EXPECT_TRUE(TestFiles::ReadFileBytes(path + ".1") == old) << "the previous log is the old one, whole";
    } else {
        EXPECT_TRUE(TestFiles::ReadFileBytes(path) == old + line);
        EXPECT_EQ(TestFiles::ReadFileBytes(path + ".1"), "an older previous log");
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LogRotationTest,
                         ::testing::Values(CRotationCase{"Small", 100, false},
                                           CRotationCase{"AtTheLimit", CLog::kRotateBytes, false},
                                           CRotationCase{"OneByteOver", CLog::kRotateBytes + 1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A log that cannot be moved aside is still kept bounded: it starts anew,
// and stderr says why, once.
TEST_F(LogTest, FailedRotationIsReportedAndTheLogStartsAnew) {
    TestFiles::CScratchFolder dir;
    const std::string path = dir.Write("screensaver.log", std::string(size_t(CLog::kRotateBytes) + 1, 'o'));
    std::filesystem::create_directory(path + ".1");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(m_log.Open(path));
    m_log.PrintLine("new run");
    ASSERT_TRUE(m_log.Open(path));
    m_log.Close();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Mosark: cannot move the log '" + path + "' to '" + path +
                                                          ".1' : Is a directory; the log starts anew\n");
    EXPECT_EQ(TestFiles::ReadFileBytes(path), "[09:05:03] new run\n");
    EXPECT_TRUE(std::filesystem::is_directory(path + ".1"));
}

// Two instances open the same grown log; the first rotates it. The second
// then finds its file moved: it moves nothing more (the previous log stays
// whole) and writes into the first one's new log.
TEST_F(LogTest, RotationFindingItsFileMovedLosesNothing) {
    TestFiles::CScratchFolder dir;
    const std::string old(size_t(CLog::kRotateBytes) + 1, 'o');
    const std::string path = dir.Write("screensaver.log", old);
    const int second = OpenLogForAppending(path);
    ASSERT_GE(second, 0);
    ASSERT_TRUE(m_log.Open(path));
    m_log.PrintLine("first instance");
    std::string failure;
    const int moved = RotateLogIfOver(second, path, CLog::kRotateBytes, failure);
    ASSERT_GE(moved, 0);
    EXPECT_EQ(::write(moved, "second instance\n", 16), 16);
    ::close(moved);
    m_log.Close();
    EXPECT_EQ(failure, "");
    EXPECT_EQ(TestFiles::ReadFileBytes(path), "[09:05:03] first instance\nsecond instance\n");
    EXPECT_TRUE(TestFiles::ReadFileBytes(path + ".1") == old) << "the previous log is the old one, whole";
}

namespace {

// Makes the descriptor that has path open write to /dev/full from now on: a
// disk that fills up under an open log.
bool FillDiskUnder(const std::string& path) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) != path) continue;
        const int full = ::open("/dev/full", O_WRONLY);
        const bool moved = full >= 0 && ::dup2(full, std::stoi(entry.path().filename())) >= 0;
        if (full >= 0) ::close(full);
        return moved;
    }
    return false;
}

} // namespace

// Writes that fail after the open are reported on stderr, once per opening.
TEST_F(LogTest, FirstFailedWriteReachesStderrOnce) {
    TestFiles::CScratchFolder dir;
    const std::string path = dir.Write("screensaver.log", "");
    ASSERT_TRUE(m_log.Open(path));
    m_log.PrintLine("written");
    ASSERT_TRUE(FillDiskUnder(path));
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) m_log.PrintLine("lost %d", i);
    m_log.Close();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors, "Mosark: cannot write the log '" + path + "' : No space left on device\n");
    EXPECT_EQ(TestFiles::ReadFileBytes(path), "[09:05:03] written\n");
}

// A FIFO at the log path is refused at once, never waited on.
TEST_F(LogTest, FifoIsRefusedWithoutBlocking) {
    TestFiles::CScratchFolder dir;
    const std::string path = dir / "screensaver.log";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(m_log.Open(path));
    EXPECT_EQ(errno, Platform::kNotRegularFile);
    EXPECT_FALSE(m_log.IsOpen());
}
