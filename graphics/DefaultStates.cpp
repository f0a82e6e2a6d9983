#include "graphics/DefaultStates.h"

#include "app/Math.h"
#include "graphics/Graphics.h"

namespace Engine::Graphics {

void SetDefaultRenderStates(CGraphics& graphics) {
    const CGraphicsParams& params = graphics.GetParams();
    graphics.SetOrtho2D(float(params.width), float(params.height), -1.0f, 1.0f);
    const Engine::Geometry::CMatrix34 identity = Engine::Geometry::CMatrix34::Identity();
    graphics.SetViewMatrix(identity.data());
    graphics.SetWorldMatrix(identity.data());
    graphics.gSwitch(SWITCH_LIGHTING, false);
    graphics.gSwitch(SWITCH_DEPTH_TEST, false);
    graphics.gSwitch(SWITCH_DEPTH_WRITE, false);
    graphics.gSwitch(SWITCH_ALPHA_BLEND, true);
    graphics.gSetBlendFunc(BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA);
    graphics.gSetCullMode(CULL_NONE);
}

} // namespace Engine::Graphics
