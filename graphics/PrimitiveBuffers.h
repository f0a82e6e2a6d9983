#pragma once
// Process-wide buffers for batched lines and filled shapes made of coloured
// points, filled and drawn by code outside the graphics library (the list
// controls batch their lines here). Made through the current driver right
// after the graphics window, freed before the driver goes.

#include <cstdint>

#include "app/Referenced.h"
#include "graphics/DeviceObject.h"

namespace Engine::Graphics {

// One point of the scratch array.
struct CScratchPoint {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    uint32_t color = 0;
};

constexpr int32_t PRIMITIVE_BUFFER_POINTS = 1024;
constexpr int32_t PRIMITIVE_VERTEX_SIZE = 20;
// Position with reciprocal w and colour; and position with colour in the
// first 16 of the 20 bytes.
constexpr uint32_t VF_TRANSFORMED_POINT = VF_XYZ | VF_RHW | VF_DIFFUSE;
constexpr uint32_t VF_UNTRANSFORMED_POINT = VF_XYZ | VF_DIFFUSE;

// True when the transformed-point buffer was made; only then does the
// scratch array exist.
bool InitPrimitiveBuffers();
// Harmless when nothing is left.
void DonePrimitiveBuffers();

ref_ptr<CVertexBuffer> GetTransformedPointBuffer();
ref_ptr<CVertexBuffer> GetUntransformedPointBuffer();
// Null without buffers.
CScratchPoint* GetScratchPoints();
// PRIMITIVE_BUFFER_POINTS while the scratch array exists, else 0.
int32_t GetPointCapacity();

} // namespace Engine::Graphics
