#include <gtest/gtest.h>

#include "app/shell/CommandLine.h"

using Engine::EScreensaverMode;

namespace {

struct CModeCase {
    const char* line;
    EScreensaverMode mode;
    std::optional<uintptr_t> window;
};

class CommandLineTest : public ::testing::TestWithParam<CModeCase> {};

TEST_P(CommandLineTest, FirstModeLetterWins) {
    const Engine::CScreensaverCommand command = Engine::ParseCommandLine(GetParam().line);
    EXPECT_EQ(command.mode, GetParam().mode) << GetParam().line;
    EXPECT_EQ(command.window, GetParam().window) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(CModeCase{"", EScreensaverMode::Run, std::nullopt},
                      CModeCase{"  ", EScreensaverMode::Run, std::nullopt},
                      CModeCase{"S", EScreensaverMode::Run, std::nullopt},
                      CModeCase{"/c", EScreensaverMode::Settings, std::nullopt},
                      CModeCase{"/p 1234", EScreensaverMode::Preview, 1234},
                      CModeCase{"/P:77", EScreensaverMode::Preview, 77},
                      // A number too large for a handle is no handle.
                      CModeCase{"/p 99999999999999999999999", EScreensaverMode::Preview, std::nullopt},
                      CModeCase{"/a 42", EScreensaverMode::Associate, 42},
                      CModeCase{"Preview", EScreensaverMode::Preview, std::nullopt},  // P before the S
                      CModeCase{"xyz", EScreensaverMode::None, std::nullopt}));

} // namespace
