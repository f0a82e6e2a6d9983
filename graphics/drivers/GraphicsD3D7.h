#pragma once
// The Direct3D 7 graphics driver: DirectDraw drivers and their Direct3D
// devices are enumerated and the last hardware (preferably T&L) device is
// chosen; full screen draws into a flip chain, a window into an off-screen
// surface copied to the primary through a clipper. Lost surfaces are
// restored at the next gBeginScene, and a mode change tears everything
// down and builds it again. Quads are drawn through one shared 16-bit index
// array.

#include <array>
#include <vector>

#include "graphics/drivers/GraphicsD3DStates.h"
#include "graphics/drivers/DeviceObjectsD3D7.h"
#include "platform/DirectDraw7.h"

namespace Engine::Graphics {

// One accepted Direct3D device of a DirectDraw driver.
struct D3D7DeviceRecord {
    char description[40] = {};
    D3DDEVICEDESC7 desc;
    bool hardware = false;
    bool primaryDriver = true;
    DDCAPS driverCaps, emulationCaps;
    DDSURFACEDESC2 fullScreenMode;
    bool desktopCompatible = false;
    GUID deviceGuid;
    GUID driverGuid; // all zero for the primary display driver
    std::vector<DDSURFACEDESC2> modes;
    int32_t currentMode = -1;
    bool stereoCompatible = false;
    DWORD wanted[4] = {}; // width, height, bits, refresh (template only)
};

class CGraphics_D3D7 : public CGraphics_D3DStates {
public:
    static constexpr const char* kWindowClass = "Direct3D7 Rendering Class";
    static constexpr int kMaxDevices = 20;
    static constexpr int kQuadCapacity = 2048;

    explicit CGraphics_D3D7(Engine::CApplication** application);
    ~CGraphics_D3D7() noexcept override;

    bool IsSoftwareRenderer() override { return false; }
    bool IsColorRGBA() override { return false; }
    void GetBufferOffset(float* x, float* y) override;
    void GetTextureOffset(float* u, float* v) override;

    bool Create(const char* title, CGraphicsParams* params) override;
    void Destroy() override;
    bool ChangeVideoMode(CGraphicsParams params) override;
    bool LoadDriverLibrary() override { return true; }
    void FreeDriverLibrary() override {}
    bool gBeginScene() override;
    void gEndScene() override;
    void gFlipBuffers() override;

    void CreateVertexBuffer(ref_ptr<CVertexBuffer>& out, int count, int vertexSize, uint32_t format,
                            bool dynamic) override;
    void CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int typeCode, int count, bool dynamic) override;
    void CreateHardwareTexture(ref_ptr<CHardwareTexture>& out, ref_ptr<CBitmap> bitmap, bool mipmap, bool freePixels,
                               int32_t minAlphaBits) override;
    CRenderTarget* CreateRenderTarget(int width, int height) override;
    void SetRenderTarget(CRenderTarget* target) override;
    CRenderTarget* GetRenderTarget() override { return m_pCurrentTarget; }
    CRenderTarget* GetDefaultRenderTarget() override { return &m_defaultTarget; }

    void gSetLight(int index, const CLight* light) override;
    void gSetMaterial(int face, const CMaterial* material) override;
    void SetOrtho2D(float width, float height, float zNear, float zFar) override;
    void gDraw(int type, ref_ptr<CVertexBuffer> vertices, int first, int count, ref_ptr<CIndexBuffer> indices) override;
    void gClear(uint32_t flags) override;
    void gSetTexture(int stage, CBaseHardwareTexture* texture) override;
    void gSetTextureStage(int stage, ref_ptr<CTexture> texture) override;
    void gSetTextureFilter(int stage, int minFilter, int magFilter, int mipFilter) override;
    void gSetCullMode(int cull) override;
    void gSetFrontFace(int) override {}
    void gSwitch(int id, bool on) override;
    void gSetBlendFunc(int source, int destination) override;
    void gSetDepthFunc(int func) override;
    void gSetLightModel(bool localViewer) override;
    void gSetAmbient(float r, float g, float b, float a) override;
    void gSetTwoSidedLighting(bool) override {}
    void gSetColorMask(bool, bool, bool, bool) override {}
    void gSetStencilMask(uint32_t mask) override;
    void gSetStencilOp(uint32_t fail, uint32_t depthFail, uint32_t pass) override;
    void gSetTextureCombine(int stage, int operation, int channel, int arg1, const float* constant1, int arg2,
                            const float* constant2) override;

