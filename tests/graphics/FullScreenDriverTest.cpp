// Full screen in every driver: the display switched and given back, modes
// the display refuses; then the Direct3D 7 and software drivers' own paths:
// the mode picked, how a frame reaches the screen, deactivation.

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "OpenGLTestSupport.h"
#include "app/Exception.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "platform/DirectDraw7.h"
#include "platform/Display.h"
#include "platform/Messages.h"
#include "platform/SdlBridge.h"

using namespace OpenGLTest;
namespace T = Platform::Testing;

namespace {

const T::CDisplayMode kDesktop{640, 480, 60, 32};
// 320 x 240 at three rates (in this order) and in 16 bits.
const std::vector<T::CDisplayMode> kModes = {
    {320, 240, 60, 32}, {320, 240, 75, 32}, {320, 240, 85, 32}, {320, 240, 60, 16}, kDesktop};

CGraphicsParams FullScreen(int refresh, bool waitVSync = true, int colorBits = 24) {
    CGraphicsParams params = WindowedParams(320, 240);
    params.fullScreen = 1;
    params.waitVSync = waitVSync ? 1 : 0;
    params.refresh = refresh;
    params.colorBits = colorBits;
    params.alphaBits = colorBits > 16 ? 8 : 0;
    return params;
}

DEVMODE CurrentDisplayMode() {
    DEVMODE mode;
    EnumDisplaySettings(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    return mode;
}

std::vector<LONG> Corners(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

bool IsMinimised(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client.right <= client.left || client.bottom <= client.top;
}

struct CModeCase {
    const char* name;
    int refresh, colorBits;
    DWORD chosenRefresh, chosenBits;
};

void PrintTo(const CModeCase& c, std::ostream* out) { *out << c.name; }

// The picture the window shows at its centre after one frame cleared to the
// colour, as 0x00RRGGBB; its size in width and height.
uint32_t PresentedCentre(CGraphics& driver, HWND window, float r, float g, float b, int& width, int& height) {
    T::KeepSwappedPictures(true);
    EXPECT_TRUE(driver.gBeginScene());
    ClearDriver(driver, r, g, b);
    driver.gEndScene();
    driver.gFlipBuffers();
    std::vector<uint32_t> picture;
    width = height = 0;
    if (!T::ReadWindowPicture(window, picture, width, height) || picture.empty()) return 0xDEADBEEF;
    return picture[size_t(height / 2) * size_t(width) + size_t(width / 2)];
}

// ---- Every driver ----

struct CDriverCase {
    const char* name;
    std::unique_ptr<CGraphics> (*make)(Engine::CApplication**);
    int swapInterval;  // after a frame in full screen waiting for the retrace; -1: the driver sets none
};

void PrintTo(const CDriverCase& c, std::ostream* out) { *out << c.name; }

template <class TDriver>
std::unique_ptr<CGraphics> Make(Engine::CApplication** app) {
    return std::make_unique<TDriver>(app);
}

const std::vector<CDriverCase> kDrivers = {{"OpenGL", Make<CGraphics_OGL>, 1},
                                           {"D3D8", Make<CGraphics_D3D8>, 1},
                                           {"D3D7", Make<CGraphics_D3D7>, 1},
                                           {"Software", Make<CGraphics_SFTW>, -1}};

// A driver made by the case's `make`.
template <class TCase>
class DriverCaseFullScreenTest : public HeadlessDriverFixture, public ::testing::WithParamInterface<TCase> {
protected:
    void SetUp() override {
        HeadlessDriverFixture::SetUp();
        T::SetDisplayModes(kModes, kDesktop);
    }
    void TearDown() override {
        if (driver) driver->Destroy();
        if (driver && libraryLoaded) driver->FreeDriverLibrary();
        driver.reset();
        HeadlessDriverFixture::TearDown();
    }
    bool Create(CGraphicsParams params) {
        driver = this->GetParam().make(&cell);
        libraryLoaded = driver->LoadDriverLibrary();
        return driver->Create("test", &params);
    }
    bool ShownFullScreen() const {
        return SDL_GetWindowFlags(Platform::GetSdlWindow(app.m_hWnd)) & SDL_WINDOW_FULLSCREEN;
    }
    // The display in the 320 x 240 mode, and the window covering it.
    void ExpectFullScreen() const {
        RECT client{};
        POINT origin{};
        GetClientRect(app.m_hWnd, &client);
        ClientToScreen(app.m_hWnd, &origin);
        const DEVMODE mode = CurrentDisplayMode();
        EXPECT_EQ(std::pair(mode.dmPelsWidth, mode.dmPelsHeight), std::pair(320u, 240u));
        EXPECT_EQ(Corners(RECT{origin.x, origin.y, client.right, client.bottom}), (std::vector<LONG>{0, 0, 320, 240}));
        EXPECT_TRUE(ShownFullScreen());
    }

    std::unique_ptr<CGraphics> driver;
    bool libraryLoaded = false;
};

using EveryDriverFullScreenTest = DriverCaseFullScreenTest<CDriverCase>;

TEST_P(EveryDriverFullScreenTest, DisplayTakesTheModeWhileFullScreenAndTheDesktopComesBack) {
    ASSERT_TRUE(Create(FullScreen(0)));
    ExpectFullScreen();
    int width = 0, height = 0;
    EXPECT_EQ(PresentedCentre(*driver, app.m_hWnd, 0, 1, 0, width, height), 0x00FF00u);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(T::GetSwapInterval(), GetParam().swapInterval);

    ASSERT_TRUE(driver->ChangeVideoMode(WindowedParams()));
    EXPECT_EQ(CurrentDisplayMode().dmPelsWidth, kDesktop.width);
    EXPECT_FALSE(ShownFullScreen());
    ASSERT_TRUE(driver->ChangeVideoMode(FullScreen(0)));
    ExpectFullScreen();

    driver->Destroy();
    EXPECT_EQ(CurrentDisplayMode().dmPelsWidth, kDesktop.width);
    EXPECT_EQ(CurrentDisplayMode().dmPelsHeight, kDesktop.height);
}

// A size the display does not list, and a listed mode the display refuses
// when asked: the change is false, and the window still draws as before.
TEST_P(EveryDriverFullScreenTest, RefusedModeIsFalseAndTheDriverStillDraws) {
    ASSERT_TRUE(Create(WindowedParams()));
    EXPECT_FALSE(driver->ChangeVideoMode(WindowedParams(1920, 1200)));
    EXPECT_TRUE(log.Contains("Unsupported video mode 1920x1200"));
    T::FailNext(T::Failure::DisplayChange);
    EXPECT_FALSE(driver->ChangeVideoMode(FullScreen(0)));
    EXPECT_EQ(driver->GetParams().fullScreen, 0);
    EXPECT_EQ(driver->GetParams().width, kWidth);
    EXPECT_EQ(CurrentDisplayMode().dmPelsWidth, kDesktop.width);
    int width = 0, height = 0;
    EXPECT_EQ(PresentedCentre(*driver, app.m_hWnd, 0, 0, 1, width, height), 0x0000FFu);
    EXPECT_EQ(width, kWidth);
}

// The application hides its window before it lets go of what it holds.
// Hiding deactivates the window, and a deactivation minimises a shown
// full-screen window: a hidden one stays hidden, then and later.
TEST_P(EveryDriverFullScreenTest, WindowHiddenToBeClosedStaysHiddenThroughItsDeactivation) {
    ASSERT_TRUE(Create(FullScreen(0)));
    ExpectFullScreen();
    SDL_Window* window = Platform::GetSdlWindow(app.m_hWnd);
    ShowWindow(app.m_hWnd, SW_HIDE);
    for (const bool again : {false, true}) {
        if (again) SendMessage(app.m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_FALSE(IsWindowVisible(app.m_hWnd)) << again;
        EXPECT_FALSE(SDL_GetWindowFlags(window) & (SDL_WINDOW_SHOWN | SDL_WINDOW_FULLSCREEN)) << again;
        EXPECT_FALSE(app.IsActive()) << again;
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, EveryDriverFullScreenTest, ::testing::ValuesIn(kDrivers), kCaseName);

// ---- Direct3D 8 and 7 ----

struct CRefusalCase {
    const char* name;
    std::unique_ptr<CGraphics> (*make)(Engine::CApplication**);
    // Logged with " : Trying to restore previous mode" when the new mode is
    // refused, and alone when the previous one is refused too.
    const char* failed;
};

void PrintTo(const CRefusalCase& c, std::ostream* out) { *out << c.name; }

using Direct3DRefusedModesTest = DriverCaseFullScreenTest<CRefusalCase>;

// Neither the new full-screen mode nor the previous one is taken: false,
// the objects restored once, and the driver goes on without throwing until
// a later change succeeds.
TEST_P(Direct3DRefusedModesTest, BothModesRefusedIsFalseAndLaterFramesGoOn) {
    std::vector<T::CDisplayMode> modes = kModes;
    modes.push_back({400, 300, 60, 32});
    T::SetDisplayModes(modes, kDesktop);
    ASSERT_TRUE(Create(FullScreen(0)));
    CGraphicsParams larger = FullScreen(0);
    larger.width = 400;
    larger.height = 300;
    T::FailNext(T::Failure::DisplayChange, 1000);
    EXPECT_FALSE(driver->ChangeVideoMode(larger));
    const std::string failed = GetParam().failed;
    EXPECT_TRUE(log.Contains(failed + " : Trying to restore previous mode\n"));
    EXPECT_TRUE(log.Contains(failed + "\n"));
    EXPECT_EQ(app.restored, 1);
    EXPECT_EQ(driver->GetParams().width, 320);
    auto frame = [this] {
        if (!driver->gBeginScene()) return false;
        ClearDriver(*driver, 0, 0, 1);
        DrawQuads(*driver, {Rect(10, 10, 20, 20, kWhite)});
        driver->gEndScene();
        driver->gFlipBuffers();
        return true;
    };
    EXPECT_NO_THROW(frame());

    T::FailNext(T::Failure::DisplayChange, 0);
    EXPECT_TRUE(driver->ChangeVideoMode(larger));
    EXPECT_TRUE(frame());
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, Direct3DRefusedModesTest,
    ::testing::Values(
        CRefusalCase{"D3D8", Make<CGraphics_D3D8>,
                     "CGraphics_D3D8::ChangeVideoMode(...) : Reset(...) : FAILED : D3DERR_INVALIDCALL"},
        CRefusalCase{"D3D7", Make<CGraphics_D3D7>,
                     "Engine::Graphics::CGraphics_D3D7::ChangeVideoMode(...) : InitD3D(...) : FAILED"}),
    kCaseName);

// ---- Direct3D 7 ----

class D3D7FullScreenTest : public CreatedDriverFixture<CGraphics_D3D7, XrgbPixel<T::ReadDD7RenderTarget>> {
protected:
    void SetUp() override {
        CreatedDriverFixture::SetUp();
        // DirectDraw lists every mode in 16 bits too; the display shows them.
        std::vector<T::CDisplayMode> modes = kModes;
        modes.insert(modes.end(), {{320, 240, 75, 16}, {320, 240, 85, 16}});
        T::SetDisplayModes(modes, kDesktop);
    }
    void TearDown() override {
        ReleaseDriver();
        EXPECT_EQ(T::GetDD7LiveObjectCount(), 0);
        CreatedDriverFixture::TearDown();
    }
    std::vector<T::CDDPresentation> PresentFrame(float r, float g, float b) {
        T::TakeDDPresentations();
        EXPECT_TRUE(driver->gBeginScene());
        Clear(r, g, b);
        driver->gEndScene();
        driver->gFlipBuffers();
        return T::TakeDDPresentations();
    }
};

class D3D7FullScreenFlipTest : public D3D7FullScreenTest, public ::testing::WithParamInterface<bool> {};

TEST_P(D3D7FullScreenFlipTest, FrameIsFlippedWithOrWithoutTheRetrace) {
    const bool waitVSync = GetParam();
    ASSERT_TRUE(CreateDriver(FullScreen(0, waitVSync)));
    const std::vector<T::CDDPresentation> shown = PresentFrame(1, 0, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].flip);
    EXPECT_EQ(shown[0].flags, waitVSync ? DDFLIP_WAIT : DDFLIP_WAIT | DDFLIP_NOVSYNC);
    EXPECT_EQ(T::GetSwapInterval(), waitVSync ? 1 : 0);
    EXPECT_EQ(Pixel(319, 239), kRed);
    // After a mode change nothing is shown until the next frame ends.
    ASSERT_TRUE(driver->ChangeVideoMode(FullScreen(0, waitVSync)));
    driver->gFlipBuffers();
    EXPECT_TRUE(T::TakeDDPresentations().empty());
}

INSTANTIATE_TEST_SUITE_P(Retrace, D3D7FullScreenFlipTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Wait" : "NoWait"); });

class D3D7ModeSearchTest : public D3D7FullScreenTest, public ::testing::WithParamInterface<CModeCase> {};

TEST_P(D3D7ModeSearchTest, DisplayTakesTheFastestModeWithinTheRateAskedFor) {
    const CModeCase& c = GetParam();
    ASSERT_TRUE(CreateDriver(FullScreen(c.refresh, true, c.colorBits)));
    const T::CDDMode set = T::GetDDDisplayMode();
    EXPECT_EQ(set.width, 320u);
    EXPECT_EQ(set.height, 240u);
    EXPECT_EQ(set.bits, c.chosenBits);
    EXPECT_EQ(set.refresh, c.chosenRefresh);
}

INSTANTIATE_TEST_SUITE_P(Cases, D3D7ModeSearchTest,
                         ::testing::ValuesIn(std::vector<CModeCase>{{"AnyRate", 0, 24, 85, 32},
                                                                    {"BetweenRates", 80, 24, 75, 32},
                                                                    {"ExactRate", 75, 24, 75, 32},
                                                                    {"LowestRate", 60, 24, 60, 32},
                                                                    {"SixteenBits", 0, 16, 85, 16}}),
                         kCaseName);

TEST_F(D3D7FullScreenTest, WiderDesktopGetsTheFrameScaledIntoItsMiddle) {
    const T::CDisplayMode wide{640, 360, 60, 32};
    T::SetDisplayModes({wide}, wide);
    ASSERT_TRUE(CreateDriver(FullScreen(0)));
    ASSERT_EQ(driver->GetParams().scaled, 1);
    const std::vector<T::CDDPresentation> shown = PresentFrame(0, 1, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].flip);
    EXPECT_EQ(shown[0].flags, DDBLT_WAIT);
    EXPECT_EQ(Pixel(319, 239), kGreen);
    EXPECT_EQ(Corners(shown[0].source), (std::vector<LONG>{0, 0, 320, 240}));
    EXPECT_EQ(Corners(shown[0].destination), (std::vector<LONG>{80, 0, 560, 360}));
}

TEST_F(D3D7FullScreenTest, DeactivationMinimisesAndActivationRestores) {
    ASSERT_TRUE(CreateDriver(FullScreen(0)));
    const HWND window = app.m_hWnd;
    SendMessage(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_TRUE(IsMinimised(window));
    SendMessage(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(IsMinimised(window));
    EXPECT_EQ(PresentFrame(0, 0, 1).size(), 1u);
}

TEST_F(D3D7FullScreenTest, ModeTheDisplayDriverLacksFallsBackToTheWindow) {
    // The display lists 320 x 240; DirectDraw renders only the desktop's size.
    T::DDConfig().drivers[0].modes = {{640, 480, 32, 60, 0}};
    ASSERT_TRUE(CreateDriver());
    EXPECT_FALSE(driver->ChangeVideoMode(FullScreen(0)));
    EXPECT_TRUE(log.Contains("Trying to restore previous mode"));
    EXPECT_EQ(driver->GetParams().fullScreen, 0);
    EXPECT_EQ(driver->GetParams().width, kWidth);
    const std::vector<T::CDDPresentation> shown = PresentFrame(1, 1, 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].flip);
    EXPECT_EQ(Pixel(5, 5), kWhite);
}

// ---- Software ----

class SoftwareFullScreenTest : public HeadlessDriverFixture {
protected:
    void SetUp() override {
        HeadlessDriverFixture::SetUp();
        T::SetDisplayModes(kModes, kDesktop);
        driver = std::make_unique<CGraphics_SFTW>(&cell);
    }
    void TearDown() override {
        driver.reset();
        HeadlessDriverFixture::TearDown();
    }
    bool Create(CGraphicsParams params) { return driver->Create("test", &params); }

    std::unique_ptr<CGraphics_SFTW> driver;
};

class SoftwareModeSearchTest : public SoftwareFullScreenTest, public ::testing::WithParamInterface<CModeCase> {};

TEST_P(SoftwareModeSearchTest, DisplayTakesTheFastestModeWithinTheRateAskedFor) {
    const CModeCase& c = GetParam();
    ASSERT_TRUE(Create(FullScreen(c.refresh, true, c.colorBits)));
    const DEVMODE mode = CurrentDisplayMode();
    EXPECT_EQ(mode.dmPelsWidth, 320u);
    EXPECT_EQ(mode.dmBitsPerPel, c.chosenBits);
    EXPECT_EQ(mode.dmDisplayFrequency, c.chosenRefresh);
    driver->Destroy();
    EXPECT_EQ(CurrentDisplayMode().dmPelsWidth, kDesktop.width);
}

// The first mode of the size is taken even above the rate asked for.
INSTANTIATE_TEST_SUITE_P(Cases, SoftwareModeSearchTest,
                         ::testing::ValuesIn(std::vector<CModeCase>{{"AnyRate", 0, 24, 85, 32},
                                                                    {"BetweenRates", 80, 24, 75, 32},
                                                                    {"BelowEveryRate", 50, 24, 60, 32},
                                                                    {"SixteenBits", 0, 16, 60, 16}}),
                         kCaseName);

TEST_F(SoftwareFullScreenTest, FrameIsShownWholeOnTheScreen) {
    ASSERT_TRUE(Create(FullScreen(0)));
    ClearDriver(*driver, 0, 0, 1);
    driver->gEndScene();
    driver->gFlipBuffers();
    std::vector<uint32_t> picture;
    int width = 0, height = 0;
    ASSERT_TRUE(T::ReadWindowPicture(driver->GetWindow(), picture, width, height));
    ASSERT_EQ(width, 320);
    EXPECT_EQ(picture.front(), 0x0000FFu);
    EXPECT_EQ(picture.back(), 0x0000FFu);
}

TEST_F(SoftwareFullScreenTest, DeactivationGivesTheDesktopBackUntilReactivated) {
    ASSERT_TRUE(Create(FullScreen(0)));
    const HWND window = driver->GetWindow();
    SendMessage(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_TRUE(IsMinimised(window));
    EXPECT_EQ(CurrentDisplayMode().dmPelsWidth, kDesktop.width);
    SendMessage(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(IsMinimised(window));
    EXPECT_EQ(CurrentDisplayMode().dmPelsWidth, 320u);

    // A display that refuses the mode on reactivation is logged; the window
    // comes back all the same.
    SendMessage(window, WM_ACTIVATE, WA_INACTIVE, 0);
    T::FailNext(T::Failure::DisplayChange);
    SendMessage(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(log.Contains("CGraphics_SFTW::WindowProc()::ChangeDisplaySettings(...) : FAILED"));
    EXPECT_FALSE(IsMinimised(window));
    EXPECT_EQ(CurrentDisplayMode().dmPelsWidth, kDesktop.width);
}

TEST_F(SoftwareFullScreenTest, RefusedModeAtCreationKeepsTheDesktop) {
    // Refused at creation and again when the shown window is activated.
    T::FailNext(T::Failure::DisplayChange, 2);
    EXPECT_TRUE(Create(FullScreen(0)));
    EXPECT_TRUE(log.Contains("Engine::Graphics::CGraphics_SFTW::Create()::ChangeDisplaySettings(...) : FAILED"));
    EXPECT_TRUE(log.Contains("CGraphics_SFTW::WindowProc()::ChangeDisplaySettings(...) : FAILED"));
    EXPECT_EQ(CurrentDisplayMode().dmPelsWidth, kDesktop.width);
}

// The display refuses the mode, or the new size's back buffer cannot be
// made: the previous mode comes back (desktop, window, buffer) and draws.
struct CFallbackCase {
    const char* name;
    T::Failure failure;
};

class SoftwareFallbackTest : public SoftwareFullScreenTest, public ::testing::WithParamInterface<CFallbackCase> {};

TEST_P(SoftwareFallbackTest, RefusedModeChangeFallsBackToThePreviousMode) {
    ASSERT_TRUE(Create(WindowedParams()));
    T::FailNext(GetParam().failure);
    EXPECT_FALSE(driver->ChangeVideoMode(FullScreen(0)));
    EXPECT_TRUE(log.Contains("ChangeDisplaySettings(...) : FAILED : Trying to restore previous mode"));
    EXPECT_EQ(driver->GetParams().fullScreen, 0);
    EXPECT_EQ(driver->GetParams().width, kWidth);
    EXPECT_EQ(app.restored, 1);
    EXPECT_EQ(CurrentDisplayMode().dmPelsWidth, kDesktop.width);
    int width = 0, height = 0;
    EXPECT_EQ(PresentedCentre(*driver, driver->GetWindow(), 1, 0, 0, width, height), 0xFF0000u);
    EXPECT_EQ(width, kWidth);
}

INSTANTIATE_TEST_SUITE_P(Cases, SoftwareFallbackTest,
                         ::testing::Values(CFallbackCase{"DisplayRefuses", T::Failure::DisplayChange},
                                           CFallbackCase{"NoBackBuffer", T::Failure::DibSection}),
                         kCaseName);

// Without a back buffer for either mode the driver cannot go on.
TEST_F(SoftwareFullScreenTest, BackBufferMadeForNeitherModeThrows) {
    ASSERT_TRUE(Create(WindowedParams()));
    T::FailNext(T::Failure::DibSection, 2);
    EXPECT_THROW(driver->ChangeVideoMode(WindowedParams(200, 150)), Engine::CException);
}

// Both modes refused: reported and logged, and the objects still restored.
TEST_F(SoftwareFullScreenTest, RefusedNewAndPreviousFullScreenModesReportFalse) {
    ASSERT_TRUE(Create(FullScreen(0)));
    T::FailNext(T::Failure::DisplayChange, 2);
    EXPECT_FALSE(driver->ChangeVideoMode(FullScreen(60)));
    EXPECT_TRUE(log.Contains("CGraphics_SFTW::WindowProc()::ChangeDisplaySettings(...) : FAILED\n"));
    EXPECT_EQ(app.restored, 1);
}

} // namespace
