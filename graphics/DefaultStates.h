#pragma once
// The render states every frame starts from. The frame loop sets them after
// gBeginScene and before the application draws, so each frame begins the
// same whatever the previous one left behind.

namespace Engine::Graphics {

class CGraphics;

// A screen-space projection over the back buffer (x right, y down, z from
// -1 to 1, so sprite vertices at z 0 are inside), identity world and view
// matrices, alpha blending on with source alpha and one minus source alpha,
// no depth test or depth writes, no lighting and no culling. Drivers that
// take pre-transformed vertices as they are (Direct3D, software) are not
// changed by the matrices; the OpenGL driver needs them to place sprites.
void SetDefaultRenderStates(CGraphics& graphics);

} // namespace Engine::Graphics
