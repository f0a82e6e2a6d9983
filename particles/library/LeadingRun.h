#pragma once
// Where a run of items that pass a test ends, found by halving without a
// branch on the outcome: for times spread at random, a branch would
// mispredict every other step.

#include <cstddef>

namespace VexaParticles {

// How many of the indices 0..count-1 pass `passes`, given that those that
// pass come first.
template <class Passes>
size_t LeadingRun(size_t count, Passes passes) {
    if (count == 0) return 0;
    size_t base = 0;
    while (count > 1) {
        const size_t half = count / 2;
        base = passes(base + half) ? base + half : base;
        count -= half;
    }
    return base + (passes(base) ? 1 : 0);
}

} // namespace VexaParticles
