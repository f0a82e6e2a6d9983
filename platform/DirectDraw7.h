#pragma once
// The DirectDraw 7 / Direct3D 7 stand-in: display drivers with their modes
// and Direct3D devices, surfaces (a primary that is the window, flip chains,
// off-screen, depth, texture and render-target surfaces), clippers, vertex
// buffers and a device that draws with the same fixed-function OpenGL core
// as the Direct3D 8 stand-in, keeping Direct3D's pixel-centre rule. Surfaces
// can be lost together and come back empty after RestoreAllSurfaces.
// "ddraw.dll" in the library table resolves DirectDrawCreate,
// DirectDrawCreateEx and DirectDrawEnumerateExA. Main thread only.

#include <vector>

#include "platform/Com.h"
#include "platform/Direct3DTypes.h"

constexpr HRESULT DD_OK = S_OK;
constexpr HRESULT D3D7_OK = S_OK;
constexpr HRESULT DDERR_GENERIC = HRESULT(0x88760100u);
constexpr HRESULT DDERR_INVALIDPARAMS = HRESULT(0x88760101u);
constexpr HRESULT DDERR_INVALIDMODE = HRESULT(0x88760102u);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = HRESULT(0x88760103u);
constexpr HRESULT DDERR_SURFACELOST = HRESULT(0x88760104u);
constexpr HRESULT DDERR_WASSTILLDRAWING = HRESULT(0x88760105u);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = HRESULT(0x88760106u);
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = HRESULT(0x88760107u);
constexpr HRESULT DDERR_WRONGMODE = HRESULT(0x88760108u);
constexpr HRESULT DDERR_NOTFOUND = HRESULT(0x88760109u);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = HRESULT(0x8876010Au);
constexpr HRESULT DDERR_SURFACEBUSY = HRESULT(0x8876010Bu);
constexpr HRESULT DDERR_NOTLOCKED = HRESULT(0x8876010Cu);

// Cooperative levels.
constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_ALLOWREBOOT = 0x2;
constexpr DWORD DDSCL_NORMAL = 0x8;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

// Driver enumeration.
constexpr DWORD DDENUM_ATTACHEDSECONDARYDEVICES = 0x1;
constexpr DWORD DDENUM_DETACHEDSECONDARYDEVICES = 0x2;
constexpr DWORD DDENUM_NONDISPLAYDEVICES = 0x4;

constexpr DWORD DDSDM_STANDARDVGAMODE = 0x1;

// Surface description fields present.
constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;
constexpr DWORD DDSD_TEXTURESTAGE = 0x100000;

// Surface capabilities.
constexpr DWORD DDSCAPS_BACKBUFFER = 0x4;
constexpr DWORD DDSCAPS_COMPLEX = 0x8;
constexpr DWORD DDSCAPS_FLIP = 0x10;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_TEXTURE = 0x1000;
constexpr DWORD DDSCAPS_3DDEVICE = 0x2000;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;
constexpr DWORD DDSCAPS_ZBUFFER = 0x20000;
constexpr DWORD DDSCAPS_LOCALVIDMEM = 0x10000000;
constexpr DWORD DDSCAPS2_TEXTUREMANAGE = 0x10;
constexpr DWORD DDSCAPS2_STEREOSURFACELEFT = 0x80000;

// Pixel format flags.
constexpr DWORD DDPF_ALPHAPIXELS = 0x1;
constexpr DWORD DDPF_FOURCC = 0x4;
constexpr DWORD DDPF_PALETTEINDEXED8 = 0x20;
constexpr DWORD DDPF_RGB = 0x40;
constexpr DWORD DDPF_ZBUFFER = 0x400;
constexpr DWORD DDPF_LUMINANCE = 0x20000;
constexpr DWORD DDPF_BUMPLUMINANCE = 0x40000;
constexpr DWORD DDPF_BUMPDUDV = 0x80000;

constexpr DWORD DDCAPS2_CANRENDERWINDOWED = 0x80000;

constexpr DWORD DDFLIP_WAIT = 0x1;
constexpr DWORD DDFLIP_NOVSYNC = 0x8;
constexpr DWORD DDBLT_WAIT = 0x1000000;
constexpr DWORD DDLOCK_WAIT = 0x1;
constexpr DWORD DDLOCK_WRITEONLY = 0x20;

