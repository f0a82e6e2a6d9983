#pragma once
// A created OpenGL driver on a headless window, quads drawn the way the
// sprite queue draws them (pre-transformed sprite vertices, quad lists), and
// pixels read back with (0, 0) at the top left of the window.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/TestFiles.h"
#include "graphics/Bitmap.h"
#include "graphics/DefaultStates.h"
#include "graphics/Texture.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "platform/Testing.h"
#include "platform/Window.h"

namespace OpenGLTest {

using namespace Engine::Graphics;
using Engine::ref_ptr;

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// Packed as the driver takes vertex colours: R, G, B, A bytes in memory.
constexpr uint32_t RGBA(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) {
    return r | g << 8 | b << 16 | a << 24;
}
// Vertex colours of the Direct3D and software drivers: A, R, G, B from the high byte.
constexpr uint32_t ARGB(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) { return a << 24 | r << 16 | g << 8 | b; }
constexpr uint32_t kRed = RGBA(255, 0, 0), kGreen = RGBA(0, 255, 0), kBlue = RGBA(0, 0, 255);
constexpr uint32_t kWhite = RGBA(255, 255, 255), kBlack = RGBA(0, 0, 0);

class CRecordingApp : public Engine::CApplication {
public:
    // Counts calls that find the window made and the device not yet ready.
    void OnGraphicsWindowCreated() override { windowCreated += IsWindow(m_hWnd) && created == 0; }
    void OnGraphicsCreate() override { ++created; }
    void OnGraphicsDestroy() override { ++destroyed; }
    void OnGraphicsRestored() override {
        ++restored;
        if (onRestored) onRestored();
    }
    int windowCreated = 0, created = 0, destroyed = 0, restored = 0;
    std::function<void()> onRestored;
};

inline CGraphicsParams WindowedParams(int width = kWidth, int height = kHeight) {
    CGraphicsParams params;
    ResetGraphicsParams(params);
    params.width = width;
    params.height = height;
    params.colorBits = 24;
    params.alphaBits = 8;
    return params;
}

// Four corners in vertex order (top-left, top-right, bottom-right,
// bottom-left) with their texture coordinates.
struct CQuad {
    float x[4], y[4];
    float u[4] = {0, 1, 1, 0}, v[4] = {0, 0, 1, 1};
    uint32_t color = kWhite;
};

inline CQuad Rect(float left, float top, float right, float bottom, uint32_t color = kWhite) {
    CQuad quad{{left, right, right, left}, {top, top, bottom, bottom}};
    quad.color = color;
    return quad;
}

inline ref_ptr<CVertexBuffer> QuadBuffer(CGraphics& driver, const std::vector<CQuad>& quads) {
    ref_ptr<CVertexBuffer> buffer;
    driver.CreateVertexBuffer(buffer, int(quads.size() * 4), int(sizeof(SpriteVertex)), VF_SPRITE, true);
    auto* vertex = static_cast<SpriteVertex*>(buffer->Lock());
    for (const CQuad& quad : quads)
        for (int k = 0; k < 4; ++k) *vertex++ = SpriteVertex{quad.x[k], quad.y[k], 0, 1, quad.color, quad.u[k], quad.v[k]};
    buffer->Unlock();
    return buffer;
}

inline void DrawQuads(CGraphics& driver, const std::vector<CQuad>& quads) {
    driver.gDraw(PRIM_QUAD_LIST, QuadBuffer(driver, quads), 0, int(quads.size()), nullptr);
}

inline ref_ptr<CBitmap> MakeBitmap(int width, int height, const std::function<uint32_t(int, int)>& pixel) {
    ref_ptr<CBitmap> bitmap(new CBitmap);
    bitmap->Create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap->GetPixels()[y * width + x] = pixel(x, y);
    return bitmap;
}

// Quadrants: red top left, green top right, blue bottom left, white bottom
// right.
inline ref_ptr<CBitmap> QuadrantBitmap(int size) {
    return MakeBitmap(size, size, [size](int x, int y) {
        const bool right = x >= size / 2, bottom = y >= size / 2;
        return bottom ? (right ? kWhite : kBlue) : (right ? kGreen : kRed);
    });
}

// A texture of the bitmap on the driver, as the texture manager makes them.
inline ref_ptr<CTexture> MakeDriverTexture(CGraphics& driver, ref_ptr<CBitmap> bitmap, bool freePixels = false) {
    ref_ptr<CHardwareTexture> hardware;
    driver.CreateHardwareTexture(hardware, std::move(bitmap), false, freePixels, -1);
    return ref_ptr<CTexture>(new CTexture(nullptr, hardware));
}

inline void ClearDriver(CGraphics& driver, float r, float g, float b) {
    driver.m_clearColor[0] = r;
    driver.m_clearColor[1] = g;
    driver.m_clearColor[2] = b;
    driver.gClear(CLEAR_COLOR);
}

// Rotation through the vertex positions and mirroring through swapped
// texture coordinates, seen at the four quadrants of a 16 x 16 sprite at
// (40, 40): the pictures every driver must draw alike.
struct COrientationCase {
    const char* name;
    std::function<void(CQuad&)> change;
    uint32_t topLeft, topRight, bottomLeft, bottomRight;
};

inline void Rotate(CQuad& quad, float angle) {
    const float cx = 48, cy = 48, s = std::sin(angle), c = std::cos(angle);
    for (int k = 0; k < 4; ++k) {
        const float dx = quad.x[k] - cx, dy = quad.y[k] - cy;
        quad.x[k] = cx + c * dx - s * dy;
        quad.y[k] = cy + s * dx + c * dy;
    }
}

inline std::vector<COrientationCase> OrientationCases() {
    return {COrientationCase{"Upright", [](CQuad&) {}, kRed, kGreen, kBlue, kWhite},
            COrientationCase{"MirroredU", [](CQuad& q) { std::swap(q.u[0], q.u[1]), std::swap(q.u[2], q.u[3]); },
                             kGreen, kRed, kWhite, kBlue},
            COrientationCase{"MirroredV", [](CQuad& q) { std::swap(q.v[0], q.v[3]), std::swap(q.v[1], q.v[2]); },
                             kBlue, kWhite, kRed, kGreen},
            COrientationCase{"Rotated90", [](CQuad& q) { Rotate(q, 1.5707964f); }, kBlue, kRed, kWhite, kGreen},
            COrientationCase{"Rotated180", [](CQuad& q) { Rotate(q, 3.1415927f); }, kWhite, kBlue, kGreen, kRed}};
}

// A half-transparent red texel over a blue background.
struct CBlendCase {
    const char* name;
    bool blending;
    int source, destination;
    uint32_t expected;
};

inline std::vector<CBlendCase> BlendCases() {
    return {CBlendCase{"SourceAlpha", true, BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA, RGBA(128, 0, 127)},
            CBlendCase{"Additive", true, BLEND_ONE, BLEND_ONE, RGBA(255, 0, 255)},
            CBlendCase{"AlphaAdditive", true, BLEND_SRC_ALPHA, BLEND_ONE, RGBA(128, 0, 255)},
            CBlendCase{"Off", false, BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA, kRed}};
}

// Quads moved by the driver's buffer offset, as the sprite queue moves them.
inline std::vector<CQuad> Placed(CGraphics& driver, std::vector<CQuad> quads) {
    float dx = 0, dy = 0;
    driver.GetBufferOffset(&dx, &dy);
    for (CQuad& quad : quads)
        for (int k = 0; k < 4; ++k) quad.x[k] += dx, quad.y[k] += dy;
    return quads;
}

struct CPixelAt {
    int x, y;
    uint32_t colour;
};

// Test names of parameterised cases.
constexpr auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

// A clean platform with a 640 x 480 32-bit desktop, the log captured and an
// application that counts the drivers' notifications.
class HeadlessDriverFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::Testing::Reset();
        const Platform::Testing::CDisplayMode desktop{640, 480, 60, 32};
        Platform::Testing::SetDisplayModes({desktop}, desktop);
    }
    void TearDown() override { Platform::Testing::Reset(); }

    TestFiles::CLogCapture log;
    CRecordingApp app;
    Engine::CApplication* cell = &app;
};

