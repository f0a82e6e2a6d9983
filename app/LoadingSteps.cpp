#include "app/LoadingSteps.h"

#include <optional>

#include "app/Exception.h"
#include "app/LoadCancelled.h"
#include "app/LoadingQuitCheck.h"
#include "app/Log.h"

namespace Engine {

void CLoadingSteps::Add(const char* name, std::function<void()> step) {
    m_steps.push_back(CStep{name, std::move(step)});
}

bool CLoadingSteps::RunNext() {
    if (m_cancelled || m_done == m_steps.size()) return false;
    const CStep& step = m_steps[m_done++];
    CLogSection section(step.name);
    try {
        std::optional<CLoadingQuitCheck> check;
        if (m_quitWatch) check.emplace(*m_quitWatch);
        step.run();
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
    } catch (const CLoadCancelled&) {
        // The quit is requested already: the run ends as for any quit.
        m_cancelled = true;
    }
    return true;
}

} // namespace Engine
