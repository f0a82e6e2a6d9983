#pragma once
// Work left for the loading screen: each loader lists pending items, and the
// loading screen performs one item per drawn frame.

#include <cstdint>
#include <functional>
#include <vector>

#include "app/Referenced.h"

namespace Engine {

class IDelayedLoader : public CReferenced {
public:
    // Lists the pending items.
    virtual void Begin() = 0;
    // Drops whatever is still pending.
    virtual void End() = 0;
    virtual int32_t GetPendingCount() const = 0;
    // Performs pending item index (0 .. GetPendingCount() - 1).
    virtual void LoadItem(int32_t index) = 0;
};

// A loader without pending work, for managers that load everything at once.
class CEmptyDelayedLoader : public IDelayedLoader {
public:
    void Begin() override {}
    void End() override {}
    int32_t GetPendingCount() const override { return 0; }
    void LoadItem(int32_t) override {}
};

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

    // The whole run: frame(i, total) for i = 0 .. total, performing item i
    // after each frame but the last, then End (also when an item throws).
    void Run(const std::function<void(int32_t done, int32_t total)>& frame);

private:
    std::vector<ref_ptr<IDelayedLoader>> m_loaders;
    int32_t m_total = 0;
};

} // namespace Engine
