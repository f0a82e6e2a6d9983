// A sprite file's list of references: whatever the order of removal, the
// references left come out in the order they were added, as a plain list
// with a search and an erase per removal keeps them.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "graphics/SpriteRef.h"
#include "graphics/SpriteRefList.h"

using Engine::Graphics::SprFile::CSpriteRef;
using Engine::Graphics::SprFile::CSpriteRefList;

namespace {

// Adds `count` references, then removes those at the listed positions of
// the adding order (a repeat removes one no longer held), adds `later`
// more, and removes every `stride`-th of all.
struct CRefListCase {
    const char* name;
    int count;
    std::vector<int> removed;
    int later;
    int stride;  // 0: none
};

class SpriteRefList : public testing::TestWithParam<CRefListCase> {};

TEST_P(SpriteRefList, KeepsTheOrderOfAdding) {
    const CRefListCase& c = GetParam();
    std::vector<std::unique_ptr<CSpriteRef>> refs;
    CSpriteRefList list;
    std::vector<CSpriteRef*> oracle;
    const auto add = [&] {
        CSpriteRef* ref = refs.emplace_back(std::make_unique<CSpriteRef>()).get();
        list.Add(ref);
        oracle.push_back(ref);
    };
    const auto remove = [&](CSpriteRef* ref) {
        list.Remove(ref);
        const auto found = std::find(oracle.begin(), oracle.end(), ref);
        if (found != oracle.end()) oracle.erase(found);
        ASSERT_EQ(list.GetCount(), oracle.size());
    };
    for (int i = 0; i < c.count; ++i) add();
    for (const int at : c.removed) remove(refs.at(size_t(at)).get());
    for (int i = 0; i < c.later; ++i) add();
    if (c.stride > 0)
        for (size_t i = 0; i < refs.size(); i += size_t(c.stride)) remove(refs[i].get());
    EXPECT_EQ(list.TakeAll(), oracle);
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_TRUE(list.TakeAll().empty());
}

std::vector<int> Range(int from, int to, int step = 1) {
    std::vector<int> values;
    for (int i = from; step > 0 ? i < to : i > to; i += step) values.push_back(i);
    return values;
}

INSTANTIATE_TEST_SUITE_P(
    Orders, SpriteRefList,
    testing::Values(CRefListCase{"NoneRemoved", 5, {}, 0, 0},
                    CRefListCase{"FirstMiddleLast", 5, {0, 2, 4}, 0, 0},
                    CRefListCase{"RemovedTwice", 6, {3, 3, 1}, 2, 0},
                    // Enough removals to close the gaps, then more added behind.
                    CRefListCase{"FrontToBackThenAdded", 300, Range(0, 250), 40, 0},
                    CRefListCase{"BackToFrontThenAdded", 300, Range(299, 49, -1), 40, 0},
                    CRefListCase{"EveryOtherThenEveryThird", 500, Range(0, 500, 2), 100, 3},
                    CRefListCase{"AllRemoved", 200, Range(0, 200), 3, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
