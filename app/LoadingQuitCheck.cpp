#include "app/LoadingQuitCheck.h"

#include "app/LoadCancelled.h"

namespace Engine {

namespace {
// Per thread: the look at pending input belongs to the main thread, and a
// load on another thread must not reach it.
thread_local CLoadingQuitCheck* t_current = nullptr;
} // namespace

CLoadingQuitCheck::CLoadingQuitCheck(CFrameQuitWatch& watch) : m_countdown(&watch), m_outer(t_current) {
    watch.StartFrame();
    t_current = this;
}

CLoadingQuitCheck::~CLoadingQuitCheck() { t_current = m_outer; }

CLoadingQuitCheck* CLoadingQuitCheck::GetCurrent() { return t_current; }

void CLoadingQuitCheck::Count(int64_t units) {
    CLoadingQuitCheck* check = t_current;
    if (!check) return;
    check->m_units += units;
    if (check->m_countdown.Count(units) || check->m_countdown.IsStopped()) throw CLoadCancelled();
}

bool CLoadingQuitCheck::CountStops(int64_t units) noexcept {
    CLoadingQuitCheck* check = t_current;
    if (!check || check->m_countdown.IsStopped()) return check != nullptr;
    check->m_units += units;
    return check->m_countdown.Count(units);
}

bool CLoadingQuitCheck::Run(CFrameQuitWatch& watch, const std::function<void()>& load) {
    try {
        const CLoadingQuitCheck check(watch);
        load();
        return true;
    } catch (const CLoadCancelled&) {
        return false;
    }
}

} // namespace Engine
