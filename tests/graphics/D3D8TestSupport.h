#pragma once
// A created Direct3D 8 driver on a headless window, drawn with the OpenGL
// tests' quads placed as the sprite queue places them (moved by the
// driver's buffer offset), and the back buffer read as they read pixels.

#include "OpenGLTestSupport.h"
#include "app/DirectXDrivers.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "platform/Direct3D8.h"

namespace D3D8Test {

using namespace OpenGLTest;

// Vertex colours of this driver: A, R, G, B from the high byte.
constexpr uint32_t ARGB(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) { return a << 24 | r << 16 | g << 8 | b; }

class D3D8Fixture : public HeadlessDriverFixture {
protected:
    void TearDown() override {
        ReleaseDriver();
        HeadlessDriverFixture::TearDown();
    }

    bool CreateDriver(CGraphicsParams params = WindowedParams()) {
        ReleaseDriver();
        driver = std::make_unique<CGraphics_D3D8>(&cell);
        libraryLoaded = driver->LoadDriverLibrary();
        return driver->Create("test", &params);
    }
    void ReleaseDriver() {
        if (!driver) return;
        driver->Destroy();
        if (libraryLoaded) driver->FreeDriverLibrary();
        libraryLoaded = false;
        driver.reset();
    }
    void CreateReadyDriver() {
        ASSERT_TRUE(CreateDriver());
        SetDefaultRenderStates(*driver);
    }
    ref_ptr<CTexture> MakeTexture(ref_ptr<CBitmap> bitmap, bool freePixels = false) {
        return MakeDriverTexture(*driver, std::move(bitmap), freePixels);
    }
    void Clear(float r, float g, float b) { ClearDriver(*driver, r, g, b); }
    // Quads moved by the buffer offset, as the sprite queue moves them.
    void DrawSprites(std::vector<CQuad> quads) {
        float dx = 0, dy = 0;
        driver->GetBufferOffset(&dx, &dy);
        for (CQuad& quad : quads)
            for (int k = 0; k < 4; ++k) quad.x[k] += dx, quad.y[k] += dy;
        DrawQuads(*driver, quads);
    }
    // As the OpenGL tests read pixels: an opaque RGBA word.
    static uint32_t Pixel(int x, int y) {
        const DWORD pixel = Platform::Testing::ReadD3D8BackBuffer(x, y);
        return RGBA(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
    }
    struct CPixelAt {
        int x, y;
        uint32_t colour;
    };
    static void ExpectPixels(std::initializer_list<CPixelAt> expected) {
        for (const CPixelAt& p : expected) EXPECT_EQ(Pixel(p.x, p.y), p.colour) << "at " << p.x << "," << p.y;
    }
    DWORD RenderState(D3DRENDERSTATETYPE state) const {
        DWORD value = 0;
        driver->GetDevice()->GetRenderState(state, &value);
        return value;
    }

    std::unique_ptr<CGraphics_D3D8> driver;
    bool libraryLoaded = false;
};

} // namespace D3D8Test
