// The screensaver on its data, headless on the test clock: loading, the
// scenes taking turns, the notice text, the ambient music, bad data, and the
// end at the first input.

#include <algorithm>
#include <chrono>
#include <optional>
#include <cstring>
#include <set>
#include <sstream>
#include <thread>

#include "app/Config.h"
#include "app/Global.h"
#include "app/LoadingQuitCheck.h"
#include "app/NamedMutex.h"
#include "controls/ControlsManager.h"
#include "gameui/ControlSounds.h"
#include "shell/ScreensaverApplication.h"
#include "placefile/PlaceFileManager.h"
#include "platform/DirectSound.h"
#include "platform/Testing.h"
#include "shell/ShellTestSupport.h"
#include "sound/SampleManager.h"
#include "sound/SoundManager.h"
#include "sound/dsound/SoundDriver_DSound.h"
#include "tools/DamagedFiles.h"
#include "tools/DemoData.h"
#include "tools/OggWriter.h"
#include "tools/PlaceWriter.h"
#include "tests/graphics/SprFileTestData.h"
#include "tests/placefile/PlaceTestSupport.h"

using namespace ShellTesting;
using Engine::CNoticeText;
using Engine::CScreensaverApplication;

namespace {

constexpr int64_t kFrameUs = 100'000;

class ScreensaverRunTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        // As the program does: every driver gets a place-file manager.
        Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
    }
    // The demo pack without its scenes: the runs here bring scenes of their own.
    void UseDemoPack() {
        ASSERT_TRUE(Tools::MakeDemoPack(MOSARK_DEMO_FONT, false).Save((root / "data" / "demo.pak").string()));
    }
    void WriteConfig(bool ambient, uint32_t changeSeconds) {
        Engine::CConfig config;
        config.playAmbientSounds = ambient;
        config.backgroundChangeSeconds = changeSeconds;
        fs::create_directories(SettingsFolder());
        ASSERT_TRUE(config.Save((SettingsFolder() / "screensaver.cfg").c_str()));
    }
    void WriteData(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteFile(root / "data" / name, std::string(bytes.begin(), bytes.end()));
    }
    // A scene of one 64 x 32 sprite of "spr/bg.spr" with its top-left
    // corner at (x, y).
    static std::vector<uint8_t> SpriteScene(float x, float y) {
        Tools::CPlaceDocument doc;
        doc.spriteFiles = {{"spr/bg.spr", {{1, "box"}}}};
        Tools::CPlaceObjectDoc sprite;
        sprite.type = 1;
        sprite.id = 1;
        sprite.spriteId = 1;
        sprite.x = x;
        sprite.y = y;
        sprite.width = 64;
        sprite.height = 32;
        Tools::CPlaceLayerDoc layer;
        layer.objects = {sprite};
        doc.layers = {layer};
        return Tools::WritePlace(doc);
    }
    // Whether a vertex drawn since the driver was last cleared lies at (x, y).
    static bool DrewAt(const CFrameDriver& driver, float x, float y) {
        for (const auto& call : driver.calls) {
            if (call.name != "gDraw") continue;
            std::vector<Engine::Graphics::SpriteVertex> vertices(call.vertices.size() / sizeof(Engine::Graphics::SpriteVertex));
            if (!vertices.empty()) std::memcpy(vertices.data(), call.vertices.data(), call.vertices.size());
            for (const auto& v : vertices)
                if (v.x == x && v.y == y) return true;
        }
        return false;
    }
    // Two mouse samples that differ in both x and y.
    static void MoveMouse(CScreensaverApplication& app) {
        app.OnMouseMove(100, 100);
        app.OnMouseMove(160, 130);
    }
};

struct CFrameRecord {
    int frame;
    std::string scene, notice;
    float alpha;
    std::string drawn;  // whose sprite was drawn
};

