// Pixels the OpenGL driver draws, read back from the headless frame buffer.

#include <cstdio>
#include <memory>
#include <string>

#include "OpenGLTestSupport.h"

using namespace OpenGLTest;
using ::testing::Values;

namespace {

class OpenGLDrawTest : public OpenGLFixture {
protected:
    void SetUp() override {
        OpenGLFixture::SetUp();
        CreateReadyDriver();
        Clear(0, 0, 0);
    }
};

TEST_F(OpenGLDrawTest, ClearNeverWritesAlpha) {
    driver->m_clearColor[3] = 1.0f;
    Clear(0.2f, 0.4f, 0.6f);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[3], 0.0f);
}

TEST_F(OpenGLDrawTest, RenderTargetIsDrawnThenUsedAsTexture) {
    std::unique_ptr<CRenderTarget> target(driver->CreateRenderTarget(64, 32));
    EXPECT_EQ(target->GetMaxU(), 1.0f);
    EXPECT_EQ(target->GetMinV(), 0.5f); // a 64 x 64 texture
    EXPECT_EQ(target->GetMaxV(), 0.0f);

    driver->SetRenderTarget(target.get());
    driver->SetOrtho2D(64, 32, -1, 1);
    driver->gSetTextureStage(0, nullptr);
    DrawQuads(*driver, {Rect(0, 0, 32, 32, kRed), Rect(32, 0, 64, 32, kGreen)});
    driver->SetRenderTarget(driver->GetDefaultRenderTarget());

    Clear(0, 0, 0);
    SetDefaultRenderStates(*driver);
    driver->gSetTexture(0, target.get());
    CQuad quad = Rect(40, 50, 104, 82);
    const float u = target->GetMaxU(), top = target->GetMinV(), bottom = target->GetMaxV();
    quad.u[1] = quad.u[2] = u;
    quad.v[0] = quad.v[1] = top;
    quad.v[2] = quad.v[3] = bottom;
    DrawQuads(*driver, {quad});
    ExpectPixels({{41, 51, kRed}, {41, 80, kRed}, {102, 51, kGreen}, {102, 80, kGreen}, {39, 51, kBlack}});

    std::unique_ptr<CRenderTarget> odd(driver->CreateRenderTarget(100, 60));
    EXPECT_FLOAT_EQ(odd->GetMaxU(), 100.0f / 128);
    EXPECT_FLOAT_EQ(odd->GetMinV(), 60.0f / 128);
}

TEST_F(OpenGLDrawTest, DestroyingTheCurrentTargetFallsBackToTheFrameBuffer) {
    std::unique_ptr<CRenderTarget> target(driver->CreateRenderTarget(32, 32));
    driver->SetRenderTarget(target.get());
    target.reset();
    EXPECT_EQ(driver->GetRenderTarget(), driver->GetDefaultRenderTarget());
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
}

TEST_F(OpenGLDrawTest, DrawPastTheBufferIsRefused) {
    driver->gSetTextureStage(0, nullptr);
    driver->gDraw(PRIM_QUAD_LIST, QuadBuffer(*driver, {Rect(0, 0, 10, 10, kRed)}), 0, 2, nullptr);
    EXPECT_EQ(Pixel(5, 5), kBlack);
    EXPECT_TRUE(log.Contains("outside the buffer"));
}

TEST_F(OpenGLDrawTest, TextureWithFreedPixelsKeepsItsSizeAndStillDraws) {
    ref_ptr<CBitmap> bitmap = QuadrantBitmap(2);
    ref_ptr<CTexture> texture = MakeTexture(bitmap, true);
    EXPECT_EQ(bitmap->GetPixels(), nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 2);
    texture->GetHardwareTexture()->Update(); // nothing to send, and no crash
    driver->gSetTextureStage(0, texture);
    DrawQuads(*driver, {Rect(0, 0, 8, 8)});
    EXPECT_EQ(Pixel(1, 1), kRed);
}

// Upload sizes chosen by the two extensions the driver probes and by
// GL_MAX_TEXTURE_SIZE, to which a bitmap past it is scaled before the other
// rules.
struct CSizeCase {
    const char* name;
    const char* extensions;
    int largest;  // 0: the platform's own
    int width, height;
    int expectedWidth, expectedHeight;
};

// The fixture's clean platform forgets the limit set.
class OpenGLTextureSizeTest : public OpenGLFixture, public ::testing::WithParamInterface<CSizeCase> {};

TEST_P(OpenGLTextureSizeTest, BitmapIsResizedOnlyWhereGLNeedsIt) {
    const CSizeCase& c = GetParam();
    Platform::Testing::SetGlString(GL_EXTENSIONS, c.extensions);
    if (c.largest) Platform::Testing::SetGlInteger(GL_MAX_TEXTURE_SIZE, c.largest);
    ASSERT_NO_FATAL_FAILURE(CreateReadyDriver());
    const ref_ptr<CTexture> texture = MakeTexture(MakeBitmap(c.width, c.height, [](int, int) { return kRed; }));
    driver->gSetTextureStage(0, texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, c.expectedWidth);
    EXPECT_EQ(height, c.expectedHeight);
    const bool resized = c.width != c.expectedWidth || c.height != c.expectedHeight;
    EXPECT_EQ(log.Contains("Resizing bitmap from"), resized);
    char line[96];
    std::snprintf(line, sizeof line, "Resizing bitmap from (%d, %d) to (%d, %d)\n", c.width, c.height, c.expectedWidth,
                  c.expectedHeight);
    if (resized) {
        EXPECT_TRUE(log.Contains(line)) << log.Text();
    }
    if (!c.largest) return;
    // Scaled down whole: nothing of the plain colour is lost.
    DrawQuads(*driver, {Rect(0, 0, 8, 8)});
    EXPECT_EQ(Pixel(1, 1), kRed);
}

