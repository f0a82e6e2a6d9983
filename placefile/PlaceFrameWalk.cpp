#include "placefile/PlaceFrameWalk.h"

#include "placefile/PlaceLayer.h"
#include "placefile/PlaceVexaObject.h"

namespace Engine::Graphics::PlaceFile {

void CPlaceFrameWalk::Build(const CLayers& layers) {
    m_particles.clear();
    m_drawn.clear();
    bool afterEmpty = false;
    for (const std::unique_ptr<CPlaceLayer>& layer : layers) {
        if (layer->Objects.empty()) {
            afterEmpty = true;
            continue;
        }
        m_drawn.push_back({layer.get(), afterEmpty});
        afterEmpty = false;
        for (const std::unique_ptr<CPlaceObject>& object : layer->Objects)
            if (object->Type == PLACE_PARTICLES) m_particles.push_back(static_cast<CPlaceVexaObject*>(object.get()));
    }
    m_endsEmpty = afterEmpty;
    m_built = true;
}

void CPlaceFrameWalk::Invalidate() {
    m_particles.clear();
    m_drawn.clear();
    m_endsEmpty = false;
    m_built = false;
}

void CPlaceFrameWalk::UpdateParticles(const CLayers& layers, double time, double step) {
    if (!m_built) Build(layers);
    for (CPlaceVexaObject* object : m_particles) object->UpdateEmitter(time, step);
}

void CPlaceFrameWalk::Draw(const CLayers& layers, float x, float y, float opacity) {
    if (!m_built) Build(layers);
    // An empty layer's Draw only flushes a queue that holds items, and a
    // flush always leaves it empty: one flush stands for a run of them.
    const SpriteFlushParams params;
    for (const CDrawnLayer& drawn : m_drawn) {
        if (drawn.afterEmpty) FlushSpriteQueue(params);
        drawn.layer->Draw(x, y, opacity);
    }
    if (m_endsEmpty) FlushSpriteQueue(params);
}

} // namespace Engine::Graphics::PlaceFile
