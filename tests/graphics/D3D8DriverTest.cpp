// The Direct3D 8 driver's life: creation and its refusals, the offset
// probe, device loss and reset, mode changes and teardown.

#include <cstring>
#include <string>

#include "D3D8TestSupport.h"
#include "app/Timer.h"
#include "platform/Cursor.h"
#include "platform/DirectDraw7.h"
#include "platform/Library.h"
#include "platform/Window.h"

using namespace D3D8Test;
using ::testing::Values;

namespace {

using D3D8DriverTest = D3D8Fixture;

TEST_F(D3D8DriverTest, CreateMakesTheDeviceAndDestroyReleasesEverything) {
    ASSERT_TRUE(CreateDriver());
    HWND window = app.m_hWnd;
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(app.created, 1);
    EXPECT_EQ(driver->GetTextureFormats().Size(), 6u);
    EXPECT_TRUE(log.Contains("CGraphics_D3D8::Direct3DCreate8() : OK"));
    EXPECT_TRUE(log.Contains("CGraphics_D3D8::CreateDevice() : S_OK"));
    EXPECT_TRUE(log.Contains("TestD3D() : OK"));

    driver->Destroy();
    EXPECT_EQ(app.destroyed, 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Platform::Testing::GetD3D8LiveObjectCount(), 0);
}

// Direct3D's integer pixel centres keep the defaults; OpenGL's half-integer
// ones need no offsets at all.
struct COffsetCase {
    const char* name;
    bool openGlCentres;
    float buffer, texture;
    const char* logged;
};

class D3D8OffsetTest : public D3D8Fixture, public ::testing::WithParamInterface<COffsetCase> {};

TEST_P(D3D8OffsetTest, ProbeFindsTheOffsetsOfThePixelCentreRule) {
    Platform::Testing::D3D8Config().openGlPixelCentres = GetParam().openGlCentres;
    ASSERT_TRUE(CreateDriver());
    float x = 1, y = 1, u = 1, v = 1;
    driver->GetBufferOffset(&x, &y);
    driver->GetTextureOffset(&u, &v);
    EXPECT_EQ(x, GetParam().buffer);
    EXPECT_EQ(y, GetParam().buffer);
    EXPECT_EQ(u, GetParam().texture);
    EXPECT_EQ(v, GetParam().texture);
    EXPECT_TRUE(log.Contains(GetParam().logged)) << log.Text();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, D3D8OffsetTest,
    Values(COffsetCase{"Direct3D", false, -0.5f, 0.0f,
                       "Optimal Offsets Found : BufferOffset = (-0.5, -0.5), TextureOffset = (0.0, 0.0)"},
           // Both offsets half a pixel back is the first of the two that fit.
           COffsetCase{"OpenGL", true, -0.5f, -0.5f,
                       "Optimal Offsets Found : BufferOffset = (-0.5, -0.5), TextureOffset = (-0.5, -0.5)"}),
    kCaseName);

struct CFailureCase {
    const char* name;
    std::function<void()> arrange;
    const char* logged;
};

class D3D8CreateFailureTest : public D3D8Fixture, public ::testing::WithParamInterface<CFailureCase> {};

TEST_P(D3D8CreateFailureTest, ReportsFalseAfterLoggingAndTheNextDriverWorks) {
    GetParam().arrange();
    driver = std::make_unique<CGraphics_D3D8>(&cell);
    driver->m_bDeviceCheck = 1;
    libraryLoaded = driver->LoadDriverLibrary();
    CGraphicsParams params = WindowedParams();
    EXPECT_FALSE(libraryLoaded && driver->Create("test", &params));
    EXPECT_TRUE(log.Contains(GetParam().logged)) << log.Text();
    EXPECT_EQ(app.created, 0);
    ReleaseDriver();
    EXPECT_EQ(Platform::Testing::GetD3D8LiveObjectCount(), 0);
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("d3d8.dll"), 0);

