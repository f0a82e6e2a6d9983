// A quit that comes while the screensaver loads its data ends the run as
// any quit does: the step under way stops within an interval of counted
// work (the images step at its next item), no failure or skipped file is
// logged for it, no further file or step starts, and the run ends with the
// configuration saved. Input that would not end the run cuts no load. The
// loads are looked at as a long frame is, counting work, not time.

#include <SDL.h>

#include "app/LoadingQuitCheck.h"
#include "placefile/PlaceFileManager.h"
#include "platform/SdlBridge.h"
#include "shell/EntryPoint.h"
#include "shell/HarmlessInput.h"
#include "shell/OneDriverTable.h"
#include "shell/ProgramStartup.h"
#include "shell/ScreensaverApplication.h"
#include "shell/ShellTestSupport.h"
#include "tests/graphics/SprFileTestData.h"
#include "tools/DamagedFiles.h"
#include "tools/DemoData.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/HeavySprites.h"
#include "tools/SceneArchiveWriter.h"

using namespace ShellTesting;
using Engine::CFrameQuitWatch;
using Engine::CLoadingQuitCheck;

namespace {

constexpr char kDriver[] = "SFTW";
// Far more records than one interval of work between two looks.
constexpr int kCopies = 3 * int(CFrameQuitWatch::kCheckInterval);
constexpr int kDefinitions = int(CFrameQuitWatch::kCheckInterval);

// A driver that runs a hook at each present, the test clock moving on by a
// step.
template <class Driver>
class CPresentHookDriver : public Driver {
public:
    CPresentHookDriver(Engine::CApplication** app, std::function<void(CGraphics&)> present)
        : Driver(app), m_present(std::move(present)) {}
    void gFlipBuffers() override {
        Driver::gFlipBuffers();
        Platform::Testing::AdvanceTestClock(250'000);
        m_present(*this);
    }

private:
    std::function<void(CGraphics&)> m_present;
};

// bg7 (the scene shown alone) holding many copies of bg1's sky object at
// 1 x 1 px, or one object whose sprite file holds many definitions; bg8, a
// good empty scene after it. bg1 to bg6 before it are empty files, skipped.
enum class EHeavyLoad { PlaceObjects, SpriteDefinitions };

Tools::CPakWriter HeavyPack(EHeavyLoad load) {
    static const Tools::CPakWriter s_base = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
    Tools::CPakWriter pack = s_base;
    Tools::CPlaceDocument place = Tools::GeneratedScene("place/bg1.place").place;
    place.layers.resize(1);
    Tools::CPlaceObjectDoc sky = place.layers[0].objects.at(0);
    sky.width = sky.height = 1;
    place.layers[0].objects.clear();
    place.scene = Tools::WriteSceneArchive(Tools::CSceneDocument{});
    if (load == EHeavyLoad::PlaceObjects) {
        for (int i = 0; i < kCopies; ++i) {
            sky.id = uint32_t(1 + i);
            place.layers[0].objects.push_back(sky);
        }
    } else {
        Tools::CSprDocument sprites;
        sprites.images.push_back({0, SprTestData::SolidPng(4, 4), {}, 0});
        for (int i = 0; i < kDefinitions; ++i)
            sprites.sprites.push_back({"s" + std::to_string(i), 0, 0, false, false, {Tools::MakeSprFrame(0, 0, 0, 4, 4)}});
        pack.Add("spr/many.spr", Tools::WriteSpr(sprites));
        place.spriteFiles = {{"spr/many.spr", {{uint32_t(sky.spriteId), "s0"}}}};
        place.layers[0].objects = {sky};
    }
    Tools::AddSceneAlone(pack, Tools::WritePlace(place));
    pack.Add("place/bg8.place", Tools::WritePlace(Tools::CPlaceDocument{}));
    return pack;
}

class LoadingQuitTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        static const Engine::CProgramStartup s_startup;
        Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
    }

    // Where the events are pushed once the given text is logged: at once, at
    // the first look of the step's quit check, or at the first present.
    enum class EPush { AtOnce, AtLook, AtPresent };

