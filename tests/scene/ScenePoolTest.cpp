#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "scene/ScenePool.h"

// AddressSanitizer's runtime, present only when the build links it; asked at
// run time so that the answer does not rest on the compiler marks the pool
// itself reads.
extern "C" int __asan_address_is_poisoned(const volatile void* address) __attribute__((weak));

namespace Engine::Scene {
namespace {

struct CBlock {
    uint8_t* bytes;
    std::size_t size;
    uint8_t mark;
};

void Fill(const CBlock& block) { std::memset(block.bytes, block.mark, block.size); }

bool Intact(const CBlock& block) {
    return std::all_of(block.bytes, block.bytes + block.size, [&](uint8_t b) { return b == block.mark; });
}

CBlock Take(std::size_t size, uint8_t mark) {
    auto* bytes = static_cast<uint8_t*>(CScenePool::Allocate(size, alignof(std::max_align_t)));
    return {bytes, size, mark};
}

void Give(const CBlock& block) { CScenePool::Deallocate(block.bytes, block.size, alignof(std::max_align_t)); }

// Blocks of one size, on both sides of the largest pooled size: each is
// aligned and its own, through releases and reuse in any order.
class ScenePoolSizes : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ScenePoolSizes, BlocksStayApartThroughReleaseAndReuse) {
    const std::size_t size = GetParam();
    std::vector<CBlock> blocks;
    for (int i = 0; i < 600; ++i) blocks.push_back(Take(size, uint8_t(i)));
    for (const CBlock& block : blocks) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block.bytes) % alignof(std::max_align_t), 0u);
        Fill(block);
    }
    // Every third block goes, then as many come back.
    std::vector<CBlock> kept;
    for (std::size_t i = 0; i < blocks.size(); ++i) (i % 3 == 1 ? Give(blocks[i]) : kept.push_back(blocks[i]));
    for (int i = 0; i < 200; ++i) {
        kept.push_back(Take(size, uint8_t(0xA0 + i % 16)));
        Fill(kept.back());
    }
    for (const CBlock& block : kept) EXPECT_TRUE(Intact(block));
    std::reverse(kept.begin(), kept.end());
    for (const CBlock& block : kept) Give(block);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScenePoolSizes, ::testing::Values(1, 8, 16, 17, 48, 200, 1024, 1025, 5000));

// Alignments above the default, asked for by sizes that are not multiples of
// them: every block keeps the alignment, beside blocks of the same rounded
// size asked for at a smaller one.
class ScenePoolAlignments : public ::testing::TestWithParam<std::pair<std::size_t, std::size_t>> {};

TEST_P(ScenePoolAlignments, EveryBlockKeepsItsAlignment) {
    const auto [size, alignment] = GetParam();
    std::vector<void*> blocks;
    for (int i = 0; i < 3000; ++i) {
        const std::size_t wanted = i % 2 ? alignment : alignof(std::max_align_t);
        void* block = CScenePool::Allocate(size, wanted);
        if (wanted == alignment) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % alignment, 0u) << i;
        }
        std::memset(block, 0x5A, size);
        blocks.push_back(block);
    }
    for (std::size_t i = 0; i < blocks.size(); ++i)
        CScenePool::Deallocate(blocks[i], size, i % 2 ? alignment : alignof(std::max_align_t));
}

INSTANTIATE_TEST_SUITE_P(Alignments, ScenePoolAlignments,
                         ::testing::Values(std::pair<std::size_t, std::size_t>{17, 32},
                                           std::pair<std::size_t, std::size_t>{48, 64},
                                           std::pair<std::size_t, std::size_t>{100, 64},
                                           std::pair<std::size_t, std::size_t>{1000, 64},
                                           std::pair<std::size_t, std::size_t>{1020, 128}));

// Blocks let go of in any order come back together: those handed out one
// after another lie in one stretch of memory, as a new scene's would, not
// spread over all that was let go of.
TEST(ScenePool, BlocksLetGoOfComeBackTogether) {
    if (CScenePool::FromHeap()) GTEST_SKIP() << "every block comes from the heap under AddressSanitizer";
    constexpr std::size_t kSize = 80;
    constexpr std::size_t kStretch = std::size_t(64) << 10;
    std::vector<CBlock> blocks;
    for (int i = 0; i < 20000; ++i) blocks.push_back(Take(kSize, 0));
    std::shuffle(blocks.begin(), blocks.end(), std::mt19937(3));
    for (const CBlock& block : blocks) Give(block);
    std::vector<CBlock> again;
    for (int i = 0; i < 500; ++i) {
        again.push_back(Take(kSize, uint8_t(i)));
        Fill(again.back());
    }
    const auto [low, high] = std::minmax_element(again.begin(), again.end(),
                                                 [](const CBlock& a, const CBlock& b) { return a.bytes < b.bytes; });
    EXPECT_LT(std::size_t(high->bytes - low->bytes), kStretch);
    for (const CBlock& block : again) {
        EXPECT_TRUE(Intact(block));
        Give(block);
    }
}

