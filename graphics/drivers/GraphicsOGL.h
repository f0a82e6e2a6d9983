#pragma once
// The OpenGL graphics driver: a window of class "OpenGL Rendering Class"
// with a WGL context, fixed-function GL 1.x drawing of client-array vertex
// data, textures from bitmaps and render targets that copy the frame buffer.
// The context is current on the main thread from Create to Destroy.
//
// Pre-transformed (rhw) vertices pass through the model-view and projection
// matrices like all others, so 2D drawing needs SetOrtho2D over the back
// buffer and identity world and view matrices: SetDefaultRenderStates
// (graphics/DefaultStates.h), which the frame loop runs each frame, sets
// them.

#include <string>

#include "graphics/Graphics.h"
#include "graphics/drivers/DeviceObjectsOGL.h"
#include "graphics/drivers/StateCacheOGL.h"
#include "platform/Display.h"
#include "platform/GlQueueLimit.h"
#include "platform/Wgl.h"

namespace Engine::Graphics {

class CGraphics_OGL : public CGraphics {
public:
    static constexpr const char* kWindowClass = "OpenGL Rendering Class";

    explicit CGraphics_OGL(Engine::CApplication** application);
    // Destroys the window if Destroy was not called.
    ~CGraphics_OGL() noexcept override;

    bool IsDirect3D() override { return false; }
    bool IsSoftwareRenderer() override { return false; }
    // Vertex colours are R, G, B, A bytes in memory.
    bool IsColorRGBA() override { return true; }

    // Creation, modes and presentation.
    bool Create(const char* title, CGraphicsParams* params) override;
    void Destroy() override;
    bool ChangeVideoMode(CGraphicsParams params) override;
    bool LoadDriverLibrary() override { return true; }
    void FreeDriverLibrary() override {}
    bool gBeginScene() override { return true; }
    void gEndScene() override;
    void gFlipBuffers() override;

    // Device objects.
    void CreateVertexBuffer(ref_ptr<CVertexBuffer>& out, int count, int vertexSize, uint32_t format,
                            bool dynamic) override;
    void CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int typeCode, int count, bool dynamic) override;
    void CreateHardwareTexture(ref_ptr<CHardwareTexture>& out, ref_ptr<CBitmap> bitmap, bool mipmap, bool freePixels,
                               int32_t minAlphaBits) override;
    CRenderTarget* CreateRenderTarget(int width, int height) override;
    // A null target means the frame buffer.
    void SetRenderTarget(CRenderTarget* target) override;
    CRenderTarget* GetRenderTarget() override { return m_pCurrentTarget; }
    CRenderTarget* GetDefaultRenderTarget() override { return &m_defaultTarget; }

    // Render states, matrices and drawing.
    void gSetLight(int index, const CLight* light) override;
    void gSetMaterial(int face, const CMaterial* material) override;
    void gSetFog(const CFog* fog) override;
    void SetViewMatrix(const float* matrix) override;
    void SetWorldMatrix(const float* matrix) override;
    void SetPerspective(float width, float height, float zNear, float zFar) override;
    void SetOrtho(float width, float height, float zNear, float zFar) override;
    void SetOrtho2D(float width, float height, float zNear, float zFar) override;
    void gDraw(int type, ref_ptr<CVertexBuffer> vertices, int first, int count, ref_ptr<CIndexBuffer> indices) override;
    void gClear(uint32_t flags) override;
    void gSetTexture(int stage, CBaseHardwareTexture* texture) override;
    void gSetTextureStage(int stage, ref_ptr<CTexture> texture) override;
    void gSetTextureWrap(int stage, int addressU, int addressV) override;
    void gSetTextureFilter(int stage, int minFilter, int magFilter, int mipFilter) override;
    void gSetCullMode(int cull) override;
    void gSetFrontFace(int front) override;
    void gSwitch(int id, bool on) override;
    void gSetBlendFunc(int source, int destination) override;
    void gSetDepthFunc(int func) override;
    void gSetColorMaterial(int source) override;
    void gSetLightModel(bool localViewer) override;
    void gSetAmbient(float r, float g, float b, float a) override;
    void gSetTwoSidedLighting(bool twoSided) override;
    void gSetColorMask(bool r, bool g, bool b, bool a) override;
    void gSetAlphaFunc(int func, float reference) override;
    void gSetShadeModel(int shade) override;
    void gSetStencilMask(uint32_t mask) override;
    void gSetStencilOp(uint32_t fail, uint32_t depthFail, uint32_t pass) override;
    void gSetStencilFunc(int func, int32_t reference, uint32_t mask) override;
    void gSetTexGen(int stage, int mode) override;
    void gSetTextureMatrix(int stage, const float* matrix) override;
    void gSetTextureCombine(int stage, int operation, int channel, int arg1, const float* constant1, int arg2,
                            const float* constant2) override;