    // Runs the screensaver until `shownFrames` frames after loading were
    // presented or the run ended, pushing the events once during the step.
    void Run(const char* step, EPush at, std::vector<SDL_Event> (*events)(Uint32 window), int shownFrames) {
        const auto present = [&](CGraphics& graphics) {
            ++presents;
            if (!app->IsLoading()) {
                if (++shown >= shownFrames) graphics.RequestQuit();
            } else if (at == EPush::AtPresent && presentsAtPost < 0 && LogHas(step)) {
                Push(events);
                presentsAtPost = presents;
            }
        };
        if (at == EPush::AtOnce)
            GetLog().SetSink([&](std::string_view text) {
                log.append(text);
                if (presentsAtPost < 0 && LogHas(step)) {
                    Push(events);
                    presentsAtPost = presents;
                }
            });
        const Engine::CGraphicsDriverTable table =
            OneDriverTable(kDriver, [&]<class Driver>(Engine::CApplication** cell) {
                return std::make_unique<CPresentHookDriver<Driver>>(cell, present);
            });
        const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
            auto made = std::make_unique<Engine::CScreensaverApplication>(table);
            app = made.get();
            CFrameQuitWatch& watch = made->GetQuitWatch();
            watch.SetTimeGate(false);
            watch.SetProbe([&, probe = watch.GetProbe()] {
                const CLoadingQuitCheck* check = CLoadingQuitCheck::GetCurrent();
                if (at == EPush::AtLook && check && postedAt < 0 && LogHas(step)) {
                    Push(events);
                    postedAt = check->GetUnits();
                    presentsAtPost = presents;
                    return false;
                }
                const bool quit = probe();
                if (quit && check && stoppedAt < 0) stoppedAt = check->GetUnits();
                return quit;
            });
            return made;
        });
        GetLog().SetSink([this](std::string_view text) { log.append(text); });
        EXPECT_EQ(exitCode, 0);
        EXPECT_TRUE(boxes.empty());
        app = nullptr;
    }

    void Push(std::vector<SDL_Event> (*events)(Uint32 window)) {
        const Uint32 window = SDL_GetWindowID(Platform::GetSdlWindow(app->m_hWnd));
        for (SDL_Event event : events(window)) EXPECT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    static std::vector<SDL_Event> Quit(Uint32) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        return {quit};
    }

    // Nothing after the step's cut: no further file, step or scene, no
    // failure for the file cut, and the configuration saved.
    void ExpectEndedAtOnce(std::vector<std::string> never) {
        EXPECT_EQ(presents, presentsAtPost) << "no frame after the quit";
        never.insert(never.end(), {"Invalid", "FAILED : ", "Scene : "});
        for (const std::string& text : never) EXPECT_FALSE(LogHas(text)) << text << " in:\n" << log;
        EXPECT_TRUE(LogHasInOrder({"Shutting Down", "Saving Configuration"}));
    }

    Engine::CScreensaverApplication* app = nullptr;
    int presents = 0, presentsAtPost = -1, shown = 0;
    int64_t postedAt = -1, stoppedAt = -1;
};

class HeavyLoadQuitTest : public LoadingQuitTest, public ::testing::WithParamInterface<EHeavyLoad> {};

TEST_P(HeavyLoadQuitTest, AQuitDuringTheSceneLoadsEndsTheRunWithinAnInterval) {
    UseDemoPack(kDriver, HeavyPack(GetParam()));
    // Each file tried is an interval of work: posted at the look after the
    // last empty file, the quit is found inside bg7.
    Run("place/bg6.place : skipped", EPush::AtLook, &Quit, 3);
    ASSERT_GE(postedAt, 0) << "posted while the scenes loaded";
    ASSERT_GE(stoppedAt, postedAt) << "found";
    EXPECT_LE(stoppedAt - postedAt, CFrameQuitWatch::kCheckInterval);
    EXPECT_FALSE(LogHas("Assigning generated class for 'place/bg7.place'")) << "cut before its end";
    ExpectEndedAtOnce({"bg7.place : skipped", "bg8", "Scenes : ", "Loading Images"});
}

INSTANTIATE_TEST_SUITE_P(Loads, HeavyLoadQuitTest,
                         ::testing::Values(EHeavyLoad::PlaceObjects, EHeavyLoad::SpriteDefinitions),
                         [](const auto& info) {
                             return info.param == EHeavyLoad::PlaceObjects ? "PlaceObjects" : "SpriteDefinitions";
                         });

// Place files that fail at their first read, before their reader counts:
// a quit waiting when the scan starts ends it after the file in hand.
TEST_F(LoadingQuitTest, AQuitDuringAScanOfDamagedPlaceFilesEndsItAfterTheFirst) {
    Tools::CPakWriter pack = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
    Tools::AddDamagedFiles(pack, Tools::EDamagedFiles::Places, 25);
    UseDemoPack(kDriver, pack);
    Run("[Loading Scenes begin]", EPush::AtOnce, &Quit, 3);
    ASSERT_GE(presentsAtPost, 0) << "posted as the scan started";
    EXPECT_EQ(stoppedAt, CFrameQuitWatch::kCheckInterval) << "found at the look after the first file";
    EXPECT_TRUE(LogHas("place/bg1.place : skipped"));
    // Every file tried and failed writes its line (the first ten do).
    ExpectEndedAtOnce({"place/bg2.place", "Scenes : ", "Loading Images"});
}