// Device capabilities.
constexpr DWORD D3DDEVCAPS_HWRASTERIZATION = 0x80000;
constexpr DWORD D3DPRASTERCAPS_ZBUFFERLESSHSR = 0x8000;
constexpr DWORD DDBD_32 = 0x100;
constexpr DWORD DDBD_24 = 0x200;
constexpr DWORD DDBD_16 = 0x400;

constexpr DWORD D3DVBCAPS_SYSTEMMEMORY = 0x800;
constexpr DWORD D3DDP_WAIT = 0x1;
constexpr DWORD D3DENUMRET_CANCEL = 0;
constexpr DWORD D3DENUMRET_OK = 1;

// Direct3D 7's own texture-filter values (the stage-state numbers are
// shared with Direct3D 8, these values are not).
enum D3DTEXTUREMINFILTER : DWORD { D3DTFN_POINT = 1, D3DTFN_LINEAR = 2, D3DTFN_ANISOTROPIC = 3 };
enum D3DTEXTUREMAGFILTER : DWORD { D3DTFG_POINT = 1, D3DTFG_LINEAR = 2, D3DTFG_ANISOTROPIC = 5 };
enum D3DTEXTUREMIPFILTER : DWORD { D3DTFP_NONE = 1, D3DTFP_POINT = 2, D3DTFP_LINEAR = 3 };

struct DDSCAPS2 {
    DWORD dwCaps = 0, dwCaps2 = 0, dwCaps3 = 0, dwCaps4 = 0;
};

struct DDPIXELFORMAT {
    DWORD dwSize = 32;
    DWORD dwFlags = 0;
    DWORD dwFourCC = 0;
    DWORD dwRGBBitCount = 0; // the depth of a z-buffer format
    DWORD dwRBitMask = 0, dwGBitMask = 0, dwBBitMask = 0;
    DWORD dwRGBAlphaBitMask = 0;
};

struct DDSURFACEDESC2 {
    DWORD dwSize = 124;
    DWORD dwFlags = 0;
    DWORD dwHeight = 0, dwWidth = 0;
    LONG lPitch = 0;
    DWORD dwBackBufferCount = 0;
    DWORD dwRefreshRate = 0;
    void* lpSurface = nullptr;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS2 ddsCaps;
    DWORD dwTextureStage = 0;
};

struct DDCAPS {
    DWORD dwSize = 380;
    DWORD dwCaps = 0, dwCaps2 = 0;
    DWORD dwVidMemTotal = 0, dwVidMemFree = 0;
    DWORD dwNLVBCaps = 0, dwNLVBCaps2 = 0;
};

struct D3DPRIMCAPS {
    DWORD dwSize = 56;
    DWORD dwRasterCaps = 0;
    DWORD dwTextureCaps = 0;
};

struct D3DDEVICEDESC7 {
    DWORD dwDevCaps = 0;
    D3DPRIMCAPS dpcLineCaps, dpcTriCaps;
    DWORD dwDeviceRenderBitDepth = 0, dwDeviceZBufferBitDepth = 0;
    DWORD dwMinTextureWidth = 0, dwMinTextureHeight = 0;
    DWORD dwMaxTextureWidth = 0, dwMaxTextureHeight = 0;
    WORD wMaxTextureBlendStages = 0, wMaxSimultaneousTextures = 0;
    DWORD dwFVFCaps = 0;
    GUID deviceGUID;
};

struct D3DVIEWPORT7 {
    DWORD dwX = 0, dwY = 0, dwWidth = 0, dwHeight = 0;
    float dvMinZ = 0, dvMaxZ = 1;
};

struct D3DLIGHT7 {
    D3DLIGHTTYPE dltType = D3DLIGHT_POINT;
    D3DCOLORVALUE dcvDiffuse, dcvSpecular, dcvAmbient;
    D3DVECTOR dvPosition, dvDirection;
    float dvRange = 0, dvFalloff = 0;
    float dvAttenuation0 = 0, dvAttenuation1 = 0, dvAttenuation2 = 0;
    float dvTheta = 0, dvPhi = 0;
};

struct D3DMATERIAL7 {
    D3DCOLORVALUE diffuse, ambient, specular, emissive;
    float power = 0;
};

