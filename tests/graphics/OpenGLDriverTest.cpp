// The OpenGL driver's life: creation and its refusals, display modes, mode
// changes with device-object restore, and teardown.

#include <string>

#include "OpenGLTestSupport.h"
#include "app/Timer.h"
#include "platform/DirectDraw7.h"
#include "platform/Display.h"
#include "platform/Messages.h"
#include "platform/Window.h"

using namespace OpenGLTest;
using Platform::Testing::Failure;
using ::testing::Values;

namespace {

using OpenGLDriverTest = OpenGLFixture;

TEST_F(OpenGLDriverTest, CreateMakesTheDeviceAndDestroyTearsItDown) {
    ASSERT_TRUE(CreateDriver());
    HWND window = app.m_hWnd;
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(app.windowCreated, 1);
    EXPECT_EQ(app.created, 1);
    EXPECT_EQ(driver->GetTextureFormats().Size(), 5u);
    EXPECT_EQ(Platform::Testing::GetGlContextCount(), 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
    EXPECT_TRUE(log.Contains("SetPixelFormat() : OK"));
    EXPECT_TRUE(log.Contains("wglMakeCurrent(...) : OK"));
    EXPECT_TRUE(log.Contains("TestOGL() : OK"));

    driver->Destroy();
    EXPECT_EQ(app.destroyed, 1);
    EXPECT_EQ(app.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(driver->IsCreated());
    EXPECT_EQ(Platform::Testing::GetGlContextCount(), 0);
}

TEST_F(OpenGLDriverTest, DeletingWithoutDestroyStillClosesTheWindow) {
    ASSERT_TRUE(CreateDriver());
    HWND window = app.m_hWnd;
    driver.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Platform::Testing::GetGlContextCount(), 0);
}

struct CFailureCase {
    const char* name;
    Failure failure;
    const char* logged;
};

class OpenGLCreateFailureTest : public OpenGLFixture, public ::testing::WithParamInterface<CFailureCase> {};

TEST_P(OpenGLCreateFailureTest, ReportsFalseAfterLoggingAndTheNextDriverWorks) {
    Platform::Testing::FailNext(GetParam().failure);
    EXPECT_FALSE(CreateDriver());
    EXPECT_TRUE(log.Contains(GetParam().logged)) << log.Text();
    EXPECT_EQ(app.created, 0);
    // The application's protocol after a failed Create.
    driver->Destroy();
    driver.reset();
    EXPECT_EQ(Platform::Testing::GetGlContextCount(), 0);

    ASSERT_TRUE(CreateDriver());
    EXPECT_EQ(app.created, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenGLCreateFailureTest,
    Values(CFailureCase{"Window", Failure::WindowCreation, "GetDC() : 0x00000000"},
           CFailureCase{"PixelFormat", Failure::PixelFormat, "ChoosePixelFormat() : 0"},
           CFailureCase{"Context", Failure::GlContext, "wglCreateContext(...) : FAILED"},
           CFailureCase{"MakeCurrent", Failure::GlMakeCurrent, "wglMakeCurrent(...) : FAILED"}),
    [](const auto& info) { return std::string(info.param.name); });

// What the implementation reports, and whether the driver accepts it.
struct CCheckCase {
    const char* name;
    const char* renderer; // null: the implementation's own
    const char* version;
    bool appFlag, deviceCheck, accepted;
    const char* logged;
};

class OpenGLDriverCheckTest : public OpenGLFixture, public ::testing::WithParamInterface<CCheckCase> {};

TEST_P(OpenGLDriverCheckTest, RefusedDriversLeaveNoWindow) {
    const CCheckCase& c = GetParam();
    Platform::Testing::SetGlString(GL_RENDERER, c.renderer);
    Platform::Testing::SetGlString(GL_VERSION, c.version);
    CGraphicsParams params = WindowedParams();
    params.appFlag = c.appFlag;
    driver = std::make_unique<CGraphics_OGL>(&cell);
    driver->m_bDeviceCheck = c.deviceCheck;
    EXPECT_EQ(driver->Create("test", &params), c.accepted);
    EXPECT_TRUE(log.Contains(c.logged)) << log.Text();
    if (c.accepted) return;
    EXPECT_EQ(app.m_hWnd, nullptr);
    EXPECT_EQ(app.created, 0);
    EXPECT_EQ(Platform::Testing::GetGlContextCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenGLDriverCheckTest,
    Values(CCheckCase{"GdiGenericRefused", "GDI Generic", nullptr, true, false, false, "Hardware Acceleration Not Found"},
           CCheckCase{"GdiGenericWithoutFlag", "GDI Generic", nullptr, false, false, true, "TestOGL() : OK"},
           CCheckCase{"Version121Refused", nullptr, "1.2.1", true, true, false,
                      "Unsupported driver version (Found : 1.2.1, Required : 1.3)"},
           CCheckCase{"Version121Unchecked", nullptr, "1.2.1", true, false, true, "TestOGL() : OK"},
           CCheckCase{"Version13", nullptr, "1.3", true, true, true, "TestOGL() : OK"},
           CCheckCase{"Version20", nullptr, "2.0 Mesa", true, true, true, "TestOGL() : OK"},
           CCheckCase{"UnreadableVersion", nullptr, "OpenGL ES", true, true, true, "TestOGL() : OK"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OpenGLDriverTest, CheckRefusesTooLittleFreeVideoMemory) {
    // Measured through DirectDraw into a record that holds no value yet.
    Platform::Testing::SetVideoMemory(4000, 1000);
    CVideoMemory memory{0xFFFFFFFFu, 0xFFFFFFFFu};
    driver = std::make_unique<CGraphics_OGL>(&cell);
    driver->m_pVideoMemory = &memory;
    driver->m_nRequiredVideoMemory = 2000;
    driver->m_bDeviceCheck = 1;
    CGraphicsParams params = WindowedParams();
    EXPECT_FALSE(driver->Create("test", &params));
    EXPECT_TRUE(log.Contains("Not enough free video memory (Free : 1000, Minimum : 2000, Total : 4000)"));
}

class OpenGLFullScreenTest : public OpenGLFixture {
protected:
    void SetUp() override {
        OpenGLFixture::SetUp();
        const Platform::Testing::CDisplayMode desktop{640, 480, 60, 32};
        Platform::Testing::SetDisplayModes({{320, 240, 60, 32}, {320, 240, 75, 32}, desktop}, desktop);
    }
    static CGraphicsParams FullScreen(int refresh) {
        CGraphicsParams params = WindowedParams(320, 240);
        params.fullScreen = 1;
        params.waitVSync = 1;
        params.refresh = refresh;
        return params;
    }
    static DEVMODE CurrentMode() {
        DEVMODE mode;
        EnumDisplaySettings(nullptr, ENUM_CURRENT_SETTINGS, &mode);
        return mode;
    }
};

TEST_F(OpenGLFullScreenTest, FastestModeWithinTheRefreshAskedFor) {
    for (auto [refresh, chosen] : {std::pair{70, 60}, {0, 75}, {50, 60}}) {
        ASSERT_TRUE(CreateDriver(FullScreen(refresh)));
        EXPECT_EQ(CurrentMode().dmDisplayFrequency, DWORD(chosen)) << refresh;
        EXPECT_EQ(Platform::Testing::GetSwapInterval(), 1);
        driver->Destroy();
        EXPECT_EQ(CurrentMode().dmPelsWidth, 640u); // back to the desktop
    }
}

TEST_F(OpenGLFullScreenTest, WindowedModeDoesNotWaitForRetrace) {
    CGraphicsParams params = WindowedParams();
    params.waitVSync = 1;
    ASSERT_TRUE(CreateDriver(params));
    EXPECT_EQ(Platform::Testing::GetSwapInterval(), 0);
}

TEST_F(OpenGLFullScreenTest, DeactivationReturnsToTheDesktopUntilReactivated) {
    ASSERT_TRUE(CreateDriver(FullScreen(0)));
    SendMessage(app.m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(CurrentMode().dmPelsWidth, 640u);
    SendMessage(app.m_hWnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(CurrentMode().dmPelsWidth, 320u);
}

TEST_F(OpenGLFullScreenTest, RefusedModeChangeKeepsThePreviousMode) {
    ASSERT_TRUE(CreateDriver());
    Platform::Testing::FailNext(Failure::DisplayChange);
    EXPECT_FALSE(driver->ChangeVideoMode(FullScreen(0)));
    EXPECT_TRUE(log.Contains("Trying to restore previous mode"));
    EXPECT_EQ(driver->GetParams().fullScreen, 0);
    EXPECT_EQ(driver->GetParams().width, kWidth);
    EXPECT_EQ(app.restored, 1);
}

// Failures are reported by the result (the Alt+Enter toggle only logs it);
// whatever was invalidated is restored all the same.
TEST_F(OpenGLFullScreenTest, ModeChangesThatFailReturnFalse) {
    ASSERT_TRUE(CreateDriver(FullScreen(0)));
    EXPECT_FALSE(driver->ChangeVideoMode(WindowedParams(1920, 1200)));
    EXPECT_TRUE(log.Contains("Unsupported video mode"));
    EXPECT_EQ(app.restored, 0);
    Platform::Testing::FailNext(Failure::DisplayChange, 2);
    EXPECT_FALSE(driver->ChangeVideoMode(FullScreen(60)));
    EXPECT_TRUE(log.Contains("ChangeDisplaySettings(...) : FAILED\n"));
    EXPECT_EQ(app.restored, 1);
}

class OpenGLModeChangeTest : public OpenGLFixture {
protected:
    void TearDown() override {
        GetGlobalClock().Stop();
        OpenGLFixture::TearDown();
    }
};

TEST_F(OpenGLModeChangeTest, ObjectsAreReleasedAndRestoredWithoutClockJump) {
    CreateReadyDriver();
    const ref_ptr<CTexture> texture = MakeTexture(QuadrantBitmap(2));
    const ref_ptr<CTexture> discarded = MakeTexture(QuadrantBitmap(2), true);
    std::unique_ptr<CRenderTarget> target(driver->CreateRenderTarget(16, 16));
    const int32_t targetTexture = static_cast<CRenderTarget_OGL*>(target.get())->GetTextureName();

    Platform::Testing::UseTestClock(1000000);
    GetGlobalClock().Start();
    Platform::Testing::AdvanceTestClock(500);
    app.onRestored = [] { Platform::Testing::AdvanceTestClock(250000); };
    EXPECT_TRUE(driver->ChangeVideoMode(WindowedParams(120, 90)));
    EXPECT_EQ(GetGlobalClock().GetElapsed(), 500);
    EXPECT_EQ(app.restored, 1);

    // The discarded texture has nothing to upload again; the others are back.
    const auto name = [](const ref_ptr<CTexture>& t) {
        return static_cast<CHardwareTexture_OGL*>(t->GetHardwareTexture().get())->GetTextureName();
    };
    EXPECT_LT(name(discarded), 0);
    EXPECT_TRUE(log.Contains("no pixels to upload"));
    EXPECT_GE(name(texture), 0);
    EXPECT_EQ(static_cast<CRenderTarget_OGL*>(target.get())->GetTextureName(), targetTexture);

    SetDefaultRenderStates(*driver);
    Clear(0, 0, 0);
    driver->gSetTextureStage(0, texture);
    DrawQuads(*driver, {Rect(100, 70, 120, 90)});
    ExpectPixels({{101, 71, kRed}, {119, 89, kWhite}});
}

} // namespace
