#include "particles/engine/VexaTexture_Engine.h"

namespace Engine::Particles {

CVexaTexture_Engine::~CVexaTexture_Engine() {
    if (m_list) m_list->RemoveTexture(m_texture.get());
}

} // namespace Engine::Particles
