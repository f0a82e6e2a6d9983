// The software driver's pictures, read back from the headless window after
// each flip.

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>
#include <vector>

#include "OpenGLTestSupport.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "platform/Messages.h"
#include "platform/Window.h"

using namespace OpenGLTest;

namespace {

// The window's picture: 0x00RRGGBB.
constexpr uint32_t Shown(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }

class SoftwareDriverTest : public HeadlessDriverFixture {
protected:
    void SetUp() override {
        HeadlessDriverFixture::SetUp();
        const Platform::Testing::CDisplayMode desktop{640, 480, 60, 32};
        Platform::Testing::SetDisplayModes({desktop, {320, 240, 60, 32}}, desktop);
        driver = std::make_unique<CGraphics_SFTW>(&cell);
        CGraphicsParams params = WindowedParams();
        ASSERT_TRUE(driver->Create("test", &params));
        Clear(0, 0, 0);
    }
    void TearDown() override {
        driver.reset();
        HeadlessDriverFixture::TearDown();
    }

    void Clear(float r, float g, float b) { ClearDriver(*driver, r, g, b); }
    ref_ptr<CTexture> Bind(ref_ptr<CBitmap> bitmap) {
        ref_ptr<CTexture> texture = MakeDriverTexture(*driver, std::move(bitmap));
        driver->gSetTextureStage(0, texture);
        return texture;
    }
    void Blend(bool on, int source = BLEND_SRC_ALPHA, int destination = BLEND_INV_SRC_ALPHA) {
        driver->gSwitch(SWITCH_ALPHA_BLEND, on);
        driver->gSetBlendFunc(source, destination);
    }
    // Ends the frame, presents it and reads the window back.
    void Present() {
        driver->gEndScene();
        driver->gFlipBuffers();
        ReadBack();
    }
    void ReadBack() {
        int width = 0, height = 0;
        ASSERT_TRUE(Platform::Testing::ReadWindowPicture(driver->GetWindow(), picture, width, height));
        ASSERT_EQ(width, driver->GetParams().width);
    }
    uint32_t At(int x, int y) const { return picture[size_t(y) * size_t(driver->GetParams().width) + size_t(x)]; }
    void ExpectPicture(std::initializer_list<std::tuple<int, int, uint32_t>> expected) const {
        for (auto [x, y, colour] : expected) EXPECT_EQ(At(x, y), colour) << std::hex << "at " << std::dec << x << "," << y;
    }

