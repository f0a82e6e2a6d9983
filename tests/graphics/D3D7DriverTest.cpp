// The Direct3D 7 driver on the DirectDraw stand-in: device choice, large
// and unusual draws, lost surfaces, mode changes and
// the faults of its buffers and states.

#include <cstring>
#include <string>

#include "OpenGLTestSupport.h"
#include "app/Timer.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "platform/DirectDraw7.h"

using namespace OpenGLTest;
using ::testing::ValuesIn;
namespace T = Platform::Testing;

namespace {

class D3D7Test : public CreatedDriverFixture<CGraphics_D3D7, XrgbPixel<T::ReadDD7RenderTarget>> {
protected:
    void TearDown() override {
        texture = nullptr;
        ReleaseDriver();
        EXPECT_EQ(T::GetDD7LiveObjectCount(), 0);
        CreatedDriverFixture::TearDown();
    }
    DWORD StageState(D3DTEXTURESTAGESTATETYPE state) const {
        DWORD value = 0;
        driver->GetDevice()->GetTextureStageState(0, state, &value);
        return value;
    }
    DWORD RenderState(D3DRENDERSTATETYPE state) const {
        DWORD value = 0;
        driver->GetDevice()->GetRenderState(state, &value);
        return value;
    }

    ref_ptr<CTexture> texture;
};

using D3D7DriverTest = D3D7Test;

TEST_F(D3D7DriverTest, CreateChoosesTheTnLHalAndDestroyReleasesEverything) {
    ASSERT_TRUE(CreateDriver());
    EXPECT_TRUE(driver->GetChosenDevice()->deviceGuid == IID_IDirect3DTnLHalDevice);
    EXPECT_EQ(driver->GetAcceptedDeviceCount(), 3);
    EXPECT_TRUE(log.Contains("Display Bit Count = 32 : OK"));
    EXPECT_TRUE(log.Contains("TestD3D() : OK"));
    // The 32-bit window picks 8 bits per channel for alpha textures.
    const int chosen = driver->ChooseTextureFormat(driver->GetWindowBitsPerPixel(), 1);
    EXPECT_EQ(driver->GetTextureFormats().Get(size_t(chosen))->alpha.bits, 8u);
    driver->Destroy();
    EXPECT_EQ(T::GetDD7LiveObjectCount(), 0);
}

struct CChoiceCase {
    const char* name;
    std::function<void(T::CDDConfig&)> configure;
    int accepted; // -1: creation fails
    const char* logged;
};

class D3D7ChoiceTest : public D3D7Test, public ::testing::WithParamInterface<CChoiceCase> {};

TEST_P(D3D7ChoiceTest, DevicesAreAcceptedAndTheLastHardwareOneChosen) {
    GetParam().configure(T::DDConfig());
    EXPECT_EQ(CreateDriver(), GetParam().accepted >= 0);
    if (GetParam().accepted >= 0) {
        EXPECT_EQ(driver->GetAcceptedDeviceCount(), GetParam().accepted);
    }
    EXPECT_TRUE(log.Contains(GetParam().logged)) << GetParam().logged;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, D3D7ChoiceTest,
    ValuesIn(std::vector<CChoiceCase>{
        {"SoftwareOnly",
         [](T::CDDConfig& c) { c.drivers[0].devices = {T::MakeDDDevice("RGB", IID_IDirect3DRGBDevice, false)}; }, -1,
         "No Compatible Devices Found"},
        {"NoModeTheDeviceRenders",
         [](T::CDDConfig& c) {
             for (T::CDDDevice& d : c.drivers[0].devices) d.desc.dwDeviceRenderBitDepth = DDBD_24;
         },
         -1, "No enumerated devices were accepted"},
        // The record array holds 20: later devices are counted, not written.
        {"MoreThanTwentyDevices",
         [](T::CDDConfig& c) {
             c.drivers[0].devices.assign(25, T::MakeDDDevice("HAL", IID_IDirect3DHALDevice, true));
         },
         20, "Description : \"HAL\""},
        {"SecondarySoftwareDeviceRejected",
         [](T::CDDConfig& c) {
             T::CDDDriver second;
             second.guid.Data1 = 7;
             second.description = "Second";
             second.devices = {T::MakeDDDevice("RGB", IID_IDirect3DRGBDevice, false)};
             c.drivers.push_back(second);
         },
         3, "DesktopCompatible : true"},
    }),
    kCaseName);

TEST_F(D3D7DriverTest, EightBitDesktopFails) {
    const T::CDisplayMode desktop{640, 480, 60, 8};
    T::SetDisplayModes({desktop}, desktop);
    EXPECT_FALSE(CreateDriver());
    EXPECT_TRUE(log.Contains("Display Bit Count = 8 : FAILED"));
}

TEST_F(D3D7DriverTest, ZBufferOutOfVideoMemoryFailsCreation) {
    T::DDConfig().failSurfaceCaps = DDSCAPS_ZBUFFER;
    CGraphicsParams params = WindowedParams();
    params.reserved[0] = 16;
    EXPECT_FALSE(CreateDriver(params));
    EXPECT_TRUE(log.Contains("Couldn't create a ZBuffer surface"));
    EXPECT_TRUE(log.Contains("Out of video memory"));
}

// A created driver, cleared to black.
class D3D7DrawTest : public D3D7Test {
protected:
    void SetUp() override {
        D3D7Test::SetUp();
        CreateReadyDriver();
    }
};

TEST_F(D3D7DrawTest, VerticesLargerThanTheirFormatAndWideIndicesStillDraw) {
    // 32-byte vertices of a 28-byte format, and 32-bit indices.
    struct CPadded {
        SpriteVertex vertex;
        uint32_t padding;
    };
    ref_ptr<CVertexBuffer> buffer;
    driver->CreateVertexBuffer(buffer, 4, int(sizeof(CPadded)), VF_SPRITE, true);
    auto* v = static_cast<CPadded*>(buffer->Lock());
    const float corners[4][2] = {{-0.5f, -0.5f}, {9.5f, -0.5f}, {9.5f, 9.5f}, {-0.5f, 9.5f}};
    for (int k = 0; k < 4; ++k) v[k] = CPadded{{corners[k][0], corners[k][1], 0, 1, ARGB(0, 255, 0), 0, 0}, ~0u};
    buffer->Unlock();
    ref_ptr<CIndexBuffer> indices;
    driver->CreateIndexBuffer(indices, INDEX_32, 6, false);
    const uint32_t order[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(indices->Lock(), order, sizeof order);
    indices->Unlock();
    driver->gSetTextureStage(0, nullptr);
    driver->gDraw(PRIM_TRIANGLE_LIST, buffer, 0, 2, indices);
    EXPECT_EQ(Pixel(5, 5), kGreen);
    EXPECT_EQ(Pixel(10, 5), kBlack);
}

struct CStateCase {
    const char* name;
    std::function<void(CGraphics&)> apply;
    bool stage;
    DWORD state, expected;
};

class D3D7StateTest : public D3D7DrawTest, public ::testing::WithParamInterface<CStateCase> {};

TEST_P(D3D7StateTest, CodeBecomesTheDeviceState) {
    GetParam().apply(*driver);
    const DWORD value = GetParam().stage ? StageState(D3DTEXTURESTAGESTATETYPE(GetParam().state))
                                         : RenderState(D3DRENDERSTATETYPE(GetParam().state));
    EXPECT_EQ(value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, D3D7StateTest,
    ValuesIn(std::vector<CStateCase>{
        {"AnisotropicMagnification", [](CGraphics& g) { g.gSetTextureFilter(0, 2, 3, 3); }, true, D3DTSS_MAGFILTER,
         D3DTFG_ANISOTROPIC},
        {"LinearMip", [](CGraphics& g) { g.gSetTextureFilter(0, 2, 3, 3); }, true, D3DTSS_MIPFILTER, D3DTFP_LINEAR},
        {"BindingResetsToPoint",
         [](CGraphics& g) {
             g.gSetTextureFilter(0, 2, 2, 1);
             g.gSetTextureStage(0, MakeDriverTexture(g, QuadrantBitmap(2)));
         },
         true, D3DTSS_MAGFILTER, D3DTFG_POINT},
        {"AmbientIsClamped", [](CGraphics& g) { g.gSetAmbient(2.0f, 0.0f, 1.0f, 1.0f); }, false, D3DRS_AMBIENT,
         0xFFFF00FFu},
        {"StencilOpsHaveTheirOwnCodes", [](CGraphics& g) { g.gSetStencilOp(1, 3, 4); }, false, D3DRS_STENCILPASS,
         D3DSTENCILOP_INCRSAT},
        {"AmbientIsScaledBy255AndTruncated", [](CGraphics& g) { g.gSetAmbient(0.999f, 0.5f, 0.2f, 1.0f); }, false,
         D3DRS_AMBIENT, 0xFFFE7F33u},
        {"AmbientBelowZeroIsZero", [](CGraphics& g) { g.gSetAmbient(-1.0f, 0.0f, 0.0f, 0.0f); }, false, D3DRS_AMBIENT,
         0u},
        {"StencilOpOutsideTheCodesPassesUnchanged", [](CGraphics& g) { g.gSetStencilOp(1, 9, 4); }, false,
         D3DRS_STENCILZFAIL, 9u},
        {"AlphaReferenceHalf", [](CGraphics& g) { g.gSetAlphaFunc(CMP_GREATER, 0.5f); }, false, D3DRS_ALPHAREF, 127},
        {"UndefinedSwitchChangesNothing", [](CGraphics& g) { g.gSwitch(SWITCH_ALPHA_TEST, true); }, false,
         D3DRS_ALPHATESTENABLE, 0},
    }),
    kCaseName);

// Lost surfaces, exclusive mode and mode changes between frames.
class D3D7LossTest : public D3D7DrawTest {
protected:
    bool DrawFrame() {
        if (!driver->gBeginScene()) return false;
        Clear(0, 0, 0);
        driver->gSetTextureStage(0, texture);
        DrawSprites({Rect(8, 8, 24, 24, ARGB(255, 255, 255))});
        if (target) {
            driver->gSetTexture(0, target.get());
            DrawSprites({Rect(40, 8, 56, 24, ARGB(255, 255, 255))});
        }
        driver->gEndScene();
        driver->gFlipBuffers();
        return true;
    }
    void FillTarget() {
        driver->SetRenderTarget(target.get());
        Clear(0, 1, 0);
        driver->SetRenderTarget(nullptr);
    }
    std::unique_ptr<CRenderTarget> target;
};

TEST_F(D3D7LossTest, LostSurfacesAreRestoredAndTheSceneBegins) {
    texture = MakeDriverTexture(*driver, QuadrantBitmap(2));
    ASSERT_TRUE(DrawFrame());
    EXPECT_EQ(Pixel(10, 10), kRed);

    T::UseTestClock(1000000);
    GetGlobalClock().Start();
    T::AdvanceTestClock(1000);
    T::LoseDDSurfaces();
    app.onRestored = [] { T::AdvanceTestClock(250000); };
    // Restored, re-uploaded and begun in the same call.
    ASSERT_TRUE(DrawFrame());
    EXPECT_EQ(app.restored, 1);
    EXPECT_EQ(Pixel(10, 10), kRed);
    EXPECT_EQ(Pixel(22, 22), kWhite);
    // The restore does not count as game time.
    EXPECT_EQ(GetGlobalClock().GetElapsed(), 1000);
    GetGlobalClock().Stop();
}

TEST_F(D3D7LossTest, LostExclusiveModeDrawsNothingUntilItReturns) {
    texture = MakeDriverTexture(*driver, QuadrantBitmap(2));
    T::SetDDExclusiveLost(true);
    EXPECT_FALSE(driver->gBeginScene());
    EXPECT_EQ(app.restored, 0);
    T::SetDDExclusiveLost(false);
    EXPECT_TRUE(DrawFrame());
}

TEST_F(D3D7LossTest, StillDrawingLocksAreRetried) {
    T::InjectDDStillDrawing(3);
    texture = MakeDriverTexture(*driver, QuadrantBitmap(2));
    ASSERT_TRUE(DrawFrame());
    EXPECT_EQ(Pixel(22, 22), kWhite);
}

TEST_F(D3D7LossTest, ModeChangeRebuildsRenderTargetsAndRefusalReportsFalse) {
    texture = MakeDriverTexture(*driver, QuadrantBitmap(2));
    target.reset(driver->CreateRenderTarget(16, 16));
    ASSERT_TRUE(driver->ChangeVideoMode(WindowedParams(120, 90)));
    FillTarget();
    ASSERT_TRUE(DrawFrame());
    EXPECT_EQ(Pixel(12, 12), kRed);
    EXPECT_EQ(Pixel(44, 12), kGreen);

}

TEST_F(D3D7LossTest, RefusedModeFallsBackAndReportsFalse) {
    // No depth format: a mode with a depth buffer cannot be built.
    T::DDConfig().zBufferDepths = {};
    CGraphicsParams params = WindowedParams(100, 80);
    params.reserved[0] = 16;
    EXPECT_FALSE(driver->ChangeVideoMode(params));
    EXPECT_TRUE(log.Contains("Trying to restore previous mode"));
    EXPECT_EQ(driver->GetParams().width, kWidth);
    EXPECT_EQ(app.restored, 1);
    EXPECT_TRUE(DrawFrame());
}

} // namespace
