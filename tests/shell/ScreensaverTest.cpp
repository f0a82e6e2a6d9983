#include <algorithm>
#include <cstring>

#include "app/Global.h"
#include "app/shell/EntryPoint.h"
#include "app/shell/LoadingScreen.h"
#include "app/shell/ScreensaverApplication.h"
#include "shell/ShellTestSupport.h"
#include "tools/ImageWriter.h"
#include "tools/PakWriter.h"
#include "tools/SprWriter.h"

using namespace ShellTesting;
using Engine::CScreensaverApplication;

namespace {

class ScreensaverTest : public ShellTest {
protected:
    // Runs the command line through the entry point; counts the drivers made.
    int RunPasses(const char* line, Engine::ButtonPrompt prompt = nullptr) {
        return Engine::RunApplicationPasses(line, [&]() -> std::unique_ptr<Engine::CStdApplication> {
            return std::make_unique<CScreensaverApplication>(DriversWithOpenGL([&](Engine::CApplication**) {
                                                                 ++driversMade;
                                                                 return std::unique_ptr<CGraphics>();
                                                             }),
                                                             prompt);
        });
    }

    // A driver without a window that stops after 50 frames.
    Engine::CGraphicsDriverTable FrameDrivers() {
        return DriversWithOpenGL([this](Engine::CApplication** app) {
            auto driver = std::make_unique<CFrameDriver>(app);
            driver->onPresent = [this](CFrameDriver& d) {
                Platform::Testing::AdvanceTestClock(20'000);
                if (onPresent) onPresent(d);
                if (d.frames >= 50) d.RequestQuit();
            };
            driver->callsOut = &driverCalls;
            return driver;
        });
    }

    void WritePack(const std::string& locale, const std::string& global, std::vector<uint8_t> font) {
        Tools::CPakWriter pak;
        pak.Add("xml/Locale.xml", std::vector<uint8_t>(locale.begin(), locale.end()));
        pak.Add("xml/global.xml", std::vector<uint8_t>(global.begin(), global.end()));
        pak.Add("spr/font.spr", std::move(font));
        ASSERT_TRUE(pak.Save((root / "data" / "demo.pak").string()));
    }

    // Two glyphs side by side in one white image.
    static std::vector<uint8_t> FontSprite() {
        Tools::CPngImage white;
        white.width = 8;
        white.height = 4;
        white.samples.assign(8 * 4 * 3, 255);
        Tools::CPngImage alpha = white;
        alpha.colour = Tools::EPngColour::Grey;
        alpha.samples.assign(8 * 4, 128);
        Tools::CSprDocument document;
        document.images.push_back({0, Tools::WritePng(white), Tools::WritePng(alpha), 0});
        document.sprites.push_back(
            {"font_main", 0, 0, false, false, {Tools::MakeSprFrame(0, 0, 0, 4, 4), Tools::MakeSprFrame(0, 4, 0, 8, 4)}});
        return Tools::WriteSpr(document);
    }

    int driversMade = 0;
    std::vector<std::string> driverCalls;
    std::function<void(CFrameDriver&)> onPresent;
};

class ScreensaverModeTest : public ScreensaverTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ScreensaverModeTest, EndsWithoutMakingADriver) {
    EXPECT_EQ(RunPasses(GetParam(), [](auto...) { return -1; }), 0);
    EXPECT_EQ(driversMade, 0);
    EXPECT_TRUE(boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Lines, ScreensaverModeTest, ::testing::Values("/p 1234", "/p", "/a", "/a 5", "/c", "xyz"));

TEST_F(ScreensaverTest, PreviewChecksItsWindow) {
    RunPasses("/p 1234");
    EXPECT_TRUE(LogHas("Preview window 1234 : not a window"));
}

TEST_F(ScreensaverTest, SettingsModeStoresTheAnswers) {
    std::vector<std::string> titles;
    std::vector<int> answers{1, 2};
    EXPECT_EQ(RunPasses("/c", [&](const char* title, const char*, std::span<const char* const>, int) {
                  titles.push_back(title);
                  const int answer = answers.front();
                  answers.erase(answers.begin());
                  return answer;
              }),
              0);
    EXPECT_EQ(titles, (std::vector<std::string>{"Mosark", "Mosark"}));
    Engine::CConfig stored;
    ASSERT_TRUE(stored.Load((SettingsFolder() / "screensaver.cfg").c_str()));
    EXPECT_FALSE(stored.playAmbientSounds);
    EXPECT_EQ(stored.backgroundChangeSeconds, 180u);
}

struct CQuitCase {
    const char* name;
    std::function<void(CScreensaverApplication&)> input;
    bool quits;
};

class ScreensaverQuitTest : public ScreensaverTest, public ::testing::WithParamInterface<CQuitCase> {};

TEST_P(ScreensaverQuitTest, EndsAtTheFirstInput) {
    CScreensaverApplication app(FrameDrivers());
    int endedAt = 0;
    onPresent = [&](CFrameDriver& d) {
        if (d.frames == 5) {
            app.OnMouseMove(400, 300);  // the first sample only records
            EXPECT_FALSE(d.IsQuitRequested());
            GetParam().input(app);
        }
        if (d.IsQuitRequested() && !endedAt) endedAt = d.frames;
    };
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(endedAt, GetParam().quits ? 5 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ScreensaverQuitTest,
    ::testing::Values(CQuitCase{"Key", [](CScreensaverApplication& a) { a.OnKeyDown(0x1E); }, true},
                      CQuitCase{"Button", [](CScreensaverApplication& a) { a.OnMouseButtonDown(1); }, true},
                      CQuitCase{"MoveBoth", [](CScreensaverApplication& a) { a.OnMouseMove(401, 299); }, true},
                      CQuitCase{"MoveXOnly", [](CScreensaverApplication& a) { a.OnMouseMove(450, 300); }, false},
                      CQuitCase{"KeyUp", [](CScreensaverApplication& a) { a.OnKeyUp(0x1E); }, false}),
    [](const ::testing::TestParamInfo<CQuitCase>& info) { return std::string(info.param.name); });

TEST_F(ScreensaverTest, LoadsFromThePacksWithTheLoadingScreenShowingProgress) {
    WritePack("<locales default=\"en\"><locale name=\"en\"><string key=\"HINT_1\">One</string>"
              "<string key=\"HINT_2\">Two</string><font name=\"main\" sprite=\"font_main\">"
              "<char code=\"65\"/><char code=\"66\"/></font></locale></locales>",
              "<global><value name=\"FADE\" value=\"1.5\"/></global>", FontSprite());
    WriteFile(SettingsFolder() / "Settings.xml", "<settings><graphics fullscreen=\"Off\"/></settings>");
    CScreensaverApplication app(FrameDrivers());
    std::vector<float> fillRights;  // the right edge of the bar's filled part, per loading frame
    bool windowed = false;
    int textures = 0;
    bool fontLoaded = false;
    onPresent = [&](CFrameDriver& d) {
        windowed = d.GetParams().fullScreen == 0;
        for (const auto& call : d.calls) {
            textures += call.name == "CreateHardwareTexture";
            if (call.name != "gDraw") continue;
            EXPECT_EQ(call.args[2], 2.0);  // two quads: the frame and the filled part
            Engine::Graphics::SpriteVertex quad[8];
            ASSERT_EQ(call.vertices.size(), sizeof quad);
            std::memcpy(quad, call.vertices.data(), sizeof quad);
            fillRights.push_back(quad[5].x);
        }
        d.Clear();
        if (app.IsLoading()) return;
        fontLoaded = app.GetFont() != nullptr;
        d.RequestQuit();
    };
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(windowed);  // "Settings.xml" applies after the screensaver's full screen
    EXPECT_EQ(app.GetHints(), (std::vector<CString>{"One", "Two"}));
    EXPECT_EQ(Engine::GetGlobalFloat("FADE", app.GetGlobalValues()), 1.5f);
    EXPECT_TRUE(fontLoaded);
    EXPECT_EQ(app.GetFont(), nullptr);  // given back before the driver went
    EXPECT_EQ(textures, 1);  // the font's image, made behind the loading screen
    // Three steps (font, hints, images), the last one made of two items
    // (decode, texture): the bar fills in sixths and never goes back.
    using Engine::CLoadingScreen;
    ASSERT_FALSE(fillRights.empty());
    EXPECT_EQ(fillRights.front(), CLoadingScreen::kLeft + CLoadingScreen::kBorder);
    EXPECT_EQ(fillRights.back(), CLoadingScreen::kRight - CLoadingScreen::kBorder);
    EXPECT_TRUE(std::is_sorted(fillRights.begin(), fillRights.end()));
    EXPECT_TRUE(LogHasInOrder({"Data packs opened : 1", "[Loading Font begin]", "Font 'main' : 2 characters",
                               "[Loading Hints begin]", "Hints : 2", "[Loading Images begin]"}));
}

} // namespace