    CGraphics_OGL next(&cell);
    params = WindowedParams();
    EXPECT_TRUE(next.Create("test", &params));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, D3D8CreateFailureTest,
    Values(CFailureCase{"NoLibrary", [] { Platform::Testing::SetLibraryLoadFails("d3d8.dll", true); },
                        "LoadLibrary(\"d3d8.dll\") : FAILED"},
           CFailureCase{"NoDirect3D", [] { Platform::Testing::D3D8Config().createFails = true; },
                        "CGraphics_D3D8::Direct3DCreate8() : FAILED"},
           CFailureCase{"NoDevice", [] { Platform::Testing::D3D8Config().createDeviceFails = true; },
                        "CGraphics_D3D8::CreateDevice() : D3DERR_NOTAVAILABLE"},
           CFailureCase{
               "NoSourceAlphaBlend",
               [] { Platform::Testing::D3D8Config().caps.SrcBlendCaps = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE; },
               "Checking for SrcBlendCaps : SRCALPHA : FAILED"},
           CFailureCase{"NoTextureFormats", [] { Platform::Testing::D3D8Config().textureFormats.clear(); },
                        "There are no available texture formats"},
           CFailureCase{"NoAlphaFormat",
                        [] {
                            Platform::Testing::D3D8Config().textureFormats = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5};
                        },
                        "There are no available alpha texture formats"}),
    kCaseName);

TEST_F(D3D8DriverTest, MeasuredVideoMemoryBelowTheMinimumIsRefused) {
    Platform::Testing::SetVideoMemory(4000, 1000);
    CVideoMemory memory;
    driver = std::make_unique<CGraphics_D3D8>(&cell);
    driver->m_pVideoMemory = &memory;
    driver->m_nRequiredVideoMemory = 2000;
    driver->m_bDeviceCheck = 1;
    libraryLoaded = driver->LoadDriverLibrary();
    CGraphicsParams params = WindowedParams();
    EXPECT_FALSE(driver->Create("test", &params));
    EXPECT_EQ(memory.total, 4000u);
    EXPECT_TRUE(log.Contains("Free Video Memory (local) : 1000"));
    EXPECT_TRUE(log.Contains("Not enough free video memory (Free : 1000, Minimum : 2000, Total : 4000)"));
}

TEST_F(D3D8DriverTest, HardwareVertexProcessingFailureFallsBackToSoftware) {
    Platform::Testing::D3D8Config().hardwareVertexProcessingFails = true;
    ASSERT_TRUE(CreateDriver());
    EXPECT_TRUE(log.Contains("CGraphics_D3D8::CreateDevice() : [HARDWARE_VERTEXPROCESSING] : D3DERR_INVALIDCALL"));
    EXPECT_TRUE(log.Contains("CGraphics_D3D8::CreateDevice() : S_OK"));
}

struct CPresentCase {
    const char* name;
    int32_t depthBits, stencilBits;
    DWORD desktopBits;
    BOOL autoDepth;
    D3DFORMAT depthFormat, backBufferFormat;
};

class D3D8PresentTest : public D3D8Fixture, public ::testing::WithParamInterface<CPresentCase> {};

TEST_P(D3D8PresentTest, WindowedBackBufferAndDepthFollowTheParameters) {
    const CPresentCase& c = GetParam();
    const Platform::Testing::CDisplayMode desktop{640, 480, 60, c.desktopBits};
    Platform::Testing::SetDisplayModes({desktop}, desktop);
    CGraphicsParams params = WindowedParams();
    params.reserved[0] = c.depthBits;
    params.reserved[1] = c.stencilBits;
    ASSERT_TRUE(CreateDriver(params));
    const D3DPRESENT_PARAMETERS& pp = driver->GetPresentParameters();
    EXPECT_EQ(pp.EnableAutoDepthStencil, c.autoDepth);
    if (c.autoDepth) {
        EXPECT_EQ(pp.AutoDepthStencilFormat, c.depthFormat);
    }
    EXPECT_EQ(pp.BackBufferFormat, c.backBufferFormat);
    EXPECT_EQ(pp.Windowed, TRUE);
    EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(pp.FullScreen_PresentationInterval, D3DPRESENT_INTERVAL_DEFAULT);
    EXPECT_EQ(Platform::Testing::GetSwapInterval(), 0) << "windowed never waits";
    // A depth clear works when there is depth and is dropped when not.
    EXPECT_NO_THROW(driver->gClear(CLEAR_COLOR | CLEAR_DEPTH));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, D3D8PresentTest,
    Values(CPresentCase{"NoDepth", 0, 0, 32, FALSE, D3DFMT_UNKNOWN, D3DFMT_X8R8G8B8},
           CPresentCase{"Depth16", 16, 0, 32, TRUE, D3DFMT_D16, D3DFMT_X8R8G8B8},
           CPresentCase{"Depth24", 24, 0, 32, TRUE, D3DFMT_D24X8, D3DFMT_X8R8G8B8},
           CPresentCase{"Stencil", 16, 8, 32, TRUE, D3DFMT_D24S8, D3DFMT_X8R8G8B8},
           CPresentCase{"Desktop16", 0, 0, 16, FALSE, D3DFMT_UNKNOWN, D3DFMT_R5G6B5}),
    kCaseName);

