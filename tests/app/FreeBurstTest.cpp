#include "app/FreeBurst.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <vector>

namespace {

// Through volatile pointers, so that the compiler cannot drop blocks it
// sees freed unused.
void* (*volatile g_allocate)(size_t) = std::malloc;
void (*volatile g_free)(void*) = std::free;

// More small blocks than the per-thread cache keeps, freed in a burst;
// returns the bytes the heap then holds parked in fast bins.
size_t ParkedAfterBurst() {
    std::vector<void*> blocks(256);
    for (void*& block : blocks) block = g_allocate(40);
    for (void* block : blocks) g_free(block);
    return mallinfo2().fsmblks;
}

TEST(FreeBurstTest, BlocksMergeAtOnceDuringTheBurstAndParkAgainAfterIt) {
    {
        const Engine::CFreeBurst burst;
        if (!burst.IsActive()) GTEST_SKIP() << "the C library does not take the setting";
        EXPECT_EQ(ParkedAfterBurst(), 0u);
    }
    // A second application pass loads with the fast bins back.
    EXPECT_GT(ParkedAfterBurst(), 0u);
}

} // namespace
