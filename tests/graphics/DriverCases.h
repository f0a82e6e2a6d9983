#pragma once
// The four drivers as test parameters: how to make each and read what it
// has drawn.

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "OpenGLTestSupport.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "platform/Direct3D8.h"
#include "platform/DirectDraw7.h"

namespace OpenGLTest {

// An opaque RGBA word at (x, y) of what the driver has drawn so far.
using PixelReader = uint32_t (*)(const CGraphics&, int, int);

struct CDriverCase {
    const char* name;
    std::function<std::unique_ptr<CGraphics>(Engine::CApplication**)> make;
    PixelReader pixel;
};

inline void PrintTo(const CDriverCase& c, std::ostream* out) { *out << c.name; }

template <class TDriver>
std::unique_ptr<CGraphics> Make(Engine::CApplication** application) {
    return std::make_unique<TDriver>(application);
}

inline uint32_t SoftwarePixel(const CGraphics& driver, int x, int y) {
    const CRasterTarget back = static_cast<const CGraphics_SFTW&>(driver).GetBackBuffer();
    const uint32_t pixel = back.pixels[size_t(y) * size_t(back.pitch / 4) + size_t(x)];
    return RGBA(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
}

inline std::vector<CDriverCase> DriverCases() {
    return {{"OpenGL", Make<CGraphics_OGL>, GlPixel},
            {"D3D8", Make<CGraphics_D3D8>, XrgbPixel<Platform::Testing::ReadD3D8BackBuffer>},
            {"D3D7", Make<CGraphics_D3D7>, XrgbPixel<Platform::Testing::ReadDD7RenderTarget>},
            {"SFTW", Make<CGraphics_SFTW>, SoftwarePixel}};
}

} // namespace OpenGLTest
