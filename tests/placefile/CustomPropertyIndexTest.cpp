// The description of a property value found by ID: the answer of a walk over
// the descriptions in name order that stops at the first with the ID, as
// every value read once asked it. Duplicate IDs, names stored twice (the
// later dropped) and IDs no description has, in both layouts.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "tests/placefile/PlaceTestSupport.h"

using namespace PlaceTest;

namespace {

struct CIndexCase {
    const char* name;
    std::vector<Tools::CPlacePropertyDesc> descs;
    std::vector<uint32_t> ids;  // asked for, besides every stored ID
};

std::ostream& operator<<(std::ostream& out, const CIndexCase& c) { return out << c.name; }

// The walk: the first of a name is kept, then the first in name order with
// the ID wins; "" when none has it.
std::string WalkedName(const std::vector<Tools::CPlacePropertyDesc>& descs, uint32_t id) {
    std::map<std::string, Tools::CPlacePropertyDesc> byName;
    for (const Tools::CPlacePropertyDesc& desc : descs) byName.emplace(desc.name, desc);
    for (const auto& [name, desc] : byName)
        if (desc.id == id) return name;
    return "";
}

// Many descriptions with few distinct IDs and names, in shuffled order.
std::vector<Tools::CPlacePropertyDesc> Crowded() {
    std::mt19937 random(7);
    std::vector<Tools::CPlacePropertyDesc> descs;
    for (uint32_t i = 0; i < 2000; ++i)
        descs.push_back({uint32_t(random() % 300), "p" + std::to_string(random() % 1500), i % 6});
    return descs;
}

class CustomPropertyIndexTest : public testing::TestWithParam<std::tuple<CIndexCase, uint32_t>> {};

TEST_P(CustomPropertyIndexTest, FindsWhatTheWalkInNameOrderFinds) {
    const auto& [c, version] = GetParam();
    Tools::CPlaceDocument doc;
    doc.version = version;
    doc.descs = c.descs;
    const ref_ptr<CPlaceFile> place = ReadPlace(Tools::WritePlace(doc));
    std::vector<uint32_t> ids = c.ids;
    for (const Tools::CPlacePropertyDesc& desc : c.descs) ids.push_back(desc.id);
    for (const uint32_t id : ids) {
        const std::string walked = WalkedName(c.descs, id);
        if (walked.empty()) {
            const std::string expected = "CPlaceFile::CCustomPropertyDescs::GetPropertyDescByID(...) : FAILED : Can't "
                                         "find property by ID = " + std::to_string(int(id));
            EXPECT_EQ(ErrorOf([&] { place->PropertyDescs.GetPropertyDescByID(id); }), expected);
            continue;
        }
        const CCustomPropertyDesc& found = place->PropertyDescs.GetPropertyDescByID(id);
        EXPECT_EQ(found.name, walked.c_str()) << "ID " << id;
        EXPECT_EQ(found.id, id);
        EXPECT_EQ(&found, place->PropertyDescs.FindByName(found.name)) << "the description the map holds";
    }
}

const CIndexCase kCases[] = {
    // The first in name order, not in file order.
    {"DuplicateIds", {{5, "b", 1}, {5, "a", 3}, {7, "c", 1}, {5, "c2", 0}}, {}},
    // The later "x" is dropped: its ID 2 is found by none.
    {"RepeatedNames", {{1, "x", 1}, {2, "x", 1}, {3, "y", 2}}, {}},
    // The dropped one's ID is still found through another name.
    {"RepeatedNameOtherHolder", {{4, "m", 1}, {5, "m", 1}, {5, "n", 4}}, {}},
    {"MissingIds", {{1, "a", 1}, {3, "b", 1}}, {0, 2, 4, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu}},
    {"NoDescriptions", {}, {0, 1}},
    {"Crowded", Crowded(), {300, 301, 5000}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CustomPropertyIndexTest,
                         testing::Combine(testing::ValuesIn(kCases), testing::Values(0x1010u, 0x1007u)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == 0x1007u ? "Legacy" : "");
                         });

} // namespace