TEST_F(D3D8DriverTest, WideDesktopPillarBoxesAFullScreenMode) {
    const Platform::Testing::CDisplayMode desktop{640, 360, 60, 32};
    Platform::Testing::SetDisplayModes({{640, 360, 60, 16}, desktop}, desktop);
    CGraphicsParams params = WindowedParams(320, 240);
    params.fullScreen = 1;
    params.colorBits = 16;
    params.alphaBits = 0;
    ASSERT_TRUE(CreateDriver(params));
    const D3DPRESENT_PARAMETERS& pp = driver->GetPresentParameters();
    EXPECT_EQ(driver->GetParams().scaled, 1);
    EXPECT_EQ(pp.BackBufferWidth, 640u);
    EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_COPY);
    EXPECT_EQ(pp.Windowed, FALSE);
    EXPECT_EQ(pp.BackBufferFormat, D3DFMT_R5G6B5);
    EXPECT_EQ(pp.FullScreen_PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    EXPECT_EQ(Platform::Testing::GetSwapInterval(), 0);
    EXPECT_EQ(Pixel(0, 0), kBlack); // cleared around the content
}

// Texture sizes the device's capabilities call for.
struct CSizeCase {
    const char* name;
    DWORD textureCaps;
    bool capsFail;
    UINT width, height;
};

class D3D8TextureSizeTest : public D3D8Fixture, public ::testing::WithParamInterface<CSizeCase> {};

TEST_P(D3D8TextureSizeTest, BitmapIsResizedToWhatTheDeviceTakes) {
    const CSizeCase& c = GetParam();
    Platform::Testing::D3D8Config().caps.TextureCaps = c.textureCaps;
    ASSERT_TRUE(CreateDriver());
    Platform::Testing::D3D8Config().deviceCapsFail = c.capsFail;
    const ref_ptr<CTexture> texture = MakeTexture(MakeBitmap(100, 60, [](int, int) { return kRed; }));
    D3DSURFACE_DESC desc;
    static_cast<CHardwareTexture_D3D8*>(texture->GetHardwareTexture().get())->GetTexture()->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, c.width);
    EXPECT_EQ(desc.Height, c.height);
    const bool resized = c.width != 100 || c.height != 60;
    EXPECT_EQ(log.Contains(resized ? "Resizing bitmap from (100, 60) to (" : "Resizing"), resized);
}

INSTANTIATE_TEST_SUITE_P(Cases, D3D8TextureSizeTest,
                         Values(CSizeCase{"AnySize", 0, false, 100, 60},
                                CSizeCase{"PowerOfTwo", D3DPTEXTURECAPS_POW2, false, 128, 64},
                                CSizeCase{"Square", D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY, false, 128, 128},
                                CSizeCase{"CapsUnknown", 0, true, 128, 128}),
                         kCaseName);

TEST_F(D3D8DriverTest, AdapterThatCannotRenderWindowedForcesFullScreen) {
    const Platform::Testing::CDisplayMode desktop{640, 480, 60, 32};
    Platform::Testing::SetDisplayModes({{320, 240, 60, 32}, desktop}, desktop);
    Platform::Testing::D3D8Config().caps.Caps2 = 0;
    ASSERT_TRUE(CreateDriver(WindowedParams(320, 240)));
    EXPECT_EQ(driver->GetParams().fullScreen, 1);
    EXPECT_EQ(driver->GetPresentParameters().Windowed, FALSE);
    EXPECT_EQ(driver->GetPresentParameters().BackBufferFormat, D3DFMT_X8R8G8B8);
}

