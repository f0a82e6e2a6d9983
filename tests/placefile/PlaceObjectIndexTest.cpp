// Finding place objects by ID: the first match is the one a walk of every
// object meets first (layers in order, objects in order, a group before its
// children, depth first), duplicate IDs at any depth included.

#include <gtest/gtest.h>

#include <sstream>

#include "placefile/PlaceGroupObject.h"
#include "tests/placefile/PlaceTestSupport.h"

using namespace PlaceTest;

namespace {

// The walk the look-up answers for, one object at a time.
CPlaceObject* LinearSearch(const CPlaceFile& place, uint32_t id) {
    for (const std::unique_ptr<CPlaceLayer>& layer : place.Layers)
        for (const std::unique_ptr<CPlaceObject>& object : layer->Objects)
            if (CPlaceObject* found = object->FindObjectByID(id)) return found;
    return nullptr;
}

// "1 2[3 4[5]] | 6": layers split by '|'; an ID followed by '[' is a group
// of the objects up to its ']'.
std::vector<Tools::CPlaceObjectDoc> ParseObjects(std::istringstream& in) {
    std::vector<Tools::CPlaceObjectDoc> objects;
    for (char c; in >> c;) {
        if (c == ']') break;
        in.putback(c);
        uint32_t id = 0;
        in >> id;
        Tools::CPlaceObjectDoc object = Object(2, id);
        if (in.peek() == '[') {
            in.get();
            object = Object(4, id);
            object.children = ParseObjects(in);
        }
        objects.push_back(object);
    }
    return objects;
}

Tools::CPlaceDocument Layout(const std::string& text) {
    Tools::CPlaceDocument doc;
    std::istringstream layers(text);
    for (std::string layerText; std::getline(layers, layerText, '|');) {
        std::istringstream in(layerText);
        Tools::CPlaceLayerDoc& layer = doc.layers.emplace_back();
        layer.name = "layer";
        layer.objects = ParseObjects(in);
    }
    return doc;
}

struct CIndexCase {
    const char* name;
    const char* layout;
};

class ObjectById : public testing::TestWithParam<CIndexCase> {};

TEST_P(ObjectById, FirstMatchIsTheWalksFirst) {
    const ref_ptr<CPlaceFile> place = ReadPlace(Tools::WritePlace(Layout(GetParam().layout)));
    for (uint32_t id = 0; id <= 12; ++id) {
        CPlaceObject* expected = LinearSearch(*place, id);
        EXPECT_EQ(place->FindObjectByID(id), expected) << "ID " << id;
        if (expected) {
            EXPECT_EQ(expected->ID, id);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ObjectById,
    testing::Values(CIndexCase{"Unique", "1 2 3 | 4 5"},
                    CIndexCase{"GroupChildBeforeLaterTopLevel", "1[2 3] 2 3"},
                    CIndexCase{"GroupItselfBeforeItsChild", "4[4 5[4]] 4"},
                    CIndexCase{"DeepChildBeforeShallowSibling", "1[2[3[7]] 7] 7"},
                    CIndexCase{"EarlierLayerWins", "6 | 6[6] | 6"},
                    CIndexCase{"LaterLayerOnly", "1 2 | 3[9 9] 9"},
                    CIndexCase{"EmptyGroupsAndLayers", "1[] | | 2[3[]] 3"},
                    CIndexCase{"ZeroIds", "0 0[0] 1[0]"}),
    [](const auto& info) { return std::string(info.param.name); });

// A file read again, or changed by hand and told so, is searched anew.
TEST(ObjectByIdIndex, FollowsTheLayersItIsToldOf) {
    const std::vector<uint8_t> first = Tools::WritePlace(Layout("1 2[3]"));
    const ref_ptr<CPlaceFile> place = ReadPlace(first);
    ASSERT_TRUE(place->FindObjectByID(3));

    const std::vector<uint8_t> second = Tools::WritePlace(Layout("3 | 7"));
    Engine::CMemoryFile file(second.data(), second.size());
    CArchive ar(&file, false);
    place->Serialize(ar);
    EXPECT_EQ(place->FindObjectByID(3), place->Layers[0]->Objects[0].get());
    EXPECT_EQ(place->FindObjectByID(2), nullptr);

    CPlaceLayer& layer = **place->Layers.emplace(place->Layers.begin(),
                                                  std::make_unique<CPlaceLayer>(place.get(), &place->PropertyDescs));
    layer.Objects.push_back(std::make_unique<CPlaceGroupObject>(&layer, nullptr));
    layer.Objects.back()->ID = 7;
    place->InvalidateLayout();
    EXPECT_EQ(place->FindObjectByID(7), layer.Objects.back().get());
    EXPECT_EQ(place->FindObjectByID(7), LinearSearch(*place, 7));
}

} // namespace
