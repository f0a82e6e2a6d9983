#pragma once
// The Direct3D 8 stand-in, with the one D3DX routine the engine uses. The
// device draws with fixed-function OpenGL on the focus window's OpenGL
// framebuffer (windows whose class has CS_OWNDC), keeping Direct3D's rules
// where they change pixels: pixel centres at integer coordinates, packed
// colours A, R, G, B from the high byte, surfaces stored top row first, and
// the Reset protocol (Reset refuses while a DEFAULT-pool object is still
// held by the application, and returns every state to its default).
// "d3d8.dll" in the library table resolves Direct3DCreate8. Main thread
// only.

#include <vector>

#include "platform/Com.h"
#include "platform/Direct3DTypes.h"

constexpr UINT D3D_SDK_VERSION = 120;

constexpr HRESULT D3D_OK = S_OK;
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = HRESULT(0x8876017Cu);
constexpr HRESULT D3DERR_DEVICELOST = HRESULT(0x88760868u);
constexpr HRESULT D3DERR_DEVICENOTRESET = HRESULT(0x88760869u);
constexpr HRESULT D3DERR_NOTAVAILABLE = HRESULT(0x8876086Au);
constexpr HRESULT D3DERR_INVALIDCALL = HRESULT(0x8876086Cu);

enum D3DFORMAT : DWORD {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_A4R4G4B4 = 26,
    D3DFMT_D24S8 = 75,
    D3DFMT_D24X8 = 77,
    D3DFMT_D16 = 80,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
};

enum D3DDEVTYPE : DWORD { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2 };
enum D3DPOOL : DWORD { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED = 1, D3DPOOL_SYSTEMMEM = 2 };
enum D3DRESOURCETYPE : DWORD { D3DRTYPE_SURFACE = 1, D3DRTYPE_TEXTURE = 3 };
enum D3DSWAPEFFECT : DWORD { D3DSWAPEFFECT_DISCARD = 1, D3DSWAPEFFECT_FLIP = 2, D3DSWAPEFFECT_COPY = 3 };
enum D3DBACKBUFFER_TYPE : DWORD { D3DBACKBUFFER_TYPE_MONO = 0 };
enum D3DMULTISAMPLE_TYPE : DWORD { D3DMULTISAMPLE_NONE = 0 };

constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr DWORD D3DUSAGE_RENDERTARGET = 0x1;
constexpr DWORD D3DUSAGE_DEPTHSTENCIL = 0x2;
constexpr DWORD D3DUSAGE_WRITEONLY = 0x8;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x200;
constexpr DWORD D3DLOCK_DISCARD = 0x2000;
constexpr DWORD D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr DWORD D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;
constexpr DWORD D3DENUM_NO_WHQL_LEVEL = 2;
constexpr UINT D3DX_DEFAULT = UINT(-1);

// Capability bits.
constexpr DWORD D3DCAPS2_CANRENDERWINDOWED = 0x80000;
constexpr DWORD D3DPBLENDCAPS_ZERO = 0x1;
constexpr DWORD D3DPBLENDCAPS_ONE = 0x2;
constexpr DWORD D3DPBLENDCAPS_SRCALPHA = 0x10;
constexpr DWORD D3DPBLENDCAPS_INVSRCALPHA = 0x20;
constexpr DWORD D3DTEXOPCAPS_MODULATE = 0x8;

struct D3DDISPLAYMODE {
    UINT Width = 0, Height = 0, RefreshRate = 0;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
};

struct D3DCAPS8 {
    D3DDEVTYPE DeviceType = D3DDEVTYPE_HAL;
    DWORD Caps2 = 0;
    DWORD DevCaps = 0;
    DWORD RasterCaps = 0;
    DWORD SrcBlendCaps = 0;
    DWORD DestBlendCaps = 0;
    DWORD TextureCaps = 0;
    DWORD TextureOpCaps = 0;
    DWORD MaxTextureWidth = 0, MaxTextureHeight = 0;
    DWORD MaxTextureRepeat = 0;
};

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth = 0, BackBufferHeight = 0;
    D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
    UINT BackBufferCount = 0;
    D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
    D3DSWAPEFFECT SwapEffect = D3DSWAPEFFECT(0);
    HWND hDeviceWindow = nullptr;
    BOOL Windowed = FALSE;
    BOOL EnableAutoDepthStencil = FALSE;
    D3DFORMAT AutoDepthStencilFormat = D3DFMT_UNKNOWN;
    DWORD Flags = 0;
    UINT FullScreen_RefreshRateInHz = 0;
    UINT FullScreen_PresentationInterval = 0;
};

struct LARGE_INTEGER {
    DWORD LowPart = 0;
    LONG HighPart = 0;
};

struct D3DADAPTER_IDENTIFIER8 {
    char Driver[512] = {};
    char Description[512] = {};
    LARGE_INTEGER DriverVersion;
    DWORD VendorId = 0, DeviceId = 0, SubSysId = 0, Revision = 0;
    GUID DeviceIdentifier;
    DWORD WHQLLevel = 0;
};

struct D3DSURFACE_DESC {
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    D3DRESOURCETYPE Type = D3DRTYPE_SURFACE;
    DWORD Usage = 0;
    D3DPOOL Pool = D3DPOOL_DEFAULT;
    UINT Size = 0;
    D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
    UINT Width = 0, Height = 0;
};

struct D3DLOCKED_RECT {
    int Pitch = 0;
    void* pBits = nullptr;
};

