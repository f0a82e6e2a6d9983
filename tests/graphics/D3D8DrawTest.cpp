// Pixels the Direct3D 8 driver draws through the stand-in, read back from
// the device's back buffer.

#include <cstring>
#include <string>

#include "D3D8TestSupport.h"

using namespace D3D8Test;
using ::testing::Values;

namespace {

class D3D8DrawTest : public D3D8Fixture {
protected:
    void SetUp() override {
        D3D8Fixture::SetUp();
        CreateReadyDriver();
        Clear(0, 0, 0);
    }
};

TEST_F(D3D8DrawTest, RenderTargetIsDrawnThenUsedAsTexture) {
    std::unique_ptr<CRenderTarget> target(driver->CreateRenderTarget(64, 32));
    EXPECT_EQ(target->GetMaxU(), 1.0f);
    EXPECT_EQ(target->GetMaxV(), 0.5f); // a 64 x 64 texture, top row first

    driver->SetRenderTarget(target.get());
    driver->gSetTextureStage(0, nullptr);
    DrawSprites({Rect(0, 0, 32, 32, ARGB(255, 0, 0)), Rect(32, 0, 64, 32, ARGB(0, 255, 0))});
    driver->SetRenderTarget(driver->GetDefaultRenderTarget());
    EXPECT_EQ(Pixel(5, 5), kBlack); // drawn into the target only

    driver->gSetTexture(0, target.get());
    CQuad quad = Rect(40, 50, 104, 82);
    quad.u[1] = quad.u[2] = target->GetMaxU();
    quad.v[2] = quad.v[3] = target->GetMaxV();
    DrawSprites({quad});
    ExpectPixels({{40, 50, kRed}, {40, 81, kRed}, {103, 50, kGreen}, {103, 81, kGreen},
                  {39, 50, kBlack}});

    std::unique_ptr<CRenderTarget> odd(driver->CreateRenderTarget(300, 200));
    EXPECT_FLOAT_EQ(odd->GetMaxU(), 300.0f / 512);
    EXPECT_FLOAT_EQ(odd->GetMaxV(), 200.0f / 512);
    driver->SetRenderTarget(odd.get());
    odd.reset();
    EXPECT_EQ(driver->GetRenderTarget(), driver->GetDefaultRenderTarget());
}

TEST_F(D3D8DrawTest, UntransformedVerticesGoThroughTheOrthoProjection) {
    struct CVertex {
        float x, y, z;
        uint32_t colour;
    };
    ref_ptr<CVertexBuffer> buffer;
    driver->CreateVertexBuffer(buffer, 6, int(sizeof(CVertex)), VF_XYZ | VF_DIFFUSE, true);
    const CVertex corners[6] = {{10, 20, 0, ARGB(255, 0, 0)}, {26, 20, 0, ARGB(255, 0, 0)}, {26, 36, 0, ARGB(255, 0, 0)},
                                {10, 20, 0, ARGB(255, 0, 0)}, {26, 36, 0, ARGB(255, 0, 0)}, {10, 36, 0, ARGB(255, 0, 0)}};
    std::memcpy(buffer->Lock(), corners, sizeof corners);
    buffer->Unlock();
    driver->gSetTextureStage(0, nullptr);
    driver->gDraw(PRIM_TRIANGLE_LIST, buffer, 0, 2, nullptr);
    ExpectPixels({{10, 20, kRed}, {25, 35, kRed}, {9, 20, kBlack}, {26, 35, kBlack}, {10, 19, kBlack}, {25, 36, kBlack}});
}

TEST_F(D3D8DrawTest, LitTriangleTakesTheMaterialAndTheLight) {
    struct CVertex {
        float x, y, z, nx, ny, nz;
    };
    ref_ptr<CVertexBuffer> buffer;
    driver->CreateVertexBuffer(buffer, 3, int(sizeof(CVertex)), VF_XYZ | VF_NORMAL, true);
    const CVertex corners[3] = {{0, 0, 0, 0, 0, -1}, {40, 0, 0, 0, 0, -1}, {0, 40, 0, 0, 0, -1}};
    std::memcpy(buffer->Lock(), corners, sizeof corners);
    buffer->Unlock();
    CLight light{};
    light.directional = 1;
    light.spotCutoff = 3.1415927f;
    light.diffuse[0] = light.diffuse[1] = light.diffuse[2] = light.diffuse[3] = 1.0f;
    light.direction[2] = 1.0f; // shining along the view, onto the triangle
    CMaterial material{};
    material.diffuse[0] = 1.0f;
    material.diffuse[1] = 0.5f;
    material.diffuse[3] = 1.0f;
    driver->gSetLight(0, &light);
    driver->gSetMaterial(FACE_FRONT_AND_BACK, &material);
    driver->gSwitch(SWITCH_LIGHTING, true);
    driver->gSetTextureStage(0, nullptr);
    driver->gDraw(PRIM_TRIANGLE_LIST, buffer, 0, 1, nullptr);
    EXPECT_THAT(Pixel(5, 5), NearColor(RGBA(255, 128, 0), 1));
    EXPECT_EQ(Pixel(35, 35), kBlack);
}

TEST_F(D3D8DrawTest, MipmappedTextureFillsEveryLevel) {
    ref_ptr<CHardwareTexture> hardware;
    driver->CreateHardwareTexture(hardware, QuadrantBitmap(2), true, false, -1);
    IDirect3DTexture8* texture = static_cast<CHardwareTexture_D3D8*>(hardware.get())->GetTexture();
    ASSERT_EQ(texture->GetLevelCount(), 2u);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3D_OK);
    uint32_t mean = 0;
    std::memcpy(&mean, locked.pBits, 4);
    texture->UnlockRect(1);
    EXPECT_THAT(mean, NearColor(0xFF808080u, 1)); // the four quadrants averaged, dithered
}

