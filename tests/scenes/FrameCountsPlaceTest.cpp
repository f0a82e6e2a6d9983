// The cases of tools/FrameCounts.h, found by name, written at a small count
// into a pack and read back from it: the scene loads after its empty
// predecessors, and its keys, layers, effect file and tracks hold the count.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

#include "app/Pack.h"
#include "particles/engine/ParticleSystem.h"
#include "particles/library/VexaFile.h"
#include "scene/controllers/KeyControl.h"
#include "tests/scenes/GeneratedScenesFixture.h"
#include "tools/FrameCounts.h"

using namespace PlaceTest;
using Tools::EFrameCount;

namespace {

constexpr int kCount = 5;

int CountKeyTables(const Engine::Scene::CAnimatable* node) {
    if (!node) return 0;
    const auto* table = dynamic_cast<const Engine::Scene::IKeyControl*>(node);
    int tables = table && table->GetKeyRecordCount() == kCount ? 1 : 0;
    for (int i = 0; i < node->GetSubAnimCount(); ++i) tables += CountKeyTables(node->GetSubAnim(i).get());
    return tables;
}

class FrameCountsPlace : public GeneratedScenesTest, public testing::WithParamInterface<Tools::CFrameCount> {
protected:
    void SetUp() override {
        GeneratedScenesTest::SetUp();
        ASSERT_TRUE(Tools::FindFrameCount(GetParam().name, named));
        Tools::CPakWriter pack;
        // Tracks of a pack made before, which the case's own replace.
        for (int i = 1; i <= kCount + 2; ++i) pack.Add(FormatString(Tools::kAmbientTrackPattern, i), {1, 2, 3});
        Tools::AddFrameCount(pack, named.kind, kCount);
        Write("count.pak", pack.Build());
        ASSERT_TRUE(Engine::GetDataPacks().Add(Engine::CDataPack::OpenFile(CString((folder.Path() / "count.pak").string()))));
    }
    void TearDown() override {
        Engine::GetDataPacks().CloseAll();
        GeneratedScenesTest::TearDown();
    }
    static std::vector<uint8_t> Bytes(const CString& name) {
        Engine::CFile file;
        std::vector<uint8_t> bytes(file.Open(name) ? size_t(file.GetSize()) : 0);
        bytes.resize(file.Read(bytes.data(), bytes.size()));
        return bytes;
    }

    Tools::CFrameCount named{};
};

TEST_P(FrameCountsPlace, ReadsBackWithTheCount) {
    const EFrameCount kind = named.kind;
    const std::string path = kind == EFrameCount::LinearKeys ? "place/bg7.place" : "place/bg6.place";
    for (int before = 1; path != "place/bg" + std::to_string(before) + ".place"; ++before)
        EXPECT_TRUE(Engine::FileExists(FormatString("place/bg%d.place", before)) &&
                    Bytes(FormatString("place/bg%d.place", before)).empty()) << before;
    ref_ptr<CPlaceFile> place = local->GetPlaceFile(CString(path));
    ASSERT_TRUE(place);
    EXPECT_EQ(Assigned(path), kind != EFrameCount::LinearKeys);
    EXPECT_EQ(CountKeyTables(place->GetScene().get()), kind == EFrameCount::LinearKeys ? 2 : 0);
    EXPECT_EQ(place->GetLayerCount(), 1 + (kind == EFrameCount::EmptyLayers ? kCount : 0));
    for (int32_t i = 1; i < place->GetLayerCount(); ++i) EXPECT_TRUE(place->Layers[size_t(i)]->Objects.empty());

    Engine::Particles::CParticleSystem particles{graphics.get()};
    particles.GetLibrary().Init(&particles.GetGraphicsBinding());
    Engine::CFile effects;
    ASSERT_TRUE(effects.Open("fx/scenes.vexa"));
    const std::unique_ptr<VexaParticles::CVexaFile> vexa = particles.GetLibrary().Read(effects, "fx/scenes.vexa");
    EXPECT_EQ(vexa->GetEmitterCount(), kind == EFrameCount::Emitters ? kCount : 1);
    const VexaParticles::CVexaParticleEmitter& sparkle = *vexa->FindEmitter("sparkle");
    const bool types = kind == EFrameCount::ParticleTypes || kind == EFrameCount::ParticlePool ||
                       kind == EFrameCount::BurstTypes;
    EXPECT_EQ(sparkle.GetParticleTypeCount(), types ? kCount : 1);
    for (int32_t i = 0; kind == EFrameCount::BurstTypes && i < sparkle.GetParticleTypeCount(); ++i)
        EXPECT_TRUE(sparkle.GetParticleType(i).IsOneShot() &&
                    sparkle.GetParticleType(i).words.burstCount == Tools::kBurstParticles) << i;
    if (kind == EFrameCount::EffectCurveKeys) {
        for (const VexaParticles::CParameterCurve& curve : sparkle.GetCurves()) EXPECT_EQ(curve.GetKeyCount(), kCount);
        const VexaParticles::CVexaParticleType& type = sparkle.GetParticleType(0);
        for (const VexaParticles::CParameterCurve& curve : type.curves) EXPECT_EQ(curve.GetKeyCount(), kCount);
        EXPECT_EQ(type.gradient.GetKeys().size(), size_t(kCount));
    }

    if (kind != EFrameCount::AmbientTracks) return;
    EXPECT_FALSE(Engine::FileExists(FormatString(Tools::kAmbientTrackPattern, kCount + 1)));
    // The first page (27 bytes, one lacing value) holds the Vorbis
    // identification: channels, then the rate; the last page's granule
    // position is the length in frames.
    for (int i = 1; i <= kCount; ++i) {
        const std::vector<uint8_t> track = Bytes(FormatString(Tools::kAmbientTrackPattern, i));
        const char page[] = "OggS";
        const auto last = std::find_end(track.begin(), track.end(), page, page + 4);
        ASSERT_TRUE(track.size() > 44 && track.end() - last > 14 && std::memcmp(&track[28], "\x01vorbis", 7) == 0) << i;
        uint32_t rate = 0;
        int64_t frames = 0;
        std::memcpy(&rate, &track[40], 4);
        std::memcpy(&frames, &*(last + 6), 8);
        EXPECT_EQ(std::tuple(track[39], rate, frames), std::tuple(uint8_t(2), 44100u, int64_t(4410))) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FrameCountsPlace, testing::ValuesIn(Tools::kFrameCounts),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
