#pragma once
// The application's particle context: the particle library, the table of
// loaded effect files, and the library's drawing device over the graphics
// driver with the texture list it makes its textures in.

#include <cstdint>
#include <memory>

#include "graphics/Graphics.h"
#include "graphics/Texture.h"
#include "particles/engine/VexaFileManager.h"
#include "particles/engine/VexaGraphics_Engine.h"
#include "particles/library/ParticlePool.h"
#include "particles/library/VexaParticleLibrary.h"

namespace Engine::Particles {

class CParticleSystem {
public:
    // What one frame of the application's loop may spend on particles, set
    // for the content: effects of up to 100,000 live particles without
    // sub-emitter copies at 1 to 4 steps a frame, and 15,000 trail carriers
    // a second at 1 and 2 steps, run as without limits, with 40% to spare
    // (the largest, 1,067,140 visits, is particles living one step at 4
    // steps); a damaged effect that fills the pool (524,288 visits a step at
    // least) takes at most two steps a frame. The time to quit never waits
    // on the limits (the frame's quit watch stops the work). Drawing is
    // bounded by quads, above the target, by covered area and by the types
    // drawn (ParticleDrawLimit.h).
    static constexpr int64_t kFrameParticleVisits = 1'500'000;
    static constexpr int64_t kFrameParticleQuads = int64_t(1) << 17;
    static constexpr double kFrameParticleScreens = 32.0;
    // Each type drawn costs the driver a call: as many as the record cap
    // allows sub-emitter copies (each draws on its own) are drawn a frame;
    // more types take turns.
    static constexpr int64_t kFrameParticleTypeDraws = int64_t(1) << 15;

    // The driver (not owned) must outlive the system. The application then
    // initialises the library with the graphics binding.
    explicit CParticleSystem(Graphics::CGraphics* graphics);
    // Owners' local managers must have handed their files back before. The
    // file manager is a member nobody counts, so nothing here throws.
    ~CParticleSystem() noexcept;
    CParticleSystem(const CParticleSystem&) = delete;
    CParticleSystem& operator=(const CParticleSystem&) = delete;

    // At shutdown: destroys the textures of every loaded file.
    void Done();
    // Gives the frame now starting its particle budget and draw limit.
    void StartFrame();
    // Benchmarks compare frames under these limits with frames under others
    // (CParticleWorkBudget::kUnlimited and infinite screens lift them).
    void SetFrameLimits(int64_t visits, int64_t quads, double screens, int64_t typeDraws = kFrameParticleTypeDraws) {
        m_frameVisits = visits;
        m_frameQuads = quads;
        m_frameScreens = screens;
        m_frameTypeDraws = typeDraws;
    }
    // The frame loop is about to run its next update step.
    void StartStep() { m_library->GetWorkBudget().StartStep(); }
    // The application's quit watch, checked as the visits are counted.
    void SetQuitWatch(Engine::CFrameQuitWatch* watch) { m_library->GetWorkBudget().SetQuitWatch(watch); }

    VexaParticles::CVexaParticleLibrary& GetLibrary() { return *m_library; }
    CVexaFileManager& GetFileManager() { return m_fileManager; }
    CVexaGraphics_Engine& GetGraphicsBinding() { return *m_binding; }
    Graphics::CTextureList& GetTextureList() { return m_textures; }
    Graphics::CGraphics* GetGraphics() const { return m_graphics; }

private:
    // Declared so that the files go first, then the binding and the library,
    // and the texture list the files' textures leave last.
    Graphics::CGraphics* m_graphics;
    Graphics::CTextureList m_textures;
    std::unique_ptr<VexaParticles::CVexaParticleLibrary> m_library;
    std::unique_ptr<CVexaGraphics_Engine> m_binding;
    CVexaFileManager m_fileManager;
    int64_t m_frameVisits = kFrameParticleVisits;
    int64_t m_frameQuads = kFrameParticleQuads;
    double m_frameScreens = kFrameParticleScreens;
    int64_t m_frameTypeDraws = kFrameParticleTypeDraws;
};

} // namespace Engine::Particles
