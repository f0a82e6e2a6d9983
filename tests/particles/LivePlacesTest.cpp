// Runs of places let go at once must leave the counts a list of the places
// still there gives: which places go, and every place's rank after, whether
// the runs are single places, long, cut by the size, or cross places let go
// before.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "particles/library/LivePlaces.h"

namespace VexaParticles {
namespace {

struct CRuns {
    int64_t size;
    int64_t longest;
};

class LivePlacesTest : public ::testing::TestWithParam<CRuns> {};

TEST_P(LivePlacesTest, RunsLetGoMatchAListOfThePlacesThere) {
    const CRuns runs = GetParam();
    std::mt19937 random(uint32_t(runs.size * 31 + runs.longest));
    CLivePlaces places;
    places.Reset(runs.size);
    std::vector<int64_t> there(size_t(runs.size));
    for (int64_t place = 0; place < runs.size; ++place) there[size_t(place)] = place;
    for (int64_t place = 0; place <= runs.size + 1; ++place) {
        ASSERT_EQ(places.CountBefore(place), place);
        ASSERT_TRUE(places.IsLive(place));
    }
    while (!there.empty()) {
        const int64_t rank = std::uniform_int_distribution<int64_t>(0, int64_t(there.size()))(random);
        const int64_t count = std::uniform_int_distribution<int64_t>(1, runs.longest)(random);
        const auto begin = there.begin() + std::min<std::ptrdiff_t>(rank, std::ptrdiff_t(there.size()));
        const auto end = there.begin() + std::min<std::ptrdiff_t>(rank + count, std::ptrdiff_t(there.size()));
        const std::vector<int64_t> expected(begin, end);
        there.erase(begin, end);
        ASSERT_EQ(places.Take(rank, count), expected) << "rank " << rank << " count " << count;
        for (int64_t place = 0; place <= runs.size + 1; ++place) {
            const int64_t before = std::lower_bound(there.begin(), there.end(), place) - there.begin();
            ASSERT_EQ(places.CountBefore(place), before + std::max<int64_t>(place - runs.size, 0)) << place;
            ASSERT_EQ(places.IsLive(place), place >= runs.size || std::binary_search(there.begin(), there.end(), place));
        }
    }
    EXPECT_TRUE(places.Take(0, 1).empty());
}

INSTANTIATE_TEST_SUITE_P(Runs, LivePlacesTest,
                         ::testing::Values(CRuns{1, 1}, CRuns{37, 1}, CRuns{64, 5}, CRuns{100, 30}, CRuns{513, 64},
                                           CRuns{1000, 400}));

} // namespace
} // namespace VexaParticles
