#include "placefile/PlaceFrameWalk.h"

#include "placefile/PlaceLayer.h"
#include "placefile/PlaceVexaObject.h"

namespace Engine::Graphics::PlaceFile {

void CPlaceFrameWalk::Build(const CLayers& layers) {
    m_particles.clear();
    m_drawn.clear();
    ESkipped skipped = SKIPPED_NONE;
    for (const std::unique_ptr<CPlaceLayer>& layer : layers) {
        if (layer->Objects.empty()) {
            skipped = SKIPPED_FLUSH;
            continue;
        }
        if (layer->DrawsNothing()) {
            if (skipped == SKIPPED_NONE) skipped = SKIPPED_FLUSH_UNLESS_STOPPED;
            continue;
        }
        m_drawn.push_back({layer.get(), skipped});
        skipped = SKIPPED_NONE;
        for (const std::unique_ptr<CPlaceObject>& object : layer->Objects)
            if (object->Type == PLACE_PARTICLES) m_particles.push_back(static_cast<CPlaceVexaObject*>(object.get()));
    }
    m_skippedAtEnd = skipped;
    m_built = true;
}

void CPlaceFrameWalk::Invalidate() {
    m_particles.clear();
    m_drawn.clear();
    m_skippedAtEnd = SKIPPED_NONE;
    m_built = false;
}

void CPlaceFrameWalk::UpdateParticles(const CLayers& layers, double time, double step) {
    if (!m_built) Build(layers);
    for (CPlaceVexaObject* object : m_particles) object->UpdateEmitter(time, step);
}

void CPlaceFrameWalk::Draw(const CLayers& layers, float x, float y, float opacity) {
    if (!m_built) Build(layers);
    for (const CDrawnLayer& drawn : m_drawn) {
        FlushFor(drawn.before);
        drawn.layer->Draw(x, y, opacity);
    }
    FlushFor(m_skippedAtEnd);
}

void CPlaceFrameWalk::FlushFor(ESkipped skipped) {
    if (skipped == SKIPPED_FLUSH || (skipped == SKIPPED_FLUSH_UNLESS_STOPPED && !CSpriteQueue::IsFrameStopped()))
        FlushSpriteQueue(SpriteFlushParams{});
}

} // namespace Engine::Graphics::PlaceFile
