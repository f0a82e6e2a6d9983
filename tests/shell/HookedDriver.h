#pragma once
// A driver of the named class that runs a hook as each frame starts drawing
// and one at each present, the test clock moving on by a step at each.

#include <cstdint>
#include <functional>

#include "graphics/Graphics.h"
#include "platform/Testing.h"

namespace ShellTesting {

template <class Driver>
class CHookedDriver : public Driver {
public:
    using Hook = std::function<void(Engine::Graphics::CGraphics&)>;
    CHookedDriver(Engine::CApplication** app, Hook begin, Hook present, int64_t stepUs)
        : Driver(app), m_begin(std::move(begin)), m_present(std::move(present)), m_stepUs(stepUs) {}
    bool gBeginScene() override {
        if (m_begin) m_begin(*this);
        return Driver::gBeginScene();
    }
    void gFlipBuffers() override {
        Driver::gFlipBuffers();
        Platform::Testing::AdvanceTestClock(m_stepUs);
        m_present(*this);
    }

private:
    Hook m_begin, m_present;
    int64_t m_stepUs;
};

} // namespace ShellTesting
