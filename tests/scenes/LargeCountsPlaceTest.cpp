// The cases of tools/LargeCounts.h, found by name, written at a small count
// into a pack and loaded from it as the program loads bg6: its class is
// assigned, and every value, sprite file, key or entry the case adds is read
// from the pack.

#include <gtest/gtest.h>

#include "app/Pack.h"
#include "scene/controllers/KeyControl.h"
#include "tests/scenes/GeneratedScenesFixture.h"
#include "tools/LargeCounts.h"

using namespace PlaceTest;
using Tools::ELargeCount;
using Tools::kFirstLargeCountId;

namespace {

constexpr int kCount = 7;
constexpr const char* kPath = "place/bg6.place";
constexpr uint32_t kSkyId = 1;

// The key tables of kCount keys below the node.
int CountKeyTables(const Engine::Scene::CAnimatable* node, int keys) {
    if (!node) return 0;
    const auto* table = dynamic_cast<const Engine::Scene::IKeyControl*>(node);
    int tables = table && table->GetKeyRecordCount() == keys ? 1 : 0;
    for (int i = 0; i < node->GetSubAnimCount(); ++i) tables += CountKeyTables(node->GetSubAnim(i).get(), keys);
    return tables;
}

class LargeCountsPlace : public GeneratedScenesTest, public testing::WithParamInterface<Tools::CLargeCount> {
protected:
    void SetUp() override {
        GeneratedScenesTest::SetUp();
        Tools::CLargeCount named{};
        ASSERT_TRUE(Tools::FindLargeCount(GetParam().name, named));
        Tools::CPakWriter pack;
        Tools::AddLargeCount(pack, named.kind, kCount);
        Write("count.pak", pack.Build());
        ASSERT_TRUE(Engine::GetDataPacks().Add(Engine::CDataPack::OpenFile(CString((folder.Path() / "count.pak").string()))));
    }
    void TearDown() override {
        Engine::GetDataPacks().CloseAll();
        GeneratedScenesTest::TearDown();
    }
};

TEST_P(LargeCountsPlace, LoadsBg6WithEveryAddedElement) {
    ref_ptr<CPlaceFile> place = local->GetPlaceFile(kPath);
    ASSERT_TRUE(place);
    EXPECT_TRUE(Assigned(kPath));
    const int ownObjects = int(Tools::GeneratedScene(kPath).scene.objects.size());
    const ELargeCount kind = GetParam().kind;
    EXPECT_EQ(place->GetScene()->GetSubAnimCount(), ownObjects + (kind == ELargeCount::Keys ? 1 : 0));
    const CCustomPropertyValues& values = place->FindObjectByID(kSkyId)->Properties;
    EXPECT_EQ(int(values.GetCount()), kind == ELargeCount::PropertyValues ? kCount : 0);
    int entries = 0;
    for (const CString& name : Engine::GetDataPacks().ListNames()) entries += name.view().starts_with("filler/");
    EXPECT_EQ(entries, kind == ELargeCount::PackEntries ? kCount : 0);
    for (uint32_t i = 0; i < uint32_t(kCount); ++i) {
        if (kind == ELargeCount::PropertyValues) {
            const CCustomPropertyValue* value = values.FindByID(kFirstLargeCountId + i);
            ASSERT_TRUE(value) << i;
            EXPECT_EQ(value->integer, int32_t(i));
        }
        const auto* tile = dynamic_cast<CPlaceSpriteObject*>(place->FindObjectByID(kFirstLargeCountId + i));
        EXPECT_EQ(tile && tile->Sprite, kind == ELargeCount::SpriteFiles || (kind == ELargeCount::Keys && i == 0)) << i;
    }
    // bg6's class drives its own objects only: the copy's keys are read and bound.
    EXPECT_EQ(CountKeyTables(place->GetScene().get(), kCount), kind == ELargeCount::Keys ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, LargeCountsPlace, testing::ValuesIn(Tools::kLargeCounts),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
