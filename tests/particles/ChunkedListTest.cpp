// A chunked list grown one value at a time keeps every value where it was
// made, and a place a shrink gave up comes back holding the value it is
// grown with, not what it held before.

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "particles/library/ChunkedList.h"

namespace VexaParticles {
namespace {

TEST(ChunkedListTest, GrowingMovesNothingAndRegrownPlacesHoldTheNewValue) {
    constexpr size_t kCount = 10000;
    CChunkedList<size_t> list;
    std::vector<const size_t*> made;
    for (size_t index = 0; index < kCount; ++index) {
        list.resize(index + 1);
        list[index] = index;
        made.push_back(&list[index]);
    }
    for (size_t index = 0; index < kCount; ++index) {
        ASSERT_EQ(&list[index], made[index]) << index;
        ASSERT_EQ(list[index], index);
    }
    for (const size_t kept : {size_t(4097), size_t(1), size_t(0)}) {
        list.resize(kept);
        list.resize(kCount, kCount);
        for (size_t index = 0; index < kCount; ++index) ASSERT_EQ(list[index], index < kept ? index : kCount) << index;
        for (size_t index = kept; index < kCount; ++index) list[index] = index;
    }
}

} // namespace
} // namespace VexaParticles