struct CPooledThing : CScenePooled {
    explicit CPooledThing(int v) : value(v) {}
    virtual ~CPooledThing() = default;
    int value;
};

struct CBiggerThing : CPooledThing {
    explicit CBiggerThing(int v) : CPooledThing(v) { std::fill(std::begin(padding), std::end(padding), v); }
    int padding[60];
};

TEST(ScenePool, ObjectsAndContainersOfTheSceneUseIt) {
    std::vector<std::unique_ptr<CPooledThing>> things;
    for (int i = 0; i < 300; ++i)
        things.emplace_back(i % 2 ? new CBiggerThing(i) : new CPooledThing(i));
    std::map<int, int, std::less<int>, CScenePoolAllocator<std::pair<const int, int>>> byValue;
    CScenePoolVector<int> values;
    for (const auto& thing : things) {
        byValue.emplace(-thing->value, thing->value);
        values.push_back(thing->value);
    }
    things.erase(things.begin(), things.begin() + 150);
    for (const auto& thing : things) {
        EXPECT_EQ(values.at(size_t(thing->value)), thing->value);
        EXPECT_EQ(byValue.at(-thing->value), thing->value);
        if (auto* bigger = dynamic_cast<CBiggerThing*>(thing.get())) {
            EXPECT_TRUE(std::all_of(std::begin(bigger->padding), std::end(bigger->padding),
                                    [&](int p) { return p == thing->value; }));
        }
    }
}

// The flags of the mapping that holds an address, from the kernel's own
// account of this process's memory; empty when no mapping holds it.
std::string MappingFlagsOf(const void* address) {
    std::ifstream maps("/proc/self/smaps");
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    bool inside = false;
    for (std::string line; std::getline(maps, line);) {
        std::uintptr_t low = 0, high = 0;
        if (std::sscanf(line.c_str(), "%" SCNxPTR "-%" SCNxPTR, &low, &high) == 2) {
            inside = low <= at && at < high;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return line;
        }
    }
    return "";
}

// More blocks than one region of chunks holds (32 MiB): every block stays its
// own across the regions, and all of them lie in memory advised to take huge
// pages, so that the process gives a big scene back in few pages.
TEST(ScenePool, BlocksAcrossRegionsLieInHugePageMemory) {
    if (CScenePool::FromHeap()) GTEST_SKIP() << "every block comes from the heap under AddressSanitizer";
    constexpr std::size_t kSize = 1024;
    constexpr int kCount = 40 << 10;  // 40 MiB
    std::vector<CBlock> blocks;
    for (int i = 0; i < kCount; ++i) {
        blocks.push_back(Take(kSize, uint8_t(i * 7)));
        Fill(blocks.back());
    }
    // A kernel without huge pages has no advice to give.
    const bool advisable = std::filesystem::exists("/sys/kernel/mm/transparent_hugepage");
    if (advisable) {
        for (const CBlock& block : {blocks.front(), blocks[kCount / 2], blocks.back()})
            EXPECT_NE(MappingFlagsOf(block.bytes).find(" hg"), std::string::npos) << MappingFlagsOf(block.bytes);
    }
    EXPECT_TRUE(std::all_of(blocks.begin(), blocks.end(), Intact));
    for (const CBlock& block : blocks) Give(block);
}

// Under AddressSanitizer a released block goes back to the heap, which
// poisons it, so that a later use is caught.
TEST(ScenePool, AddressSanitizerBuildsTakeEveryBlockFromTheHeap) {
    const bool sanitized = __asan_address_is_poisoned != nullptr;
    EXPECT_EQ(CScenePool::FromHeap(), sanitized);
    if (!sanitized) return;
    for (std::size_t size : {8u, 48u, 1024u}) {
        const CBlock block = Take(size, 1);
        Fill(block);
        EXPECT_FALSE(__asan_address_is_poisoned(block.bytes));
        Give(block);
        EXPECT_TRUE(__asan_address_is_poisoned(block.bytes)) << size;
        EXPECT_TRUE(__asan_address_is_poisoned(block.bytes + size - 1)) << size;
    }
}

} // namespace
} // namespace Engine::Scene
