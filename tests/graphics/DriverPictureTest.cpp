// The pictures every hardware driver must draw alike: clears, textured
// sprites, vertex colours, text, orientations and blends, read back from each
// driver's own frame buffer.

#include <string>

#include "OpenGLTestSupport.h"
#include "app/DirectXDrivers.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "platform/Direct3D8.h"
#include "platform/DirectDraw7.h"
#include "tests/graphics/GlyphTestData.h"

using namespace OpenGLTest;
using ::testing::Combine;
using ::testing::ValuesIn;

namespace {

struct CDriverKind {
    const char* name;
    std::function<std::unique_ptr<CGraphics>(Engine::CApplication**)> make;
    uint32_t (*pixel)(const CGraphics&, int, int);
    bool argbVertices; // vertex colours A, R, G, B from the high byte
};

std::vector<CDriverKind> DriverKinds() {
    return {{"OpenGL", [](Engine::CApplication** a) { return std::make_unique<CGraphics_OGL>(a); }, GlPixel, false},
            {"D3D8", [](Engine::CApplication** a) { return std::make_unique<CGraphics_D3D8>(a); },
             XrgbPixel<Platform::Testing::ReadD3D8BackBuffer>, true},
            {"D3D7", [](Engine::CApplication** a) { return std::make_unique<CGraphics_D3D7>(a); },
             XrgbPixel<Platform::Testing::ReadDD7RenderTarget>, true}};
}

class DriverPictureFixture : public HeadlessDriverFixture {
protected:
    void Start(const CDriverKind& driverKind) {
        kind = &driverKind;
        driver = kind->make(&cell);
        libraryLoaded = driver->LoadDriverLibrary();
        CGraphicsParams params = WindowedParams();
        ASSERT_TRUE(driver->Create("test", &params));
        SetDefaultRenderStates(*driver);
        ClearDriver(*driver, 0, 0, 0);
    }
    void TearDown() override {
        texture = nullptr;
        if (driver) driver->Destroy();
        if (driver && libraryLoaded) driver->FreeDriverLibrary();
        driver.reset();
        HeadlessDriverFixture::TearDown();
    }
    void Bind(ref_ptr<CBitmap> bitmap) {
        texture = MakeDriverTexture(*driver, std::move(bitmap));
        driver->gSetTextureStage(0, texture);
    }
    void DrawSprites(std::vector<CQuad> quads) { DrawQuads(*driver, Placed(*driver, std::move(quads))); }
    uint32_t VertexColour(uint32_t r, uint32_t g, uint32_t b) const {
        return kind->argbVertices ? 0xFF000000u | r << 16 | g << 8 | b : RGBA(r, g, b);
    }
    uint32_t Pixel(int x, int y) const { return kind->pixel(*driver, x, y); }
    void ExpectPixels(std::initializer_list<std::tuple<int, int, uint32_t>> expected) const {
        for (auto [x, y, colour] : expected) EXPECT_EQ(Pixel(x, y), colour) << "at " << x << "," << y;
    }