struct D3DVERTEXBUFFERDESC {
    DWORD dwSize = 16;
    DWORD dwCaps = 0;
    DWORD dwFVF = 0;
    DWORD dwNumVertices = 0;
};

extern const GUID IID_IDirectDraw7;
extern const GUID IID_IDirect3D7;
extern const GUID IID_IDirect3DRGBDevice;
extern const GUID IID_IDirect3DHALDevice;
extern const GUID IID_IDirect3DTnLHalDevice;

struct IDirectDrawClipper : IUnknown {
    virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;
};

struct IDirectDrawSurface7 : IUnknown {
    // The attached surface with the given caps, with a reference added.
    virtual HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** attached) = 0;
    virtual HRESULT AddAttachedSurface(IDirectDrawSurface7* attached) = 0;
    virtual HRESULT DeleteAttachedSurface(DWORD flags, IDirectDrawSurface7* attached) = 0;
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
    virtual HRESULT IsLost() = 0;
    // A primary's: shows the back buffer of its flip chain.
    virtual HRESULT Flip(IDirectDrawSurface7* target, DWORD flags) = 0;
    // A stretch copy; on the primary the destination is in screen
    // coordinates.
    virtual HRESULT Blt(RECT* destination, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags,
                        void* effects) = 0;
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT Unlock(RECT* rect) = 0;
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) = 0;
};

struct IDirect3DVertexBuffer7 : IUnknown {
    virtual HRESULT Lock(DWORD flags, void** data, DWORD* size) = 0;
    virtual HRESULT Unlock() = 0;
};

using LPD3DENUMPIXELFORMATSCALLBACK = HRESULT (*)(DDPIXELFORMAT* format, void* context);
using LPD3DENUMDEVICESCALLBACK7 = HRESULT (*)(char* description, char* name, D3DDEVICEDESC7* desc, void* context);
using LPDDENUMMODESCALLBACK2 = HRESULT (*)(DDSURFACEDESC2* mode, void* context);

struct IDirect3DDevice7 : IUnknown {
    virtual HRESULT GetCaps(D3DDEVICEDESC7* desc) = 0;
    virtual HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT SetRenderTarget(IDirectDrawSurface7* surface, DWORD flags) = 0;
    // Adds a reference.
    virtual HRESULT GetRenderTarget(IDirectDrawSurface7** surface) = 0;
    virtual HRESULT Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT7* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT7* viewport) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL7* material) = 0;
    virtual HRESULT SetLight(DWORD index, const D3DLIGHT7* light) = 0;
    virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirectDrawSurface7* texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) = 0;
    virtual HRESULT DrawPrimitiveVB(D3DPRIMITIVETYPE type, IDirect3DVertexBuffer7* buffer, DWORD startVertex,
                                    DWORD vertexCount, DWORD flags) = 0;
    // Indices are relative to startVertex.
    virtual HRESULT DrawIndexedPrimitiveVB(D3DPRIMITIVETYPE type, IDirect3DVertexBuffer7* buffer, DWORD startVertex,
                                           DWORD vertexCount, WORD* indices, DWORD indexCount, DWORD flags) = 0;
};

struct IDirect3D7 : IUnknown {
    virtual HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, void* context) = 0;
    // The render surface must be a 3DDEVICE colour surface.
    virtual HRESULT CreateDevice(const GUID& device, IDirectDrawSurface7* surface, IDirect3DDevice7** created) = 0;
    // The buffer holds dwNumVertices vertices of the format's own size.
    virtual HRESULT CreateVertexBuffer(D3DVERTEXBUFFERDESC* desc, IDirect3DVertexBuffer7** created, DWORD flags) = 0;
    virtual HRESULT EnumZBufferFormats(const GUID& device, LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) = 0;
};

