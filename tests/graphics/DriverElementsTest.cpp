// What the drivers share at creation and in their device objects: the
// window class's handles, the window notification, the video-memory
// figures, the self-tests, the buffers' size checks, what Free keeps, and
// the Direct3D 7 device and render-target choices.

#include <memory>
#include <string>

#include "DriverCases.h"
#include "app/ApplicationHandles.h"
#include "app/DirectXDrivers.h"
#include "app/Exception.h"
#include "graphics/BufferedSpritesContainer.h"
#include "graphics/Texture.h"
#include "platform/Cursor.h"
#include "platform/Library.h"
#include "platform/Resources.h"
#include "platform/Window.h"

using namespace OpenGLTest;
namespace T = Platform::Testing;

namespace {

// A created driver of the parameter's kind.
class DriverElementsTest : public HeadlessDriverFixture, public ::testing::WithParamInterface<CDriverCase> {
protected:
    void TearDown() override {
        if (driver) {
            driver->Destroy();
            driver->FreeDriverLibrary();
            driver.reset();
        }
        HeadlessDriverFixture::TearDown();
    }
    bool Create(CGraphicsParams params = WindowedParams()) {
        driver = GetParam().make(&cell);
        driver->m_pVideoMemory = &memory;
        driver->LoadDriverLibrary();
        return driver->Create("elements", &params);
    }

