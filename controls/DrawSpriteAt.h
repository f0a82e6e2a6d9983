#pragma once
// Draws a control's description so that its placed top-left corner lands at
// (x, y) of the drawing context, at the given opacity factor.

#include "controls/ControlDescription.h"

namespace Engine::Controls {

class CRenderContext;

void DrawSpriteAt(const CControlDescription& description, CRenderContext& context, float x, float y, float factor);

} // namespace Engine::Controls
