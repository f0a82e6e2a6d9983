// Mesh references: every weight the file can hold loads, and the entry a
// particle shows for a given draw, worked out by hand from the pick rules.

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "VexaTestSupport.h"

namespace VexaTest {
namespace {

constexpr int32_t kMax = INT32_MAX;

// A file whose one particle type refers to meshes of these weights.
std::unique_ptr<CVexaFile> FileWithWeights(const std::vector<int32_t>& weights) {
    Tools::CVexaDocument doc;
    doc.emitters = {Tools::MakeVexaEmitter("Meshes")};
    for (int32_t weight : weights) doc.emitters[0].types[0].meshes.push_back({0, uint32_t(weight), 1.0f, 0});
    return ReadVexa(Tools::WriteVexa(doc));
}

const CMeshReferenceList& Meshes(CVexaFile& file) { return file.GetEmitter(0)->GetParticleType(0).meshes; }

struct CTotalCase {
    const char* name;
    std::vector<int32_t> weights;
    int64_t total;
};

class MeshWeightTotalTest : public ::testing::TestWithParam<CTotalCase> {};

// Each weight and the total are signed 32-bit values without a range:
// negative weights and totals past 2^31 - 1 load, and the total is exact.
TEST_P(MeshWeightTotalTest, LoadsWithTheExactTotal) {
    const auto file = FileWithWeights(GetParam().weights);
    EXPECT_EQ(Meshes(*file).GetTotalWeight(), GetParam().total);
    ASSERT_EQ(Meshes(*file).GetEntries().size(), GetParam().weights.size());
    for (size_t i = 0; i < GetParam().weights.size(); ++i)
        EXPECT_EQ(Meshes(*file).GetEntries()[i].weight, GetParam().weights[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Weights, MeshWeightTotalTest,
    ::testing::Values(CTotalCase{"Positive", {1, 2, 5}, 8}, CTotalCase{"OneNegative", {-1, 3}, 2},
                      CTotalCase{"AllNegative", {-5, -7}, -12},
                      CTotalCase{"BelowTheRange", {INT32_MIN, -1}, int64_t(INT32_MIN) - 1},
                      CTotalCase{"BeyondTheRange", {kMax, kMax, 2}, int64_t(1) << 32}),
    [](const auto& info) { return std::string(info.param.name); });

struct CPickCase {
    std::vector<int32_t> weights;
    uint32_t draw;
    size_t entry;
};

class MeshPickTest : public ::testing::TestWithParam<CPickCase> {};

TEST_P(MeshPickTest, PicksTheEntryTheRuleGives) {
    const auto file = FileWithWeights(GetParam().weights);
    EXPECT_EQ(Meshes(*file).PickIndex(GetParam().draw), GetParam().entry);
}

// A total in 1..2^31 - 1: r = draw mod total, then the entries are walked
// taking r down by their weights until r is below one.
INSTANTIATE_TEST_SUITE_P(PositiveTotal, MeshPickTest,
                         ::testing::Values(CPickCase{{1, 2, 5}, 0, 0}, CPickCase{{1, 2, 5}, 1, 1},
                                           CPickCase{{1, 2, 5}, 2, 1}, CPickCase{{1, 2, 5}, 3, 2},
                                           CPickCase{{1, 2, 5}, 7, 2}, CPickCase{{1, 2, 5}, 8, 0},
                                           CPickCase{{1, 2, 5}, 0xFFFFFFFF, 2}, CPickCase{{0, 7, 0}, 0, 1},
                                           CPickCase{{0, 7, 0}, 6, 1}, CPickCase{{3, -2, 2}, 2, 0},
                                           CPickCase{{-2, 5}, 2, 1}));

// A total of 0: draw mod count.
INSTANTIATE_TEST_SUITE_P(ZeroTotal, MeshPickTest,
                         ::testing::Values(CPickCase{{0, 0, 0}, 4, 1}, CPickCase{{0, 0, 0}, 5, 2},
                                           CPickCase{{5, -5}, 3, 1}));

// Any other total: weights below 0 count as 0, r = floor(draw x P / 2^32)
// with P the sum of the positive weights; draw mod count when P is 0.
INSTANTIATE_TEST_SUITE_P(OtherTotal, MeshPickTest,
                         ::testing::Values(CPickCase{{kMax, kMax, 2}, 0x7FFFFFFE, 0},
                                           CPickCase{{kMax, kMax, 2}, 0x7FFFFFFF, 1},
                                           CPickCase{{kMax, kMax, 2}, 0xFFFFFFFE, 2},
                                           CPickCase{{kMax, kMax, kMax}, 0x55555555, 0},
                                           CPickCase{{kMax, kMax, kMax}, 0x55555556, 1},
                                           CPickCase{{kMax, kMax, kMax}, 0xFFFFFFFF, 2},
                                           CPickCase{{INT32_MIN, 6, 2}, 0, 1},
                                           CPickCase{{INT32_MIN, 6, 2}, 0x80000000, 1},
                                           CPickCase{{INT32_MIN, 6, 2}, 0xC0000000, 2},
                                           CPickCase{{10, -20}, 0xFFFFFFFF, 0}, CPickCase{{-20, 10}, 0, 1},
                                           CPickCase{{-1, -1}, 3, 1}));

} // namespace
} // namespace VexaTest
