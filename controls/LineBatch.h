#pragma once
// Lines batched as segments and drawn as one line list, clipped to the
// drawing context's clip: the state behind a list item's line operations,
// made for one draw (the list draws its expand boxes with it).

#include <cstdint>
#include <vector>

#include "graphics/PrimitiveBuffers.h"

namespace Engine::Controls {

class CRenderContext;

class CLineBatch {
public:
    enum Mode : int { MODE_NONE = 0, MODE_STRIP = 1, MODE_LOOP = 2, MODE_LINES = 3 };
    static constexpr uint32_t kColor = 0xFF000000;

    // Vertices are relative to the context's origin at construction. While
    // it lives it is the current batch, the one the list items' line
    // operations use; the one it replaced comes back when it goes.
    explicit CLineBatch(CRenderContext& context);
    // Draws what is left.
    ~CLineBatch();
    CLineBatch(const CLineBatch&) = delete;
    CLineBatch& operator=(const CLineBatch&) = delete;

    // Drawing runs on one thread, so one current batch serves.
    static CLineBatch* GetCurrent();

    // The primitive the next vertices make; End sets it back to none.
    void SetMode(Mode mode) { m_mode = mode; }
    // A strip joins each vertex to the one before; a loop also closes at
    // End; separate lines pair the vertices.
    void Vertex(float x, float y, float z);
    void End();
    // Clips the segments and draws them; the batch is then empty.
    void Flush();
    // Points of the pending segments, two per segment.
    const std::vector<Graphics::CScratchPoint>& GetPending() const { return m_points; }

private:
    void Emit(const Graphics::CScratchPoint& to);

    CRenderContext& m_context;
    CLineBatch* m_pReplaced;
    float m_originX, m_originY;
    std::vector<Graphics::CScratchPoint> m_points;
    Mode m_mode = MODE_NONE;
    int m_index = 0;
    Graphics::CScratchPoint m_first, m_last;
};

} // namespace Engine::Controls