    // For the device objects and tests.
    IDirectDraw7* GetDirectDraw() const { return m_pdd; }
    IDirect3D7* GetDirect3D() const { return m_pd3d; }
    IDirect3DDevice7* GetDevice() const { return m_pd3dDevice; }
    bool IsHalDevice() const { return m_bTnLHal || m_bHal; }
    int GetWindowBitsPerPixel() const { return m_params.colorBits + m_params.alphaBits; }
    const D3D7DeviceRecord* GetChosenDevice() const { return m_pChosenDevice; }
    int GetAcceptedDeviceCount() const { return m_nAccepted; }
    void MakeCurrentTarget(CRenderTarget_D3D7* target) { m_pCurrentTarget = target; }
    void OnRenderTargetDestroyed(CRenderTarget_D3D7* target);

protected:
    // Asked about every enumerated device before its modes are looked at;
    // false rejects it. This driver accepts every device.
    virtual bool ConfirmDevice(const DDCAPS& driverCaps, const D3DDEVICEDESC7& desc);

private:
    static void RegisterRenderWindowClass();
    static LRESULT RenderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static BOOL ExamineDriver(GUID* guid, char* description, char* name, void* context, void* monitor);
    static HRESULT AddDisplayMode(DDSURFACEDESC2* mode, void* context);
    static HRESULT AcceptDevice(char* description, char* name, D3DDEVICEDESC7* desc, void* context);
    static HRESULT PickZBufferFormat(DDPIXELFORMAT* format, void* context);
    static HRESULT RegisterTextureFormat(DDPIXELFORMAT* format, void* context);

    bool InitD3D(HWND window);
    void LogDeviceInfo();
    bool CreateEnvironment(const GUID& device, const GUID& driver, const DDSURFACEDESC2& mode);
    bool OpenDirectDraw(const GUID& driver);
    bool BuildFlipChain(const DDSURFACEDESC2& mode);
    bool BuildWindowedSurfaces();
    bool OpenDevice(const GUID& device);
    bool CreateZBuffer(const GUID& device);
    void ReleaseInterfaces();
    bool D3DEnum_EnumerateDevices();
    bool D3DEnum_SelectDefaultDevice(const D3D7DeviceRecord** chosen);
    void D3DEnum_ReleaseModeLists();
    bool CheckDriver();
    bool TestD3D();
    void DoneD3D();
    HRESULT ClearSurface(IDirectDrawSurface7* surface);
    void ClearScaledSurfaces();
    bool ResizeQuadIndexBuffer();
    void SetDeviceDefaults();
    // Objects, containers and the clock after surfaces came back or the
    // mode changed: nothing stale is presented or redrawn.
    void FinishRestore(int64_t started);
    void DrawQuads(IDirect3DVertexBuffer7* buffer, int first, int count);
    void SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    void SetStageState(int stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override;
    void SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) override;
    void BindStageSurface(int stage, IDirectDrawSurface7* surface);

    float m_bufferOffset[2] = {-0.5f, -0.5f};
    float m_textureOffset[2] = {0.0f, 0.0f};
    IDirectDraw7* m_pdd = nullptr;
    IDirect3D7* m_pd3d = nullptr;
    IDirect3DDevice7* m_pd3dDevice = nullptr;
    IDirectDrawSurface7* m_pddsFrontBuffer = nullptr;
    IDirectDrawSurface7* m_pddsBackBuffer = nullptr;
    IDirectDrawSurface7* m_pddsZBuffer = nullptr;
    uint8_t m_bCooperativeLevel = 0;
    uint8_t m_bTnLHal = 0, m_bHal = 0, m_bHardware = 0;
    std::vector<uint16_t> m_quadIndices;
    int32_t m_nQuadCapacity = 0;
    const D3D7DeviceRecord* m_pChosenDevice = nullptr;
    HWND m_hWnd = nullptr;
    uint8_t m_bSceneEnded = 0;
    // Enumeration: the accepted devices and the counts.
    std::array<D3D7DeviceRecord, kMaxDevices> m_devices;
    D3D7DeviceRecord m_template;
    int32_t m_nEnumerated = 0, m_nAccepted = 0;
    CRenderTarget_D3D7 m_defaultTarget;
    CRenderTarget* m_pCurrentTarget;
};

CGraphics* CreateGraphics_D3D7(Engine::CApplication** application);

} // namespace Engine::Graphics
