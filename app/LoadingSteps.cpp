#include "app/LoadingSteps.h"

#include "app/Exception.h"
#include "app/Log.h"

namespace Engine {

void CLoadingSteps::Add(const char* name, std::function<void()> step) {
    m_steps.push_back(CStep{name, std::move(step)});
}

bool CLoadingSteps::RunNext() {
    if (IsDone()) return false;
    const CStep& step = m_steps[m_done++];
    CLogSection section(step.name);
    try {
        step.run();
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
    }
    return true;
}

} // namespace Engine