    const CDriverKind* kind = nullptr;
    std::unique_ptr<CGraphics> driver;
    ref_ptr<CTexture> texture = nullptr;
    bool libraryLoaded = false;
};

class DriverPictureTest : public DriverPictureFixture, public ::testing::WithParamInterface<CDriverKind> {
protected:
    void SetUp() override {
        DriverPictureFixture::SetUp();
        Start(GetParam());
    }
};

TEST_P(DriverPictureTest, ClearUsesTheQuantisedColour) {
    ClearDriver(*driver, 0.2f, 0.4f, 0.6f);
    ExpectPixels({{0, 0, RGBA(51, 102, 153)}, {kWidth - 1, kHeight - 1, RGBA(51, 102, 153)}});
}

TEST_P(DriverPictureTest, TexturedSpriteCoversExactlyItsRectangle) {
    Bind(QuadrantBitmap(4));
    DrawSprites({Rect(10, 20, 26, 36)});
    ExpectPixels({{10, 20, kRed}, {25, 20, kGreen}, {10, 35, kBlue}, {25, 35, kWhite}, // then just outside
                  {9, 20, kBlack}, {26, 20, kBlack}, {10, 19, kBlack}, {10, 36, kBlack}});
}

TEST_P(DriverPictureTest, VertexColourModulatesTheTextureInTheDriversByteOrder) {
    Bind(QuadrantBitmap(2));
    DrawSprites({Rect(0, 0, 20, 20, VertexColour(255, 128, 0))});
    EXPECT_THAT(Pixel(15, 15), NearColor(RGBA(255, 128, 0), 1)); // white texel
    EXPECT_EQ(Pixel(5, 5), kRed);
}

TEST_P(DriverPictureTest, QuadListsBeyondTheSharedIndicesAreDrawnInChunks) {
    // 5000 one-pixel quads in rows of 100: chunks of 2048, 2048 and 904.
    std::vector<CQuad> quads;
    for (int i = 0; i < 5000; ++i) {
        const float x = float(i % 100), y = float(i / 100);
        quads.push_back(Rect(x, y, x + 1, y + 1, i % 2 ? VertexColour(255, 0, 0) : VertexColour(0, 0, 255)));
    }
    driver->gSetTextureStage(0, nullptr);
    DrawSprites(quads);
    ExpectPixels({{0, 0, kBlue}, {47, 20, kRed}, {48, 20, kBlue}, {99, 49, kRed}, {100, 0, kBlack}, {0, 50, kBlack}});
}

TEST_P(DriverPictureTest, ListDrawsStartAtTheFirstPrimitiveAndFollowTheIndices) {
    driver->gSetTextureStage(0, nullptr);
    const ref_ptr<CVertexBuffer> buffer = QuadBuffer(
        *driver, Placed(*driver, {Rect(0, 0, 10, 10, VertexColour(255, 0, 0)), Rect(20, 0, 30, 10, VertexColour(0, 255, 0))}));
    ref_ptr<CIndexBuffer> indices;
    driver->CreateIndexBuffer(indices, INDEX_16, 6, false);
    const uint16_t order[6] = {0, 1, 2, 0, 2, 3};
    std::copy(order, order + 6, static_cast<uint16_t*>(indices->Lock()));
    indices->Unlock();
    driver->gDraw(PRIM_TRIANGLE_LIST, buffer, 0, 2, indices);
    driver->gDraw(PRIM_QUAD_LIST, buffer, 1, 1, nullptr);
    ExpectPixels({{1, 8, kRed}, {8, 1, kRed}, {25, 5, kGreen}, {15, 5, kBlack}, {10, 5, kBlack}});
}

// A text line through a font sprite and the sprite queue.
TEST_P(DriverPictureTest, GlyphsLandSideBySideInTheirColours) {
    GlyphTestData::CGlyphText text;
    ASSERT_TRUE(text.Init(*driver));
    text.DrawLine();
    text.Done();
    ExpectPixels({{20, 30, kRed}, {25, 39, kRed}, {26, 30, kGreen}, {32, 39, kGreen}, {33, 35, kBlue}, {37, 35, kBlue},
                  {38, 35, kBlack}, {20, 40, kBlack}, {19, 30, kBlack}});
}

INSTANTIATE_TEST_SUITE_P(Drivers, DriverPictureTest, ValuesIn(DriverKinds()), kCaseName);

template <class TCase>
class DriverCaseTest : public DriverPictureFixture,
                       public ::testing::WithParamInterface<std::tuple<CDriverKind, TCase>> {
protected:
    void SetUp() override {
        DriverPictureFixture::SetUp();
        Start(std::get<0>(this->GetParam()));
    }
    const TCase& Case() const { return std::get<1>(this->GetParam()); }
};

constexpr auto kDriverAndCaseName = [](const auto& info) {
    return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
};

using DriverOrientationTest = DriverCaseTest<COrientationCase>;

TEST_P(DriverOrientationTest, QuadrantsLandWhereTheTransformPutsThem) {
    Bind(QuadrantBitmap(2));
    CQuad quad = Rect(40, 40, 56, 56);
    Case().change(quad);
    DrawSprites({quad});
    const COrientationCase& c = Case();
    ExpectPixels({{44, 44, c.topLeft}, {52, 44, c.topRight}, {44, 52, c.bottomLeft}, {52, 52, c.bottomRight}});
}

INSTANTIATE_TEST_SUITE_P(Cases, DriverOrientationTest, Combine(ValuesIn(DriverKinds()), ValuesIn(OrientationCases())),
                         kDriverAndCaseName);

using DriverBlendTest = DriverCaseTest<CBlendCase>;

TEST_P(DriverBlendTest, TextureAlphaBlendsAsTheFactorsSay) {
    ClearDriver(*driver, 0, 0, 1);
    driver->gSwitch(SWITCH_ALPHA_BLEND, Case().blending);
    driver->gSetBlendFunc(Case().source, Case().destination);
    Bind(MakeBitmap(1, 1, [](int, int) { return RGBA(255, 0, 0, 128); }));
    DrawSprites({Rect(0, 0, 8, 8)});
    EXPECT_THAT(Pixel(4, 4), NearColor(Case().expected, 1));
}

INSTANTIATE_TEST_SUITE_P(Cases, DriverBlendTest, Combine(ValuesIn(DriverKinds()), ValuesIn(BlendCases())),
                         kDriverAndCaseName);

} // namespace
