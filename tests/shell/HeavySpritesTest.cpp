// The frame's sprite area limit in the running screensaver: a damaged place
// file of thousands of window-sized sprites (tools/HeavySprites.h) draws no
// more than the limit and leaves the run free to end, while every ordinary
// picture (the demo scenes, the scenes of the generated classes, the
// loading screen and the settings window) stays under half of it, so that
// none comes near it.

#include <SDL.h>

#include <algorithm>

#include "graphics/DrawnAreaLimit.h"
#include "shell/EntryPoint.h"
#include "shell/HookedDriver.h"
#include "shell/ScreensaverApplication.h"
#include "shell/OneDriverTable.h"
#include "shell/ShellTestSupport.h"
#include "tools/DemoData.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/HeavySprites.h"

using namespace ShellTesting;
using Engine::Graphics::CDrawnAreaLimit;

namespace {

constexpr double kScreen = 800.0 * 600.0;
constexpr double kLimit = CDrawnAreaLimit::kFrameSpriteScreens * kScreen;

// What a run saw at each present: whether the program was loading, and the
// frame's sprite area counts.
struct CFrame {
    bool loading;
    double kept, offered;
    int64_t dropped;
};

class SpriteAreaRun : public ScreensaverShellTest {
protected:
    static constexpr int64_t kStepUs = 250'000;


    // The demo pack without scenes: the slow part to make, once for all.
    static Tools::CPakWriter BasePack() {
        static const Tools::CPakWriter s_base = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
        return s_base;
    }

    // Runs the program with the command line on the named driver until
    // `frames` frames after loading were presented (or the run ended);
    // onBegin runs as each frame after loading starts drawing.
    std::vector<CFrame> Run(const std::string& driver, const char* commandLine, int frames,
                            const std::function<void()>& onBegin = nullptr) {
        std::vector<CFrame> seen;
        int shown = 0;
        const auto begin = [&](CGraphics&) {
            if (onBegin && !Loading()) onBegin();
        };
        const auto present = [&](CGraphics& graphics) {
            const CDrawnAreaLimit& limit = graphics.GetSpriteAreaLimit();
            seen.push_back({Loading(), limit.GetAreaKept(), limit.GetAreaOffered(), limit.GetQuadsDropped()});
            if (!Loading() && ++shown >= frames) graphics.RequestQuit();
        };
        const Engine::CGraphicsDriverTable table =
            OneDriverTable(driver, [&]<class Driver>(Engine::CApplication** cell) {
                return std::make_unique<CHookedDriver<Driver>>(cell, begin, present, kStepUs);
            });
        const int exitCode = Engine::RunApplicationPasses(commandLine, [&]() -> std::unique_ptr<Engine::CStdApplication> {
            auto made = std::make_unique<Engine::CScreensaverApplication>(table);
            app = made.get();
            return made;
        });
        EXPECT_EQ(exitCode, 0);
        EXPECT_TRUE(boxes.empty());
        app = nullptr;
        return seen;
    }

    // The settings window counts as shown from its first frame.
    bool Loading() const { return app->IsLoading() && !app->GetCommandLine().view().starts_with("/c"); }

