#include "app/Registration.h"

#include <algorithm>

#include "app/Log.h"

namespace Engine {

CStartupRegistration::CStartupRegistration(std::initializer_list<std::span<const CStartupHook>> hookLists) {
    // Made first, so that the log outlives the undo at exit.
    GetLog();
    std::vector<const CStartupHook*> order;
    for (const auto& hooks : hookLists)
        for (const CStartupHook& hook : hooks) order.push_back(&hook);
    std::stable_sort(order.begin(), order.end(),
                     [](const CStartupHook* a, const CStartupHook* b) { return a->group < b->group; });
    m_ran.reserve(order.size());
    try {
        for (const CStartupHook* hook : order) {
            hook->run();
            m_ran.push_back(hook);
        }
    } catch (...) {
        UndoAll();
        throw;
    }
}

CStartupRegistration::~CStartupRegistration() {
    UndoAll();
}

void CStartupRegistration::UndoAll() noexcept {
    // Nothing may leave here: this runs at exit or while an exception
    // unwinds. A failing undo is logged and the rest still run.
    for (auto it = m_ran.rbegin(); it != m_ran.rend(); ++it) {
        if (!(*it)->undo) continue;
        try {
            (*it)->undo();
        } catch (...) {
            GetLog().PrintLine("Start-up registration '%s' failed to undo", (*it)->name);
        }
    }
    m_ran.clear();
}

} // namespace Engine
