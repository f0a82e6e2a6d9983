// The screensaver showing one scene alone, on each driver.
//
// Scene 6 with each damaged effect (tools/HeavyEffects.h), and each damaged
// sprite layer (tools/HeavySprites.h), and bg6 with many copies of its
// lantern (tools/LanternCopies.h), on the real clock, so that a slow
// frame is followed by catch-up steps as on a user's machine: the worst and
// the mean of the first 40 frames after the scene comes on, from present to
// present (counters "worst_ms" and "mean_ms"; the frame's particle limits
// and its sprite area limit should keep a frame under half a second, but
// never below what an ordinary effect needs: quitting does not wait on the
// frame). Only frames that ran update steps count: a frame quicker than a
// step runs none, and the software driver then redraws nothing.
//
// With the scene's own effect, on the test clock (one step a frame): frames
// under the application's particle limits against frames with the limits
// lifted, in alternating blocks of one run (counters "limited_ms",
// "lifted_ms" and their "ratio"; the limits should cost under 5%).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <string>
#include <vector>

#include "ParticleLimits.h"
#include "ScreensaverRun.h"
#include "TargetReporter.h"
#include "app/FixedStepClock.h"
#include "platform/Testing.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/HeavyEffects.h"
#include "tools/HeavySprites.h"
#include "tools/LanternCopies.h"

