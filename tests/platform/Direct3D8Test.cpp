// The Direct3D 8 stand-in on its own: the Reset protocol, lost devices, the
// pixel formats of locked surfaces and D3DX's size fitting.

#include <gtest/gtest.h>

#include <cstring>

#include "WindowFixture.h"
#include "platform/Direct3D8.h"

namespace {

class Direct3D8Test : public TestSupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        RegisterOwnDcClass("D3D");
        window = CreateWindowEx(0, "D3D", "d3d", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
        d3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        parameters.BackBufferWidth = 64;
        parameters.BackBufferHeight = 48;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.Windowed = TRUE;
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters,
                                    &device),
                  D3D_OK);
    }
    void TearDown() override {
        if (device) device->Release();
        if (d3d) d3d->Release();
        EXPECT_EQ(Platform::Testing::GetD3D8LiveObjectCount(), 0);
        WindowFixture::TearDown();
    }
    void LoseAndRegain() {
        Platform::Testing::LoseD3D8Device();
        EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
        EXPECT_EQ(device->Reset(&parameters), D3DERR_DEVICELOST);
        Platform::Testing::RegainD3D8Device();
        EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    }

    HWND window = nullptr;
    IDirect3D8* d3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    D3DPRESENT_PARAMETERS parameters;
};

TEST_F(Direct3D8Test, ResetWaitsForHeldDefaultObjectsAndRestoresDefaultStates) {
    IDirect3DVertexBuffer8* vertices = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, D3DUSAGE_DYNAMIC, D3DFVF_XYZRHW, D3DPOOL_DEFAULT, &vertices), D3D_OK);
    IDirect3DIndexBuffer8* indices = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices), D3D_OK);
    IDirect3DSurface8* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    device->SetStreamSource(0, vertices, 16);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    LoseAndRegain();
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);

    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL); // the vertex buffer
    vertices->Release();
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL); // the back buffer
    backBuffer->Release();
    // A managed buffer may stay; the device's own bindings do not count.
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    DWORD lighting = 0;
    device->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, TRUE);
    indices->Release();
}

TEST_F(Direct3D8Test, ResetCanBeMadeToFailOnce) {
    LoseAndRegain();
    Platform::Testing::FailNextD3D8Reset(D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&parameters), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
}

// A texel written through a locked surface of each format reads back the
// same after the pixels went through the device.
struct CFormatCase {
    D3DFORMAT format;
    uint32_t texel;
    int bytes;
};

class Direct3D8FormatTest : public Direct3D8Test, public ::testing::WithParamInterface<CFormatCase> {};

TEST_P(Direct3D8FormatTest, LockedTexelsSurviveTheRoundTrip) {
    const CFormatCase& c = GetParam();
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, c.format, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 4 * c.bytes);
    std::memcpy(static_cast<uint8_t*>(locked.pBits) + locked.Pitch + c.bytes, &c.texel, size_t(c.bytes));
    texture->UnlockRect(0);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    uint32_t read = 0;
    std::memcpy(&read, static_cast<uint8_t*>(locked.pBits) + locked.Pitch + c.bytes, size_t(c.bytes));
    texture->UnlockRect(0);
    EXPECT_EQ(read, c.texel);
    texture->Release();
}

INSTANTIATE_TEST_SUITE_P(Formats, Direct3D8FormatTest,
                         ::testing::Values(CFormatCase{D3DFMT_A8R8G8B8, 0x80FF4010u, 4},
                                           CFormatCase{D3DFMT_X8R8G8B8, 0x00123456u, 4},
                                           CFormatCase{D3DFMT_R8G8B8, 0x123456u, 3},
                                           CFormatCase{D3DFMT_R5G6B5, 0xF81Fu, 2},
                                           CFormatCase{D3DFMT_A1R5G5B5, 0x83E0u, 2},
                                           CFormatCase{D3DFMT_A4R4G4B4, 0x5A3Cu, 2}));

TEST_F(Direct3D8Test, ReadsPastTheDataAreRefused) {
    IDirect3DVertexBuffer8* vertices = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(3 * 28, D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT, &vertices), D3D_OK);
    device->SetStreamSource(0, vertices, 16); // shorter than the format's 28 bytes
    device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | 0x100);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    device->SetStreamSource(0, vertices, 28);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 1, 1), D3DERR_INVALIDCALL); // vertices 3 to 5
    device->SetStreamSource(0, nullptr, 0);
    vertices->Release();

    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked;
    const RECT outside{2, 2, 5, 4};
    EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    texture->Release();
}

TEST_F(Direct3D8Test, D3DXFitsSizesToTheCapsAndMakesFullChains) {
    Platform::Testing::D3D8Config().caps.TextureCaps = D3DPTEXTURECAPS_POW2;
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(D3DXCreateTexture(device, 100, 60, D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 128u);
    EXPECT_EQ(desc.Height, 64u);
    EXPECT_EQ(texture->GetLevelCount(), 8u); // 128 down to 1
    texture->Release();
}

} // namespace
