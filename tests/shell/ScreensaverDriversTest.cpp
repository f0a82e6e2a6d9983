// The screensaver on the demo data, headless on each driver named in
// "Settings.xml", on the test clock: loading completes, the first scene's
// sprites show, the picture changes with the next scene, the notice text
// appears, and two mouse samples that differ in x and y end it.

#include <GL/gl.h>

#include <algorithm>
#include <map>

#include "app/Config.h"
#include "shell/EntryPoint.h"
#include "shell/OneDriverTable.h"
#include "shell/ProgramStartup.h"
#include "shell/ScreensaverApplication.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "placefile/PlaceFileManager.h"
#include "placefile/PlaceSpriteObject.h"
#include "platform/Direct3D8.h"
#include "platform/DirectDraw7.h"
#include "shell/ShellTestSupport.h"
#include "tools/DemoData.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/PlaceWriter.h"
#include "tests/graphics/SprFileTestData.h"
#include "platform/Testing.h"

using namespace ShellTesting;
using Engine::Graphics::PlaceFile::CPlaceFile;

namespace {

constexpr int64_t kFrameUs = 1'000'000;
constexpr uint32_t kClearColour = 0;

struct CPoint {
    int x, y;
};
// The picture of the frame being presented: 0x00RRGGBB at (x, y), rows
// top-down.
using CPixelReader = uint32_t (*)(CGraphics& driver, int x, int y);

uint32_t ReadOpenGL(CGraphics& driver, int x, int y) {
    uint8_t rgba[4] = {};
    glReadPixels(x, driver.GetParams().screenHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 | rgba[2];
}
uint32_t ReadD3D8(CGraphics&, int x, int y) { return Platform::Testing::ReadD3D8BackBuffer(x, y) & 0xFFFFFFu; }
uint32_t ReadD3D7(CGraphics&, int x, int y) { return Platform::Testing::ReadDD7RenderTarget(x, y) & 0xFFFFFFu; }
uint32_t ReadSoftware(CGraphics& driver, int x, int y) {
    const auto back = static_cast<Engine::Graphics::CGraphics_SFTW&>(driver).GetBackBuffer();
    return back.pixels[size_t(y) * size_t(back.pitch / 4) + size_t(x)] & 0xFFFFFFu;
}

// Runs the hook on each finished frame before presenting it.
template <class Driver>
class CWatchedDriver : public Driver {
public:
    using Hook = std::function<void(CGraphics&, CPixelReader)>;
    CWatchedDriver(Engine::CApplication** app, Hook hook, CPixelReader read, int64_t frameUs)
        : Driver(app), m_hook(std::move(hook)), m_read(read), m_frameUs(frameUs) {}
    void gFlipBuffers() override {
        m_hook(*this, m_read);
        Driver::gFlipBuffers();
        Platform::Testing::AdvanceTestClock(m_frameUs);
        if (++m_frames > 500) this->RequestQuit();
    }

private:
    Hook m_hook;
    CPixelReader m_read;
    int64_t m_frameUs;
    int m_frames = 0;
};

template <class Driver>
Engine::CGraphicsDriverEntry Watched(const char* name, const typename CWatchedDriver<Driver>::Hook& hook,
                                     CPixelReader read, int64_t frameUs = kFrameUs) {
    Engine::CGraphicsDriverEntry entry = ShellTesting::DefaultDriverEntry(name);
    entry.create = [=](Engine::CApplication** app) {
        return std::make_unique<CWatchedDriver<Driver>>(app, hook, read, frameUs);
    };
    return entry;
}

// Where the scene's visible top-level sprites put their middles on the
// screen, above the notice text's line.
std::vector<CPoint> SpriteMiddles(const CPlaceFile& scene, const Engine::Graphics::CGraphicsParams& screen) {
    using namespace Engine::Graphics::PlaceFile;
    std::vector<CPoint> points;
    for (const auto& layer : scene.Layers)
        for (const auto& object : layer->Objects) {
            if (object->Type != PLACE_SPRITE || !object->Visible || (object->Color >> 24) == 0 ||
                !static_cast<const CPlaceSpriteObject&>(*object).Sprite)
                continue;
            const float x = object->Position.x + (0.5f - object->Pivot.x) * float(object->Width) * object->Zoom.x;
            const float y = object->Position.y + (0.5f - object->Pivot.y) * float(object->Height) * object->Zoom.y;
            if (x >= 0.0f && y >= 0.0f && x < float(screen.width) && y < float(screen.height - 40))
                points.push_back({int(x), int(y)});
        }
    return points;
}

std::vector<uint32_t> ReadAt(CGraphics& driver, CPixelReader read, const std::vector<CPoint>& points) {
    std::vector<uint32_t> pixels;
    for (const CPoint& p : points) pixels.push_back(read(driver, p.x, p.y));
    return pixels;
}

// What the frames showed.
struct CWatch {
    int loadedFrames = 0;
    bool firstSceneShows = false;
    bool changed = false, changeShows = false;
    bool noticeShown = false;
    int lastScene = -1;
    std::vector<CPoint> nextPoints;  // the next scene's sprites, as it stood
    std::vector<uint32_t> nextBefore;
};

class ScreensaverDriversTest : public ShellTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        // What the program registers before main, and its place-file
        // managers.
        static const Engine::CProgramStartup s_startup;
        Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
    }
};