namespace {

using Clock = std::chrono::steady_clock;
using Engine::CScreensaverApplication;

const char* const kDrivers[] = {"D3D8", "OpenGL", "D3D7", "SFTW"};

// The demo pack without scenes: the slow part to make, once for all.
const Tools::CPakWriter& BasePack() {
    static const Tools::CPakWriter s_base = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
    return s_base;
}

// The demo pack with scene 6 alone, showing the effect file.
Tools::CPakWriter SceneSixPack(std::vector<uint8_t> effects) {
    Tools::CPakWriter pack = BasePack();
    Tools::AddDemoScene(pack, 6, std::move(effects));
    return pack;
}

// The demo pack with the damaged sprite layer alone.
Tools::CPakWriter HeavySpritesPack(Tools::EHeavySprites sprites) {
    Tools::CPakWriter pack = BasePack();
    Tools::AddSceneAlone(pack, Tools::WriteHeavySprites(sprites));
    return pack;
}

// The demo pack with bg6 and its lantern copies alone.
Tools::CPakWriter LanternCopiesPack(const Tools::CLanternCopies& copies) {
    Tools::CPakWriter pack = BasePack();
    Tools::AddLanternCopies(pack, copies.animation, copies.count);
    return pack;
}

double Milliseconds(Clock::duration time) { return std::chrono::duration<double, std::milli>(time).count(); }

// The worst and mean of the first frames of the pack's scene.
void HeavyFrames(benchmark::State& state, const std::string& driver, const Tools::CPakWriter& pack) {
    constexpr size_t kFrames = 40;
    const ScreensaverRun::CDemoFolder folder(pack);
    for (auto _ : state) {
        std::vector<double> frames;  // milliseconds, present to present
        double sceneTime = -1.0;     // at the last present, once the scene shows
        Clock::time_point last;
        ScreensaverRun::RunScreensaver(
            [&](const CScreensaverApplication& app) {
                const Clock::time_point now = Clock::now();
                if (!ScreensaverRun::SceneShows(app)) return false;
                const double shown = app.GetSceneCycle().GetSceneTime();
                if (sceneTime >= 0.0 && shown != sceneTime) frames.push_back(Milliseconds(now - last));
                sceneTime = shown;
                last = Clock::now();
                return frames.size() == kFrames;
            },
            driver);
        state.counters["worst_ms"] = *std::max_element(frames.begin(), frames.end());
        state.counters["mean_ms"] = std::accumulate(frames.begin(), frames.end(), 0.0) / double(frames.size());
    }
}

void BM_HeavyEffectFrames(benchmark::State& state, const std::string& driver, Tools::EHeavyEffect effect) {
    HeavyFrames(state, driver, SceneSixPack(Tools::WriteHeavyEffect(effect)));
}

void BM_HeavySpriteFrames(benchmark::State& state, const std::string& driver, Tools::EHeavySprites sprites) {
    HeavyFrames(state, driver, HeavySpritesPack(sprites));
}

void BM_LanternFrames(benchmark::State& state, const std::string& driver, Tools::CLanternCopies copies) {
    HeavyFrames(state, driver, LanternCopiesPack(copies));
}

// Limits set at a present hold from the next frame on. The blocks start
// after 3 s of the scene, when every emitter has particles, and end within
// the scene's minute.
void BM_SceneFrameLimits(benchmark::State& state, const std::string& driver) {
    constexpr int kWarmUpFrames = 90, kBlockFrames = 10, kBlockPairs = 60;
    constexpr int kLastFrame = kWarmUpFrames + 2 * kBlockFrames * kBlockPairs;
    const ScreensaverRun::CDemoFolder folder(SceneSixPack(Tools::WriteSceneEffects()));
    for (auto _ : state) {
        Platform::Testing::UseTestClock(1'000'000);
        double milliseconds[2] = {};  // lifted, limited
        bool limited = true;
        int frames = 0;
        Clock::time_point last = Clock::now();
        ScreensaverRun::RunScreensaver(
            [&](const CScreensaverApplication& app) {
                const Clock::time_point now = Clock::now();
                if (ScreensaverRun::SceneShows(app) && ++frames >= kWarmUpFrames) {
                    if (frames > kWarmUpFrames) milliseconds[limited] += Milliseconds(now - last);
                    limited = (frames - kWarmUpFrames) / kBlockFrames % 2 == 0;
                    ParticleLimits::Use(*app.GetParticleSystem(), limited);
                }
                Platform::Testing::AdvanceTestClock(Engine::CFixedStepClock::kStepMicroseconds);
                last = Clock::now();
                return frames == kLastFrame;
            },
            driver);
        Platform::Testing::UseRealClock();
        const double blockFrames = double(kBlockFrames * kBlockPairs);
        state.counters["limited_ms"] = milliseconds[1] / blockFrames;
        state.counters["lifted_ms"] = milliseconds[0] / blockFrames;
        state.counters["ratio"] = milliseconds[1] / milliseconds[0];
    }
}

std::string HeavyRun(const std::string& driver, Tools::EHeavyEffect effect) {
    return "BM_HeavyEffectFrames/" + driver + "/" + Tools::HeavyEffectName(effect);
}

std::string HeavySpritesRun(const std::string& driver, Tools::EHeavySprites sprites) {
    return "BM_HeavySpriteFrames/" + driver + "/" + Tools::HeavySpritesName(sprites);
}

std::string LanternRun(const std::string& driver, const Tools::CLanternCopies& copies) {
    return "BM_LanternFrames/" + driver + "/" + copies.name;
}

std::string LimitsRun(const std::string& driver) { return "BM_SceneFrameLimits/" + driver; }

// Each case runs once a repetition: it lasts seconds.
void Register() {
    for (const char* driver : kDrivers)
        benchmark::RegisterBenchmark(LimitsRun(driver).c_str(), BM_SceneFrameLimits, std::string(driver))
            ->Unit(benchmark::kSecond)
            ->Iterations(1);
    for (const char* driver : kDrivers)
        for (Tools::EHeavyEffect effect : Tools::kHeavyEffects)
            benchmark::RegisterBenchmark(HeavyRun(driver, effect).c_str(), BM_HeavyEffectFrames, std::string(driver),
                                         effect)
                ->Unit(benchmark::kSecond)
                ->Iterations(1);
    for (const char* driver : kDrivers)
        for (Tools::EHeavySprites sprites : Tools::kHeavySprites)
            benchmark::RegisterBenchmark(HeavySpritesRun(driver, sprites).c_str(), BM_HeavySpriteFrames,
                                         std::string(driver), sprites)
                ->Unit(benchmark::kSecond)
                ->Iterations(1);
    for (const char* driver : kDrivers)
        for (const Tools::CLanternCopies& copies : Tools::kLanternCopies)
            benchmark::RegisterBenchmark(LanternRun(driver, copies).c_str(), BM_LanternFrames, std::string(driver),
                                         copies)
                ->Unit(benchmark::kSecond)
                ->Iterations(1);
}

// What a frame of a damaged file should stay under.
constexpr double kWorstFrameMs = 500.0;

std::vector<BenchTargets::CTarget> Targets() {
    std::vector<BenchTargets::CTarget> targets;
    for (const char* driver : kDrivers)
        targets.push_back({LimitsRun(driver) + "/iterations:1", "ratio", 1.0, "x", 1.05, true,
                           std::string("scene 6 on ") + driver + ": limited over lifted frame"});
    for (const char* driver : kDrivers)
        for (Tools::EHeavyEffect effect : Tools::kHeavyEffects)
            targets.push_back({HeavyRun(driver, effect) + "/iterations:1", "worst_ms", 1.0, "ms", kWorstFrameMs, true,
                               std::string(Tools::HeavyEffectName(effect)) + " on " + driver + ": worst frame"});
    for (const char* driver : kDrivers)
        for (Tools::EHeavySprites sprites : Tools::kHeavySprites)
            targets.push_back({HeavySpritesRun(driver, sprites) + "/iterations:1", "worst_ms", 1.0, "ms", kWorstFrameMs, true,
                               std::string(Tools::HeavySpritesName(sprites)) + " on " + driver + ": worst frame"});
    for (const char* driver : kDrivers)
        for (const Tools::CLanternCopies& copies : Tools::kLanternCopies)
            targets.push_back({LanternRun(driver, copies) + "/iterations:1", "worst_ms", 1.0, "ms", kWorstFrameMs, true,
                               std::string(copies.name) + " on " + driver + ": worst frame"});
    return targets;
}

} // namespace

int main(int argc, char** argv) {
    Register();
    BenchTargets::CTargetReporter reporter(Targets());
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}
