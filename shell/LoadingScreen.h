#pragma once
// The loading screen: a progress bar across the lower part of the back
// buffer, drawn straight through the driver so that it needs no loaded data.

#include "app/Referenced.h"
#include "graphics/DeviceObject.h"

namespace Engine::Graphics {
class CGraphics;
}

namespace Engine {

class CLoadingScreen {
public:
    // Draws the bar for current of total items; nothing when total is 0.
    void Draw(Graphics::CGraphics& graphics, int current, int total);
    // Gives the vertex buffer back; call it before the driver goes.
    void Release() { m_vertices.Release(); }

    // Where the bar lies in the 800 x 600 back buffer.
    static constexpr float kLeft = 200.0f, kTop = 440.0f, kRight = 600.0f, kBottom = 460.0f;
    static constexpr float kBorder = 2.0f;

private:
    ref_ptr<Graphics::CVertexBuffer> m_vertices;
};

} // namespace Engine
