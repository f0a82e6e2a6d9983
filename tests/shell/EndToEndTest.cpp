#include <GL/gl.h>

#include <algorithm>

#include "shell/EntryPoint.h"
#include "shell/LoadingScreen.h"
#include "shell/ScreensaverApplication.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "platform/Testing.h"
#include "shell/ShellTestSupport.h"
#include "tools/FontSprite.h"

using namespace ShellTesting;

namespace {

// The OpenGL driver on an offscreen window; every present first reads the
// middle of the loading bar back and then runs the hook.
class COpenGLFrames : public Engine::Graphics::CGraphics_OGL {
public:
    using CGraphics_OGL::CGraphics_OGL;
    std::function<void(COpenGLFrames&)> onPresent;
    std::vector<uint32_t> barMiddle;  // RGBA per presented frame
    bool noticeShown = false;         // a lit pixel on the notice text's line
    int frames = 0;

    void gFlipBuffers() override {
        std::vector<uint32_t> line(size_t(GetParams().screenWidth));
        glReadPixels(0, GetParams().screenHeight - 1 - (GetParams().screenHeight - 22), GetParams().screenWidth, 1,
                     GL_RGBA, GL_UNSIGNED_BYTE, line.data());
        noticeShown |= std::any_of(line.begin(), line.end(), [](uint32_t p) { return (p & 0xFFFFFF) != 0; });
        const int x = int((Engine::CLoadingScreen::kLeft + Engine::CLoadingScreen::kRight) / 2);
        const int y = int((Engine::CLoadingScreen::kTop + Engine::CLoadingScreen::kBottom) / 2);
        uint32_t pixel = 0;
        glReadPixels(x, GetParams().screenHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
        barMiddle.push_back(pixel | 0xFF000000u);
        CGraphics_OGL::gFlipBuffers();
        ++frames;
        onPresent(*this);
        if (frames > 10000) RequestQuit();
    }
};

class EndToEndTest : public ShellTest {};

TEST_F(EndToEndTest, RunsOnTheDemoDataUntilTheMouseMovesInBothAxes) {
    UseDemoData("OpenGL");

    std::vector<uint32_t> barMiddle;
    int frames = 0;
    bool noticeShown = false;
    const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
        return std::make_unique<Engine::CScreensaverApplication>(DriversWithOpenGL([&](Engine::CApplication** app) {
            auto driver = std::make_unique<COpenGLFrames>(app);
            driver->onPresent = [&](COpenGLFrames& d) {
                frames = d.frames;
                barMiddle = d.barMiddle;
                Platform::Testing::AdvanceTestClock(16'667);
                // The first sample only records where the mouse is; the
                // second moves it in both axes.
                HWND window = d.GetApplication()->m_hWnd;
                noticeShown = d.noticeShown;
                if (d.frames == 100) PostMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
                if (d.frames == 102) PostMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(160, 130));
            };
            return driver;
        }));
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(frames, 102);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(noticeShown) << "the greeting fades in at the bottom";
    // The loading bar was drawn: its middle first grey (not filled yet),
    // then white; once loaded the screen is only cleared. (A present from
    // the window's paint message may come before the first frame.)
    const auto grey = std::find(barMiddle.begin(), barMiddle.end(), 0xFF3F3F3Fu);
    ASSERT_NE(grey, barMiddle.end());
    EXPECT_NE(std::find(grey, barMiddle.end(), 0xFFFFFFFFu), barMiddle.end());
    ASSERT_FALSE(barMiddle.empty());
    EXPECT_EQ(barMiddle.back(), 0xFF000000u);

    ReadLogFile();
    EXPECT_TRUE(LogHasInOrder({"==== Log opened", "[Initializing Timer begin]", "[Opening Data Packs begin]",
                               "Data packs opened : 1", "[Loading Configuration begin]",
                               "[Application Information begin]", "[Reading Settings.xml begin]",
                               "Display mode : 800x600, 24 bits, windowed",
                               "[CApplication::CreateGraphicsWindow() begin]", "Graphics driver : OpenGL",
                               "[Initializing Input begin]", "[Initializing Sound begin]",
                               "[Initializing Network begin]", "Initializing Controls",
                               "[Initializing Application begin]", "[Main Loop begin]", "[Loading Font begin]",
                               "Font 'main' : 95 characters", "[Loading Hints begin]", "Hints : 3",
                               "[Loading Images begin]", "[Loading Images end]", "[Main Loop end]",
                               "[Shutting Down begin]", "[Shutting Down end]", "Saving Configuration"}));
    EXPECT_TRUE(fs::exists(SettingsFolder() / "screensaver.cfg"));
}

TEST(FontSpriteTest, OneFrameOfLineHeightPerCharacter) {
    const Tools::CFontSprite font = Tools::RenderFontSprite(MOSARK_DEMO_FONT, 20, {' ', 'i', 'W', 'g'}, "font");
    const std::vector<Tools::CSprFrame>& frames = font.document.sprites.at(0).frames;
    ASSERT_EQ(frames.size(), 4u);
    for (const Tools::CSprFrame& frame : frames) EXPECT_EQ(frame.height, uint32_t(font.cellHeight));
    EXPECT_GT(frames[2].width, frames[1].width);  // advances, not one fixed width
    EXPECT_LT(font.ascent, font.cellHeight);      // room below the baseline for 'g'
    EXPECT_THROW(Tools::RenderFontSprite("/nonexistent.ttf", 20, {'A'}, "f"), Engine::CException);
    EXPECT_THROW(Tools::RenderFontSprite(MOSARK_DEMO_FONT, 20, {}, "f"), Engine::CException);
}

} // namespace
