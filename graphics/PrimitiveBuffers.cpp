#include "graphics/PrimitiveBuffers.h"

#include <algorithm>
#include <memory>

#include "app/Exception.h"
#include "app/Log.h"
#include "graphics/Graphics.h"

namespace Engine::Graphics {

namespace {

struct CPrimitiveBuffers {
    ref_ptr<CVertexBuffer> transformed;
    ref_ptr<CVertexBuffer> untransformed;
    std::unique_ptr<CScratchPoint[]> scratch;
    int32_t capacity = 0;
};

CPrimitiveBuffers& Buffers() {
    static CPrimitiveBuffers buffers;
    return buffers;
}

// Restored in the first pass after a device reset, like the sprite buffer.
// A driver that throws instead of giving no buffer gives none all the same.
void Create(CGraphics* driver, ref_ptr<CVertexBuffer>& out, uint32_t format) {
    out = nullptr;
    try {
        if (driver) driver->CreateVertexBuffer(out, PRIMITIVE_BUFFER_POINTS, PRIMITIVE_VERTEX_SIZE, format, true);
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
        out = nullptr;
    }
    if (out) out->SetRestoreFirst(true);
}

// A point of the scratch array as it is made: at the origin.
void InitScratchPoint(CScratchPoint& point) { point.x = point.y = point.z = 0.0f; }

} // namespace

bool InitPrimitiveBuffers() {
    CPrimitiveBuffers& buffers = Buffers();
    CGraphics* driver = GetGraphics();
    Create(driver, buffers.transformed, VF_TRANSFORMED_POINT);
    Create(driver, buffers.untransformed, VF_UNTRANSFORMED_POINT);
    if (!buffers.transformed) {
        buffers.scratch.reset();
        buffers.capacity = 0;
        return false;
    }
    buffers.scratch = std::make_unique<CScratchPoint[]>(size_t(PRIMITIVE_BUFFER_POINTS));
    std::for_each_n(buffers.scratch.get(), PRIMITIVE_BUFFER_POINTS, InitScratchPoint);
    buffers.capacity = PRIMITIVE_BUFFER_POINTS;
    return true;
}

void DonePrimitiveBuffers() {
    CPrimitiveBuffers& buffers = Buffers();
    buffers.scratch.reset();
    buffers.transformed = nullptr;
    buffers.untransformed = nullptr;
    buffers.capacity = 0;
}

ref_ptr<CVertexBuffer> GetTransformedPointBuffer() { return Buffers().transformed; }
ref_ptr<CVertexBuffer> GetUntransformedPointBuffer() { return Buffers().untransformed; }
CScratchPoint* GetScratchPoints() { return Buffers().scratch.get(); }
int32_t GetPointCapacity() { return Buffers().capacity; }

} // namespace Engine::Graphics