TEST_F(ScreensaverRunTest, ScenesTakeTurnsWithTheNoticeTextAndTheMouseEndsIt) {
    UseDemoPack();
    WriteConfig(false, 30);
    WriteData("spr/bg.spr", Tools::WriteSpr(SprTestData::StripDocument("box", {64}, 32)));
    WriteData("place/bg1.place", SpriteScene(100, 100));
    WriteData("place/bg2.place", SpriteScene(400, 300));
    CScreensaverApplication app(FrameDrivers(10000, kFrameUs));
    std::vector<CFrameRecord> loaded;
    onPresent = [&](CFrameDriver& d) {
        const std::string drawn = DrewAt(d, 100, 100) ? "place/bg1.place" : DrewAt(d, 400, 300) ? "place/bg2.place" : "";
        d.Clear();
        if (app.IsLoading()) return;
        const Engine::CSceneCycle& cycle = app.GetSceneCycle();
        loaded.push_back({d.frames, app.GetCurrentScene() ? app.GetCurrentScene()->GetName().str() : "",
                          app.GetNotice().GetText().str(), CNoticeText::Alpha(cycle.GetSceneTime(), cycle.GetPeriod()),
                          drawn});
        if (loaded.size() == 650) MoveMouse(app);
    };
    EXPECT_EQ(app.Run(), 0);
    ASSERT_EQ(loaded.size(), 650u);
    EXPECT_LT(loaded.front().frame, 10) << "loading takes a few frames";
    EXPECT_TRUE(LogHasInOrder({"[Loading Scenes begin]", "Scenes : 2", "[Loading Images end]"}));
    EXPECT_FALSE(LogHas("Loading Ambient Tracks"));

    // Each scene shows for 30 s (300 frames of 0.1 s), then the next.
    std::vector<size_t> changes;
    for (size_t i = 1; i < loaded.size(); ++i)
        if (loaded[i].scene != loaded[i - 1].scene) changes.push_back(i);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_NEAR(double(changes[0]), 300.0, 2.0);
    EXPECT_NEAR(double(changes[1] - changes[0]), 300.0, 1.0);
    EXPECT_NE(loaded[0].scene, loaded[changes[0]].scene);
    EXPECT_EQ(loaded[0].scene, loaded[changes[1]].scene);
    for (const std::string& scene : {loaded[0].scene, loaded[changes[0]].scene})
        EXPECT_TRUE(scene == "place/bg1.place" || scene == "place/bg2.place") << scene;
    // Every scene shown is logged as it appears, the first one too.
    size_t sceneLines = 0;
    for (size_t at = log.find("Scene : "); at != std::string::npos; at = log.find("Scene : ", at + 1)) ++sceneLines;
    EXPECT_EQ(sceneLines, 3u);
    EXPECT_TRUE(LogHasInOrder({"[Loading Images end]", "Scene : " + loaded[0].scene, "Scene : " + loaded[changes[0]].scene,
                               "Scene : " + loaded[changes[1]].scene}));
    // Each frame draws the sprite of the scene it shows.
    for (const CFrameRecord& record : loaded) ASSERT_EQ(record.drawn, record.scene) << "frame " << record.frame;

    // The greeting first, then the hints; each fades in and out.
    const std::vector<std::string> greetings = {"Good night", "Good morning", "Good afternoon", "Good evening"};
    EXPECT_NE(std::find(greetings.begin(), greetings.end(), loaded[0].notice), greetings.end()) << loaded[0].notice;
    EXPECT_EQ(loaded[changes[0]].notice, "Move the mouse or press a key to wake up.");
    EXPECT_EQ(loaded[changes[1]].notice, "The background changes on the time set in the settings.");
    EXPECT_LT(loaded[0].alpha, 0.2f);
    EXPECT_EQ(loaded[150].alpha, 1.0f);
    EXPECT_LT(loaded[changes[0] - 1].alpha, 0.2f);
    EXPECT_LT(loaded[changes[0]].alpha, loaded[changes[0] + 5].alpha);
}

// Records, after every update step, the time the scene shown was given and
// what its particle emitter was last moved with; the effect files are a
// double that records.
class CTimedScreensaver : public CScreensaverApplication {
public:
    using CScreensaverApplication::CScreensaverApplication;

