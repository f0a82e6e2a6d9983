// The class directory's objects by ID, against the ordered map it replaces:
// the same objects found, visited lowest ID first and let go of highest ID
// first, whatever the order their IDs were registered in.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "scene/ObjectsById.h"

namespace Engine::Scene {
namespace {

std::vector<uint32_t> g_released;

// Notes its ID when it goes.
class CNoted : public CAnimatable {
public:
    explicit CNoted(uint32_t id) : m_id(id) {}
    ~CNoted() noexcept(false) override { g_released.push_back(m_id); }

private:
    uint32_t m_id;
};

struct CIdOrder {
    const char* name;
    std::vector<uint32_t> (*ids)();
};

std::vector<uint32_t> Rising() {
    std::vector<uint32_t> ids(60);
    for (uint32_t i = 0; i < ids.size(); ++i) ids[i] = 1000 + 3 * i;
    return ids;
}
std::vector<uint32_t> Falling() {
    std::vector<uint32_t> ids = Rising();
    std::reverse(ids.begin(), ids.end());
    return ids;
}
std::vector<uint32_t> Shuffled() {
    std::vector<uint32_t> ids = Rising();
    std::shuffle(ids.begin(), ids.end(), std::mt19937(7));
    return ids;
}
// Rising runs with lower IDs between them, as renumbered objects come.
std::vector<uint32_t> RisingWithDips() {
    std::vector<uint32_t> ids;
    for (uint32_t i = 0; i < 60; ++i) ids.push_back(i % 7 == 3 ? 500 + i : 1000 + 3 * i);
    return ids;
}

class ObjectsByIdOrder : public ::testing::TestWithParam<CIdOrder> {
protected:
    void SetUp() override { g_released.clear(); }
};

TEST_P(ObjectsByIdOrder, FindsVisitsAndLetsGoAsAnOrderedMap) {
    const std::vector<uint32_t> ids = GetParam().ids();
    std::map<uint32_t, CAnimatable*> reference;
    {
        CObjectsById objects;
        for (const uint32_t id : ids) {
            ASSERT_FALSE(objects.Contains(id));
            CAnimatable::Ref object(new CNoted(id));
            reference.emplace(id, object.get());
            objects.Insert(id, std::move(object));
        }
        EXPECT_EQ(objects.Size(), reference.size());
        for (const auto& [id, object] : reference) {
            const CAnimatable::Ref* found = objects.Find(id);
            ASSERT_TRUE(found) << id;
            EXPECT_EQ(found->get(), object) << id;
            EXPECT_FALSE(objects.Contains(id + 1)) << id + 1;
        }
        EXPECT_FALSE(objects.Contains(0));
        std::vector<CAnimatable*> visited, expected;
        objects.ForEachAscending([&](const CAnimatable::Ref& object) { visited.push_back(object.get()); });
        for (const auto& entry : reference) expected.push_back(entry.second);
        EXPECT_EQ(visited, expected);
        EXPECT_TRUE(g_released.empty());
    }
    std::vector<uint32_t> highestFirst;
    for (auto it = reference.rbegin(); it != reference.rend(); ++it) highestFirst.push_back(it->first);
    EXPECT_EQ(g_released, highestFirst);
}

INSTANTIATE_TEST_SUITE_P(Orders, ObjectsByIdOrder,
                         ::testing::Values(CIdOrder{"Rising", Rising}, CIdOrder{"Falling", Falling},
                                           CIdOrder{"Shuffled", Shuffled}, CIdOrder{"RisingWithDips", RisingWithDips}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace Engine::Scene
