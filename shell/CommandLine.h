#pragma once
// The screensaver host's command line: the first of the letters A, C, P or S
// (either case, anywhere in the line, no "/" needed) chooses the mode.

#include <cstdint>
#include <optional>
#include <string_view>

namespace Engine {

enum class EScreensaverMode {
    Run,        // empty line or S: run the screensaver
    Settings,   // C: the settings dialog
    Preview,    // P: a preview window handle follows
    Associate,  // A: a window handle may follow
    None,       // no mode letter: end at once
};

struct CScreensaverCommand {
    EScreensaverMode mode = EScreensaverMode::None;
    // P and A: the decimal number after the letter, when there is one.
    std::optional<uintptr_t> window;
};

// A line of nothing but blanks counts as empty.
CScreensaverCommand ParseCommandLine(std::string_view line);

} // namespace Engine