    struct CStep {
        double time, step;
        double sceneTime;   // as SetTime stored it
        std::string moved;  // the emitter's last Move
        double shownFor;    // the scene cycle's time
    };
    std::vector<CStep> steps;
    std::optional<PlaceTest::CFakeParticles> particles;
    Engine::ref_ptr<PlaceTest::CFakeEffectFile> effects;

protected:
    bool OnInit() override {
        // The scenes load after this, so their particle objects take the double.
        particles.emplace();
        effects = particles->Add("fx/a.vexa", {"spark"});
        return CScreensaverApplication::OnInit();
    }
    void Update(double time, double step) override {
        const bool loading = IsLoading();  // the last loading step drives no scene
        CScreensaverApplication::Update(time, step);
        Engine::Graphics::PlaceFile::CPlaceFile* scene = GetCurrentScene();
        if (loading || !scene || effects->emitters.empty()) return;
        const std::vector<std::string>& log = effects->emitters[0]->log;
        const auto moved =
            std::find_if(log.rbegin(), log.rend(), [](const std::string& line) { return line.rfind("Move", 0) == 0; });
        steps.push_back({time, step, scene->GetScene()->GetTimeRecord().currentTime, moved == log.rend() ? "" : *moved,
                         GetSceneCycle().GetSceneTime()});
    }
};

// Each frame's SetTime and Update get the same application time, also
// after the scene changes (to itself here): it does not restart at 0.
TEST_F(ScreensaverRunTest, TheSceneRunsOnTheApplicationTimeAcrossChanges) {
    UseDemoPack();
    WriteConfig(false, 30);
    Tools::CPlaceDocument doc;
    doc.emitters = {{1, "fx/a.vexa", "spark"}};
    doc.effectFiles = {"fx/a.vexa"};
    Tools::CPlaceLayerDoc layer;
    Tools::CPlaceObjectDoc effect = PlaceTest::Object(6, 1, 40, 50, 20, 10);
    effect.emitterId = 1;
    layer.objects = {effect};
    doc.layers = {layer};
    WriteData("place/bg1.place", Tools::WritePlace(doc));
    CTimedScreensaver app(FrameDrivers(340, kFrameUs));
    EXPECT_EQ(app.Run(), 0);
    ASSERT_GT(app.steps.size(), 950u);
    for (const CTimedScreensaver::CStep& step : app.steps) {
        ASSERT_EQ(step.sceneTime, step.time);
        ASSERT_EQ(step.moved, "Move " + std::to_string(float(step.time)) + " " + std::to_string(float(step.step)));
    }
    // The emitter starts on the time of the scene's first step.
    ASSERT_EQ(app.effects->emitters.size(), 1u);
    EXPECT_EQ(app.effects->emitters[0]->time, float(app.steps.front().time));
    const auto change = std::adjacent_find(app.steps.begin(), app.steps.end(), [](const auto& a, const auto& b) {
        return b.shownFor < a.shownFor;
    });
    ASSERT_NE(change, app.steps.end());
    EXPECT_GT((change + 1)->sceneTime, 30.0);
}

// The engine's single-instance lock is held by another program: the
// screensaver loads, draws its scene and ends as usual.
TEST_F(ScreensaverRunTest, RunsAndDrawsBesideAnotherInstance) {
    Engine::CNamedMutex other;
    ASSERT_TRUE(other.Acquire(Engine::kGlobalMutexName));
    UseDemoPack();
    WriteConfig(false, 60);
    WriteData("spr/bg.spr", Tools::WriteSpr(SprTestData::StripDocument("box", {64}, 32)));
    WriteData("place/bg1.place", SpriteScene(100, 100));
    CScreensaverApplication app(FrameDrivers(30, kFrameUs));
    int drawn = 0;
    onPresent = [&](CFrameDriver& d) {
        if (!app.IsLoading() && DrewAt(d, 100, 100)) ++drawn;
        d.Clear();
    };
    EXPECT_EQ(app.Execute(), 0);
    EXPECT_GT(drawn, 10);
    EXPECT_TRUE(LogHas("Scene : place/bg1.place"));
    EXPECT_FALSE(LogHas("Another instance is already running"));
}

