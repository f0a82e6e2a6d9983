#pragma once
// The loading screen's list of delayed loaders, run one item per drawn frame.

#include <cstdint>
#include <functional>
#include <vector>

#include "app/DelayedLoader.h"

namespace Engine {

// Runs several loaders as one numbered list of items: the first loader's
// items come first.
class CDelayedLoaders {
public:
    explicit CDelayedLoaders(std::vector<ref_ptr<IDelayedLoader>> loaders);

    // Begins every loader and returns the total number of items.
    int32_t Begin();
    int32_t GetTotal() const { return m_total; }
    // Performs global item index through the loader that owns it.
    void LoadItem(int32_t index);
    void End();

    // The whole run: frame(i, total) for i = 0, 1, ..., performing item i
    // after frame i while i < total, and drawing frame(total, total) again
    // until minimumSeconds have passed since the first frame. Then End
    // (also when an item throws), and the frame timer's start moves on by
    // the time spent, so that the frame loop does not see the loading.
    void Run(const std::function<void(int32_t done, int32_t total)>& frame, double minimumSeconds = 0.0);

private:
    std::vector<ref_ptr<IDelayedLoader>> m_loaders;
    int32_t m_total = 0;
};

} // namespace Engine
