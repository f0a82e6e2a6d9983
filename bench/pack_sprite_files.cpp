// Counts that a data pack sets. The numbered-file probe of loading, asked
// for every entry of a pack of n entries in turn, as the loading steps ask
// for bg1, bg2 and on; and a place file of n sprite objects, each linked to
// a one-image sprite file of its own in a pack, loaded (textures made) and
// let go of, or let go of alone. The time per probe or per file should stay
// flat as n grows: at the largest n at most twice that at the smallest.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "PerElementReporter.h"
#include "ScenePlaceFolder.h"
#include "TargetReporter.h"
#include "app/FreeBurst.h"
#include "app/Pack.h"
#include "tests/graphics/SprFileTestData.h"
#include "tools/PakWriter.h"
#include "tools/PlaceWriter.h"

namespace {

constexpr char kEntryPattern[] = "extra/e%d";
constexpr char kPlace[] = "place/sprites.place";
constexpr int kSprite = 16;

// The pack opened for the fixture's life.
class COpenPack {
public:
    COpenPack(const BenchPlaces::CScenePlaceFolder& folder, const Tools::CPakWriter& pack) {
        const std::string path = folder.Path("bench.pak");
        pack.Save(path);
        Engine::GetDataPacks().Add(Engine::CDataPack::OpenFile(CString(path)));
    }
    ~COpenPack() { Engine::GetDataPacks().CloseAll(); }
    COpenPack(const COpenPack&) = delete;
    COpenPack& operator=(const COpenPack&) = delete;
};

Tools::CPakWriter EntriesPack(int count) {
    Tools::CPakWriter pack;
    for (int i = 1; i <= count; ++i) pack.Add(FormatString(kEntryPattern, i), std::vector<uint8_t>(16, uint8_t(i)));
    return pack;
}

// A one-image sprite file whose picture differs from file to file, so that
// each decodes from bytes of its own.
std::vector<uint8_t> OwnSpriteFile(int number) {
    Tools::CPngImage image;
    image.width = image.height = kSprite;
    for (int p = 0; p < kSprite * kSprite; ++p)
        image.samples.insert(image.samples.end(), {uint16_t((p * 7 + number) & 255), uint16_t(p & 255), 128});
    Tools::CSprDocument document;
    document.images.push_back({0, Tools::WritePng(image), {}, 0});
    document.sprites.push_back({"s", 0, 0, false, false, {Tools::MakeSprFrame(0, 0, 0, kSprite, kSprite)}});
    return Tools::WriteSpr(document);
}

Tools::CPakWriter SpriteFilesPack(int count) {
    Tools::CPakWriter pack;
    Tools::CPlaceDocument place;
    Tools::CPlaceLayerDoc layer;
    for (int i = 0; i < count; ++i) {
        const std::string name = "spr/own/" + std::to_string(i) + ".spr";
        pack.Add(name, OwnSpriteFile(i));
        const uint32_t id = uint32_t(1 + i);
        place.spriteFiles.push_back({name, {{id, "s"}}});
        Tools::CPlaceObjectDoc object;
        object.id = id;
        object.width = object.height = kSprite;
        object.spriteId = int32_t(id);
        layer.objects.push_back(object);
    }
    place.layers = {layer};
    pack.Add(kPlace, Tools::WritePlace(place));
    return pack;
}

void BM_ProbePackEntries(benchmark::State& state) {
    const int count = int(state.range(0));
    const BenchPlaces::CScenePlaceFolder folder("mosark_bench_pack_entries");
    const COpenPack pack(folder, EntriesPack(count));
    for (auto _ : state) {
        int found = 0;
        while (Engine::FileExists(FormatString(kEntryPattern, found + 1))) ++found;
        if (found != count) state.SkipWithError("the probe missed an entry");
    }
    BenchTargets::CountPerElement(state, "per_element", count);
}
BENCHMARK(BM_ProbePackEntries)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Reading a pack's index of n entries, and closing it.
void BM_OpenAndClosePack(benchmark::State& state) {
    const int count = int(state.range(0));
    const BenchPlaces::CScenePlaceFolder folder("mosark_bench_pack_open");
    const std::string path = folder.Path("bench.pak");
    EntriesPack(count).Save(path);
    for (auto _ : state) {
        if (!Engine::GetDataPacks().Add(Engine::CDataPack::OpenFile(CString(path))))
            state.SkipWithError("the pack did not open");
        Engine::GetDataPacks().CloseAll();
    }
    BenchTargets::CountPerElement(state, "per_element", count);
}
BENCHMARK(BM_OpenAndClosePack)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

class CSpriteFilesScene {
public:
    explicit CSpriteFilesScene(int count) : m_pack(m_folder, SpriteFilesPack(count)) {}
    bool Load() { return bool(m_folder.Local().GetPlaceFile(kPlace)); }
    void LetGo() { m_folder.Local().ReleaseAll(); }
    // The recording driver keeps a record of every texture it made.
    void ForgetCalls() { m_folder.Graphics().Clear(); }

private:
    BenchPlaces::CScenePlaceFolder m_folder{"mosark_bench_sprite_files"};
    COpenPack m_pack;
};

void BM_LoadAndLetGoSpriteFiles(benchmark::State& state) {
    const int count = int(state.range(0));
    CSpriteFilesScene scene(count);
    for (auto _ : state) {
        if (!scene.Load()) state.SkipWithError("the place file did not load");
        scene.LetGo();
        state.PauseTiming();
        scene.ForgetCalls();
        state.ResumeTiming();
    }
    BenchTargets::CountPerElement(state, "per_element", count);
}
BENCHMARK(BM_LoadAndLetGoSpriteFiles)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Writes over more memory than the caches hold, as the frames drawn between
// loading and a quit do.
void EvictCaches() {
    static std::vector<uint8_t> scratch(size_t(256) << 20);
    static uint8_t pass = 0;
    std::fill(scratch.begin(), scratch.end(), ++pass);
    benchmark::DoNotOptimize(scratch.data());
}

// Letting go alone: what a quit waits on in the scene, with the heap set as
// the program's teardown sets it. Right after loading, a thousand files are
// still in the caches and ten thousand are not; from cold caches both counts
// pay the same misses per file.
void RunLetGoSpriteFiles(benchmark::State& state, bool coldCaches) {
    const int count = int(state.range(0));
    CSpriteFilesScene scene(count);
    for (auto _ : state) {
        state.PauseTiming();
        scene.ForgetCalls();
        if (!scene.Load()) state.SkipWithError("the place file did not load");
        if (coldCaches) EvictCaches();
        state.ResumeTiming();
        const Engine::CFreeBurst burst;
        scene.LetGo();
    }
    BenchTargets::CountPerElement(state, "per_element", count);
}
void BM_LetGoSpriteFiles(benchmark::State& state) { RunLetGoSpriteFiles(state, false); }
BENCHMARK(BM_LetGoSpriteFiles)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMillisecond);
void BM_LetGoSpriteFilesCold(benchmark::State& state) { RunLetGoSpriteFiles(state, true); }
BENCHMARK(BM_LetGoSpriteFilesCold)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    BenchTargets::CPerElementReporter reporter("per_element", "element", 2.0);
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}