    Engine::CScreensaverApplication* app = nullptr;
};

// A quit request, as SIGTERM makes one, posted as the first frame of the
// damaged scene starts drawing ends the run after that frame, which drew no
// more than the limit of what it offered.
using CHeavyCase = std::tuple<const char*, Tools::EHeavySprites>;

class HeavySpritesTest : public SpriteAreaRun, public ::testing::WithParamInterface<CHeavyCase> {};

TEST_P(HeavySpritesTest, AQuitDuringTheFirstFrameEndsTheRunAfterItsBoundedDrawing) {
    const auto [driver, sprites] = GetParam();
    Tools::CPakWriter pack = BasePack();
    Tools::AddSceneAlone(pack, Tools::WriteHeavySprites(sprites));
    UseDemoPack(driver, pack);
    int quits = 0;
    std::vector<CFrame> frames = Run(driver, "/s", 200, [&] {
        if (quits++ > 0) return;
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        ASSERT_EQ(SDL_PushEvent(&quit), 1) << SDL_GetError();
    });
    std::erase_if(frames, [](const CFrame& f) { return f.loading; });
    ASSERT_EQ(frames.size(), 1u) << "the quit ends the run after the frame it came in";
    const CFrame& frame = frames[0];
    // Every copy covers the window, whatever its scale.
    EXPECT_GE(frame.offered, 0.99 * Tools::kHeavySpriteCopies * kScreen);
    EXPECT_GT(frame.kept, 0.5 * kLimit);
    EXPECT_LE(frame.kept, kLimit);
    EXPECT_GT(frame.dropped, 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, HeavySpritesTest,
                         ::testing::Combine(::testing::Values("D3D8", "OpenGL", "D3D7", "SFTW"),
                                            ::testing::ValuesIn(Tools::kHeavySprites)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "_" +
                                    Tools::HeavySpritesName(std::get<1>(info.param));
                         });

// Every ordinary picture over a whole loop of its scene (80 frames of a
// quarter second), with its loading screen, on the software driver: the one
// whose colour clear is a full-screen sprite quad, so that it draws the most
// of any driver. Nothing is dropped, and the largest frame (recorded as
// "largest_screens") covers under half the limit.
struct CPicture {
    std::string name;
    std::function<void(Tools::CPakWriter&)> scene;  // null: the settings window
};

std::vector<CPicture> OrdinaryPictures() {
    std::vector<CPicture> pictures;
    for (int number = 1; number <= 6; ++number)
        pictures.push_back({"bg" + std::to_string(number), [number](Tools::CPakWriter& pack) {
                                Tools::AddDemoScene(pack, number);
                            }});
    // The other classes' scenes show by their own archives, which animate
    // them as their classes do.
    for (const std::string& path : Tools::GeneratedScenePaths()) {
        if (path.starts_with("place/bg")) continue;
        std::string name = path.substr(path.find('/') + 1);
        name = name.substr(0, name.find('.'));
        pictures.push_back({name, [path](Tools::CPakWriter& pack) {
                                Tools::AddSceneAlone(pack, Tools::WriteGeneratedScene(Tools::GeneratedScene(path)));
                            }});
    }
    pictures.push_back({"settings", nullptr});
    return pictures;
}

class OrdinaryPictureTest : public SpriteAreaRun, public ::testing::WithParamInterface<CPicture> {};

TEST_P(OrdinaryPictureTest, DrawsUnderHalfTheLimit) {
    const CPicture& picture = GetParam();
    Tools::CPakWriter pack = BasePack();
    if (picture.scene) picture.scene(pack);
    UseDemoPack("SFTW", pack);
    constexpr int kLoopFrames = 80;
    const std::vector<CFrame> frames = Run("SFTW", picture.scene ? "/s" : "/c", kLoopFrames);
    double largest[2] = {0.0, 0.0};  // shown, loading
    int shown = 0;
    for (const CFrame& frame : frames) {
        EXPECT_EQ(frame.dropped, 0);
        EXPECT_EQ(frame.kept, frame.offered);
        largest[frame.loading] = std::max(largest[frame.loading], frame.offered);
        shown += !frame.loading;
    }
    EXPECT_EQ(shown, kLoopFrames);
    EXPECT_GT(largest[0], 0.0);
    EXPECT_LT(largest[0], kLimit / 2);
    EXPECT_LT(largest[1], kLimit / 2);
    RecordProperty("largest_screens", std::to_string(largest[0] / kScreen));
    RecordProperty("loading_largest_screens", std::to_string(largest[1] / kScreen));
}

INSTANTIATE_TEST_SUITE_P(Pictures, OrdinaryPictureTest, ::testing::ValuesIn(OrdinaryPictures()),
                         [](const auto& info) { return info.param.name; });

} // namespace
