// A layer's look-up by name finds what the strcmp walk of its objects finds.

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "gameui/NamedLookup.h"
#include "placefile/PlaceLayer.h"
#include "placefile/PlaceSpriteObject.h"

namespace {

using Engine::Graphics::PlaceFile::CPlaceLayer;
using Engine::Graphics::PlaceFile::CPlaceSpriteObject;

class LayerNames : public testing::TestWithParam<uint32_t> {};

// Few distinct names, so most are held more than once; some objects are
// missing, and a name may hold a NUL.
TEST_P(LayerNames, FindTheFirstObjectTheWalkFinds) {
    std::mt19937 random(GetParam());
    CPlaceLayer layer(nullptr, nullptr);
    const auto name = [&] { return "line" + std::to_string(random() % 12); };
    const auto refill = [&] {
        layer.Objects.clear();
        for (uint32_t i = 0, count = random() % 40; i < count; ++i) {
            if (random() % 10 == 0) {
                layer.Objects.emplace_back();
                continue;
            }
            auto& object = *layer.Objects.emplace_back(new CPlaceSpriteObject(&layer, nullptr));
            std::string text = name();
            if (random() % 8 == 0) text += std::string(1, '\0') + "tail";
            object.Name = CString(text);
        }
    };
    for (int32_t edit = 0; edit < 4; ++edit) {
        refill();
        if (edit % 2 == 1 && !layer.Objects.empty()) layer.FindObjectByName("line0");  // listed, then renamed
        if (!layer.Objects.empty() && layer.Objects.front()) layer.Objects.front()->Name = name().c_str();
        layer.InvalidateDrawSteps();
        for (int32_t i = 0; i < 14; ++i) {
            const std::string wanted = "line" + std::to_string(i);
            EXPECT_EQ(layer.FindObjectByName(wanted.c_str()), GameUi::FindObjectByName(layer.Objects, wanted.c_str()))
                << wanted << " after edit " << edit;
        }
        EXPECT_EQ(layer.FindObjectByName(""), GameUi::FindObjectByName(layer.Objects, ""));
    }
}

INSTANTIATE_TEST_SUITE_P(RandomLayers, LayerNames, testing::Range(1u, 17u));

} // namespace
