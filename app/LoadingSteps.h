#pragma once
// The screensaver's data, loaded one named step per update so that the
// loading screen keeps being drawn in between.

#include <functional>
#include <vector>

namespace Engine {

class CFrameQuitWatch;

class CLoadingSteps {
public:
    // With a watch, each step looks for a pending quit as its readers count
    // their work (LoadingQuitCheck.h).
    explicit CLoadingSteps(CFrameQuitWatch* quitWatch = nullptr) : m_quitWatch(quitWatch) {}

    void Add(const char* name, std::function<void()> step);
    // Performs the next step; an Engine::CException it throws is logged and
    // loading goes on without what it would have loaded. A step cut by a
    // quit ends the loading: no further step runs, and loading is never
    // done. False when no step was run.
    bool RunNext();

    // Ends the loading before its steps: a quit cut what the application
    // read ahead of them.
    void Cancel() { m_cancelled = true; }

    bool IsDone() const { return !m_cancelled && m_done == m_steps.size(); }
    bool IsCancelled() const { return m_cancelled; }
    int GetDone() const { return int(m_done); }
    int GetTotal() const { return int(m_steps.size()); }

private:
    struct CStep {
        const char* name;
        std::function<void()> run;
    };
    CFrameQuitWatch* m_quitWatch;
    std::vector<CStep> m_steps;
    size_t m_done = 0;
    bool m_cancelled = false;
};

} // namespace Engine