TEST_P(ScreensaverDriversTest, ShowsTheScenesAndTheNoticeUntilTheMouseMoves) {
    const std::string name = GetParam();
    UseDemoData(name);

    Engine::CScreensaverApplication* app = nullptr;
    CWatch watch;
    const auto hook = [&](CGraphics& driver, CPixelReader read) {
        if (app->IsLoading()) return;
        ++watch.loadedFrames;
        const std::vector<Engine::ref_ptr<CPlaceFile>>& scenes = app->GetData()->GetScenes();
        const int current = app->GetSceneCycle().GetCurrent();
        ASSERT_GE(current, 0);
        if (watch.lastScene < 0) {
            const std::vector<uint32_t> first =
                ReadAt(driver, read, SpriteMiddles(*scenes[size_t(current)], driver.GetParams()));
            watch.firstSceneShows = std::any_of(first.begin(), first.end(), [](uint32_t p) { return p != kClearColour; });
        }
        if (watch.lastScene >= 0 && current != watch.lastScene && !watch.changed) {
            watch.changed = true;
            watch.changeShows = ReadAt(driver, read, watch.nextPoints) != watch.nextBefore;
            HWND window = app->m_hWnd;
            PostMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
            PostMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(160, 130));
        }
        watch.lastScene = current;
        watch.nextPoints = SpriteMiddles(*scenes[size_t(current + 1) % scenes.size()], driver.GetParams());
        watch.nextBefore = ReadAt(driver, read, watch.nextPoints);
        // The notice is drawn in white on the line 32 pixels above the
        // bottom, and shows fully from a second after the change.
        if (watch.noticeShown || app->GetNotice().GetText().IsEmpty()) return;
        const Engine::Graphics::CGraphicsParams& screen = driver.GetParams();
        for (int x = 0; x < screen.width && !watch.noticeShown; ++x)
            watch.noticeShown = read(driver, x, screen.height - 22) == 0xFFFFFFu;
    };
    const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
        auto made = std::make_unique<Engine::CScreensaverApplication>(Engine::CGraphicsDriverTable{
            Watched<Engine::Graphics::CGraphics_D3D8>("D3D8", hook, ReadD3D8),
            Watched<Engine::Graphics::CGraphics_OGL>("OpenGL", hook, ReadOpenGL),
            Watched<Engine::Graphics::CGraphics_D3D7>("D3D7", hook, ReadD3D7),
            Watched<Engine::Graphics::CGraphics_SFTW>("SFTW", hook, ReadSoftware)});
        app = made.get();
        return made;
    });

    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(watch.firstSceneShows);
    ASSERT_TRUE(watch.changed) << "the scene changes after its time";
    EXPECT_TRUE(watch.changeShows);
    EXPECT_TRUE(watch.noticeShown);
    // The default change time is a minute: a frame a second.
    EXPECT_NEAR(watch.loadedFrames, 61, 2) << "ended by the mouse right after the change";
    ReadLogFile();
    EXPECT_FALSE(LogHas("skipped") || LogHas("' : FAILED")) << log;
    const std::vector<std::string> paths = Tools::GeneratedScenePaths();
    const auto backgrounds =
        std::count_if(paths.begin(), paths.end(), [](const std::string& p) { return p.starts_with("place/bg"); });
    EXPECT_TRUE(LogHasInOrder({"Graphics driver : " + name, "Scenes : " + std::to_string(backgrounds),
                               "[Loading Images end]", "[Main Loop end]", "Saving Configuration"}));
    Engine::CConfig saved;
    EXPECT_TRUE(saved.Load((SettingsFolder() / "screensaver.cfg").c_str()));
}

INSTANTIATE_TEST_SUITE_P(Drivers, ScreensaverDriversTest, ::testing::Values("D3D8", "OpenGL", "D3D7", "SFTW"));

} // namespace

