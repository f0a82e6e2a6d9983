#pragma once
// What a frame of a place file visits, listed once from its layers: the
// top-level particle objects that Update drives and the layers that hold
// objects, for Draw. A frame then costs what it drives and draws, never the
// number of empty layers. Whoever replaces the layers or their objects
// drops the lists; the next frame lists them again.

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
    struct CDrawnLayer {
        CPlaceLayer* layer;
        // Empty layers come before it: the first of them would flush the
        // queue when it holds items.
        bool afterEmpty;
    };

    std::vector<CPlaceVexaObject*> m_particles;
    std::vector<CDrawnLayer> m_drawn;
    bool m_endsEmpty = false;
    bool m_built = false;
};

} // namespace Engine::Graphics::PlaceFile
