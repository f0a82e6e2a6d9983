#include "graphics/DelayedLoaders.h"

#include <algorithm>
#include <stdexcept>

#include "app/LoadingQuitCheck.h"
#include "app/Timer.h"

namespace Engine {

CDelayedLoaders::CDelayedLoaders(std::vector<ref_ptr<IDelayedLoader>> loaders) : m_loaders(std::move(loaders)) {}

int32_t CDelayedLoaders::Begin() {
    for (const auto& loader : m_loaders) loader->Begin();
    m_total = 0;
    for (const auto& loader : m_loaders) m_total += loader->GetPendingCount();
    return m_total;
}

void CDelayedLoaders::LoadItem(int32_t index) {
    for (const auto& loader : m_loaders) {
        const int32_t count = loader->GetPendingCount();
        if (index >= 0 && index < count) {
            loader->LoadItem(index);
            return;
        }
        index -= count;
    }
    throw std::out_of_range("CDelayedLoaders::LoadItem");
}

void CDelayedLoaders::End() {
    for (const auto& loader : m_loaders) loader->End();
}

void CDelayedLoaders::Run(const std::function<void(int32_t, int32_t)>& frame, double minimumSeconds) {
    const int64_t start = CTimer::Now();
    struct CEnd {
        CDelayedLoaders* loaders;
        int64_t start;
        ~CEnd() {
            loaders->End();
            GetGlobalClock().MoveStart(CTimer::Now() - start);
        }
    } end{this, start};
    const int32_t total = Begin();
    const auto minimum = static_cast<int64_t>(minimumSeconds * 1e6);
    for (int32_t i = 0;; ++i) {
        frame(std::min(i, total), total);
        if (i < total) {
            Engine::CLoadingQuitCheck::Count();
            LoadItem(i);
        }
        else if (CTimer::Now() - start >= minimum)
            break;
    }
}

} // namespace Engine