    std::unique_ptr<CGraphics_SFTW> driver;
    std::vector<uint32_t> picture;
};

constexpr uint32_t kShownRed = Shown(255, 0, 0), kShownGreen = Shown(0, 255, 0), kShownBlue = Shown(0, 0, 255);
constexpr uint32_t kShownWhite = Shown(255, 255, 255);

TEST_F(SoftwareDriverTest, ClearFillsThePresentedPicture) {
    Clear(0.2f, 0.4f, 0.6f);
    Present();
    ExpectPicture({{0, 0, Shown(51, 102, 153)}, {kWidth - 1, kHeight - 1, Shown(51, 102, 153)}});
    EXPECT_EQ(driver->GetPresentedRects(), (std::vector<CGraphics_SFTW::CRect>{{0, kWidth, 0, kHeight}}));
}

TEST_F(SoftwareDriverTest, TexturedSpritesLandExactlyOnTheirRectangles) {
    const ref_ptr<CTexture> texture = Bind(QuadrantBitmap(4));
    CQuad stretched = Rect(10, 20, 26, 36, 0xFFFFFFFF);
    CQuad copied = Rect(60, 50, 62, 52, 0xFFFFFFFF);
    copied.u[1] = copied.u[2] = 0.5f;
    copied.v[2] = copied.v[3] = 0.5f;
    DrawQuads(*driver, {stretched, copied});
    Present();
    ExpectPicture({{10, 20, kShownRed}, {25, 20, kShownGreen}, {10, 35, kShownBlue}, {25, 35, kShownWhite},
                   {9, 20, 0}, {26, 20, 0}, {10, 19, 0}, {10, 36, 0},
                   {60, 50, kShownRed}, {61, 51, kShownRed}, {62, 50, 0}, {60, 52, 0}});
}

TEST_F(SoftwareDriverTest, RotatedSpriteIsDrawnAsTriangles) {
    const ref_ptr<CTexture> texture = Bind(QuadrantBitmap(4));
    // A quarter turn clockwise: the texture's top edge runs down the right.
    CQuad turned{{42, 42, 10, 10}, {10, 42, 42, 10}};
    turned.color = 0xFFFFFFFF;
    DrawQuads(*driver, {turned});
    Present();
    ExpectPicture({{36, 14, kShownRed}, {36, 36, kShownGreen}, {14, 14, kShownBlue}, {14, 36, kShownWhite}, {50, 14, 0}});
}

TEST_F(SoftwareDriverTest, MirroredSpriteIsDrawnMirrored) {
    const ref_ptr<CTexture> texture = Bind(QuadrantBitmap(4));
    CQuad mirrored = Rect(10, 10, 42, 42, 0xFFFFFFFF);
    for (float& u : mirrored.u) u = 1 - u;
    DrawQuads(*driver, {mirrored});
    Present();
    ExpectPicture({{14, 14, kShownGreen}, {36, 14, kShownRed}, {14, 36, kShownWhite}, {36, 36, kShownBlue}});
}

TEST_F(SoftwareDriverTest, SlantedUntexturedQuadEndsTheCall) {
    CQuad slanted{{10, 30, 30, 12}, {10, 10, 30, 30}};
    DrawQuads(*driver, {Rect(50, 50, 60, 60, ARGB(0, 255, 0)), slanted, Rect(70, 50, 80, 60, ARGB(0, 255, 0))});
    Present();
    ExpectPicture({{55, 55, kShownGreen}, {20, 20, 0}, {75, 55, 0}});
}

// An untextured quad on the axes is a rectangle even when empty or
// reversed: it fills nothing, and the quads after it are still drawn.
struct CEmptyRectCase {
    const char* name;
    CQuad middle;
};

void PrintTo(const CEmptyRectCase& c, std::ostream* out) { *out << c.name; }

class SoftwareEmptyRectTest : public SoftwareDriverTest, public ::testing::WithParamInterface<CEmptyRectCase> {};

TEST_P(SoftwareEmptyRectTest, FillsNothingAndTheCallGoesOn) {
    DrawQuads(*driver, {Rect(50, 50, 60, 60, ARGB(0, 255, 0)), GetParam().middle, Rect(70, 50, 80, 60, ARGB(0, 0, 255))});
    Present();
    ExpectPicture({{55, 55, kShownGreen}, {15, 20, 0}, {25, 20, 0}, {75, 55, kShownBlue}});
}

INSTANTIATE_TEST_SUITE_P(Cases, SoftwareEmptyRectTest,
                         ::testing::Values(CEmptyRectCase{"ZeroWidth", Rect(20, 10, 20, 30, ARGB(255, 0, 0))},
                                           CEmptyRectCase{"ReversedX", Rect(30, 10, 10, 30, ARGB(255, 0, 0))},
                                           CEmptyRectCase{"ReversedY", Rect(10, 30, 30, 10, ARGB(255, 0, 0))}),
                         kCaseName);

TEST_F(SoftwareDriverTest, TextureWithoutPixelsFollowsTheUntexturedRules) {
    const ref_ptr<CBitmap> bitmap = QuadrantBitmap(2);
    bitmap->FreePixels();
    Bind(bitmap);
    CQuad slanted{{10, 30, 30, 12}, {10, 10, 30, 30}};
    DrawQuads(*driver, {Rect(50, 50, 60, 60, ARGB(0, 255, 0)), slanted, Rect(70, 50, 80, 60, ARGB(0, 255, 0))});
    Present();
    ExpectPicture({{55, 55, kShownGreen}, {20, 20, 0}, {75, 55, 0}});
}

// Vertices shorter than the fields their format names are not read.
TEST_F(SoftwareDriverTest, VertexSizeBelowTheFormatDrawsNothing) {
    struct CCase {
        uint32_t format;
        int vertexSize;
        bool drawn;
    };
    const CCase cases[] = {{VF_XYZ | VF_RHW | VF_DIFFUSE, 20, true},
                           {VF_XYZ | VF_RHW | VF_DIFFUSE, 19, false},
                           {VF_XYZ | VF_RHW | VF_DIFFUSE | VF_TEX0, 27, false},
                           {VF_XYZ | VF_RHW | VF_DIFFUSE | VF_TEX0, 28, true}};
    for (const CCase& c : cases) {
        Clear(0, 0, 0);
        ref_ptr<CVertexBuffer> buffer;
        driver->CreateVertexBuffer(buffer, 4, c.vertexSize, c.format, true);
        auto* bytes = static_cast<uint8_t*>(buffer->Lock());
        const float corners[4][2] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
        const uint32_t green = ARGB(0, 255, 0);
        for (int k = 0; k < 4; ++k) {
            uint8_t* vertex = bytes + size_t(k * c.vertexSize);
            std::memset(vertex, 0, size_t(c.vertexSize));
            std::memcpy(vertex, corners[k], 8);
            std::memcpy(vertex + 16, &green, std::min<size_t>(4, size_t(c.vertexSize) - 16));
        }
        buffer->Unlock();
        driver->gDraw(PRIM_QUAD_LIST, buffer, 0, 1, nullptr);
        Present();
        EXPECT_EQ(At(15, 15), c.drawn ? kShownGreen : 0) << "size " << c.vertexSize;
    }
}

TEST_F(SoftwareDriverTest, DrawStartsAtTheFirstPrimitive) {
    const ref_ptr<CVertexBuffer> buffer =
        QuadBuffer(*driver, {Rect(0, 0, 10, 10, ARGB(255, 0, 0)), Rect(20, 0, 30, 10, ARGB(0, 0, 255))});
    driver->gDraw(PRIM_QUAD_LIST, buffer, 1, 5, nullptr);
    Present();
    ExpectPicture({{5, 5, 0}, {25, 5, kShownBlue}});
}

struct CBlendCase {
    int source, destination;
    uint32_t r, g;  // the red and green bytes shown over grey 100 (alpha 128 red sprite)
};

class SoftwareBlendTest : public SoftwareDriverTest, public ::testing::WithParamInterface<CBlendCase> {};

// A half-transparent red texel (200, 40, 0, alpha 128) over grey 100.
TEST_P(SoftwareBlendTest, TextureAlphaBlendsAsTheFactorsSay) {
    const CBlendCase c = GetParam();
    Clear(100 / 255.0f, 100 / 255.0f, 100 / 255.0f);
    const ref_ptr<CTexture> texture = Bind(MakeBitmap(2, 2, [](int, int) { return RGBA(200, 40, 0, 128); }));
    Blend(true, c.source, c.destination);
    DrawQuads(*driver, {Rect(8, 8, 24, 24, 0xFFFFFFFF)});
    Present();
    EXPECT_NEAR(int(At(16, 16) >> 16), int(c.r), 1);
    EXPECT_NEAR(int((At(16, 16) >> 8) & 0xFF), int(c.g), 1);
    EXPECT_EQ(At(4, 4), Shown(100, 100, 100));
}

INSTANTIATE_TEST_SUITE_P(Modes, SoftwareBlendTest,
                         ::testing::Values(CBlendCase{BLEND_ZERO, BLEND_ZERO, 200, 40},   // any other pair replaces
                                           CBlendCase{BLEND_ONE, BLEND_ONE, 255, 140},
                                           CBlendCase{BLEND_ONE, BLEND_INV_SRC_ALPHA, 249, 89},
                                           CBlendCase{BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA, 150, 69},
                                           CBlendCase{BLEND_SRC_ALPHA, BLEND_ONE, 200, 120}));

TEST_F(SoftwareDriverTest, FlipWaitsForAFinishedFrame) {
    Clear(1, 1, 1);
    driver->gFlipBuffers();
    ReadBack();
    EXPECT_EQ(At(0, 0), 0u);
    Present();
    EXPECT_EQ(At(0, 0), kShownWhite);
    // After a mode change nothing is shown until the next frame ends.
    ASSERT_TRUE(driver->ChangeVideoMode(WindowedParams()));
    Clear(1, 0, 0);
    driver->gFlipBuffers();
    ReadBack();
    EXPECT_EQ(At(0, 0), kShownWhite);
}

TEST_F(SoftwareDriverTest, PaintMessageOfAnInactiveApplicationPresents) {
    app.m_bActive = 0;
    Clear(0, 1, 0);
    driver->gEndScene();
    InvalidateRect(driver->GetWindow(), nullptr, FALSE);
    UpdateWindow(driver->GetWindow());
    ReadBack();
    EXPECT_EQ(At(3, 3), kShownGreen);
}

TEST_F(SoftwareDriverTest, MinimisedWindowPresentsNothing) {
    Clear(0, 1, 0);
    ShowWindow(driver->GetWindow(), SW_MINIMIZE);
    driver->gEndScene();
    driver->gFlipBuffers();
    ShowWindow(driver->GetWindow(), SW_RESTORE);
    ReadBack();
    EXPECT_EQ(At(3, 3), 0u);
}

TEST_F(SoftwareDriverTest, LargerModeGetsALargerBackBuffer) {
    EXPECT_FALSE(driver->GetVideoModes().empty());
    ASSERT_TRUE(driver->ChangeVideoMode(WindowedParams(320, 240)));
    ASSERT_EQ(driver->GetBackBuffer().width, 320);
    DrawQuads(*driver, {Rect(300, 220, 320, 240, ARGB(0, 0, 255))});
    Present();
    ExpectPicture({{319, 239, kShownBlue}, {299, 219, 0}});
}

TEST_F(SoftwareDriverTest, TexturesFollowTheBackBufferChannelOrderAcrossARestore) {
    ref_ptr<CHardwareTexture> hardware;
    driver->CreateHardwareTexture(hardware, QuadrantBitmap(2), false, false, -1);
    const auto& copy = static_cast<CHardwareTexture_SFTW&>(*hardware).GetCopy();
    ASSERT_TRUE(copy.IsRedBlueSwapped());
    EXPECT_EQ(copy.GetPixels()[0], ARGB(255, 0, 0));
    hardware->Invalidate();
    EXPECT_EQ(static_cast<CHardwareTexture_SFTW&>(*hardware).GetCopy().GetPixels(), nullptr);
    hardware->Restore();
    const auto& restored = static_cast<CHardwareTexture_SFTW&>(*hardware).GetCopy();
    EXPECT_TRUE(restored.IsRedBlueSwapped());
    EXPECT_EQ(std::vector<uint32_t>(restored.GetPixels(), restored.GetPixels() + 4),
              (std::vector<uint32_t>{ARGB(255, 0, 0), ARGB(0, 255, 0), ARGB(0, 0, 255), ARGB(255, 255, 255)}));
}

TEST_F(SoftwareDriverTest, BitmapWithoutPixelsMakesAnEmptyTextureThatARestoreFills) {
    const ref_ptr<CBitmap> bitmap = QuadrantBitmap(2);
    bitmap->FreePixels();
    ref_ptr<CTexture> texture;
    // As a sprite file whose image was let go makes its texture.
    ASSERT_NO_THROW(driver->GetTextureManager()->Create(texture, bitmap, 0, "empty", false, 0));
    ASSERT_TRUE(texture);
    EXPECT_FALSE(log.Contains("CreateHardwareTexture() : FAILED"));
    driver->gSetTextureStage(0, texture);
    // No pixels is no texture: the rectangle is filled with its colour.
    DrawQuads(*driver, {Rect(8, 8, 24, 24, 0xFFFFFFFF)});
    Present();
    ExpectPicture({{16, 16, kShownWhite}});

    // The image is back: the next restore copies it.
    CBitmap::CopyFrom(bitmap, *QuadrantBitmap(2), true);
    texture->GetHardwareTexture()->Restore();
    DrawQuads(*driver, {Rect(8, 8, 24, 24, 0xFFFFFFFF)});
    Present();
    ExpectPicture({{9, 9, kShownRed}, {23, 23, kShownWhite}});
}

using SoftwareDriverCreateTest = HeadlessDriverFixture;

TEST_F(SoftwareDriverCreateTest, FailedBackBufferFailsCreation) {
    Platform::Testing::FailNext(Platform::Testing::Failure::DibSection);
    CGraphics_SFTW driver(&cell);
    CGraphicsParams params = WindowedParams();
    EXPECT_FALSE(driver.Create("test", &params));
    EXPECT_EQ(app.created, 0);
    driver.Destroy();
}

} // namespace