    std::unique_ptr<CGraphics> driver;
    CVideoMemory memory;
};

TEST_P(DriverElementsTest, CreateTellsTheApplicationOnceTheWindowExists) {
    ASSERT_TRUE(Create());
    EXPECT_EQ(app.windowCreated, 1);
}

TEST_P(DriverElementsTest, FreeKeepsTheSourceBitmap) {
    ASSERT_TRUE(Create());
    ref_ptr<CBitmap> bitmap = QuadrantBitmap(4);
    ref_ptr<CHardwareTexture> texture;
    driver->CreateHardwareTexture(texture, bitmap, false, false, -1);
    ASSERT_TRUE(texture);
    texture->Free();
    EXPECT_EQ(texture->GetBitmap().get(), bitmap.get()) << "no texture holds its bitmap";
}

TEST_P(DriverElementsTest, WindowClassCarriesTheApplicationHandles) {
    HMODULE program = GetModuleHandle(nullptr);
    ASSERT_TRUE(Platform::RegisterIconGroup(program, Engine::kProgramIconId,
                                            {Platform::CIconImage{2, 2, {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0}}}));
    Engine::InitApplicationHandles(program);
    ASSERT_TRUE(Create());
    HWND window = app.m_hWnd;
    HICON icon = LoadIcon(program, Engine::kProgramIconId);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(T::GetWindowIcon(window), icon);
    EXPECT_EQ(GetClassLongPtr(window, GCLP_HICON), reinterpret_cast<UINT_PTR>(icon));
    EXPECT_EQ(GetClassLongPtr(window, GCLP_HCURSOR), reinterpret_cast<UINT_PTR>(LoadCursor(nullptr, IDC_ARROW)));
}

INSTANTIATE_TEST_SUITE_P(Drivers, DriverElementsTest, ::testing::ValuesIn(DriverCases()), kCaseName);

// The drivers that measure local video memory.
class VideoMemoryTest : public DriverElementsTest {};

TEST_P(VideoMemoryTest, MeasuredFiguresReachTheRecordWithTheDriversOwnLines) {
    T::SetVideoMemory(3000000, 2000000);
    ASSERT_TRUE(Create());
    EXPECT_EQ(memory.total, 3000000u);
    EXPECT_EQ(memory.free, 2000000u);
    const std::string name = GetParam().name;
    const bool openGl = name == "OpenGL";
    EXPECT_TRUE(log.Contains(openGl ? "Total Video Memory : 3000000" : "Total Video Memory (local) : 3000000"));
    EXPECT_TRUE(log.Contains(openGl ? "Free Video Memory : 2000000" : "Free Video Memory (local) : 2000000"));
    EXPECT_FALSE(log.Contains("Video memory :"));
    if (name != "D3D7") {
        EXPECT_EQ(T::GetDD7LiveObjectCount(), 0) << "the measuring objects are released";
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, VideoMemoryTest,
                         ::testing::Values(DriverCases()[0], DriverCases()[1], DriverCases()[2]), kCaseName);

TEST(DirectDrawCreateTest, FirstInterfaceAnswersOnlyForDirectDraw7) {
    T::Reset();
    HMODULE library = LoadLibrary("ddraw.dll");
    ASSERT_NE(library, nullptr);
    auto create = reinterpret_cast<PFN_DirectDrawCreate>(GetProcAddress(library, "DirectDrawCreate"));
    ASSERT_NE(create, nullptr);
    T::SetVideoMemory(5000, 4000);
    IDirectDraw* first = nullptr;
    ASSERT_EQ(create(nullptr, &first, nullptr), S_OK);
    void* other = nullptr;
    EXPECT_EQ(first->QueryInterface(IID_IDirect3D7, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    void* queried = nullptr;
    ASSERT_EQ(first->QueryInterface(IID_IDirectDraw7, &queried), S_OK);
    first->Release();
    auto* directDraw = static_cast<IDirectDraw7*>(queried);
    DDSCAPS2 caps;
    caps.dwCaps = DDSCAPS_LOCALVIDMEM;
    DWORD total = 0, free = 0;
    EXPECT_EQ(directDraw->GetAvailableVidMem(&caps, &total, &free), S_OK);
    EXPECT_EQ(total, 5000u);
    EXPECT_EQ(free, 4000u);
    directDraw->Release();
    EXPECT_EQ(T::GetDD7LiveObjectCount(), 0);
    GUID unknown{1, 2, 3, {}};
    EXPECT_LT(create(&unknown, &first, nullptr), 0) << "a display driver that is not there";
    FreeLibrary(library);
    T::Reset();
}

// Direct3D 8.

using D3D8ElementsTest = CreatedDriverFixture<CGraphics_D3D8, XrgbPixel<T::ReadD3D8BackBuffer>>;

TEST_F(D3D8ElementsTest, FailedLockIsLoggedAndDoesNotFailTheSelfTest) {
    T::D3D8Config().vertexBufferLockFails = true;
    ASSERT_TRUE(CreateDriver());
    EXPECT_TRUE(log.Contains("CVertexBuffer_D3D8::Lock() : "));
    EXPECT_TRUE(log.Contains("TestD3D() : OK"));
}

TEST_F(D3D8ElementsTest, BufferSizesAreCheckedWithTheCreationFailureText) {
    ASSERT_TRUE(CreateDriver());
    struct CCase {
        int count, size;
    };
    for (const CCase c : {CCase{0, 28}, CCase{-1, 28}, CCase{16, 0}, CCase{0x7FFFFFFF, 28}}) {
        ref_ptr<CVertexBuffer> vertices;
        try {
            driver->CreateVertexBuffer(vertices, c.count, c.size, VF_SPRITE, true);
            ADD_FAILURE() << c.count << " x " << c.size;
        } catch (const Engine::CException& e) {
            EXPECT_STREQ(e.what(), "CVertexBuffer_D3D8::CreateVertexBuffer() : FAILED");
        }
    }
    for (const int count : {0, -5, 0x40000000}) {
        ref_ptr<CIndexBuffer> indices;
        try {
            driver->CreateIndexBuffer(indices, INDEX_32, count, false);
            ADD_FAILURE() << count;
        } catch (const Engine::CException& e) {
            EXPECT_STREQ(e.what(), "CIndexBuffer_D3D8::CreateIndexBuffer() : FAILED");
        }
    }
}

// OpenGL.

using OpenGLElementsTest = OpenGLFixture;

TEST_F(OpenGLElementsTest, ChangeVideoModeEmptiesTheBufferedSpriteContainers) {
    ASSERT_TRUE(CreateDriver());
    driver->CreateSpriteContainers();
    const SpriteVertex quad[4] = {};
    for (int i = 0; i < 2; ++i) {
        driver->GetSpritesContainer()->Add(quad, nullptr, CBufferedDrawState{});
        driver->SwapSpriteContainers();
    }
    ASSERT_TRUE(driver->ChangeVideoMode(WindowedParams(200, 150)));
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(driver->GetSpritesContainer()->GetRecords().empty()) << i;
        driver->SwapSpriteContainers();
    }
}

// Direct3D 7.

// Records what the driver asks of the device-confirmation hook and how many
// index buffers it makes.
class CWatchedD3D7 : public CGraphics_D3D7 {
public:
    using CGraphics_D3D7::CGraphics_D3D7;
    void CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int typeCode, int count, bool dynamic) override {
        ++indexBuffers;
        CGraphics_D3D7::CreateIndexBuffer(out, typeCode, count, dynamic);
    }

    int indexBuffers = 0;
    int confirmations = 0;
    bool refuseTnL = false;

protected:
    bool ConfirmDevice(const DDCAPS& caps, const D3DDEVICEDESC7& desc) override {
        ++confirmations;
        if (refuseTnL && desc.deviceGUID == IID_IDirect3DTnLHalDevice) return false;
        return CGraphics_D3D7::ConfirmDevice(caps, desc);
    }
};

class D3D7ElementsTest : public CreatedDriverFixture<CWatchedD3D7, XrgbPixel<T::ReadDD7RenderTarget>> {
protected:
    bool CreateWatched(bool refuseTnL) {
        ReleaseDriver();
        driver = std::make_unique<CWatchedD3D7>(&cell);
        driver->refuseTnL = refuseTnL;
        CGraphicsParams params = WindowedParams();
        return driver->Create("test", &params);
    }
};

TEST_F(D3D7ElementsTest, EveryDeviceIsConfirmedAndTheSelfTestMakesNoIndexBuffer) {
    ASSERT_TRUE(CreateWatched(false));
    EXPECT_EQ(driver->confirmations, 3);
    EXPECT_EQ(driver->GetAcceptedDeviceCount(), 3);
    EXPECT_EQ(driver->indexBuffers, 0);
    EXPECT_TRUE(log.Contains("TestD3D() : OK"));
}

TEST_F(D3D7ElementsTest, RefusedDeviceIsNotChosen) {
    ASSERT_TRUE(CreateWatched(true));
    EXPECT_EQ(driver->GetAcceptedDeviceCount(), 2);
    EXPECT_TRUE(driver->GetChosenDevice()->deviceGuid == IID_IDirect3DHALDevice);
}

constexpr auto Rgb = T::RgbPixelFormat;

// The render target's format comes from the device's own list, not from the
// texture formats the driver kept.
struct CTargetFormatCase {
    const char* name;
    std::vector<DDPIXELFORMAT> enumerated;
    DWORD bits, alphaMask;
};

void PrintTo(const CTargetFormatCase& c, std::ostream* out) { *out << c.name; }

class D3D7TargetFormatTest : public D3D7ElementsTest, public ::testing::WithParamInterface<CTargetFormatCase> {};

TEST_P(D3D7TargetFormatTest, FirstEnumeratedFormatOfThirtyTwoElseSixteenBits) {
    T::DDConfig().textureFormats = GetParam().enumerated;
    ASSERT_TRUE(CreateWatched(false));
    std::unique_ptr<CRenderTarget> target(driver->CreateRenderTarget(64, 64));
    ASSERT_TRUE(target);
    DDSURFACEDESC2 desc;
    ASSERT_EQ(static_cast<CRenderTarget_D3D7*>(target.get())->GetSurface()->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, GetParam().bits);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBAlphaBitMask, GetParam().alphaMask);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, D3D7TargetFormatTest,
    ::testing::Values(
        // The kept list skips the 1-bit alpha format; the device lists it first.
        CTargetFormatCase{"SixteenBitsAsListed",
                          {Rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000), Rgb(16, 0xF800, 0x07E0, 0x001F, 0),
                           Rgb(16, 0x0F00, 0x00F0, 0x000F, 0xF000)},
                          16, 0x8000},
        CTargetFormatCase{"ThirtyTwoBitsAfterSixteen",
                          {Rgb(16, 0x0F00, 0x00F0, 0x000F, 0xF000), Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u),
                           Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0)},
                          32, 0xFF000000u}),
    kCaseName);

} // namespace