// A locale of many hints: the hints step looks for a quit as it takes them.
TEST_F(LoadingQuitTest, AQuitDuringTheHintsEndsTheRunWithinAnInterval) {
    UseDemoPack(kDriver, Tools::MakeDemoPack(MOSARK_DEMO_FONT, false, kCopies));
    Run("Loading Hints", EPush::AtLook, &Quit, 3);
    ASSERT_GE(postedAt, 0) << "posted while the hints were taken";
    ASSERT_GE(stoppedAt, postedAt) << "found";
    EXPECT_LE(stoppedAt - postedAt, CFrameQuitWatch::kCheckInterval);
    ExpectEndedAtOnce({"Hints : ", "Loading Scenes"});
}

// The start-up reads the locale and then the global values before any step,
// under the same look: a quit there ends the run before the first step, with
// no failure to start.
enum class EStartupFile { Locale, GlobalValues };

class StartupReadQuitTest : public LoadingQuitTest, public ::testing::WithParamInterface<EStartupFile> {};

TEST_P(StartupReadQuitTest, AQuitDuringTheReadEndsTheRunBeforeTheSteps) {
    Tools::CPakWriter pack = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
    if (GetParam() == EStartupFile::Locale) {
        pack = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false, kCopies);
    } else {
        std::string xml = "<values>\n";
        for (int i = 0; i < kCopies; ++i) xml += "<value name=\"v" + std::to_string(i) + "\" value=\"1\"/>\n";
        pack.Remove("xml/global.xml");
        pack.Add("xml/global.xml", std::vector<uint8_t>(xml.begin(), xml.end()));
    }
    UseDemoPack(kDriver, pack);
    Run("[Initializing Application begin]", EPush::AtLook, &Quit, 3);
    ASSERT_GE(postedAt, 0) << "posted while the file was read";
    ASSERT_GE(stoppedAt, postedAt) << "found";
    EXPECT_LE(stoppedAt - postedAt, CFrameQuitWatch::kCheckInterval);
    EXPECT_TRUE(LogHasInOrder({"[Initializing Application begin]", "[Initializing Application end]",
                               "[Main Loop begin]", "[Shutting Down begin]"}));
    ExpectEndedAtOnce({"Unable to Init", "Loading Font", "Loading Hints", "parse error", "Can't read"});
}

INSTANTIATE_TEST_SUITE_P(Files, StartupReadQuitTest,
                         ::testing::Values(EStartupFile::Locale, EStartupFile::GlobalValues),
                         [](const auto& info) { return info.param == EStartupFile::Locale ? "Locale" : "GlobalValues"; });

// The images step performs one item per frame, taking the messages between
// them: a quit among them ends it before the next item.
TEST_F(LoadingQuitTest, AQuitDuringTheImagesEndsTheRunBeforeTheNextItem) {
    UseDemoPack(kDriver, HeavyPack(EHeavyLoad::SpriteDefinitions));
    Run("Loading Images", EPush::AtPresent, &Quit, 3);
    ASSERT_GE(presentsAtPost, 0) << "posted while the images loaded";
    EXPECT_TRUE(LogHas("Scenes : 2"));
    ExpectEndedAtOnce({});
}

class HarmlessLoadInputTest : public LoadingQuitTest, public ::testing::WithParamInterface<CHarmlessInput> {};

TEST_P(HarmlessLoadInputTest, CutsNoLoad) {
    UseDemoPack(kDriver, HeavyPack(EHeavyLoad::PlaceObjects));
    Run("Loading Scenes", EPush::AtLook, GetParam().events, 3);
    EXPECT_GE(postedAt, 0) << "pushed while the scenes loaded";
    EXPECT_EQ(stoppedAt, -1) << "no load was cut";
    EXPECT_EQ(shown, 3) << "the run went on to its end";
    EXPECT_TRUE(LogHasInOrder({"Scenes : 2", "Scene : ", "Saving Configuration"}));
}

INSTANTIATE_TEST_SUITE_P(Inputs, HarmlessLoadInputTest, ::testing::ValuesIn(kHarmlessInputs),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
