#pragma once
// The Direct3D 8 driver's translation of the interface's numeric codes into
// Direct3D values. "Unchanged" codes outside a table are passed through as
// they are, as the interface's other drivers do.

#include <cstdint>
#include <optional>

#include "graphics/GraphicsTypes.h"
#include "platform/Direct3D8.h"

namespace Engine::Graphics::D3D8 {

// The render state of a gSwitch id; none for ids without one.
std::optional<D3DRENDERSTATETYPE> MapSwitch(int id);
// 0 for codes without a factor.
DWORD MapBlendSource(int code);
DWORD MapBlendDestination(int code);
// Compare codes outside the table are passed unchanged.
DWORD ConvertCompareFunc(int code);
// The engine's stencil operations; other codes are passed unchanged.
DWORD MapStencilOp(uint32_t code);
DWORD MapCullMode(int code);
DWORD MapTextureAddress(int code);
DWORD MapMinMagFilter(int code);
DWORD MapMipFilter(int code);
// Texture-combine operation and source; none for codes outside the tables.
std::optional<DWORD> MapCombineOperation(int operation);
std::optional<DWORD> MapCombineSource(int source);

// A channel already scaled to 0..255, truncated; out of range (NaN too) clamped.
uint32_t ClampedByte(float scaled);
// Colour channels 0..1 as one byte: x 255.5 truncated, clamped.
uint32_t ChannelByte(float value);
// Texture-factor channels: 255 at 1 or more, 0 at 0 or less, else rounded.
uint32_t FactorByte(float value);

// The packed texture factor of a combine constant: (R, G, B, 1) for the
// colour channel, (0, 0, 0, first component) for alpha.
uint32_t TextureFactor(bool colourChannel, const float* constant);
D3DCOLORVALUE ColourValue(const float* rgba);
// Maps generated coordinates from -1..1 into 0..1, y flipped.
D3DMATRIX TexGenMatrix();

// An engine 3 x 4 matrix as a Direct3D row-vector matrix.
D3DMATRIX ToD3DMatrix(const float* matrix34);
D3DMATRIX PerspectiveMatrix(float width, float height, float zNear, float zFar);
D3DMATRIX OrthoMatrix(float width, float height, float zNear, float zFar);
D3DMATRIX Ortho2DMatrix(float width, float height, float zNear, float zFar);
// How many texture coordinates an engine texture matrix transforms.
DWORD TextureTransformCount(const float* matrix34);

} // namespace Engine::Graphics::D3D8
