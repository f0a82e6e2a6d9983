// A quit while a driver draws a heavy frame: a full pool of small particle
// quads (tools/HeavyEffects.h), or 300,000 one-pixel sprites queued on top of
// the scene. The frame's quads are counted on the quit watch, whether handed
// to the device or, on the software driver, buffered for its dirty-rectangle
// pass, so a quit request posted at one of its looks is found at the next:
// the draw stops within an interval of further quads, the frame is not
// presented, and the run ends after it. Input that does not end the
// screensaver cuts nothing. The watch counts work, not time.

#include <SDL.h>

#include <algorithm>

#include "graphics/Graphics.h"
#include "graphics/SpriteQueue.h"
#include "platform/SdlBridge.h"
#include "shell/EntryPoint.h"
#include "shell/HarmlessInput.h"
#include "shell/HookedDriver.h"
#include "shell/OneDriverTable.h"
#include "shell/ScreensaverApplication.h"
#include "shell/ShellTestSupport.h"
#include "tools/DemoData.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/HeavyEffects.h"

using namespace ShellTesting;
using Engine::Graphics::CSpriteQueue;

namespace {

constexpr int kSprites = 300'000;

struct CFrameQuads {
    int64_t drawn = 0;       // quads handed to the device, all frames
    int64_t frameStart = 0;  // `drawn` as the frame began
    int64_t atEnd = 0;       // the last frame's, at its end
    const CGraphics* graphics = nullptr;  // the driver, from the first frame on