// Interface codes as the device's render states.
struct CStateCase {
    const char* name;
    std::function<void(CGraphics&)> set;
    D3DRENDERSTATETYPE state;
    DWORD expected;
};

class D3D8StateTest : public D3D8DrawTest, public ::testing::WithParamInterface<CStateCase> {};

TEST_P(D3D8StateTest, CodeBecomesTheDeviceState) {
    GetParam().set(*driver);
    EXPECT_EQ(RenderState(GetParam().state), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, D3D8StateTest,
    Values(CStateCase{"DepthLessEqual", [](CGraphics& g) { g.gSetDepthFunc(CMP_LESS_EQUAL); }, D3DRS_ZFUNC,
                      D3DCMP_LESSEQUAL},
           CStateCase{"AlphaReferenceHalf", [](CGraphics& g) { g.gSetAlphaFunc(CMP_GREATER, 0.5f); }, D3DRS_ALPHAREF,
                      127},
           CStateCase{"AlphaReferenceOne", [](CGraphics& g) { g.gSetAlphaFunc(CMP_GREATER, 1.0f); }, D3DRS_ALPHAREF,
                      255},
           CStateCase{"StencilReplaceIsNoCompareCode",
                      [](CGraphics& g) { g.gSetStencilOp(STENCIL_KEEP, STENCIL_KEEP, STENCIL_REPLACE); },
                      D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE},
           CStateCase{"StencilOpOutsideTheCodesPassesUnchanged",
                      [](CGraphics& g) { g.gSetStencilOp(STENCIL_KEEP, 9, STENCIL_KEEP); }, D3DRS_STENCILZFAIL, 9},
           CStateCase{"DestinationHasNoDestColour",
                      [](CGraphics& g) { g.gSetBlendFunc(BLEND_ONE, BLEND_DST_COLOR); }, D3DRS_DESTBLEND, 0},
           CStateCase{"UndefinedSwitchChangesNothing", [](CGraphics& g) { g.gSwitch(SWITCH_ALPHA_TEST, true); },
                      D3DRS_ALPHATESTENABLE, 0},
           CStateCase{"AmbientIgnoresAlpha", [](CGraphics& g) { g.gSetAmbient(1.0f, 0.5f, 0.0f, 0.0f); },
                      D3DRS_AMBIENT, 0xFFFF7F00u},
           CStateCase{"SecondConstantWins",
                      [](CGraphics& g) {
                          const float first[3] = {1, 0, 0}, second[3] = {0, 0, 1};
                          g.gSetTextureCombine(0, COMBINE_MODULATE, CHANNEL_COLOR, ARG_CONSTANT, first, ARG_CONSTANT,
                                               second);
                      },
                      D3DRS_TEXTUREFACTOR, 0xFF0000FFu}),
    kCaseName);

TEST_F(D3D8DrawTest, UndefinedSwitchIsLogged) {
    driver->gSwitch(SWITCH_DITHER, true);
    EXPECT_TRUE(log.Contains("CGraphics_D3D8::gSwitch(11) : Undefined value"));
}

} // namespace