TEST_F(ScreensaverRunTest, ItsDataIsTheGameDataWhoseEffectsRunOnTheEffectClockAndDrawLast) {
    UseDemoPack();
    WriteConfig(false, 60);
    CScreensaverApplication app(FrameDrivers(120, kFrameUs));
    std::vector<long> draws;  // per loaded frame
    float clockAtStart = 0.0f;
    onPresent = [&](CFrameDriver& d) {
        const long count =
            std::count_if(d.calls.begin(), d.calls.end(), [](const auto& c) { return c.name == "gDraw"; });
        d.Clear();
        if (app.IsLoading()) return;
        draws.push_back(count);
        Engine::CScreensaverData* data = app.GetData();
        ASSERT_EQ(app.GetGameData(), data);
        if (draws.size() != 5) return;
        EXPECT_EQ(Engine::GetGlobalFloat("MOSARK_ARTIFACT_FADE_FPS", data->GetGlobalValues(), -1), 1.5f);
        EXPECT_EQ(data->GetBodyFont(), data->GetFont());
        EXPECT_EQ(data->GetHeadingFont(), data->GetFont());
        // The controls draw their frame glyphs from the demo data's symbol font.
        ASSERT_NE(app.GetControls(), nullptr);
        EXPECT_NE(app.GetControls()->GetSymbolFont(), nullptr);
        clockAtStart = data->GetEffectClock();
        data->LoadControlResources();
        GameUi::PlayClickEffect(data, 400.0f, 300.0f);
    };
    EXPECT_EQ(app.Run(), 0);
    ASSERT_GT(draws.size(), 100u);
    EXPECT_GT(clockAtStart, 0.0f);
    // The click effect's particles (one a second, short-lived) are drawn
    // after the text.
    EXPECT_EQ(*std::max_element(draws.begin(), draws.begin() + 5), draws[4]);
    EXPECT_GT(*std::max_element(draws.begin() + 5, draws.end()), draws[4]);
    EXPECT_EQ(app.GetGameData(), nullptr) << "released at teardown";
}

class AmbientSoundsTest : public ScreensaverRunTest, public ::testing::WithParamInterface<bool> {};

TEST_P(AmbientSoundsTest, OnATrackStreamsFadingInOffNoneIsLoaded) {
    const bool ambient = GetParam();
    Platform::Testing::UseManualSound(true);
    UseDemoPack();
    WriteConfig(ambient, 60);
    CScreensaverApplication app(FrameDrivers(30, kFrameUs));
    bool checked = false;
    onPresent = [&](CFrameDriver& d) {
        if (d.frames != 20) return;
        ASSERT_FALSE(app.IsLoading());
        checked = true;
        Engine::Sound::CSoundManager& sound = Engine::Sound::GetSoundManager();
        const std::vector<Engine::ref_ptr<Engine::Sound::CSampleBase>> samples = sound.GetSampleManager()->GetSamples();
        EXPECT_EQ(app.GetData()->GetTracks().size(), ambient ? 2u : 0u);
        // Only the track playing is loaded.
        ASSERT_EQ(samples.size(), ambient ? 1u : 0u);
        if (ambient) {
            EXPECT_STREQ(samples[0]->GetName().c_str(), app.GetPlayingTrack().c_str());
        }
        EXPECT_EQ(sound.GetGroupVolume(0), ambient ? 0.5f : 1.0f);
        EXPECT_EQ(sound.GetGroupVolume(1), ambient ? 0.5f : 1.0f);
        if (!ambient) {
            EXPECT_TRUE(app.GetPlayingTrack().IsEmpty());
            return;
        }
        // The voice loops from silence and the mix moves through it.
        Engine::Sound::CBuffer& voice = sound.GetSampleManager()->FindSample(app.GetPlayingTrack())->GetBuffer(0);
        EXPECT_EQ(voice.GetState(), 0);
        EXPECT_TRUE(voice.GetPlayParams().loop);
        EXPECT_EQ(voice.GetPlayParams().fadeLevel, 0.0f);
        Platform::Testing::RenderSound(4410);
        EXPECT_GT(voice.GetPosition(), 0u);
    };
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(checked);
}

INSTANTIATE_TEST_SUITE_P(OnOff, AmbientSoundsTest, ::testing::Bool());

// The screensaver with a look after each of its update steps.
class CSteppedScreensaver : public CScreensaverApplication {
public:
    using CScreensaverApplication::CScreensaverApplication;
    std::function<void()> afterStep;

protected:
    void Update(double time, double step) override {
        CScreensaverApplication::Update(time, step);
        if (afterStep) afterStep();
    }
};

// What the tracks hold at a moment: the process's open files and the
// sound driver's registered voices.
struct CTrackUse {
    size_t files = 0, voices = 0;
    friend bool operator==(const CTrackUse&, const CTrackUse&) = default;
};