struct IDirect3DDevice8;

// Pixels of one image: a texture level, the back buffer, a depth-stencil
// surface or a system-memory image. A texture level's surface shares the
// texture's reference count.
struct IDirect3DSurface8 : IUnknown {
    virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect() = 0;
};

struct IDirect3DTexture8 : IUnknown {
    virtual DWORD GetLevelCount() = 0;
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) = 0;
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;
};

struct IDirect3DVertexBuffer8 : IUnknown {
    virtual HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
};

struct IDirect3DIndexBuffer8 : IUnknown {
    virtual HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
};

struct IDirect3DDevice8 : IUnknown {
    virtual HRESULT TestCooperativeLevel() = 0;
    virtual UINT GetAvailableTextureMem() = 0;
    virtual HRESULT GetDeviceCaps(D3DCAPS8* caps) = 0;
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) = 0;
    virtual HRESULT Present(const RECT* source, const RECT* destination, HWND window, const void* dirtyRegion) = 0;
    virtual HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) = 0;
    virtual HRESULT SetCursorProperties(UINT hotX, UINT hotY, IDirect3DSurface8* image) = 0;
    virtual void SetCursorPosition(int x, int y, DWORD flags) = 0;
    virtual BOOL ShowCursor(BOOL show) = 0;

    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture8** texture) = 0;
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer8** buffer) = 0;
    virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer8** buffer) = 0;
    virtual HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE samples,
                                              IDirect3DSurface8** surface) = 0;
    virtual HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) = 0;
    // Copies rectangles between colour surfaces of the same format; a null
    // rectangle list copies the whole source to the same place.
    virtual HRESULT CopyRects(IDirect3DSurface8* source, const RECT* rects, UINT count, IDirect3DSurface8* destination,
                              const POINT* points) = 0;

    virtual HRESULT SetRenderTarget(IDirect3DSurface8* colour, IDirect3DSurface8* depth) = 0;
    virtual HRESULT GetRenderTarget(IDirect3DSurface8** surface) = 0;
    virtual HRESULT GetDepthStencilSurface(IDirect3DSurface8** surface) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    // With no rectangles the whole viewport is cleared.
    virtual HRESULT Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT8* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT8* viewport) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
    virtual HRESULT SetLight(DWORD index, const D3DLIGHT8* light) = 0;
    virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DTexture8* texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) = 0;
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) = 0;
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                         UINT primitiveCount) = 0;
    virtual HRESULT SetVertexShader(DWORD fvf) = 0;
    virtual HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) = 0;
    virtual HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertex) = 0;
};

struct IDirect3D8 : IUnknown {
    virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) = 0;
    virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) = 0;
    virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) = 0;
    virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                      D3DRESOURCETYPE resourceType, D3DFORMAT format) = 0;
    // The focus window must be an OpenGL window.
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviour,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) = 0;
};

// Null when creation is made to fail (platform/Direct3D8.h test hooks).
IDirect3D8* Direct3DCreate8(UINT sdkVersion);

// levels 0 or D3DX_DEFAULT make a full mipmap chain. The size is first
// fitted to the device's power-of-two and square-only capabilities.
HRESULT D3DXCreateTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture);

namespace Platform::Testing {

// Windowed rendering, every blend factor and texture operation the engine
// checks, 2048 x 2048 textures of any size.
D3DCAPS8 DefaultD3D8Caps();

// What the stand-in's adapter reports and refuses. Reset() restores it.
struct CD3D8Config {
    bool createFails = false;                 // Direct3DCreate8 returns null
    bool hardwareVertexProcessingFails = false;
    bool createDeviceFails = false;           // with any vertex processing
    bool deviceCapsFail = false;              // the device's GetDeviceCaps
    bool vertexBufferLockFails = false;       // every vertex buffer's Lock
    D3DCAPS8 caps = DefaultD3D8Caps();        // adapter and device caps
    // Texture formats CheckDeviceFormat accepts.
    std::vector<D3DFORMAT> textureFormats = {D3DFMT_A4R4G4B4, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8,
                                             D3DFMT_R8G8B8,   D3DFMT_R5G6B5,   D3DFMT_A1R5G5B5};
    // Pixel centres at half-integer coordinates (OpenGL's rule) instead of
    // Direct3D's integer ones.
    bool openGlPixelCentres = false;
    UINT availableTextureMemory = 64u << 20;
};
CD3D8Config& D3D8Config();
// The device's answer to TestCooperativeLevel goes to DEVICELOST (drawing
// and presenting do nothing), then after regaining to DEVICENOTRESET until
// a successful Reset.
void LoseD3D8Device();
void RegainD3D8Device();
// The next Reset returns this result without resetting.
void FailNextD3D8Reset(HRESULT result);
// The back buffer of the last device made, as 0x00RRGGBB at (x, y) from the
// top left.
DWORD ReadD3D8BackBuffer(int x, int y);
// The last device's hardware cursor: its picture (A8R8G8B8, rows from the
// top) and hot spot as last set, its position and whether it is shown.
struct CD3D8Cursor {
    UINT hotX = 0, hotY = 0, width = 0, height = 0;
    std::vector<DWORD> pixels;
    int x = 0, y = 0;
    bool shown = false;
};
CD3D8Cursor GetD3D8Cursor();
// Devices, textures, buffers and surfaces still held.
int GetD3D8LiveObjectCount();

} // namespace Platform::Testing
