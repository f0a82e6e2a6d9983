#pragma once
// Lines batched as segments and drawn as one line list, clipped to the
// drawing context's clip: the list draws its expand boxes with it.

#include <cstdint>
#include <vector>

#include "graphics/PrimitiveBuffers.h"

namespace Engine::Controls {

class CRenderContext;

class CLineBatch {
public:
    enum Mode : int { MODE_NONE = 0, MODE_STRIP = 1, MODE_LOOP = 2, MODE_LINES = 3 };
    static constexpr uint32_t kColor = 0xFF000000;

    // Vertices are relative to the context's origin at construction.
    explicit CLineBatch(CRenderContext& context);
    // Draws what is left.
    ~CLineBatch();
    CLineBatch(const CLineBatch&) = delete;
    CLineBatch& operator=(const CLineBatch&) = delete;

    void Begin(Mode mode);
    // A strip joins each vertex to the one before; a loop also closes at
    // End; separate lines pair the vertices.
    void Vertex(float x, float y, float z = 0.0f);
    void End();
    // Clips the segments and draws them; the batch is then empty.
    void Flush();
    // Points of the pending segments, two per segment.
    const std::vector<Graphics::CScratchPoint>& GetPending() const { return m_points; }

private:
    void Emit(const Graphics::CScratchPoint& to);

    CRenderContext& m_context;
    float m_originX, m_originY;
    std::vector<Graphics::CScratchPoint> m_points;
    Mode m_mode = MODE_NONE;
    int m_index = 0;
    Graphics::CScratchPoint m_first, m_last;
};

} // namespace Engine::Controls
