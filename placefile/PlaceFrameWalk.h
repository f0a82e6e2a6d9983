#pragma once
// What a frame of a place file visits, listed once from its layers: the
// top-level particle objects that Update drives and the layers that hold
// objects that can draw, for Draw. A frame then costs what it drives and
// draws, never the number of layers. Whoever replaces the layers or their
// objects drops the lists; the next frame lists them again.

#include <memory>
#include <vector>

namespace Engine::Graphics::PlaceFile {

class CPlaceLayer;
class CPlaceVexaObject;

class CPlaceFrameWalk {
public:
    using CLayers = std::vector<std::unique_ptr<CPlaceLayer>>;

    void Build(const CLayers& layers);
    void Invalidate();

    // Steps every top-level particle object, layers and objects in order;
    // particle objects inside groups are not driven.
    void UpdateParticles(const CLayers& layers, double time, double step);
    // Draws every layer in order, as each layer's own Draw would.
    void Draw(const CLayers& layers, float x, float y, float opacity);

private:
    // Layers left out before a drawn layer or the end. An empty layer
    // flushes a queue that holds items; one whose objects draw nothing does
    // too, unless a quit has stopped the frame. A flush empties the queue,
    // so one stands for the run.
    enum ESkipped : uint8_t { SKIPPED_NONE, SKIPPED_FLUSH, SKIPPED_FLUSH_UNLESS_STOPPED };
    struct CDrawnLayer {
        CPlaceLayer* layer;
        ESkipped before;
    };

    static void FlushFor(ESkipped skipped);

    std::vector<CPlaceVexaObject*> m_particles;
    std::vector<CDrawnLayer> m_drawn;
    ESkipped m_skippedAtEnd = SKIPPED_NONE;
    bool m_built = false;
};

} // namespace Engine::Graphics::PlaceFile