struct IDirectDraw7 : IUnknown {
    virtual HRESULT GetAvailableVidMem(DDSCAPS2* caps, DWORD* total, DWORD* free) = 0;
    // IID_IDirect3D7 only.
    virtual HRESULT QueryInterface(const GUID& interfaceId, void** object) = 0;
    virtual HRESULT GetCaps(DDCAPS* driver, DDCAPS* emulation) = 0;
    virtual HRESULT EnumDisplayModes(DWORD flags, DDSURFACEDESC2* filter, void* context,
                                     LPDDENUMMODESCALLBACK2 callback) = 0;
    // Binds the object to the window; surfaces are made after it.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT GetDisplayMode(DDSURFACEDESC2* desc) = 0;
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits, DWORD refresh, DWORD flags) = 0;
    virtual HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface, IUnknown* outer) = 0;
    virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) = 0;
    virtual HRESULT TestCooperativeLevel() = 0;
    // Brings lost surfaces back, empty.
    virtual HRESULT RestoreAllSurfaces() = 0;
};

// The first DirectDraw interface, kept only to reach IDirectDraw7.
struct IDirectDraw : IUnknown {
    // IID_IDirectDraw7 only: a new IDirectDraw7 of the same display driver.
    virtual HRESULT QueryInterface(const GUID& interfaceId, void** object) = 0;
};

using LPDDENUMCALLBACKEXA = BOOL (*)(GUID* driver, char* description, char* name, void* context, void* monitor);

// A null or all-zero GUID is the primary display driver.
HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** created, IUnknown* outer);
HRESULT DirectDrawCreateEx(GUID* driver, void** created, const GUID& interfaceId, IUnknown* outer);
// Reports every configured display driver, the primary first with a null GUID.
HRESULT DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, void* context, DWORD flags);

namespace Platform::Testing {

void SetVideoMemory(DWORD total, DWORD free);
// An RGB pixel format of the bit count and channel masks (alpha 0: none).
DDPIXELFORMAT RgbPixelFormat(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha);

// One Direct3D device of a display driver.
struct CDDDevice {
    const char* name = "";
    GUID guid;
    D3DDEVICEDESC7 desc;
};
// A hardware device of the given kind that renders 16 and 32-bit modes.
CDDDevice MakeDDDevice(const char* name, const GUID& guid, bool hardware);

struct CDDMode {
    DWORD width = 0, height = 0, bits = 32, refresh = 60, caps2 = 0;
};

// One display driver; the first one is the primary.
struct CDDDriver {
    GUID guid;
    const char* description = "Primary Display Driver";
    DWORD caps2 = DDCAPS2_CANRENDERWINDOWED;
    // Empty: the platform's display modes, each in 16 and 32 bits.
    std::vector<CDDMode> modes;
    // Software RGB, HAL and T&L HAL devices.
    std::vector<CDDDevice> devices;
};

// What the stand-in offers and refuses. Platform::Testing::Reset restores it.
struct CDDConfig {
    CDDConfig();
    std::vector<CDDDriver> drivers;
    // Depths of the z-buffer formats, in enumeration order.
    std::vector<DWORD> zBufferDepths = {16, 24};
    // Texture formats in enumeration order.
    std::vector<DDPIXELFORMAT> textureFormats;
    bool deviceCapsFail = false;
    bool createDeviceFails = false;
    // CreateSurface with any of these caps returns DDERR_OUTOFVIDEOMEMORY.
    DWORD failSurfaceCaps = 0;
};
CDDConfig& DDConfig();
// Every surface reports itself lost until RestoreAllSurfaces.
void LoseDDSurfaces();
// TestCooperativeLevel reports the exclusive mode lost while set.
void SetDDExclusiveLost(bool lost);
// The next `times` surface locks return DDERR_WASSTILLDRAWING.
void InjectDDStillDrawing(int times);
// The render target of the last device made, as 0x00RRGGBB at (x, y).
DWORD ReadDD7RenderTarget(int x, int y);
// DirectDraw objects, surfaces, devices and buffers still held.
int GetDD7LiveObjectCount();

// One picture put on the screen: a Flip of the chain (with its flags), or a
// Blt to the primary surface (its rectangles as given; the destination in
// screen coordinates, the whole surface when none was given).
struct CDDPresentation {
    bool flip = false;
    DWORD flags = 0;
    RECT source{}, destination{};
};
// The presentations since the last call (the latest 64 at most), oldest first.
std::vector<CDDPresentation> TakeDDPresentations();
// The display mode last set with SetDisplayMode; all zero when none was.
CDDMode GetDDDisplayMode();

} // namespace Platform::Testing