CTrackUse TrackUse() {
    CTrackUse use;
    use.files = size_t(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
    if (auto* driver = dynamic_cast<Engine::Sound::CSoundDriver_DSound*>(Engine::Sound::GetSoundManager().GetDriver()))
        use.voices = driver->GetBufferCount();
    return use;
}

// Three loose tracks of a tenth of a second.
class AmbientSoundsTracksTest : public ScreensaverRunTest {
protected:
    static constexpr int kTracks = 3;
    static std::string Track(int number) { return "ogg/tracks/ambient" + std::to_string(number) + ".ogg"; }
    void WriteTrack(int number, bool damaged) {
        static const std::vector<uint8_t> s_tone = Tools::EncodeOggVorbis(Tools::MakeTone(4410, 2, 44100, 440.0));
        WriteData(Track(number), damaged ? std::vector<uint8_t>{'O', 'g', 'g', 'S', 1, 2, 3} : s_tone);
    }
    size_t Occurrences(const std::string& text) const {
        size_t count = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++count;
        return count;
    }
};

TEST_F(AmbientSoundsTracksTest, TheStepOpensAndClosesEachTrackAndTheWatchLooksAfterEach) {
    Platform::Testing::UseManualSound(true);
    WriteConfig(true, 60);
    for (int i = 1; i <= kTracks; ++i) WriteTrack(i, i == 2);
    CSteppedScreensaver app(FrameDrivers(30, kFrameUs));
    Engine::CFrameQuitWatch& watch = app.GetQuitWatch();
    watch.SetTimeGate(false);
    std::vector<int64_t> looks;
    std::vector<CTrackUse> usesAtLooks;
    watch.SetProbe([&, probe = watch.GetProbe()] {
        const Engine::CLoadingQuitCheck* check = Engine::CLoadingQuitCheck::GetCurrent();
        if (check && LogHas("Loading Ambient Tracks") && !LogHas("Ambient tracks :")) {
            looks.push_back(check->GetUnits());
            usesAtLooks.push_back(TrackUse());
        }
        return probe();
    });
    std::vector<CTrackUse> usesPlaying;
    app.afterStep = [&] {
        if (app.IsLoading()) return;
        usesPlaying.push_back(TrackUse());
        // Another track replaces the one playing: the first goes.
        if (usesPlaying.size() == 2) {
            const std::string other = app.GetPlayingTrack().c_str() == Track(1) ? Track(3) : Track(1);
            EXPECT_TRUE(app.GetData()->PlayTrack(other.c_str()));
            usesPlaying.push_back(TrackUse());
            const auto samples = Engine::Sound::GetSoundManager().GetSampleManager()->GetSamples();
            ASSERT_EQ(samples.size(), 1u);
            EXPECT_EQ(samples[0]->GetName().c_str(), other);
        }
    };
    EXPECT_EQ(app.Run(), 0);
    const int64_t interval = Engine::CFrameQuitWatch::kCheckInterval;
    EXPECT_EQ(looks, (std::vector<int64_t>{interval, 2 * interval, 3 * interval})) << "one look after each track";
    ASSERT_EQ(usesAtLooks.size(), size_t(kTracks));
    for (const CTrackUse& use : usesAtLooks) {
        EXPECT_EQ(use, usesAtLooks[0]) << "no track left open";
        EXPECT_EQ(use.voices, 0u);
    }
    ASSERT_GE(usesPlaying.size(), 3u);
    for (const CTrackUse& use : usesPlaying)
        EXPECT_EQ(use, (CTrackUse{usesAtLooks[0].files + 1, 1})) << "the playing track's file and voice alone";
    EXPECT_TRUE(LogHasInOrder({Track(2) + " : skipped : cannot be played", "Ambient tracks : 2", "Playing '"}));
}

// Tracks spoilt after the check fail when played: each is tried once, one a
// step, until one plays or all have been tried.
class AmbientSoundsFailingTrackTest : public AmbientSoundsTracksTest, public ::testing::WithParamInterface<bool> {};

TEST_P(AmbientSoundsFailingTrackTest, AFailedTrackLeavesTheNextToTheNextStep) {
    const bool lastPlays = GetParam();
    Platform::Testing::UseManualSound(true);
    WriteConfig(true, 60);
    for (int i = 1; i <= kTracks; ++i) WriteTrack(i, false);
    CSteppedScreensaver app(FrameDrivers(30, kFrameUs));
    std::vector<size_t> tries;
    std::vector<CTrackUse> uses;
    bool spoilt = false;
    std::string playing;
    app.afterStep = [&] {
        if (app.IsLoading()) {
            if (!spoilt && LogHas("Ambient tracks : 3"))
                for (int i = 1; i <= kTracks; ++i) WriteTrack(i, !(lastPlays && i == kTracks));
            spoilt = spoilt || LogHas("Ambient tracks : 3");
            return;
        }
        tries.push_back(Occurrences("Playing '"));
        uses.push_back(TrackUse());
        playing = app.GetPlayingTrack().c_str();
    };
    EXPECT_EQ(app.Run(), 0);
    const size_t failed = Occurrences("' : FAILED : cannot be played");
    // Where the tries start is drawn at random.
    for (int i = 1; i <= kTracks; ++i) {
        const size_t failures = Occurrences("Playing '" + Track(i) + "' : FAILED");
        if (lastPlays) {
            EXPECT_LE(failures, size_t(i < kTracks)) << i;
        } else {
            EXPECT_EQ(failures, 1u) << i;
        }
    }
    // A try as the scenes start and one at each step after, until a play
    // or the last track.
    const size_t tried = lastPlays ? failed + 1 : size_t(kTracks);
    ASSERT_GE(tries.size(), size_t(kTracks + 2));
    for (size_t step = 0; step < tries.size(); ++step) EXPECT_EQ(tries[step], std::min(step + 1, tried)) << step;
    for (const CTrackUse& use : uses) EXPECT_LE(use.voices, 1u);
    EXPECT_EQ(uses.back().voices, lastPlays ? 1u : 0u);
    EXPECT_EQ(playing, lastPlays ? Track(kTracks) : std::string());
}

INSTANTIATE_TEST_SUITE_P(LastPlaysOrNone, AmbientSoundsFailingTrackTest, ::testing::Bool());

TEST_F(ScreensaverRunTest, BadFilesAreLoggedAndSkippedAndInputStillEndsIt) {
    // Loose files only: a broken locale (so no font record and no hints),
    // a broken first scene and track, good second ones.
    WriteConfig(true, 60);
    WriteFile(root / "data" / "xml" / "Locale.xml", "<locales><locale name=\"en\"><string");
    WriteData("place/bg1.place", {'p', 'l', 'c', 'a', 0x10});
    WriteData("place/bg2.place", Tools::WritePlace(Tools::CPlaceDocument{}));
    WriteData("ogg/tracks/ambient1.ogg", {'O', 'g', 'g', 'S', 1, 2, 3});
    WriteData("ogg/tracks/ambient2.ogg", Tools::EncodeOggVorbis(Tools::MakeTone(4410, 2, 44100, 440.0)));
    CScreensaverApplication app(FrameDrivers(100, kFrameUs));
    int loadedAt = 0;
    onPresent = [&](CFrameDriver& d) {
        if (!app.IsLoading() && !loadedAt) {
            loadedAt = d.frames;
            MoveMouse(app);
        }
    };
    EXPECT_EQ(app.Run(), 0);
    EXPECT_GT(loadedAt, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(LogHasInOrder({"Font 'main' : not in the locale", "Hints : 0", "place/bg1.place : skipped",
                               "Scenes : 1", "ogg/tracks/ambient1.ogg : skipped", "Ambient tracks : 1",
                               "Playing 'ogg/tracks/ambient2.ogg'"}));
    EXPECT_EQ(app.GetData(), nullptr) << "released at teardown";
}

// Damaged scenes or tracks after good ones, as mkdemo writes them: the scan
// writes the first ten lines of each kind, then one line counting the rest.
// Damaged scenes or tracks after good ones, as mkdemo writes them: the scan
// writes the first ten lines of each kind, then one line counting the rest.
class DamagedFilesScanTest : public ScreensaverRunTest, public ::testing::WithParamInterface<int> {
protected:
    // The section's lines up to the given last one, without time prefix or
    // indent, but for those of the good scene.
    std::vector<std::string> SectionLines(const std::string& section, const std::string& last) const {
        std::vector<std::string> lines;
        std::istringstream in(log.substr(log.find(section) + section.size() + 1));
        for (std::string line; (lines.empty() || lines.back() != last) && std::getline(in, line);) {
            line.erase(0, line.find_first_not_of(' ', line.find("] ") + 1));
            if (line.find("'place/bg1.place'") == std::string::npos) lines.push_back(line);
        }
        return lines;
    }
};

TEST_P(DamagedFilesScanTest, TheFirstTenOfEachKindAreWrittenThenOneLineCountsTheRest) {
    const int count = GetParam();
    Platform::Testing::UseManualSound(true);
    WriteConfig(true, 60);
    Tools::CPakWriter pack = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
    pack.Add("place/bg1.place", Tools::WritePlace(Tools::CPlaceDocument{}));
    Tools::AddDamagedFiles(pack, Tools::EDamagedFiles::Places, count);
    Tools::AddDamagedFiles(pack, Tools::EDamagedFiles::Tracks, count);
    ASSERT_TRUE(pack.Save((root / "data" / "demo.pak").string()));
    CScreensaverApplication app(FrameDrivers(100, kFrameUs));
    onPresent = [&](CFrameDriver& d) {
        if (!app.IsLoading()) d.RequestQuit();
    };
    EXPECT_EQ(app.Run(), 0);

    // After the demo's own: one scene, two tracks.
    std::vector<std::string> places, tracks;
    for (int i = 0; i < std::min(count, 10); ++i) {
        const std::string track = "ogg/tracks/ambient" + std::to_string(i + 3) + ".ogg";
        places.push_back("place/bg" + std::to_string(i + 2) +
                         ".place : skipped : Archive serialization error: Cannot read 4 bytes, 1 readed");
        tracks.push_back("Engine::Sound::OpenStream(...) : '" + track + "' is not an Ogg Vorbis stream");
        tracks.push_back(track + " : skipped : cannot be played");
    }
    const std::string more = " : " + std::to_string(count - 10) + " more skipped";
    if (count > 10) {
        places.push_back("Scenes : place file skipped" + more);
        tracks.push_back("Engine::Sound::OpenStream(...) : not an Ogg Vorbis stream" + more);
        tracks.push_back("Ambient tracks : track skipped" + more);
    }
    places.push_back("Scenes : 1");
    tracks.push_back("Ambient tracks : 2");
    EXPECT_EQ(SectionLines("[Loading Scenes begin]", places.back()), places);
    EXPECT_EQ(SectionLines("[Loading Ambient Tracks begin]", tracks.back()), tracks);
}

INSTANTIATE_TEST_SUITE_P(DamagedFiles, DamagedFilesScanTest, ::testing::Values(10, 25));

// Real time, bounded: the music reaches SDL's disk audio output.
TEST_F(ScreensaverRunTest, AmbientMusicIsWrittenToTheDiskAudioStream) {
    const fs::path output = root / "audio.raw";
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    UseDemoPack();
    WriteConfig(true, 60);
    CScreensaverApplication app(FrameDrivers(1'000'000, kFrameUs));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool heard = false;
    onPresent = [&](CFrameDriver& d) {
        if (Platform::GetSoundOutputInfo().driver != "disk" || !Platform::GetSoundOutputInfo().fallbackReason.empty() ||
            std::chrono::steady_clock::now() > deadline) {
            d.RequestQuit();
            return;
        }
        // Real time has to pass for the audio thread to write.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::ifstream in(output, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Silence is one byte value over and over (0 or 0x80 by the format).
        heard = std::set<char>(bytes.begin(), bytes.end()).size() > 8;
        if (heard) d.RequestQuit();
    };
    EXPECT_EQ(app.Run(), 0);
    if (Platform::GetSoundOutputInfo().driver != "disk" || !Platform::GetSoundOutputInfo().fallbackReason.empty())
        GTEST_SKIP() << "SDL's disk audio cannot start here";
    EXPECT_TRUE(heard);
}

TEST(NoticeTextTest, GreetingByHour) {
    const std::pair<int, const char*> hours[] = {{0, "TIME_NIGHT"}, {5, "TIME_NIGHT"}, {6, "TIME_MORNING"},
                                                 {12, "TIME_DAY"},  {17, "TIME_DAY"}, {18, "TIME_EVENING"}};
    for (const auto& [hour, key] : hours) EXPECT_STREQ(CNoticeText::TimeOfDayKey(hour), key) << hour;
}

} // namespace
