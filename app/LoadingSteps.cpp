#include "app/LoadingSteps.h"

#include "app/Exception.h"
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
        // A cut step leaves the quit requested already: the run ends as for
        // any quit.
        if (m_quitWatch)
            m_cancelled = !CLoadingQuitCheck::Run(*m_quitWatch, step.run);
        else
            step.run();
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
    }
    return true;
}

} // namespace Engine
