// The screensaver on the demo scenes with one scene's file damaged in the
// pack: that scene is skipped with a log line naming the file, the other
// five take their turns, and input still ends the run with the
// configuration saved.

#include <algorithm>
#include <functional>
#include <set>

#include "app/Config.h"
#include "placefile/PlaceFileManager.h"
#include "scene/SceneArchive.h"
#include "scene/controllers/Controller.h"
#include "shell/ScreensaverApplication.h"
#include "shell/ShellTestSupport.h"
#include "tests/placefile/PlaceTestSupport.h"
#include "tools/DemoData.h"
#include "tools/GeneratedScenePlaces.h"

using namespace ShellTesting;
using Engine::CScreensaverApplication;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr int64_t kFrameUs = 100'000;
constexpr uint32_t kChangeSeconds = 30;

// The one background scene whose place file names the effect file.
std::string SceneWithEffects() {
    for (const std::string& path : Tools::GeneratedScenePaths())
        if (path.rfind("place/bg", 0) == 0 && !Tools::GeneratedScene(path).place.effectFiles.empty()) return path;
    return "";
}

template <uint32_t id>
void ChangeChunk(Bytes& bytes) {
    ASSERT_TRUE(PlaceTest::ChangeSceneChunkId(bytes, id));
}

struct CDamage {
    const char* name;
    const char* file;  // the damaged file in the pack
    void (*damage)(Bytes& bytes);
};

class DamagedSceneTest : public ShellTest, public ::testing::WithParamInterface<CDamage> {};

TEST_P(DamagedSceneTest, TheOtherScenesRunAndInputEndsIt) {
    Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
    // The demo pack with the case's file damaged; the scene changes every 30 seconds.
    Tools::CPakWriter pack = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
    const auto add = [&](const std::string& name, Bytes bytes) {
        if (name == GetParam().file) GetParam().damage(bytes);
        pack.Add(CString(name), std::move(bytes));
    };
    add("spr/scenes.spr", Tools::WriteSceneSprites());
    add("fx/scenes.vexa", Tools::WriteSceneEffects());
    for (const std::string& path : Tools::GeneratedScenePaths())
        add(path, Tools::WriteGeneratedScene(Tools::GeneratedScene(path)));
    ASSERT_TRUE(pack.Save((root / "data" / "demo.pak").string()));
    WriteFile(SettingsFolder() / "StartupPath", (root / "data").string());
    WriteFile(SettingsFolder() / "Settings.xml",
              "<settings><graphics driver=\"OpenGL\" fullscreen=\"Off\" bpp32=\"On\"/></settings>");
    Engine::CConfig config;
    config.playAmbientSounds = false;
    config.backgroundChangeSeconds = kChangeSeconds;
    ASSERT_TRUE(config.Save((SettingsFolder() / "screensaver.cfg").c_str()));

    const std::string skipped = GetParam().file[0] == 'f' ? SceneWithEffects() : GetParam().file;
    ASSERT_FALSE(skipped.empty());
    // The background scenes, which the screensaver cycles through.
    std::set<std::string> expected;
    for (const std::string& path : Tools::GeneratedScenePaths())
        if (path.rfind("place/bg", 0) == 0 && path != skipped) expected.insert(path);
    ASSERT_EQ(expected.size(), 5u);

    // Every scene in turn takes 300 frames; input comes once all have shown.
    constexpr int kFrameCap = 3000;
    CScreensaverApplication app(FrameDrivers(kFrameCap, kFrameUs));
    std::set<std::string> shown;
    bool quitSent = false;
    onPresent = [&](CFrameDriver& d) {
        d.Clear();
        if (app.IsLoading() || quitSent) return;
        if (app.GetCurrentScene()) shown.insert(app.GetCurrentScene()->GetName().str());
        if (shown.size() == expected.size()) {
            quitSent = true;
            app.OnMouseMove(100, 100);
            app.OnMouseMove(160, 130);
        }
    };
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(shown, expected);  // all shown, so input was sent
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(LogHasInOrder({"[Loading Scenes begin]", skipped + " : skipped : ", "Scenes : 5",
                               "[Shutting Down begin]", "Saving Configuration"}));
    // One line, naming the damaged file.
    const size_t line = log.find(skipped + " : skipped : "), end = log.find('\n', line);
    ASSERT_NE(line, std::string::npos);
    const std::string reason = log.substr(line + skipped.size(), end - line - skipped.size());
    EXPECT_NE(reason.find(GetParam().file), std::string::npos) << reason;
    EXPECT_EQ(log.find(" : skipped : ", end), std::string::npos) << "one scene skipped";
    EXPECT_FALSE(LogHas("Fatal exception"));
    Engine::CConfig saved;
    EXPECT_TRUE(saved.Load((SettingsFolder() / "screensaver.cfg").c_str()));
    EXPECT_EQ(saved.backgroundChangeSeconds, kChangeSeconds);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedSceneTest,
    ::testing::Values(
        CDamage{"EffectsCutInHalf", "fx/scenes.vexa", [](Bytes& b) { b.resize(b.size() / 2); }},
        CDamage{"EffectsMiddleThirdZeroed", "fx/scenes.vexa",
                [](Bytes& b) { std::fill(b.begin() + ptrdiff_t(b.size() / 3), b.end() - ptrdiff_t(b.size() / 3), 0); }},
        CDamage{"EffectsTwentyBytesFlipped", "fx/scenes.vexa",
                [](Bytes& b) {
                    for (size_t i = 0; i < 20; ++i) b[8 + i * (b.size() - 8) / 20] ^= 0xFF;
                }},
        CDamage{"EffectsEmpty", "fx/scenes.vexa", [](Bytes& b) { b.clear(); }},
        CDamage{"ReflectableChunk", "place/bg1.place", ChangeChunk<Engine::Scene::CHUNK_REFLECTABLE>},
        CDamage{"ControllerChunk", "place/bg1.place", ChangeChunk<Engine::Scene::CHUNK_CONTROLLER>}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
