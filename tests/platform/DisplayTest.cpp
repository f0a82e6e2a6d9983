#include "platform/Display.h"
#include "platform/WindowFixture.h"
#include "platform/XWithdraw.h"

#include <string_view>

using namespace TestSupport;
using Platform::Testing::CDisplayMode;

namespace {

class DisplayTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Platform::Testing::SetDisplayModes({{640, 480, 60, 16}, {800, 600, 60, 32}, {800, 600, 85, 32}, {1024, 768, 60, 32}},
                                           {1024, 768, 60, 32});
    }

    static CDisplayMode Current() {
        DEVMODE mode;
        EXPECT_TRUE(EnumDisplaySettings(nullptr, ENUM_CURRENT_SETTINGS, &mode));
        return {mode.dmPelsWidth, mode.dmPelsHeight, mode.dmDisplayFrequency, mode.dmBitsPerPel};
    }

    static DEVMODE Request(DWORD width, DWORD height, DWORD bits, DWORD refresh = 0) {
        DEVMODE mode;
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | (refresh ? DM_DISPLAYFREQUENCY : 0);
        mode.dmPelsWidth = width;
        mode.dmPelsHeight = height;
        mode.dmBitsPerPel = bits;
        mode.dmDisplayFrequency = refresh;
        return mode;
    }
};

} // namespace

TEST_F(DisplayTest, EnumeratesTheReplacedListInOrder) {
    std::vector<CDisplayMode> modes;
    DEVMODE mode;
    for (DWORD i = 0; EnumDisplaySettings(nullptr, i, &mode); ++i)
        modes.push_back({mode.dmPelsWidth, mode.dmPelsHeight, mode.dmDisplayFrequency, mode.dmBitsPerPel});
    EXPECT_EQ(modes, (std::vector<CDisplayMode>{{640, 480, 60, 16}, {800, 600, 60, 32}, {800, 600, 85, 32},
                                                {1024, 768, 60, 32}}));
    EXPECT_EQ(Current(), (CDisplayMode{1024, 768, 60, 32}));
    EXPECT_FALSE(EnumDisplaySettings("\\\\.\\DISPLAY2", 0, &mode));
}

TEST_F(DisplayTest, ChangesOnlyToListedModes) {
    DEVMODE request = Request(800, 600, 32, 85);
    EXPECT_EQ(ChangeDisplaySettings(&request, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Current(), (CDisplayMode{800, 600, 85, 32}));

    request = Request(800, 600, 16);
    EXPECT_EQ(ChangeDisplaySettings(&request, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    request = Request(640, 480, 16);
    EXPECT_EQ(ChangeDisplaySettings(&request, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Current(), (CDisplayMode{800, 600, 85, 32})) << "neither a refused nor a tested mode is set";

    Platform::Testing::FailNext(Platform::Testing::Failure::DisplayChange);
    EXPECT_EQ(ChangeDisplaySettings(&request, CDS_FULLSCREEN), DISP_CHANGE_FAILED);
    EXPECT_EQ(ChangeDisplaySettings(&request, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Current(), (CDisplayMode{640, 480, 60, 16}));

    EXPECT_EQ(ChangeDisplaySettings(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Current(), (CDisplayMode{1024, 768, 60, 32}));
}

TEST_F(DisplayTest, APopUpCoveringTheDisplayGoesFullScreenWhileTheModeIsSet) {
    HWND window = MakeWindow(1024, 768);
    const auto fullscreen = [window] {
        return (SDL_GetWindowFlags(Platform::GetSdlWindow(window)) & SDL_WINDOW_FULLSCREEN) != 0;
    };
    EXPECT_FALSE(fullscreen());
    DEVMODE request = Request(1024, 768, 32);
    ChangeDisplaySettings(&request, CDS_FULLSCREEN);
    EXPECT_TRUE(fullscreen());
    ChangeDisplaySettings(nullptr, 0);
    EXPECT_FALSE(fullscreen());
}

// On an X display (SDL_VIDEODRIVER=x11), a full-screen window is taken off
// the display before SDL leaves full screen, and SDL's record of the window
// stays right: hidden, out of full screen, and shown windowed again once the
// mode is gone. Any other video driver is left alone.
TEST_F(DisplayTest, AFullScreenWindowHiddenOnXIsUnmappedAndOutOfFullScreen) {
    HWND window = MakeWindow(1024, 768);
    SDL_Window* sdl = Platform::GetSdlWindow(window);
    if (std::string_view(SDL_GetCurrentVideoDriver()) != "x11") {
        EXPECT_FALSE(Platform::WithdrawFromXDisplay(sdl));
        EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_SHOWN, 0u);
        GTEST_SKIP() << "the rest needs an X display";
    }
    DEVMODE request = Request(1024, 768, 32);
    ChangeDisplaySettings(&request, CDS_FULLSCREEN);
    ASSERT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN, 0u);

    ShowWindow(window, SW_HIDE);
    EXPECT_FALSE(Platform::WithdrawFromXDisplay(sdl)) << "the window is still mapped";
    EXPECT_EQ(SDL_GetWindowFlags(sdl) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_SHOWN), 0u);

    ChangeDisplaySettings(nullptr, 0);
    ShowWindow(window, SW_SHOW);
    EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_SHOWN, 0u);
    EXPECT_EQ(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN, 0u);
}
