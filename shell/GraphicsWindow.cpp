// The application's side of the graphics driver: choosing the display mode,
// creating the window and driver, drawing a frame, and destroying it again.

#include "app/LoadCancelled.h"
#include "app/Log.h"
#include "app/Timer.h"
#include "shell/StdApplication.h"
#include "graphics/DefaultStates.h"
#include "shell/DelayedLoading.h"
#include "graphics/DelayedLoaders.h"
#include "graphics/PrimitiveBuffers.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SprFileManager.h"
#include "graphics/TextLayoutCache.h"
#include "placefile/EngineParticles.h"
#include "placefile/PlaceFileManager.h"

namespace Engine {

namespace {
// The back buffer every driver draws into, fitted to the screen.
constexpr int32_t kBackBufferWidth = 800;
constexpr int32_t kBackBufferHeight = 600;

// A place file's effect files come from the particle system of the
// application its graphics object belongs to.
ref_ptr<Graphics::PlaceFile::IPlaceEffectFiles> PlaceEffectFilesOf(Graphics::CGraphics* graphics) {
    auto* app = graphics ? dynamic_cast<CStdApplication*>(graphics->GetApplication()) : nullptr;
    Particles::CParticleSystem* system = app ? app->GetParticleSystem() : nullptr;
    return system ? Graphics::PlaceFile::CreateEngineEffectFiles(*system) : nullptr;
}

// Place files hold effect files of the particle system: they go before it.
void ReleasePlaceFiles(Graphics::CGraphics& graphics) {
    auto* manager = dynamic_cast<Graphics::PlaceFile::CPlaceFileManager*>(graphics.GetPlaceFileManager().get());
    if (manager) manager->RemoveAllObjects();
}
} // namespace

Graphics::CGraphicsParams CStdApplication::ChooseDisplayMode() {
    Graphics::CGraphicsParams params;
    Graphics::ResetGraphicsParams(params);
    params.width = kBackBufferWidth;
    params.height = kBackBufferHeight;
    params.colorBits = 16;
    params.refresh = 85;
    params.fullScreen = 1;
    params.waitVSync = 1;
    params.appFlag = 1;
    GetDisplayMode(params);
    if (m_graphicsSettings.bpp32) params.colorBits = *m_graphicsSettings.bpp32 ? 24 : 16;
    if (m_graphicsSettings.fullscreen) params.fullScreen = *m_graphicsSettings.fullscreen ? 1 : 0;
    if (!AllowsFullScreen()) params.fullScreen = 0;
    GetLog().PrintLine("Display mode : %dx%d, %d bits, %s", params.width, params.height, params.colorBits,
                       params.fullScreen ? "full screen" : "windowed");
    return params;
}

bool CStdApplication::CreateGraphicsWindow(const Graphics::CGraphicsParams& params) {
    CLogSection section("CApplication::CreateGraphicsWindow()");
    for (const CGraphicsDriverEntry* entry : GetDriverTryOrder(m_drivers, m_graphicsSettings.driver)) {
        if (!TryDriver(*entry, params)) continue;
        GetLog().PrintLine("Graphics driver : %s", entry->key);
        OnTeardown([this] { DestroyGraphicsWindow(); });
        CreateParticleSystem();
        return true;
    }
    GetLog().PrintLine("No graphics driver could be created");
    return false;
}

bool CStdApplication::TryDriver(const CGraphicsDriverEntry& entry, Graphics::CGraphicsParams params) {
    std::unique_ptr<Graphics::CGraphics> driver = entry.create ? entry.create(&m_pSelf) : nullptr;
    if (!driver) {
        GetLog().PrintLine("Graphics driver '%s' : not available", entry.key);
        return false;
    }
    if (!driver->LoadDriverLibrary()) {
        GetLog().PrintLine("Graphics driver '%s' : LoadDriverLibrary() : FAILED", entry.key);
        return false;
    }
    driver->m_pVideoMemory = &m_videoMemory;
    driver->m_bDeviceCheck = m_bDeviceCheck;
    driver->m_nRequiredVideoMemory = m_nRequiredVideoMemory;
    const char* title = GetName();
    bool created = false;
    try {
        created = driver->Create(title && title[0] ? title : nullptr, &params);
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
    }
    if (!created) {
        GetLog().PrintLine("Graphics driver '%s' : Create() : FAILED", entry.key);
        driver->Destroy();
        driver->FreeDriverLibrary();
        return false;
    }
    m_graphics = std::move(driver);
    Graphics::SetGraphics(m_graphics.get());
    Graphics::CSpriteQueue::SetDriver(m_graphics.get());
    Graphics::CSpriteQueue::CreateVertexBuffer();
    if (!Graphics::CSpriteQueue::Init()) Graphics::CSpriteQueue::ReleaseVertexBuffer();
    Graphics::InitPrimitiveBuffers();
    return true;
}

void CStdApplication::CreateParticleSystem() {
    m_particles = std::make_unique<Particles::CParticleSystem>(m_graphics.get());
    m_particles->SetQuitWatch(&GetQuitWatch());
    Graphics::PlaceFile::SetPlaceParticleFactory(&PlaceEffectFilesOf);
    // Torn down before the driver: its buffer and textures belong to it.
    OnTeardown([this] {
        ReleasePlaceFiles(*m_graphics);
        m_particles->Done();
        m_particles.reset();
    });
    try {
        m_particles->GetLibrary().Init(&m_particles->GetGraphicsBinding());
    } catch (const std::exception& e) {
        // Without its vertex buffer the library draws nothing; the rest runs.
        GetLog().PrintLine("Particle library : %s", e.what());
    }
}

void CStdApplication::DestroyGraphicsWindow() {
    if (!m_graphics) return;
    // The queue's and the primitive buffers belong to the driver: give them
    // back before the driver goes.
    Graphics::CSpriteQueue::ReleaseVertexBuffer();
    Graphics::CSpriteQueue::Done();
    Graphics::CSpriteQueue::SetDriver(nullptr);
    Graphics::DonePrimitiveBuffers();
    if (Graphics::GetGraphics() == m_graphics.get()) Graphics::SetGraphics(nullptr);
    m_graphics->Destroy();
    m_graphics->FreeDriverLibrary();
    m_graphics.reset();
    m_hWnd = nullptr;
}

void CStdApplication::DrawFrame(const std::function<void()>& draw) {
    if (!m_graphics) return;
    Graphics::CGraphics& g = *m_graphics;
    if (!g.m_bSceneBegun) g.m_bSceneBegun = g.gBeginScene() ? 1 : 0;
    if (!g.m_bSceneBegun) return;
    Graphics::SetDefaultRenderStates(g);
    g.GetSpriteAreaLimit().StartFrame(g.GetParams().width, g.GetParams().height);
    g.StartQuadCountdown();
    Graphics::CTextLayoutCache::OfThisThread().StartFrame();
    draw();
    Graphics::CSpriteQueue::FlushIfPending(Graphics::CSpriteQueue::CParams{});
    g.FinishBufferedFrame();
    g.gEndScene();
    g.m_bSceneBegun = 0;
    // A frame cut short by a quit is not shown: the run ends after it.
    if (!GetQuitWatch().IsStopped()) g.gFlipBuffers();
}

void CStdApplication::OnLoadingProgress(int total, int current) {
    DrawFrame([&] { DrawLoadingScreen(current, total); });
}

void CStdApplication::RunDelayedLoaders(const std::function<void(int done, int total)>& drawLoadingScreen) {
    if (!m_graphics) return;
    CDelayedLoaders loaders(CollectDelayedLoaders(*m_graphics));
    CFrameQuitWatch& quitWatch = GetQuitWatch();
    loaders.Run([&](int32_t done, int32_t total) {
        // A quit taken here ends the loading: the main loop then sees it
        // (a WM_QUIT taken leaves no mark of its own).
        if (m_graphics->ProcessMessages()) {
            m_graphics->RequestQuit();
            throw CLoadCancelled();
        }
        // Each item is a frame of its own for the readers' checks.
        quitWatch.StartFrame();
        UpdateInput();
        DrawFrame([&] { drawLoadingScreen(done, total); });
    });
}

void CStdApplication::ToggleFullScreen() {
    m_bAltEnter = false;
    Graphics::CGraphicsParams params = m_graphics->GetParams();
    params.fullScreen = params.fullScreen ? 0 : 1;
    if (!m_graphics->ChangeVideoMode(params)) GetLog().PrintLine("Alt+Enter : ChangeVideoMode(...) : FAILED");
}

} // namespace Engine