// One frame: a textured sprite, and a render target drawn and shown.
class D3D8DeviceLossTest : public D3D8Fixture {
protected:
    void SetUp() override {
        D3D8Fixture::SetUp();
        CreateReadyDriver();
        texture = MakeTexture(QuadrantBitmap(2));
        discarded = MakeTexture(QuadrantBitmap(2), true);
        target.reset(driver->CreateRenderTarget(32, 32));
        Platform::Testing::UseTestClock(1000000);
        GetGlobalClock().Start();
    }
    void TearDown() override {
        GetGlobalClock().Stop();
        target.reset();
        texture = discarded = nullptr;
        D3D8Fixture::TearDown();
    }
    // Draws the frame; false when the scene could not begin.
    bool DrawFrame() {
        if (!driver->gBeginScene()) return false;
        SetDefaultRenderStates(*driver);
        driver->SetRenderTarget(target.get());
        driver->gSetTextureStage(0, nullptr);
        DrawSprites({Rect(0, 0, 32, 32, ARGB(0, 255, 0))});
        driver->SetRenderTarget(nullptr);
        Clear(0, 0, 0.5f);
        driver->gSetTextureStage(0, texture);
        DrawSprites({Rect(10, 10, 30, 30)});
        driver->gSetTexture(0, target.get());
        DrawSprites({Rect(40, 10, 72, 42)});
        driver->gEndScene();
        driver->gFlipBuffers();
        return true;
    }
    std::vector<uint32_t> Picture() const {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 50; y += 3)
            for (int x = 0; x < 80; x += 3) pixels.push_back(Pixel(x, y));
        return pixels;
    }

    ref_ptr<CTexture> texture = nullptr, discarded = nullptr;
    std::unique_ptr<CRenderTarget> target;
};

