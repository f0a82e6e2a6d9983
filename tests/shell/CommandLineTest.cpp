#include <gtest/gtest.h>

#include "app/shell/CommandLine.h"

using Engine::EScreensaverMode;
using Engine::ParseCommandLine;

namespace {

struct CModeCase {
    const char* line;
    EScreensaverMode mode;
    std::optional<uintptr_t> window;
};

class CommandLineModeTest : public ::testing::TestWithParam<CModeCase> {};

TEST_P(CommandLineModeTest, FirstModeLetterWins) {
    const CModeCase& c = GetParam();
    const Engine::CScreensaverCommand command = ParseCommandLine(c.line);
    EXPECT_EQ(command.mode, c.mode) << '"' << c.line << '"';
    EXPECT_EQ(command.window, c.window) << '"' << c.line << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineModeTest,
    ::testing::Values(CModeCase{"", EScreensaverMode::Run, std::nullopt},
                      CModeCase{"   ", EScreensaverMode::Run, std::nullopt},
                      CModeCase{"/s", EScreensaverMode::Run, std::nullopt},
                      CModeCase{"S", EScreensaverMode::Run, std::nullopt},
                      CModeCase{"/c", EScreensaverMode::Settings, std::nullopt},
                      CModeCase{"/C:1234", EScreensaverMode::Settings, std::nullopt},
                      CModeCase{"/p 1234", EScreensaverMode::Preview, 1234},
                      CModeCase{"/P:77", EScreensaverMode::Preview, 77},
                      CModeCase{"p", EScreensaverMode::Preview, std::nullopt},
                      // A number too large for a handle is no handle.
                      CModeCase{"/p 99999999999999999999999", EScreensaverMode::Preview, std::nullopt},
                      CModeCase{"/a", EScreensaverMode::Associate, std::nullopt},
                      CModeCase{"/a 42", EScreensaverMode::Associate, 42},
                      // The first letter found anywhere wins: "Preview" has P before S and a.
                      CModeCase{"Preview", EScreensaverMode::Preview, std::nullopt},
                      CModeCase{"xyz", EScreensaverMode::None, std::nullopt},
                      CModeCase{"-- 12", EScreensaverMode::None, std::nullopt}));

} // namespace