    // For the device objects.
    bool HasExtension(const char* name) const { return m_extensions.find(name) != std::string::npos; }
    int GetWindowBitsPerPixel() const { return m_params.colorBits + m_params.alphaBits; }
    bool HasContext() const { return m_hRC != nullptr; }
    // GL_MAX_TEXTURE_SIZE of the context; 0 before there is one.
    int32_t GetMaxTextureSize() const { return m_nMaxTextureSize; }
    void OnRenderTargetDestroyed(CRenderTarget_OGL* target);
    // The states set on the context; device objects bind and delete
    // textures through it.
    CStateCache_OGL& GetStateCache() { return m_states; }

private:
    // Whether texturing is off on a stage (0-3).
    bool IsStageDisabled(int stage) const;
    static void RegisterWindowClass();
    static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool SetupPixelFormat(HDC dc, const CGraphicsParams& mode);
    static void LogPixelFormat(const PIXELFORMATDESCRIPTOR& pfd);
    bool CreateContext();
    // Once per context, through the checked call.
    static int32_t QueryMaxTextureSize();
    void LogDriverInfo();
    bool RunChecks();
    void QueryDriverCaps();
    // Local video memory, measured through DirectDraw.
    void DetermineVideoMemory();
    void AddTextureFormats();
    bool CheckDriver();
    void CheckDriverOrThrow();
    bool TestGL();
    bool FindDisplayMode();
    // FindDisplayMode and the change to the chosen mode; false on failure.
    bool EnterChosenMode();
    void ShowCreatedWindow();
    // Destroys the window after a failed check and forgets it.
    void AbandonWindow();

    void ActivateRenderTarget(CRenderTarget_OGL* target);
    void LoadModelViewMatrix();
    void LoadProjection(void (*setup)(float, float, float, float), float width, float height, float zNear,
                        float zFar);
    // Binds a GL texture name to the current unit, or turns texturing off
    // for a negative name.
    void BindStage(int stage, int32_t name);
    void SetCombineConstant(int source, const float* constant, bool colour);
    // Points GL's client arrays at the parts of the vertex format it uses
    // and disables the others.
    void EnableClientArrays(const uint8_t* data, uint32_t format, GLsizei stride);

    HWND m_hWnd = nullptr;
    HDC m_hDC = nullptr;
    HGLRC m_hRC = nullptr;
    DEVMODE m_displayMode{};
    std::string m_extensions;
    int32_t m_nMaxTextureSize = 0;
    PFNWGLSWAPINTERVALEXTPROC m_pfnSwapInterval = nullptr;
    uint8_t m_stageDisabled[4] = {1, 1, 1, 1};
    // Set by gEndScene; until then there is nothing to present.
    uint8_t m_bFrameReady = 0;
    CRenderTarget_OGL m_defaultTarget;
    CRenderTarget_OGL* m_pCurrentTarget;
    CStateCache_OGL m_states;
    Platform::Gl::CGlQueueLimit m_queueLimit;
};

// The driver factory of the driver table's "OpenGL" entry.
CGraphics* CreateGraphics_OGL(Engine::CApplication** application);

} // namespace Engine::Graphics