// The frame buffer at (x, y) from the window's top left, as an opaque RGBA
// word (the window has no alpha).
inline uint32_t GlPixel(const CGraphics& driver, int x, int y) {
    uint32_t pixel = 0;
    glReadPixels(x, driver.GetParams().height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
    return pixel | 0xFF000000u;
}

// A frame read as 0x00RRGGBB, seen as the OpenGL tests see pixels.
template <DWORD (*read)(int, int)>
uint32_t XrgbPixel(const CGraphics&, int x, int y) {
    const DWORD pixel = read(x, y);
    return RGBA(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
}

// A driver made and created with its library, destroyed by the fixture;
// readPixel reads its frame.
template <class TDriver, uint32_t (*readPixel)(const CGraphics&, int, int)>
class CreatedDriverFixture : public HeadlessDriverFixture {
protected:
    void TearDown() override {
        ReleaseDriver();
        HeadlessDriverFixture::TearDown();
    }

    bool CreateDriver(CGraphicsParams params = WindowedParams()) {
        ReleaseDriver();
        driver = std::make_unique<TDriver>(&cell);
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
    // A created driver in the frame loop's starting state.
    void CreateReadyDriver() {
        ASSERT_TRUE(CreateDriver());
        SetDefaultRenderStates(*driver);
    }
    ref_ptr<CTexture> MakeTexture(ref_ptr<CBitmap> bitmap, bool freePixels = false) {
        return MakeDriverTexture(*driver, std::move(bitmap), freePixels);
    }
    void Clear(float r, float g, float b) { ClearDriver(*driver, r, g, b); }
    // Quads moved by the buffer offset, as the sprite queue draws them.
    void DrawSprites(std::vector<CQuad> quads) { DrawQuads(*driver, Placed(*driver, std::move(quads))); }
    uint32_t Pixel(int x, int y) const { return readPixel(*driver, x, y); }
    void ExpectPixels(std::initializer_list<CPixelAt> expected) const {
        for (const CPixelAt& p : expected) EXPECT_EQ(Pixel(p.x, p.y), p.colour) << "at " << p.x << "," << p.y;
    }

    std::unique_ptr<TDriver> driver;
    bool libraryLoaded = false;
};

using OpenGLFixture = CreatedDriverFixture<CGraphics_OGL, GlPixel>;

// Matches colours channel by channel within a tolerance.
MATCHER_P2(NearColor, expected, tolerance, "") {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = int((arg >> shift) & 0xFF), b = int((uint32_t(expected) >> shift) & 0xFF);
        if (std::abs(a - b) > tolerance) return false;
    }
    return true;
}

} // namespace OpenGLTest
