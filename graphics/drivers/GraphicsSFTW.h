#pragma once
// The software graphics driver: no 3D interface at all. Every primitive is
// rasterised in ordinary memory into a top-down 32-bit device-independent
// bitmap one row taller than the screen, and finished frames are copied to
// the window only where the screen changed. It honours alpha blending, the
// blend factor pair and the texture of stage 0; everything else of the
// interface is accepted and ignored.

#include <vector>

#include "graphics/Graphics.h"
#include "graphics/Texture.h"
#include "graphics/drivers/DeviceObjectsSFTW.h"
#include "graphics/drivers/RasterSFTW.h"
#include "platform/Display.h"
#include "platform/Gdi.h"

namespace Engine::Graphics {

class CGraphics_SFTW : public CGraphics {
public:
    static constexpr const char* kWindowClass = "Software Rendering Class";

    // Pixel rectangles, right and bottom exclusive.
    struct CRect {
        int32_t left, right, top, bottom;
        friend bool operator==(const CRect&, const CRect&) = default;
    };

    explicit CGraphics_SFTW(Engine::CApplication** application);
    // Destroys the window if Destroy was not called.
    ~CGraphics_SFTW() noexcept override;

    bool IsDirect3D() override { return false; }
    bool IsSoftwareRenderer() override { return true; }
    // Colours are packed with red in bits 16-23, as in the back buffer.
    bool IsColorRGBA() override { return !m_bColorOrder; }

    // Creation, modes and presentation.
    bool Create(const char* title, CGraphicsParams* params) override;
    void Destroy() override;
    bool ChangeVideoMode(CGraphicsParams params) override;
    bool LoadDriverLibrary() override { return true; }
    void FreeDriverLibrary() override {}
    bool gBeginScene() override { return true; }
    void gEndScene() override { m_bFrameReady = 1; }
    // Copies the changed parts of the back buffer to the window.
    void gFlipBuffers() override;

    // Device objects.
    void CreateVertexBuffer(ref_ptr<CVertexBuffer>& out, int count, int vertexSize, uint32_t format,
                            bool dynamic) override;
    void CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int typeCode, int count, bool dynamic) override;
    void CreateHardwareTexture(ref_ptr<CHardwareTexture>& out, ref_ptr<CBitmap> bitmap, bool mipmap, bool freePixels,
                               int32_t minAlphaBits) override;
    CRenderTarget* CreateRenderTarget(int, int) override { return nullptr; }
    void SetRenderTarget(CRenderTarget* target) override { m_pCurrentTarget = target; }
    CRenderTarget* GetRenderTarget() override { return m_pCurrentTarget; }
    CRenderTarget* GetDefaultRenderTarget() override { return nullptr; }

    // Drawing.
    void gDraw(int type, ref_ptr<CVertexBuffer> vertices, int first, int count, ref_ptr<CIndexBuffer> indices) override;
    void gClear(uint32_t flags) override;
    void gSetTextureStage(int stage, ref_ptr<CTexture> texture) override;
    void gSwitch(int id, bool on) override;
    void gSetBlendFunc(int source, int destination) override;
    // The software blend mode of the current state (RasterSFTW.h).
    int32_t GetBlendMode() const;

    // Ignored states.
    void gSetLight(int, const CLight*) override {}
    void gSetMaterial(int, const CMaterial*) override {}
    void gSetFog(const CFog*) override {}
    void SetPerspective(float, float, float, float) override {}
    void SetOrtho(float, float, float, float) override {}
    void SetOrtho2D(float, float, float, float) override {}
    void gSetTexture(int, CBaseHardwareTexture*) override {}
    void gSetTextureWrap(int, int, int) override {}
    void gSetTextureFilter(int, int, int, int) override {}
    void gSetCullMode(int) override {}
    void gSetFrontFace(int) override {}
    void gSetDepthFunc(int) override {}
    void gSetColorMaterial(int) override {}
    void gSetLightModel(bool) override {}
    void gSetAmbient(float, float, float, float) override {}
    void gSetTwoSidedLighting(bool) override {}
    void gSetColorMask(bool, bool, bool, bool) override {}
    void gSetAlphaFunc(int, float) override {}
    void gSetShadeModel(int) override {}
    void gSetStencilMask(uint32_t) override {}
    void gSetStencilOp(uint32_t, uint32_t, uint32_t) override {}
    void gSetStencilFunc(int, int32_t, uint32_t) override {}
    void gSetTexGen(int, int) override {}
    void gSetTextureMatrix(int, const float*) override {}
    void gSetTextureCombine(int, int, int, int, const float*, int, const float*) override {}

    // The back buffer the rasteriser draws into (the current mode's size).
    CRasterTarget GetBackBuffer() const;
    // The rectangles the last flip copied to the window.
    const std::vector<CRect>& GetPresentedRects() const { return m_presentList; }
    HWND GetWindow() const { return m_hWnd; }

private:
    static void RegisterSoftwareWindowClass();
    static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaintMessage(HWND window);

    bool InitSFTW();
    bool InitGDI();
    void DoneGDI();
    // Rebuilds the back buffer when the mode's size differs from it; false
    // when it cannot be made (there is none then).
    bool FitBackBuffer();
    void SetColorOrder(bool rgb);
    bool FindDisplayMode();
    bool EnterChosenMode();
    // The rectangles to copy this flip, from the dirty grid and the paint
    // list, or the whole screen.
    void CollectPresentRects();
    // False when no part of the window is visible.
    bool IsWindowVisibleOnScreen() const;
    void PresentRects(int32_t width, int32_t height);

    int32_t m_nPresentPath = -1;  // -1 none, 0 GDI
    HWND m_hWnd = nullptr;
    HDC m_hWindowDC = nullptr;
    HDC m_hMemoryDC = nullptr;
    HBITMAP m_hDibSection = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    DEVMODE m_displayMode{};

    uint8_t m_bAlphaBlend = 0;
    int32_t m_nBlendSource = BLEND_SRC_ALPHA;
    int32_t m_nBlendDestination = BLEND_INV_SRC_ALPHA;
    ref_ptr<CTexture> m_stages[4];
    CRenderTarget* m_pCurrentTarget;

    // WM_PAINT areas waiting for the next flip, in pixels.
    std::vector<CRect> m_paintList;
    std::vector<CRect> m_presentList;
    std::vector<PixelRect> m_dirtyRects;
    CRenderTarget_SFTW m_defaultTarget;
    BITMAPINFO m_bitmapInfo{};
    int32_t m_nPitch = 0;
    // The size the back buffer was made for.
    int32_t m_nBufferWidth = 0;
    int32_t m_nBufferHeight = 0;
    uint8_t m_bColorOrder = 0;
    uint32_t m_redMask = 0, m_greenMask = 0, m_blueMask = 0;
    uint8_t m_bFrameReady = 0;
};

// The driver factory of the driver table's "SFTW" entry.
CGraphics* CreateGraphics_SFTW(Engine::CApplication** application);

} // namespace Engine::Graphics