    // The frame's quads so far: drawn, or buffered in `container` while the
    // driver buffers.
    template <class Container>
    int64_t In(const Container& container) const {
        return container ? int64_t(container->GetRecords().size()) : drawn - frameStart;
    }
    int64_t SoFar() const { return In(graphics->GetSpritesContainer()); }
};

// Counts the quads handed to the device and, at each frame's end, those the
// frame buffered (the containers have turned by then).
template <class Driver>
class CQuadCountingDriver : public CHookedDriver<Driver> {
public:
    CQuadCountingDriver(Engine::CApplication** app, typename CHookedDriver<Driver>::Hook begin,
                        typename CHookedDriver<Driver>::Hook present, int64_t stepUs, CFrameQuads* quads)
        : CHookedDriver<Driver>(app, std::move(begin), std::move(present), stepUs), m_quads(quads) {}
    void gDraw(int type, Engine::ref_ptr<Engine::Graphics::CVertexBuffer> vertices, int first, int count,
               Engine::ref_ptr<Engine::Graphics::CIndexBuffer> indices) override {
        if (type == Engine::Graphics::PRIM_QUAD_LIST && count > 0) m_quads->drawn += count;
        Driver::gDraw(type, vertices, first, count, std::move(indices));
    }
    void gEndScene() override {
        const auto& last = this->m_bThreeContainers ? this->m_pThirdSprites : this->m_pNextSprites;
        m_quads->atEnd = m_quads->In(last);
        Driver::gEndScene();
    }

private:
    CFrameQuads* m_quads;
};

// The screensaver with `sprites` untextured one-pixel sprites queued over
// each scene frame.
class CManySpritesScreensaver : public Engine::CScreensaverApplication {
public:
    CManySpritesScreensaver(Engine::CGraphicsDriverTable drivers, int sprites)
        : CScreensaverApplication(std::move(drivers)), m_sprites(sprites) {}

protected:
    void Draw() override {
        CScreensaverApplication::Draw();
        if (IsLoading()) return;
        const CSpriteQueue::CParams params;
        for (int i = 0; i < m_sprites; ++i)
            CSpriteQueue::QueueSpriteAtSizeF(params, CSpriteQueue::GetEmptySprite(), float(i % 800),
                                             float(i / 800 % 600), 1.0f, 1.0f, 0xFFFFFFFFu);
    }

private:
    int m_sprites;
};

enum class EHeavyDraw { ParticlePool, Sprites };
// What the quit look is given while the frame draws.
enum class EInput { Quit, AltTab, MoveAlongOneAxis };

using CCase = std::tuple<const char*, EHeavyDraw, EInput>;

class QuitWhileDrawingTest : public ScreensaverShellTest, public ::testing::WithParamInterface<CCase> {
protected:
    static constexpr int64_t kStepUs = 250'000;
};

TEST_P(QuitWhileDrawingTest, AQuitStopsTheDrawWithinAnIntervalOfQuadsAndHarmlessInputCutsNothing) {
    const char* const driver = std::get<0>(GetParam());
    const EHeavyDraw heavy = std::get<1>(GetParam());
    const EInput input = std::get<2>(GetParam());
    static const Tools::CPakWriter s_base = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
    Tools::CPakWriter pack = s_base;
    const bool particles = heavy == EHeavyDraw::ParticlePool;
    Tools::AddDemoScene(pack, 6,
                        particles ? Tools::WriteHeavyEffect(Tools::EHeavyEffect::EightSmallTypes)
                                  : Tools::WriteSceneEffects());
    UseDemoPack(driver, pack);
    // The pool fills over the first frames.
    const int warmFrames = particles ? 2 : 0;

    Engine::CScreensaverApplication* app = nullptr;
    CFrameQuads quads;
    int presented = 0, presentedAtPost = -1;
    bool drawing = false;
    int64_t postedAt = -1, stoppedAt = -1, postedFrameQuads = -1;
    const auto begin = [&](CGraphics& graphics) {
        drawing = !app->IsLoading();
        quads.frameStart = quads.drawn;
        quads.graphics = &graphics;
    };
    const auto present = [&](CGraphics& graphics) {
        drawing = false;
        if (app->IsLoading()) return;
        ++presented;
        if (postedAt >= 0 && postedFrameQuads < 0) {
            postedFrameQuads = quads.atEnd;
            graphics.RequestQuit();
        }
        if (presented > warmFrames + 2) graphics.RequestQuit();
    };
    const Engine::CGraphicsDriverTable table = OneDriverTable(driver, [&]<class Driver>(Engine::CApplication** cell) {
        return std::make_unique<CQuadCountingDriver<Driver>>(cell, begin, present, kStepUs, &quads);
    });
    const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
        auto made = std::make_unique<CManySpritesScreensaver>(table, particles ? 0 : kSprites);
        app = made.get();
        Engine::CFrameQuitWatch& watch = made->GetQuitWatch();
        watch.SetTimeGate(false);
        watch.SetProbe([&, probe = watch.GetProbe()] {
            const bool quit = probe();
            if (quit && postedAt >= 0 && stoppedAt < 0) stoppedAt = quads.SoFar();
            if (quit || postedAt >= 0 || !drawing || presented < warmFrames || quads.SoFar() == 0) return quit;
            const Uint32 window = SDL_GetWindowID(Platform::GetSdlWindow(app->m_hWnd));
            std::vector<SDL_Event> events(1);
            events[0].type = SDL_QUIT;
            if (input != EInput::Quit) events = kHarmlessInputs[int(input) - 1].events(window);
            for (SDL_Event& event : events) EXPECT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
            postedAt = quads.SoFar();
            presentedAtPost = presented;
            return false;
        });
        return made;
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(boxes.empty());
    ASSERT_GE(postedAt, 0) << "posted while the frame drew";
    // What a whole frame draws: the full pool, or every sprite.
    const int64_t whole = particles ? int64_t(1) << 17 : kSprites;
    if (input != EInput::Quit) {
        EXPECT_EQ(stoppedAt, -1) << "no frame was cut";
        EXPECT_GE(postedFrameQuads, whole) << "the frame drew in full and was presented";
        EXPECT_EQ(presented, presentedAtPost + 1) << "the run went on to its end";
        return;
    }
    ASSERT_GE(stoppedAt, postedAt) << "found while the frame drew";
    EXPECT_LT(postedAt, whole / 2) << "found early in the frame";
    // Quads are counted before each piece is drawn: after the look that
    // posted the quit come its piece and under an interval of others.
    EXPECT_LE(stoppedAt - postedAt, Engine::CFrameQuitWatch::kCheckInterval + CGraphics::kWatchedQuads);
    EXPECT_EQ(quads.atEnd, stoppedAt) << "nothing is drawn after the stop";
    EXPECT_EQ(presented, presentedAtPost) << "the frame is not presented, and the run ends after it";
}

std::string CaseName(const ::testing::TestParamInfo<CCase>& info) {
    static const char* const kDraws[] = {"ParticlePool", "Sprites"};
    static const char* const kInputs[] = {"Quit", "AltTab", "MoveAlongOneAxis"};
    const auto [driver, heavy, input] = info.param;
    return std::string(driver) + "_" + kDraws[int(heavy)] + "_" + kInputs[int(input)];
}

INSTANTIATE_TEST_SUITE_P(Drivers, QuitWhileDrawingTest,
                         ::testing::Combine(::testing::Values("D3D8", "OpenGL", "D3D7", "SFTW"),
                                            ::testing::Values(EHeavyDraw::ParticlePool, EHeavyDraw::Sprites),
                                            ::testing::Values(EInput::Quit, EInput::AltTab, EInput::MoveAlongOneAxis)),
                         CaseName);

} // namespace
