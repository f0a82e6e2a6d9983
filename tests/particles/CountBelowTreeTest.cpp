// The search tree must count exactly the values below t, at every size
// around its level boundaries, alone and in a batch over several trees.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "particles/library/CountBelowTree.h"

namespace VexaParticles {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Non-decreasing values with runs of equals, a NaN tail now and then.
std::vector<float> Values(size_t n, std::mt19937& random) {
    std::vector<float> values(n);
    for (float& value : values) value = float(random() % (n + 1)) * 0.5f - float(n) * 0.1f;
    std::sort(values.begin(), values.end());
    if (n > 0 && random() % 4 == 0) values.back() = kNaN;
    return values;
}

// The values below t come first (a NaN is never below), so the count is
// where they end.
size_t Below(const std::vector<float>& values, float t) {
    return size_t(std::partition_point(values.begin(), values.end(), [t](float value) { return value < t; }) - values.begin());
}

struct CBuilt {
    explicit CBuilt(std::vector<float> given) : values(std::move(given)), room(CCountBelowTree::RoomFor(values.size())) {
        tree = CCountBelowTree(values.size(), room.data(), [this](float* out) { std::copy(values.begin(), values.end(), out); });
    }
    std::vector<float> values;
    std::vector<float> room;
    CCountBelowTree tree;
};

std::vector<float> Probes(const std::vector<float>& values) {
    std::vector<float> ts = {kNaN, -kInf, kInf, 0.0f, -0.0f};
    for (float value : values) ts.insert(ts.end(), {value, std::nextafter(value, kInf), std::nextafter(value, -kInf)});
    return ts;
}

class CountBelowTreeTest : public ::testing::TestWithParam<size_t> {};

TEST_P(CountBelowTreeTest, CountsTheValuesBelowAloneAndBatched) {
    std::mt19937 random{unsigned(GetParam())};
    const CBuilt built(Values(GetParam(), random));
    const size_t otherSize = random() % 300;
    const CBuilt other(Values(otherSize, random));
    for (float t : Probes(built.values)) {
        ASSERT_EQ(built.tree.CountBelow(t), Below(built.values, t)) << t;
        // Interleaved with a search of a tree of another height.
        CCountBelowTree::CSearch searches[] = {{&other.tree, t, 99}, {&built.tree, t, 99}, {&other.tree, -t, 99}};
        CCountBelowTree::CountBelow(searches);
        EXPECT_EQ(searches[0].count, Below(other.values, t));
        EXPECT_EQ(searches[1].count, Below(built.values, t));
        EXPECT_EQ(searches[2].count, Below(other.values, -t));
    }
}

// Sizes either side of one node, of two levels and of three.
INSTANTIATE_TEST_SUITE_P(Sizes, CountBelowTreeTest,
                         ::testing::Values(0, 1, 15, 16, 17, 33, 271, 272, 273, 289, 4623, 4624, 4625, 4913, 10000));

} // namespace
} // namespace VexaParticles
