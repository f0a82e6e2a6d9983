#pragma once
// The screensaver's data, loaded one named step per update so that the
// loading screen keeps being drawn in between.

#include <functional>
#include <vector>

namespace Engine {

class CLoadingSteps {
public:
    void Add(const char* name, std::function<void()> step);
    // Performs the next step; an Engine::CException it throws is logged and
    // loading goes on without what it would have loaded. False when no step
    // was left.
    bool RunNext();

    bool IsDone() const { return m_done == m_steps.size(); }
    int GetDone() const { return int(m_done); }
    int GetTotal() const { return int(m_steps.size()); }

private:
    struct CStep {
        const char* name;
        std::function<void()> run;
    };
    std::vector<CStep> m_steps;
    size_t m_done = 0;
};

} // namespace Engine
