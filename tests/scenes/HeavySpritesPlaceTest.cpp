// The damaged sprite layers of tools/HeavySprites.h as the program reads
// them: every copy of the sky, at its size, and the zoomed copies animated
// by their own archive under a path that no generated class claims.

#include <gtest/gtest.h>

#include "tests/scenes/GeneratedScenesFixture.h"
#include "tools/HeavySprites.h"

using namespace PlaceTest;
using Tools::EHeavySprites;

namespace {

struct CHeavyPlaceCase {
    EHeavySprites sprites;
    int32_t width, height;
    float zoomAt0, zoomAt10;  // the zoom factor at 0 s and 10 s of the scene
};

class HeavySpritesPlace : public GeneratedScenesTest, public testing::WithParamInterface<CHeavyPlaceCase> {};

TEST_P(HeavySpritesPlace, HoldsEveryCopyAtItsSizeAndZoom) {
    const CHeavyPlaceCase& c = GetParam();
    Write("place/heavy.place", Tools::WriteHeavySprites(c.sprites));
    ref_ptr<CPlaceFile> place = local->GetPlaceFile("place/heavy.place");
    ASSERT_TRUE(place);
    ASSERT_FALSE(Assigned("place/heavy.place"));
    EXPECT_FALSE(place->FindObjectByID(uint32_t(Tools::kHeavySpriteCopies + 1)));
    for (const double t : {0.0, 10.0}) {
        place->SetTime(t);
        for (const uint32_t id : {1u, uint32_t(Tools::kHeavySpriteCopies)}) {
            CPlaceObject* copy = place->FindObjectByID(id);
            ASSERT_TRUE(copy) << id;
            EXPECT_EQ(std::make_pair(copy->Width, copy->Height), std::make_pair(c.width, c.height));
            EXPECT_EQ(std::make_pair(copy->Position.x, copy->Position.y), std::make_pair(400.0f, 300.0f));
            const float zoom = t == 0.0 ? c.zoomAt0 : c.zoomAt10;
            EXPECT_FLOAT_EQ(copy->Zoom.x, zoom) << id << " at " << t;
            EXPECT_FLOAT_EQ(copy->Zoom.y, zoom) << id << " at " << t;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HeavySpritesPlace,
                         testing::Values(CHeavyPlaceCase{EHeavySprites::WindowSized, 800, 600, 1.0f, 1.0f},
                                         CHeavyPlaceCase{EHeavySprites::Scaled1e3, 800'000, 600'000, 1.0f, 1.0f},
                                         CHeavyPlaceCase{EHeavySprites::Scaled1e6, 800'000'000, 600'000'000, 1.0f,
                                                         1.0f},
                                         // Keys of 1e3 and 1e6 percent over the 20 s loop.
                                         CHeavyPlaceCase{EHeavySprites::Zoomed, 800, 600, 10.0f, 5005.0f}),
                         [](const auto& info) { return std::string(Tools::HeavySpritesName(info.param.sprites)); });

} // namespace
