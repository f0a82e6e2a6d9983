// Letting go of an effect file of n emitters, as a quit in the scene does:
// the file read through the engine's file table by one owner's local
// manager, one running emitter made from it as a place file makes one, then
// that emitter and the owner's use handed back, with the heap set as the
// program's teardown sets it. The caches are cold, as after the frames drawn
// between loading and a quit. The time per emitter should stay flat as n
// grows (at the largest n at most twice that at the smallest) and under
// 1.5 us, so that 100,000 emitters go within a quarter of a second.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "PerElementReporter.h"
#include "TargetReporter.h"
#include "app/File.h"
#include "app/FreeBurst.h"
#include "particles/engine/ParticleSystem.h"
#include "particles/engine/VexaFileLocalManager.h"
#include "tools/BinaryWriter.h"
#include "tools/ScenePictures.h"
#include "tools/VexaWriter.h"

namespace {

constexpr char kEffects[] = "fx/scenes.vexa";
constexpr char kFirstEmitter[] = "sparkle";

// The scene's effect file with n emitters: the sparkle, then copies of it
// under names of their own. Written an emitter at a time: a document of a
// million emitters would not fit in memory beside the loaded file.
void WriteManyEmitters(const std::filesystem::path& path, int count) {
    Tools::CVexaDocument document;
    document.shapes = {{"glow", 1, {}, {}, {}}};
    // Without emitters the file ends with their count, 0, then the trailer.
    const std::vector<uint8_t> empty = Tools::WriteVexa(document);
    constexpr size_t kTrailerBytes = 4 + sizeof document.trailerBlock;
    const size_t countAt = empty.size() - kTrailerBytes - 4;
    std::ofstream out(path, std::ios::binary);
    auto put = [&out](const uint8_t* bytes, size_t size) {
        out.write(reinterpret_cast<const char*>(bytes), std::streamsize(size));
    };
    put(empty.data(), countAt);
    Tools::CBinaryWriter emitterCount;
    emitterCount.U32(uint32_t(count));
    put(emitterCount.Data(), emitterCount.Size());
    Tools::CVexaEmitter emitter = Tools::SparkleEmitter();
    emitter.types[0].shapeId = 1;
    for (int i = 0; i < count; ++i) {
        if (i > 0) emitter.name = "sparkle" + std::to_string(i);
        Tools::CBinaryWriter record;
        Tools::WriteVexaEmitter(record, emitter, document.version);
        put(record.Data(), record.Size());
    }
    put(empty.data() + countAt + 4, kTrailerBytes);
}

// A scratch folder read as the disk root, holding the effect file.
class CEffectFolder {
public:
    explicit CEffectFolder(int count)
        : m_folder(std::filesystem::temp_directory_path() / ("mosark_bench_emitters_" + std::to_string(count))) {
        const std::filesystem::path file = m_folder / kEffects;
        std::filesystem::create_directories(file.parent_path());
        WriteManyEmitters(file, count);
        Engine::CFile::SetDiskRoot(CString(m_folder.string()));
    }
    ~CEffectFolder() {
        Engine::CFile::SetDiskRoot("");
        std::filesystem::remove_all(m_folder);
    }
    CEffectFolder(const CEffectFolder&) = delete;
    CEffectFolder& operator=(const CEffectFolder&) = delete;

private:
    std::filesystem::path m_folder;
};

// Writes over more memory than the caches hold, as the frames drawn between
// loading and a quit do.
void EvictCaches() {
    static std::vector<uint8_t> scratch(size_t(256) << 20);
    static uint8_t pass = 0;
    std::fill(scratch.begin(), scratch.end(), ++pass);
    benchmark::DoNotOptimize(scratch.data());
}

void BM_LetGoEmitters(benchmark::State& state) {
    const int count = int(state.range(0));
    const CEffectFolder folder(count);
    Engine::Particles::CParticleSystem system(nullptr);
    const Engine::ref_ptr<Engine::Particles::CVexaFileLocalManager> owner(
        new Engine::Particles::CVexaFileLocalManager(&system.GetFileManager()));
    for (auto _ : state) {
        state.PauseTiming();
        Engine::ref_ptr<Engine::Particles::CVexaParticleEmitter> running =
            owner->GetVexaFile(kEffects)->CreateEmitter(kFirstEmitter, 0.0f);
        if (owner->GetUses().size() != 1) state.SkipWithError("the effect file did not load");
        EvictCaches();
        state.ResumeTiming();
        const Engine::CFreeBurst burst;
        running = nullptr;
        owner->ReleaseAll();
    }
    if (system.GetFileManager().GetObjectCount() != 0) state.SkipWithError("the effect file stayed");
    BenchTargets::CountPerElement(state, "per_element", count);
}
BENCHMARK(BM_LetGoEmitters)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // The program runs worker threads (the sound worker), so the C library's
    // heap locks on every free there: so it does here.
    std::thread([] {}).join();
    BenchTargets::CPerElementReporter reporter("per_element", "emitter", 2.0);
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}
