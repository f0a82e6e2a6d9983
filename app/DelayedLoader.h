#pragma once
// Work left for the loading screen: each loader lists pending items, and the
// loading screen performs one item per drawn frame.

#include <cstdint>
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

} // namespace Engine
