#include "particles/engine/ParticleSystem.h"

namespace Engine::Particles {

CParticleSystem::CParticleSystem(Graphics::CGraphics* graphics)
    : m_graphics(graphics), m_textures(graphics), m_library(std::make_unique<VexaParticles::CVexaParticleLibrary>()),
      m_binding(std::make_unique<CVexaGraphics_Engine>(graphics, &m_textures)), m_fileManager(this) {}

CParticleSystem::~CParticleSystem() noexcept {
    m_fileManager.RemoveAllObjects();
    m_library->Done();
}

void CParticleSystem::StartFrame() {
    m_library->GetWorkBudget().StartFrame(m_frameVisits);
    const Graphics::CGraphicsParams& params = m_graphics->GetParams();
    m_binding->GetDrawLimit().StartFrame(m_frameQuads, m_frameScreens, params.width, params.height, m_frameTypeDraws);
}

void CParticleSystem::Done() {
    for (const ref_ptr<CVexaFile>& file : m_fileManager.GetObjects()) file->GetFile()->DestroyTextures();
}

} // namespace Engine::Particles
