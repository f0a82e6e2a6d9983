// One frame of the largest scene ("place/fg_snail.place", 33 sprites):
// the generated class's body against the generic reflective update of the
// same scene loaded under a path that has no class.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "app/File.h"
#include "app/Registration.h"
#include "placefile/PlaceFileManager.h"
#include "scenes/SceneRegistration.h"
#include "support/RecordingGraphics.h"
#include "tools/GeneratedScenePlaces.h"

namespace {

namespace fs = std::filesystem;
using namespace Engine::Graphics::PlaceFile;

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The scene written twice into a scratch folder and loaded from there.
class CSnailScenes {
public:
    CSnailScenes() {
        static const Engine::CStartupRegistration s_startup{Engine::Scenes::GetStartupHooks()};
        g_bUseGeneratedSceneClasses = true;
        const auto scene = Tools::WriteGeneratedScene(Tools::GeneratedScene("place/fg_snail.place"));
        WriteFile(m_folder / "spr/scenes.spr", Tools::WriteSceneSprites());
        WriteFile(m_folder / "place/fg_snail.place", scene);
        WriteFile(m_folder / "place/generic.place", scene);
        Engine::CFile::SetDiskRoot(CString(m_folder.string()));
        InstallPlaceFileManagerFactory();
        m_graphics = std::make_unique<Engine::Graphics::Testing::CRecordingGraphics>();
        m_local = new CPlaceFileLocalManager(m_graphics.get());
    }
    ~CSnailScenes() {
        m_local = nullptr;
        m_graphics.reset();
        Engine::CFile::SetDiskRoot("");
        fs::remove_all(m_folder);
    }
    Engine::ref_ptr<CPlaceFile> Load(const char* path) { return m_local->GetPlaceFile(path); }

private:
    fs::path m_folder = fs::temp_directory_path() / "mosark_bench_scenes";
    std::unique_ptr<Engine::Graphics::Testing::CRecordingGraphics> m_graphics;
    Engine::ref_ptr<CPlaceFileLocalManager> m_local;
};

void RunFrames(benchmark::State& state, const char* path) {
    CSnailScenes scenes;
    const Engine::ref_ptr<CPlaceFile> place = scenes.Load(path);
    double time = 0.0;
    for (auto _ : state) {
        place->SetTime(time);
        time += 1.0 / 60.0;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_SnailGeneratedBody(benchmark::State& state) { RunFrames(state, "place/fg_snail.place"); }
BENCHMARK(BM_SnailGeneratedBody);

void BM_SnailGenericUpdate(benchmark::State& state) { RunFrames(state, "place/generic.place"); }
BENCHMARK(BM_SnailGenericUpdate);

} // namespace
