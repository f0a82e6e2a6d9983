#pragma once
// The graphics driver interface and the base every driver shares: window
// messages, video modes, texture formats, cursor and device objects.

#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include "app/FrameQuitWatch.h"
#include "app/Referenced.h"
#include "app/String.h"
#include "graphics/BufferedSpritesContainer.h"
#include "graphics/DeviceObject.h"
#include "graphics/DirtyRects.h"
#include "graphics/DrawnAreaLimit.h"
#include "graphics/QuadClipper.h"
#include "graphics/GraphicsTypes.h"
#include "graphics/TextureFormat.h"
#include "platform/WinTypes.h"

namespace Engine {
class CApplication;
}

namespace Engine::Graphics {

class CBitmap;
class CTexture;
class CTextureManager;
class CSprFileManager;

// Total and free local video memory in bytes; all ones while unknown.
struct CVideoMemory {
    uint32_t total = 0xFFFFFFFFu;
    uint32_t free = 0xFFFFFFFFu;
};

class CGraphics {
public:
    // application: a cell holding the application object (may be null).
    explicit CGraphics(Engine::CApplication** application);
    CGraphics(const CGraphics&) = delete;
    CGraphics& operator=(const CGraphics&) = delete;

    virtual bool IsDirect3D() { return true; }
    virtual void SetCursorPosition(int x, int y) { (void)x; (void)y; }
    virtual void ShowCursor(bool show, bool shownBefore, int cursorId);
    virtual ~CGraphics();
    virtual bool IsSoftwareRenderer() { return false; }
    virtual void gSetLight(int index, const CLight* light) = 0;
    virtual void gSetMaterial(int face, const CMaterial* material) = 0;
    virtual void gSetFog(const CFog* fog) = 0;
    virtual void SetViewMatrix(const float* matrix);
    virtual void SetWorldMatrix(const float* matrix);
    virtual void SetPerspective(float width, float height, float zNear, float zFar) = 0;
    virtual void SetOrtho(float width, float height, float zNear, float zFar) = 0;
    virtual void SetOrtho2D(float width, float height, float zNear, float zFar) = 0;
    virtual void GetBufferOffset(float* x, float* y) { *x = 0.0f; *y = 0.0f; }
    virtual void GetTextureOffset(float* u, float* v) { *u = 0.0f; *v = 0.0f; }
    virtual void gDraw(int type, ref_ptr<CVertexBuffer> vertices, int first, int count, ref_ptr<CIndexBuffer> indices) = 0;
    virtual void CreateVertexBuffer(ref_ptr<CVertexBuffer>& out, int count, int vertexSize, uint32_t format, bool dynamic) = 0;
    virtual void CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int typeCode, int count, bool dynamic) = 0;
    virtual void CreateHardwareTexture(ref_ptr<CHardwareTexture>& out, ref_ptr<CBitmap> bitmap, bool mipmap,
                                       bool freePixels, int32_t minAlphaBits) = 0;
    virtual CRenderTarget* CreateRenderTarget(int width, int height) = 0;
    virtual bool IsColorRGBA() = 0;
    virtual void gClear(uint32_t flags) = 0;
    virtual bool gBeginScene() = 0;
    virtual void gEndScene() = 0;
    virtual void gFlipBuffers() = 0;
    virtual bool LoadDriverLibrary() = 0;
    virtual void FreeDriverLibrary() = 0;
    // Pumps the window messages; true means that the application must quit.
    virtual bool ProcessMessages();
    virtual bool ChangeVideoMode(CGraphicsParams params) = 0;
    virtual bool Create(const char* title, CGraphicsParams* params) = 0;
    virtual void Destroy() = 0;
    virtual void SetRenderTarget(CRenderTarget* target) = 0;
    virtual CRenderTarget* GetRenderTarget() = 0;
    virtual CRenderTarget* GetDefaultRenderTarget() = 0;
    virtual void gReserved(uint32_t, uint32_t) {}
    virtual void gSetTexture(int stage, CBaseHardwareTexture* texture) = 0;
    virtual void gSetTextureStage(int stage, ref_ptr<CTexture> texture) = 0;
    virtual void gSetTextureWrap(int stage, int addressU, int addressV) = 0;
    virtual void gSetTextureFilter(int stage, int minFilter, int magFilter, int mipFilter) = 0;
    virtual void gSetCullMode(int cull) = 0;
    virtual void gSetFrontFace(int front) = 0;
    virtual void gSwitch(int id, bool on) = 0;
    virtual void SetCursor(int cursorId);
    virtual void gSetBlendFunc(int source, int destination) = 0;
    virtual void gSetDepthFunc(int func) = 0;
    virtual void gSetColorMaterial(int source) = 0;
    virtual void gSetLightModel(bool localViewer) = 0;
    virtual void gSetAmbient(float r, float g, float b, float a) = 0;
    virtual void gSetTwoSidedLighting(bool twoSided) = 0;
    virtual void gSetColorMask(bool r, bool g, bool b, bool a) = 0;
    virtual void gSetAlphaFunc(int func, float reference) = 0;
    virtual void gSetShadeModel(int shade) = 0;
    virtual void gSetStencilMask(uint32_t mask) = 0;
    virtual void gSetStencilOp(uint32_t fail, uint32_t depthFail, uint32_t pass) = 0;
    virtual void gSetStencilFunc(int func, int32_t reference, uint32_t mask) = 0;
    virtual void gSetTexGen(int stage, int mode) = 0;
    virtual void gSetTextureMatrix(int stage, const float* matrix) = 0;
    virtual void gSetTextureCombine(int stage, int operation, int channel, int arg1, const float* constant1, int arg2,
                                    const float* constant2) = 0;