TEST_F(D3D8DeviceLossTest, LostDeviceIsResetAndTheNextFrameMatches) {
    ASSERT_TRUE(DrawFrame());
    const std::vector<uint32_t> before = Picture();
    EXPECT_EQ(Pixel(12, 12), kRed);
    EXPECT_EQ(Pixel(50, 20), kGreen);

    Platform::Testing::AdvanceTestClock(1000);
    Platform::Testing::LoseD3D8Device();
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_FALSE(DrawFrame());
        Platform::Testing::AdvanceTestClock(500000);
    }
    // Drawing while lost is harmless.
    EXPECT_NO_THROW(DrawQuads(*driver, {Rect(0, 0, 8, 8)}));
    driver->gFlipBuffers();

    Platform::Testing::RegainD3D8Device();
    app.onRestored = [] { Platform::Testing::AdvanceTestClock(250000); };
    ASSERT_TRUE(DrawFrame());
    EXPECT_EQ(app.restored, 1);
    // Neither the lost time nor the restore counts as game time.
    EXPECT_EQ(GetGlobalClock().GetElapsed(), 1000);
    EXPECT_EQ(Picture(), before);
    // The driver's defaults are back after the reset.
    EXPECT_EQ(RenderState(D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
    // A texture whose pixels were freed after upload, and not loaded again,
    // stays empty instead of reading freed memory.
    EXPECT_TRUE(log.Contains("Bitmap is not loaded (2, 2)"));
    EXPECT_EQ(static_cast<CHardwareTexture_D3D8*>(discarded->GetHardwareTexture().get())->GetTexture(), nullptr);
}

TEST_F(D3D8DeviceLossTest, VertexBuffersComeBackEmptyAndIndexBuffersKeepTheirContents) {
    ref_ptr<CVertexBuffer> vertices;
    driver->CreateVertexBuffer(vertices, 4, 16, VF_XYZ | VF_DIFFUSE, true);
    ref_ptr<CIndexBuffer> indices;
    driver->CreateIndexBuffer(indices, INDEX_16, 4, false);
    std::memset(vertices->Lock(), 0xAB, 64);
    vertices->Unlock();
    std::memset(indices->Lock(), 0xCD, 8);
    indices->Unlock();
    IDirect3DIndexBuffer8* managed = static_cast<CIndexBuffer_D3D8*>(indices.get())->GetBuffer();
    Platform::Testing::LoseD3D8Device();
    Platform::Testing::RegainD3D8Device();
    ASSERT_TRUE(driver->gBeginScene());
    EXPECT_EQ(static_cast<const uint8_t*>(vertices->Lock())[63], 0);
    vertices->Unlock();
    EXPECT_EQ(static_cast<CIndexBuffer_D3D8*>(indices.get())->GetBuffer(), managed);
    EXPECT_EQ(static_cast<const uint8_t*>(indices->Lock())[7], 0xCD);
    indices->Unlock();
}

TEST_F(D3D8DeviceLossTest, ResetLostAgainIsTriedOnTheNextFrame) {
    Platform::Testing::LoseD3D8Device();
    Platform::Testing::RegainD3D8Device();
    Platform::Testing::FailNextD3D8Reset(D3DERR_DEVICELOST);
    EXPECT_FALSE(driver->gBeginScene());
    EXPECT_TRUE(DrawFrame());
    EXPECT_EQ(app.restored, 1);
}

TEST_F(D3D8DeviceLossTest, ResetThatFailsOtherwiseThrows) {
    Platform::Testing::LoseD3D8Device();
    Platform::Testing::RegainD3D8Device();
    Platform::Testing::FailNextD3D8Reset(D3DERR_INVALIDCALL);
    EXPECT_THROW(driver->gBeginScene(), Engine::CException);
}

TEST_F(D3D8DeviceLossTest, ModeChangeRestoresObjectsOrKeepsThePreviousMode) {
    ASSERT_TRUE(driver->ChangeVideoMode(WindowedParams(120, 90)));
    EXPECT_EQ(driver->GetPresentParameters().BackBufferWidth, 120u);
    ASSERT_TRUE(DrawFrame());
    EXPECT_EQ(Pixel(12, 12), kRed);

    Platform::Testing::FailNextD3D8Reset(D3DERR_INVALIDCALL);
    EXPECT_FALSE(driver->ChangeVideoMode(WindowedParams(100, 80)));
    EXPECT_TRUE(log.Contains("Trying to restore previous mode"));
    EXPECT_EQ(driver->GetParams().width, 120);
    EXPECT_EQ(app.restored, 2);
}

// Full screen the device's pointer, made from the system cursor's picture,
// is the one shown; windowed the system's is shown and the device's hidden.
class D3D8CursorTest : public D3D8Fixture, public ::testing::WithParamInterface<bool> {};

TEST_P(D3D8CursorTest, FullScreenUploadsThePictureAndHotSpotWindowedLeavesItToTheSystem) {
    const bool fullScreen = GetParam();
    const Platform::Testing::CDisplayMode desktop{640, 480, 60, 32};
    Platform::Testing::SetDisplayModes({{320, 240, 60, 32}, desktop}, desktop);
    CGraphicsParams params = WindowedParams(320, 240);
    params.fullScreen = fullScreen;
    ASSERT_TRUE(CreateDriver(params));
    ASSERT_EQ(driver->GetParams().fullScreen, int(fullScreen));
    driver->ShowCursor(true, true, CURSOR_CROSS);
    driver->SetCursorPosition(7, 9);
    Platform::Testing::CD3D8Cursor cursor = Platform::Testing::GetD3D8Cursor();
    EXPECT_EQ(cursor.shown, fullScreen);
    EXPECT_EQ(Platform::Testing::GetCurrentCursor(), fullScreen ? nullptr : LoadCursor(nullptr, IDC_CROSS));
    const Platform::Testing::CShownPointer shown = Platform::Testing::GetShownPointer();
    EXPECT_TRUE(shown.visible);
    EXPECT_EQ(shown.picture, fullScreen);
    if (fullScreen) {
        EXPECT_EQ(shown.pixels, cursor.pixels);
        EXPECT_EQ(std::tuple(shown.width, shown.hotX, shown.hotY, shown.x, shown.y), std::tuple(32, 16, 16, 7, 9));
        EXPECT_EQ(cursor.x, 7);
        EXPECT_EQ(cursor.y, 9);
        EXPECT_EQ(cursor.hotX, 16u);
        EXPECT_EQ(cursor.hotY, 16u);
        ASSERT_EQ(cursor.width, 32u);
        ASSERT_EQ(cursor.height, 32u);
        EXPECT_EQ(cursor.pixels[0], 0xFF000000u);         // black edge at the tip
        EXPECT_EQ(cursor.pixels[5 * 32 + 2], 0xFFFFFFFFu); // white inside
        EXPECT_EQ(cursor.pixels[2 * 32 + 5], 0u);          // transparent outside
        EXPECT_EQ(cursor.pixels[31 * 32], 0u);
    } else {
        EXPECT_EQ(cursor.x, 0);
    }
    driver->ShowCursor(false, true, CURSOR_CROSS);
    EXPECT_FALSE(Platform::Testing::GetD3D8Cursor().shown);
    EXPECT_FALSE(Platform::Testing::GetShownPointer().picture);
    if (fullScreen) {
        EXPECT_FALSE(Platform::Testing::GetShownPointer().visible);
    }
    driver->ShowCursor(true, false, CURSOR_CROSS);
    ReleaseDriver();
    EXPECT_FALSE(Platform::Testing::GetShownPointer().picture);
    EXPECT_EQ(Platform::Testing::GetD3D8LiveObjectCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, D3D8CursorTest, Values(true, false),
                         [](const auto& info) { return info.param ? "FullScreen" : "Windowed"; });

} // namespace