namespace {

// The notice text over a scene of one sprite, above the text, drawn in a
// blend state of its own, on frames of 0.1 s of the test clock: the line of
// text as the driver presented it once the text has faded in.
struct CNoticeCase {
    const char* name;
    uint32_t blendMode;  // the sprite's blend mode in the place file
};

class PresentedNoticeTest : public ShellTest, public ::testing::WithParamInterface<CNoticeCase> {
protected:
    static constexpr int64_t kNoticeFrameUs = 100'000;
    static constexpr int kShownFrame = 15;  // 1.5 s after the start: fully faded in
    static constexpr int kBand = 40;        // the rows above the bottom that hold the text
    // Glyph strokes are short; a white box of the text's size is not.
    static constexpr int kLongestStroke = 24;

    void SetUp() override {
        ShellTest::SetUp();
        static const Engine::CProgramStartup s_startup;
        Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
        Platform::Testing::KeepSwappedPictures(true);
    }

    void UseScene(const std::string& driver) {
        UseDemoData(driver);
        Tools::CPakWriter pack = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
        pack.Add("spr/bg.spr", Tools::WriteSpr(SprTestData::StripDocument("box", {64}, 32)));
        Tools::CPlaceDocument doc;
        doc.spriteFiles = {{"spr/bg.spr", {{1, "box"}}}};
        Tools::CPlaceObjectDoc sprite;
        sprite.spriteId = sprite.id = 1;
        sprite.x = sprite.y = 100;
        sprite.width = 64;
        sprite.height = 32;
        sprite.spriteFlags = GetParam().blendMode << 8;
        Tools::CPlaceLayerDoc layer;
        layer.objects = {sprite};
        doc.layers = {layer};
        pack.Add("place/bg1.place", Tools::WritePlace(doc));
        ASSERT_TRUE(pack.Save((root / "data" / "demo.pak").string()));
    }

    std::vector<uint32_t> NoticeBand(const std::string& name) {
        UseScene(name);
        std::vector<uint32_t> band;
        Engine::CScreensaverApplication* app = nullptr;
        int shown = 0;
        const auto hook = [&](CGraphics& driver, CPixelReader) {
            if (app->IsLoading() || ++shown != kShownFrame) return;
            std::vector<uint32_t> picture;
            int height = 0;
            ASSERT_TRUE(Platform::Testing::ReadWindowPicture(app->m_hWnd, picture, width, height));
            ASSERT_EQ(height, driver.GetParams().height);
            band.assign(picture.end() - ptrdiff_t(kBand) * width, picture.end());
            driver.RequestQuit();
        };
        Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
            auto made = std::make_unique<Engine::CScreensaverApplication>(Engine::CGraphicsDriverTable{
                Watched<Engine::Graphics::CGraphics_OGL>("OpenGL", hook, ReadOpenGL, kNoticeFrameUs),
                Watched<Engine::Graphics::CGraphics_SFTW>("SFTW", hook, ReadSoftware, kNoticeFrameUs)});
            app = made.get();
            return made;
        });
        return band;
    }

    // The most white pixels side by side in one row.
    int LongestWhiteRun(const std::vector<uint32_t>& band) const {
        int longest = 0;
        for (size_t row = 0; row + size_t(width) <= band.size(); row += size_t(width))
            for (int x = 0, run = 0; x < width; ++x) {
                run = band[row + size_t(x)] == 0xFFFFFFu ? run + 1 : 0;
                longest = std::max(longest, run);
            }
        return longest;
    }

    int width = 0;
};

TEST_P(PresentedNoticeTest, IsTextAndTheSoftwareDriverPresentsItAsOpenGLDoes) {
    const std::vector<uint32_t> reference = NoticeBand("OpenGL");
    const std::vector<uint32_t> software = NoticeBand("SFTW");
    ASSERT_FALSE(reference.empty());
    ASSERT_EQ(software.size(), reference.size());
    int white = 0, differences = 0;
    for (size_t i = 0; i < reference.size(); ++i) {
        white += reference[i] == 0xFFFFFFu;
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int(reference[i] >> shift & 0xFF) - int(software[i] >> shift & 0xFF)) > 2) {
                ++differences;
                break;
            }
    }
    EXPECT_GT(white, 50) << "the text shows";
    EXPECT_LT(LongestWhiteRun(reference), kLongestStroke) << "OpenGL: glyphs, not a box";
    EXPECT_LT(LongestWhiteRun(software), kLongestStroke) << "SFTW: glyphs, not a box";
    EXPECT_EQ(differences, 0);
}

// The blend states in which white glyphs with their shapes in alpha become
// a box: premultiplied, additive and off.
INSTANTIATE_TEST_SUITE_P(SceneBlend, PresentedNoticeTest,
                         ::testing::Values(CNoticeCase{"Premultiplied", 3}, CNoticeCase{"Additive", 2},
                                           CNoticeCase{"Off", 4}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