    // Shared window procedure: turns messages into application events. The
    // drivers forward to it after their own handling.
    static LRESULT WindowProc(CGraphics* driver, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The class of a driver's render window: redrawn on resize, one window
    // word for the driver, no background, and (with glFramebuffer) CS_OWNDC,
    // which gives the window the OpenGL framebuffer the hardware drivers
    // draw through. A second registration changes nothing.
    static void RegisterDriverWindowClass(const char* name, LRESULT (*procedure)(HWND, UINT, WPARAM, LPARAM),
                                          bool glFramebuffer = true);
    // The driver of a render window, kept in its window word: WM_CREATE
    // stores the creation parameter there first. A driver's window procedure
    // asks with every message; null before WM_CREATE.
    template <class TDriver>
    static TDriver* DriverOfWindow(HWND window, UINT message, LPARAM lParam) {
        return static_cast<TDriver*>(StoredDriverOfWindow(window, message, lParam));
    }
    static void* StoredDriverOfWindow(HWND window, UINT message, LPARAM lParam);

    Engine::CApplication* GetApplication() const;
    void EnumVideoModes();
    void AdjustVideoMode(CGraphicsParams& params);
    // Window style, extended style and outer rectangle for the parameters.
    void ComputeWindowRect(const CGraphicsParams& params, DWORD& style, DWORD& exStyle, RECT& rect);
    // A window of the driver's registered class, sized and placed for the
    // current parameters, with the driver as its creation parameter.
    HWND CreateDriverWindow(const char* className, const char* title);
    void ApplyWindowMode(const CGraphicsParams& params, HWND window);
    void WindowToScreen(int32_t& x, int32_t& y) const;
    // The back-buffer position a WM_MOUSEMOVE's long parameter names.
    void MouseMoveToScreen(LPARAM lParam, int32_t& x, int32_t& y) const;
    void UpdateCursor(bool force);
    HCURSOR LoadCursorById(int cursorId) const;
    static int VirtualKeyToKeyCode(int virtualKey);

    // Texture formats published by the driver.
    CTextureFormatList& GetTextureFormats() { return m_textureFormats; }
    void AvailableTextureFormats() { m_textureFormats.LogAvailable(); }
    int ChooseTextureFormat(int windowBits, int minAlphaBits) { return m_textureFormats.Choose(windowBits, minAlphaBits); }
    int FindTextureFormat(int windowBits, int minAlphaBits) { return m_textureFormats.Find(windowBits, minAlphaBits); }

    // Device-loss restore: sprite files reload with progress, the remaining
    // objects are restored, and the application is told last.
    void ReloadResources();
    // Restores after a device reset: restore-first objects, the driver's
    // default states, sprite-file images, the other objects, then tells the
    // application.
    void RestoreAfterReset(const std::function<void()>& setDefaultStates);
    // What a driver's start-up self-test makes and what fails it.
    struct CDeviceObjectTest {
        bool indexBuffer = true;       // an index buffer too, locked like the vertex buffer
        bool lockFailureFails = true;  // a lock that reports false fails the test
    };
    // The drivers' start-up self-test: makes a sprite vertex buffer, an
    // index buffer when asked and a texture, and locks the buffers. Throws
    // (an Engine::CException) when any of it fails.
    void ExerciseDeviceObjects(const CDeviceObjectTest& test);
    // The same in a log section, ending with the line "<testName>() : OK"
    // or "... : FAILED"; true when it worked.
    bool TestDeviceObjects(const char* sectionName, const char* testName, const CDeviceObjectTest& test);

    ref_ptr<CSprFileManager> GetSprFileManager() const;
    // The place-file and map-file managers belong to the scene layout
    // library above this one; it installs their factory at start-up.
    ref_ptr<Engine::CReferenced> GetPlaceFileManager() const { return m_pPlaceFileManager; }
    ref_ptr<Engine::CReferenced> GetMapFileManager() const { return m_pMapFileManager; }
    using ManagerFactory = ref_ptr<Engine::CReferenced> (*)(CGraphics* owner);
    static void SetResourceManagerFactories(ManagerFactory placeFiles, ManagerFactory mapFiles);
    ref_ptr<CTextureManager> GetTextureManager() const;

    // Buffered drawing (the software driver's dirty-rectangle path): quads
    // are collected per frame in containers instead of being drawn, and
    // only what changed since the last frame is redrawn.
    // Makes the cell grid and three empty containers.
    void CreateSpriteContainers();
    void DestroySpriteContainers();
    // Empties the containers (after a device reset everything is redrawn).
    void ClearSpriteContainers();
    // Two containers swap places; with three, each moves one place on.
    void SwapSpriteContainers();
    // The container that collects this frame's quads, or null when quads go
    // straight to the device.
    ref_ptr<CBufferedSpritesContainer> GetSpritesContainer() const;
    ref_ptr<CDirtyRects> GetDirtyRects() const;
    // The blend state recorded for buffered quads.
    CBufferedDrawState GetRecordedDrawState() const;
    // The end of a buffered frame, when the containers exist: the update
    // pass against last frame's container, which is then emptied, and the
    // rotation.
    void FinishBufferedFrame();
    // Marks the cells of every record that appeared, vanished or changed
    // since the last frame, and redraws this frame's records where marked,
    // cut to the dirty rectangles.
    void UpdateDirtyRects(const CBufferedSpritesContainer& current, const CBufferedSpritesContainer& last);
    // Particle quads (four sprite vertices each): drawn at once, or
    // buffered while the containers exist.
    void BufferParticleQuads(int32_t firstQuad, ref_ptr<CVertexBuffer> vertices, int32_t count,
                             ref_ptr<CTexture> texture);
    // While buffering, a colour clear becomes a full-screen quad in the
    // clear colour and the colour bit leaves the flags.
    void ClearColorAsQuad(uint32_t& flags);

    // What the frame's sprite quads may cover; the application starts it
    // with each frame's drawing.
    CDrawnAreaLimit& GetSpriteAreaLimit() { return m_spriteAreaLimit; }

    // The quads a frame hands the device are counted on the application's
    // quit watch, so that a frame of very many looks for a pending quit as
    // it draws. The application starts the count with each frame's drawing.
    void StartQuadCountdown();
    // Counts quads about to be drawn; true when the frame is stopped, and
    // they are then not drawn.
    bool CountDrawnQuads(int64_t quads);
    bool IsFrameStopped() const { return m_quadCountdown.IsStopped(); }
    // The same count for the drawing's other work (glyphs laid out), so that
    // a frame laying out a long text looks for a quit as it goes.
    Engine::CQuitCountdown& GetDrawingCountdown() { return m_quadCountdown; }
    // Hands `take` the quads 0 to count - 1 in pieces of kWatchedQuads,
    // counting each before it; false when the frame stopped first.
    bool TakeQuadsWatched(int32_t count, const std::function<void(int32_t first, int32_t quads)>& take);
    // Draws the quads of the buffer (four vertices each) in watched pieces.
    bool DrawQuadsWatched(ref_ptr<CVertexBuffer> vertices, int32_t firstQuad, int32_t count);
    static constexpr int32_t kWatchedQuads = 1024;

    CDeviceObjectManager& GetDeviceObjectManager() { return m_deviceObjects; }
    const CGraphicsParams& GetParams() const { return m_params; }
    CGraphicsParams& GetParams() { return m_params; }
    const std::vector<CVideoMode>& GetVideoModes() const { return m_videoModes; }
    const CVideoMode& GetDesktopMode() const { return m_desktopMode; }
    const Matrix34& GetViewMatrix() const { return m_viewMatrix; }
    const Matrix34& GetWorldMatrix() const { return m_worldMatrix; }
    // Records what the platform reported; drivers call it while creating.
    void ReportVideoMemory(uint32_t total, uint32_t free);

    bool IsQuitRequested() const { return m_bQuit != 0; }
    // Keys whose messages the window swallows until they are released
    // (Return and Alt after Alt+Enter).
    const std::set<int32_t>& GetSwallowedKeys() const { return m_pressedKeys; }
    void RequestQuit() { m_bQuit = 1; }
    bool IsCreated() const { return m_bCreated != 0; }

    // Set by the application before Create.
    CVideoMemory* m_pVideoMemory = nullptr;
    uint8_t m_bDeviceCheck = 0;
    int32_t m_nRequiredVideoMemory = -1;

    uint8_t m_bSceneBegun = 0;
    // 2D drawing transform applied by the sprite vertex emission.
    float m_transform2D[6] = {1, 0, 0, 0, 1, 0};
    uint8_t m_bTransform2DIdentity = 1;
    uint8_t m_bReloadProgress = 0;
    int32_t m_nRecordedBlendSrc = BLEND_ONE;
    int32_t m_nRecordedBlendDst = BLEND_ONE;
    uint8_t m_bRecordedAlphaBlend = 0;
    uint8_t m_bThreeContainers = 0;
    float m_clearColor[4] = {0, 0, 0, 0};

protected:
    static void OnReloadProgress(void* context, int current);
    void OnMouseMoveMessage(HWND window, LPARAM lParam);
    int m_nReloadTotal = 0;

    Engine::CApplication** m_ppApplication;
    uint8_t m_bMouseHasLeft = 0;
    std::set<int32_t> m_pressedKeys;
    uint8_t m_bCreated = 0;
    uint8_t m_bDeviceLost = 0;
    uint8_t m_bQuit = 0;
    Matrix34 m_worldMatrix = {};
    Matrix34 m_viewMatrix = {};
    int32_t m_nLastShownCursor = -1;
    int32_t m_nCursor = CURSOR_ARROW;
    HCURSOR m_hDefaultCursor = nullptr;
    int32_t m_nHandCursor = 0;
    CGraphicsParams m_params;
    std::vector<CVideoMode> m_videoModes;
    CVideoMode m_desktopMode;
    CTextureFormatList m_textureFormats;
    ref_ptr<CSprFileManager> m_pSprFileManager;
    ref_ptr<Engine::CReferenced> m_pPlaceFileManager;
    ref_ptr<Engine::CReferenced> m_pMapFileManager;
    ref_ptr<CTextureManager> m_pTextureManager;
    ref_ptr<CBufferedSpritesContainer> m_pCurrentSprites;
    ref_ptr<CBufferedSpritesContainer> m_pNextSprites;
    ref_ptr<CBufferedSpritesContainer> m_pThirdSprites;
    ref_ptr<CDirtyRects> m_pDirtyRects;
    // Reused by every update pass.
    std::vector<PixelRect> m_redrawRects;
    CQuadClipper m_clipper;
    CDrawnAreaLimit m_spriteAreaLimit;
    Engine::CQuitCountdown m_quadCountdown;
    // Declared last so that it is destroyed first: leftovers are detached
    // while the rest of the driver still exists.
    CDeviceObjectManager m_deviceObjects;
};

// The process-wide driver, set by the application once the driver is created.
CGraphics* GetGraphics();
void SetGraphics(CGraphics* graphics);

// While buffering, the pair is recorded for the buffered quads; otherwise
// it goes to the device.
void SetBlendFactors(CGraphics& driver, int source, int destination);

// 0xAARRGGBB from channels in 0..1 (clamped; NaN counts as 0).
uint32_t PackColorARGB(float r, float g, float b, float a);

} // namespace Engine::Graphics
