// The lantern cases of tools/LanternCopies.h, written at a small count and
// loaded as the program loads bg6: its class is assigned and drives its own
// objects as in the plain scene, and every copy is read, bound and sized.

#include <gtest/gtest.h>

#include "tests/scenes/GeneratedScenesFixture.h"
#include "tools/LanternCopies.h"

using namespace PlaceTest;
using Tools::ELanternAnimation;

namespace {

constexpr int kCount = 7;
constexpr const char* kPath = "place/bg6.place";
constexpr double kTimes[] = {0.0, 10.0};

class LanternCopiesPlace : public GeneratedScenesTest, public testing::WithParamInterface<Tools::CLanternCopies> {
protected:
    std::vector<std::vector<double>> OwnObjectsAt(const std::vector<uint8_t>& bytes, double t) {
        Write(kPath, bytes);
        ref_ptr<CPlaceFile> place = local->GetPlaceFile(kPath);
        EXPECT_TRUE(place);
        if (!place) return {};
        place->SetTime(t);
        std::vector<std::vector<double>> fields = Snapshot(*place, kOwnObjects);
        place = nullptr;
        local->ReleaseAll();
        return fields;
    }
    const int kOwnObjects = int(Tools::GeneratedScene(kPath).scene.objects.size());
};

TEST_P(LanternCopiesPlace, LoadsEveryCopyBesideTheScenesOwnObjects) {
    const ELanternAnimation animation = GetParam().animation;
    const std::vector<uint8_t> bytes = Tools::WriteLanternCopies(animation, kCount);
    for (const double t : kTimes)
        EXPECT_EQ(OwnObjectsAt(bytes, t), OwnObjectsAt(Tools::WriteGeneratedScene(Tools::GeneratedScene(kPath)), t))
            << "at " << t;

    Write(kPath, bytes);
    ref_ptr<CPlaceFile> place = local->GetPlaceFile(kPath);
    ASSERT_TRUE(place);
    EXPECT_TRUE(Assigned(kPath));
    const int animated = animation == ELanternAnimation::Still ? 0 : kCount;
    EXPECT_EQ(place->GetScene()->GetSubAnimCount(), kOwnObjects + animated);
    const CPlaceObject& lantern = *place->FindObjectByID(100);
    const int32_t size = animation == ELanternAnimation::Zoomed ? lantern.Width : 1;
    place->SetTime(10.0);
    for (uint32_t i = 0; i < uint32_t(kCount); ++i) {
        const auto* copy = dynamic_cast<CPlaceSpriteObject*>(place->FindObjectByID(Tools::kFirstLanternCopyId + i));
        ASSERT_TRUE(copy) << i;
        EXPECT_EQ(std::make_pair(copy->Width, copy->Height), std::make_pair(size, size)) << i;
        EXPECT_EQ(copy->SpriteID, static_cast<const CPlaceSpriteObject&>(lantern).SpriteID);
        EXPECT_TRUE(copy->Sprite) << i;
    }
    EXPECT_FALSE(place->FindObjectByID(Tools::kFirstLanternCopyId + kCount));
}

INSTANTIATE_TEST_SUITE_P(Cases, LanternCopiesPlace, testing::ValuesIn(Tools::kLanternCopies),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LanternCopiesNames, EveryCaseIsFoundByItsName) {
    for (const Tools::CLanternCopies& c : Tools::kLanternCopies) {
        Tools::CLanternCopies found{};
        ASSERT_TRUE(Tools::FindLanternCopies(c.name, found)) << c.name;
        EXPECT_EQ(std::make_pair(found.animation, found.count), std::make_pair(c.animation, c.count));
    }
    Tools::CLanternCopies none{};
    EXPECT_FALSE(Tools::FindLanternCopies("TinySprites", none));
}

} // namespace
