// The end never waits on a sound output that stops taking samples: with
// SDL's disk audio driver writing into a FIFO that nobody reads, a quit in
// the scene, as SIGTERM makes one, ends the run with exit 0, the output's
// close left running, the output named in the log and the configuration
// saved. Writing into a regular file the output answers, given a close wait
// no busy machine runs out, and the teardown's lines are those of any run.
// How long the end takes is the program's to measure; a hang here is left
// to the suite's deadline. Skipped where SDL's disk driver or a FIFO is not
// to be had.

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <thread>

#include "app/TestFiles.h"
#include "platform/DirectSound.h"
#include "shell/EntryPoint.h"
#include "shell/HookedDriver.h"
#include "shell/OneDriverTable.h"
#include "shell/ScreensaverApplication.h"
#include "shell/ShellTestSupport.h"

using namespace ShellTesting;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kGenerousBound = std::chrono::seconds(30);
// What the driver's stdio stream hands the FIFO at a time.
constexpr int kWriteBytes = 4096;

struct CCase {
    const char* name;
    bool stalls;
};

class StalledSoundTest : public ScreensaverShellTest, public ::testing::WithParamInterface<CCase> {
protected:
    void TearDown() override {
        if (m_reader >= 0) ReadToEnd();
        if (m_programCloseWait) Platform::Testing::SetSoundCloseWait(*m_programCloseWait);
        ScreensaverShellTest::TearDown();
    }

    // The output's file; a FIFO is opened for reading (never read) first,
    // since SDL's open of it waits for a reader. False where none is made.
    bool MakeOutput() {
        m_output = root / "out.raw";
        if (!GetParam().stalls) return true;
        if (::mkfifo(m_output.c_str(), 0600) != 0) return false;
        m_reader = ::open(m_output.c_str(), O_RDONLY | O_NONBLOCK);
        return m_reader >= 0;
    }

    // Whether the FIFO is too full for the driver's next write.
    bool WritesBlock() const {
        int held = 0;
        const int capacity = ::fcntl(m_reader, F_GETPIPE_SZ);
        return ::ioctl(m_reader, FIONREAD, &held) == 0 && capacity > 0 && capacity - held < kWriteBytes;
    }

    // Read again, the FIFO lets the close left running end, so that the
    // next output may open and libc's flush of SDL's stream at this
    // process's exit does not wait on it either.
    void ReadToEnd() {
        char buffer[65536];
        const Clock::time_point deadline = Clock::now() + kGenerousBound;
        while (Clock::now() < deadline) {
            const ssize_t got = ::read(m_reader, buffer, sizeof buffer);
            if (got == 0) break;
            pollfd ready{m_reader, POLLIN, 0};
            if (got < 0) ::poll(&ready, 1, 100);
        }
        ::close(m_reader);
    }

    fs::path m_output;
    int m_reader = -1;
    std::optional<std::chrono::milliseconds> m_programCloseWait;
};

TEST_P(StalledSoundTest, QuitInTheSceneEndsAndSaves) {
    UseDemoData("SFTW");
    if (!MakeOutput()) GTEST_SKIP() << "no FIFO here";
    // A stalled output answers no wait, so it keeps the program's; one that
    // answers is waited for long enough that a busy machine sees it answer.
    if (!GetParam().stalls) m_programCloseWait = Platform::Testing::SetSoundCloseWait(kGenerousBound);
    TestFiles::CScopedEnvironment driverName("SDL_AUDIODRIVER", "disk");
    TestFiles::CScopedEnvironment file("SDL_DISKAUDIOFILE", m_output.c_str());
    bool quitPosted = false;
    bool blocked = false;
    const auto present = [&](CGraphics&) {
        if (quitPosted || !LogHas("Scene : ")) return;
        if (GetParam().stalls && Platform::GetSoundOutputInfo().driver == "disk") {
            const Clock::time_point deadline = Clock::now() + kGenerousBound;
            while (!(blocked = WritesBlock()) && Clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        EXPECT_EQ(SDL_PushEvent(&quit), 1) << SDL_GetError();
        quitPosted = true;
    };
    const Engine::CGraphicsDriverTable table =
        OneDriverTable("SFTW", [&]<class Driver>(Engine::CApplication** cell) {
            return new CHookedDriver<Driver>(cell, nullptr, present, 100'000);
        });
    const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
        return std::make_unique<Engine::CScreensaverApplication>(table);
    });
    if (Platform::GetSoundOutputInfo().driver != "disk") GTEST_SKIP() << "SDL's disk audio driver is not available";

    ASSERT_TRUE(quitPosted) << "the scene was shown";
    EXPECT_EQ(blocked, GetParam().stalls);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Platform::GetSoundOutputInfo().closeLeft, GetParam().stalls);
    EXPECT_TRUE(fs::exists(SettingsFolder() / "screensaver.cfg"));
    ReadLogFile();
    const char* const unanswered = "Sound output 'disk' did not answer : its close is left to the process's end";
    std::vector<std::string> teardown = {"Scene : ", "[Shutting Down begin]", "m_pDSB->Release() : 0",
                                         "m_pDSBPrimary->Release() : 0", "m_pDS->Release() : 0"};
    if (GetParam().stalls) teardown.push_back(unanswered);
    teardown.insert(teardown.end(), {"[Shutting Down end]", "Saving Configuration"});
    EXPECT_TRUE(LogHasInOrder(teardown));
    EXPECT_EQ(LogHas(unanswered), GetParam().stalls);
}

INSTANTIATE_TEST_SUITE_P(Outputs, StalledSoundTest,
                         ::testing::Values(CCase{"Stalled", true}, CCase{"Answering", false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
