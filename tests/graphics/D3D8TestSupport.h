#pragma once
// A created Direct3D 8 driver on a headless window, its back buffer read as
// the OpenGL tests read pixels.

#include "OpenGLTestSupport.h"
#include "app/DirectXDrivers.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "platform/Direct3D8.h"

namespace D3D8Test {

using namespace OpenGLTest;

class D3D8Fixture : public CreatedDriverFixture<CGraphics_D3D8, XrgbPixel<Platform::Testing::ReadD3D8BackBuffer>> {
protected:
    DWORD RenderState(D3DRENDERSTATETYPE state) const {
        DWORD value = 0;
        driver->GetDevice()->GetRenderState(state, &value);
        return value;
    }
};

} // namespace D3D8Test
