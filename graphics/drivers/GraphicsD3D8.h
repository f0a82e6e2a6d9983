#pragma once
// The Direct3D 8 graphics driver: a window of class "Direct3D8 Rendering
// Class" with a Direct3D 8 device, pre-transformed sprite vertices drawn from
// DEFAULT-pool vertex buffers, quads through one shared index buffer,
// textures through D3DX, and render targets that are textures. A lost
// device is reset at the next gBeginScene once it can be, and every device
// object is released before and restored after the reset.

#include "graphics/drivers/GraphicsD3DStates.h"
#include "graphics/drivers/DeviceObjectsD3D8.h"
#include "platform/Direct3D8.h"

namespace Engine::Graphics {

class CGraphics_D3D8 : public CGraphics_D3DStates {
public:
    static constexpr const char* kWindowClass = "Direct3D8 Rendering Class";
    // Quads the shared index buffer covers.
    static constexpr int kQuadCapacity = 2048;

    explicit CGraphics_D3D8(Engine::CApplication** application);
    // Destroys the window if Destroy was not called.
    ~CGraphics_D3D8() noexcept override;

    bool IsDirect3D() override { return true; }
    bool IsSoftwareRenderer() override { return false; }
    // Packed colours are A, R, G, B from the high byte.
    bool IsColorRGBA() override { return false; }
    void SetCursorPosition(int x, int y) override;
    void ShowCursor(bool show, bool shownBefore, int cursorId) override;
    void GetBufferOffset(float* x, float* y) override;
    void GetTextureOffset(float* u, float* v) override;

    // Creation, modes and presentation.
    bool Create(const char* title, CGraphicsParams* params) override;
    void Destroy() override;
    bool ChangeVideoMode(CGraphicsParams params) override;
    bool LoadDriverLibrary() override;
    void FreeDriverLibrary() override;
    bool gBeginScene() override;
    void gEndScene() override;
    void gFlipBuffers() override;

    // Device objects.
    void CreateVertexBuffer(ref_ptr<CVertexBuffer>& out, int count, int vertexSize, uint32_t format,
                            bool dynamic) override;
    void CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int typeCode, int count, bool dynamic) override;
    void CreateHardwareTexture(ref_ptr<CHardwareTexture>& out, ref_ptr<CBitmap> bitmap, bool mipmap, bool freePixels,
                               int32_t minAlphaBits) override;
    CRenderTarget* CreateRenderTarget(int width, int height) override;
    void SetRenderTarget(CRenderTarget* target) override;
    CRenderTarget* GetRenderTarget() override { return m_pCurrentTarget; }
    CRenderTarget* GetDefaultRenderTarget() override { return &m_defaultTarget; }

    // Render states, matrices and drawing.
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
    void gSetColorMask(bool r, bool g, bool b, bool a) override;
    void gSetStencilMask(uint32_t mask) override;
    void gSetStencilOp(uint32_t fail, uint32_t depthFail, uint32_t pass) override;
    void gSetTextureCombine(int stage, int operation, int channel, int arg1, const float* constant1, int arg2,
                            const float* constant2) override;

    // For the device objects.
    IDirect3DDevice8* GetDevice() const { return m_pd3dDevice; }
    const D3DPRESENT_PARAMETERS& GetPresentParameters() const { return m_presentParameters; }
    int GetWindowBitsPerPixel() const { return m_params.colorBits + m_params.alphaBits; }
    // Makes the default target current when the current one goes.
    void OnRenderTargetDestroyed(CRenderTarget_D3D8* target);
    void MakeCurrentTarget(CRenderTarget_D3D8* target) { m_pCurrentTarget = target; }

private:
    static void RegisterWindowClass();
    static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool InitD3D(HWND window);
    void LogDeviceCaps();
    bool CreateDevice(HWND window);
    void DetermineVideoMemory();
    void LogDeviceInfo();
    void AddTextureFormats();
    void BuildPresentParameters();
    bool CheckDriver();
    void CheckDriverOrThrow();
    bool TestD3D();
    void DoneD3D();
    void SetDeviceDefaults();
    // Black around the content rectangle: both buffers cleared when
    // pillar-boxed in full screen.
    void ClearPillarBox();
    // Resets the device for the current parameters; false while it is lost.
    HRESULT ResetDevice();
    // Invalidates every device object and the quad indices.
    void ReleaseDeviceObjects();
    // Restores them, with the device defaults and the current target.
    void RestoreDeviceObjects();
    // After a successful reset begun at resetStart (frame-timer time):
    // nothing to present, objects restored, the reset's time not counted.
    void FinishReset(int64_t resetStart);
    bool SetDeviceCursor(HCURSOR cursor);

    void InitQuadIndexBuffer();
    void ResizeQuadIndexBuffer();
    void ReleaseQuadIndexBuffer();
    void DetermineOffsets();
    // One probe candidate; false when the probe cannot go on.
    bool ProbeOffsets(IDirect3DVertexBuffer8* vertices, IDirect3DTexture8* texture, IDirect3DSurface8* level,
                      IDirect3DSurface8* backBuffer, int candidate, bool& matched);
    void SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) override;
    void SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    void SetStageState(int stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override;
    void DrawQuads(int first, int count);

    float m_bufferOffset[2] = {-0.5f, -0.5f};
    float m_textureOffset[2] = {0.0f, 0.0f};
    D3DPRESENT_PARAMETERS m_presentParameters;
    IDirect3D8* m_pd3d = nullptr;
    IDirect3DDevice8* m_pd3dDevice = nullptr;
    D3DDISPLAYMODE m_desktopMode;
    IDirect3DIndexBuffer8* m_pQuadIndices = nullptr;
    int32_t m_nQuadCapacity = 0;
    HWND m_hWnd = nullptr;
    // Set by gEndScene; cleared by a reset or mode change, so that nothing
    // is presented before the next frame is drawn.
    uint8_t m_bSceneEnded = 0;
    CRenderTarget_D3D8 m_defaultTarget;
    CRenderTarget* m_pCurrentTarget;
};

// The driver factory of the driver table's "D3D8" entry.
CGraphics* CreateGraphics_D3D8(Engine::CApplication** application);

} // namespace Engine::Graphics
