// Table substitution over whole buffers: every length and start, so that the
// wide steps, the word steps and the byte tail all meet every table entry.

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
    // Each length from an aligned and an odd start, all 256 values repeated.
    for (size_t start : {size_t(0), size_t(3)}) {
        std::vector<uint8_t> bytes(start + count);
        std::iota(bytes.begin(), bytes.end(), uint8_t(7));
        std::vector<uint8_t> expected = bytes;
        for (size_t i = start; i < expected.size(); ++i) expected[i] = table[expected[i]];
        Engine::SubstituteBytes(table.data(), bytes.data() + start, count);
        EXPECT_EQ(bytes, expected) << "from " << start;
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, ByteSubstitutionTest, ::testing::Values(0, 1, 7, 8, 31, 32, 33, 71, 256, 4099));

} // namespace