constexpr const char* kBoth = "GL_ARB_texture_non_power_of_two GL_ARB_texture_rectangle";

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenGLTextureSizeTest,
    Values(CSizeCase{"Neither", "", 0, 300, 200, 512, 512},
           CSizeCase{"RectangleOnly", "GL_ARB_texture_rectangle", 0, 300, 200, 512, 256},
           CSizeCase{"NonPowerOfTwoOnly", "GL_ARB_texture_non_power_of_two", 0, 300, 200, 300, 300},
           CSizeCase{"Both", kBoth, 0, 300, 200, 300, 200},
           CSizeCase{"SquarePowerOfTwo", "", 0, 256, 256, 256, 256},
           CSizeCase{"BothPastTheLargest", kBoth, 64, 300, 20, 64, 20},
           CSizeCase{"NeitherPastTheLargest", "", 256, 600, 100, 256, 256},
           CSizeCase{"RectangleOnlyPastTheLargest", "GL_ARB_texture_rectangle", 128, 600, 100, 128, 128}),
    [](const auto& info) { return std::string(info.param.name); });

// Interface codes read back as GL state.
struct CStateCase {
    const char* name;
    std::function<void(CGraphics&)> set;
    GLenum query;
    GLint expected;
};

class OpenGLStateTest : public OpenGLDrawTest, public ::testing::WithParamInterface<CStateCase> {
protected:
    void SetUp() override {
        OpenGLDrawTest::SetUp();
        bound = MakeTexture(QuadrantBitmap(2));
        driver->gSetTextureStage(0, bound); // texture parameters apply to the bound texture
    }
    ref_ptr<CTexture> bound = nullptr;
};

TEST_P(OpenGLStateTest, CodeBecomesTheGLState) {
    GetParam().set(*driver);
    GLint value = -1;
    if (GetParam().query == GL_RGB_SCALE_ARB) {
        GLfloat f = -1;
        glGetTexEnvfv(GL_TEXTURE_ENV, GetParam().query, &f);
        value = GLint(f);
    } else if (GetParam().query == GL_TEXTURE_MIN_FILTER || GetParam().query == GL_TEXTURE_MAG_FILTER) {
        glGetTexParameteriv(GL_TEXTURE_2D, GetParam().query, &value);
    } else {
        glGetIntegerv(GetParam().query, &value);
    }
    EXPECT_EQ(value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenGLStateTest,
    Values(CStateCase{"DepthLessEqual", [](CGraphics& g) { g.gSetDepthFunc(CMP_LESS_EQUAL); }, GL_DEPTH_FUNC, GL_LEQUAL},
           CStateCase{"CullClockwiseIsFrontUnderCCW", [](CGraphics& g) { g.gSetCullMode(CULL_CW); }, GL_CULL_FACE_MODE,
                      GL_FRONT},
           CStateCase{"CullFollowsTheFrontFace",
                      [](CGraphics& g) {
                          g.gSetFrontFace(FRONT_CW);
                          g.gSetCullMode(CULL_CCW);
                      },
                      GL_CULL_FACE_MODE, GL_FRONT},
           CStateCase{"SwitchFiveChangesNothing",
                      [](CGraphics& g) {
                          g.gSwitch(SWITCH_NONE, true);
                          g.gSwitch(12, true);
                      },
                      GL_BLEND, GL_TRUE},
           CStateCase{"StencilIncrementWraps", [](CGraphics& g) { g.gSetStencilOp(1, 1, STENCIL_INCR); },
                      GL_STENCIL_PASS_DEPTH_PASS, GL_INCR_WRAP},
           CStateCase{"LinearMipmapMin",
                      [](CGraphics& g) { g.gSetTextureFilter(0, FILTER_LINEAR, FILTER_LINEAR, FILTER_LINEAR); },
                      GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR},
           CStateCase{"MipmapLeavesMagnification",
                      [](CGraphics& g) { g.gSetTextureFilter(0, FILTER_LINEAR, FILTER_LINEAR, FILTER_LINEAR); },
                      GL_TEXTURE_MAG_FILTER, GL_NEAREST},
           CStateCase{"Modulate4xScalesByFour",
                      [](CGraphics& g) {
                          g.gSetTextureCombine(0, COMBINE_MODULATE4X, CHANNEL_COLOR, ARG_TEXTURE, nullptr, ARG_DIFFUSE,
                                               nullptr);
                      },
                      GL_RGB_SCALE_ARB, 4}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
