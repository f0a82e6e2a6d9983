// Table substitution over whole buffers, by every implementation this
// processor runs: lengths and starts chosen so that each step width (64, 32,
// 8 and 1 bytes) is taken, each over all 256 table entries.

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "app/ByteSubstitution.h"
#include "app/Pack.h"

namespace {

class ByteSubstitutionTest : public ::testing::TestWithParam<size_t> {};

TEST_P(ByteSubstitutionTest, MapsEveryByteThroughTheTable) {
    const auto& table = Engine::PackFormat::DecodeTable();
    const size_t count = GetParam();
    const std::vector<Engine::SubstituteFunction> implementations = Engine::SubstituteImplementations();
    for (size_t which = 0; which < implementations.size(); ++which) {
        for (size_t start : {size_t(0), size_t(3)}) {
            std::vector<uint8_t> bytes(start + count);
            std::iota(bytes.begin(), bytes.end(), uint8_t(7));
            std::vector<uint8_t> expected = bytes;
            for (size_t i = start; i < expected.size(); ++i) expected[i] = table[expected[i]];
            implementations[which](table.data(), bytes.data() + start, count);
            EXPECT_EQ(bytes, expected) << "implementation " << which << " from " << start;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, ByteSubstitutionTest, ::testing::Values(0, 1, 7, 8, 31, 32, 33, 105, 4099));

} // namespace
