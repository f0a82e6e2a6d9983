#include "app/shell/ScreensaverApplication.h"

#include "app/FatalGuard.h"
#include "app/Locale.h"
#include "app/Log.h"
#include "app/shell/CommandLine.h"
#include "platform/Window.h"

namespace Engine {

CScreensaverApplication::CScreensaverApplication(CGraphicsDriverTable drivers, ButtonPrompt settingsPrompt)
    : CStdApplication(std::move(drivers)), m_settingsPrompt(std::move(settingsPrompt)) {
    // The screensaver reads its data from the packs only.
    SetUseLooseFiles(false);
}

int CScreensaverApplication::Execute() {
    const CScreensaverCommand command = ParseCommandLine(GetCommandLine().view());
    switch (command.mode) {
    case EScreensaverMode::Run:
        return CStdApplication::Execute();
    case EScreensaverMode::Settings:
        return ShowSettings();
    case EScreensaverMode::Preview: {
        // The preview window is only checked: nothing is drawn into it.
        const HWND window = reinterpret_cast<HWND>(command.window.value_or(0));
        GetLog().PrintLine("Preview window %llu : %s", static_cast<unsigned long long>(command.window.value_or(0)),
                           IsWindow(window) ? "not drawn" : "not a window");
        return 0;
    }
    case EScreensaverMode::Associate: {
        const HWND window =
            command.window ? reinterpret_cast<HWND>(*command.window) : GetForegroundWindow();
        GetLog().PrintLine("Associated window : %s", IsWindow(window) ? "found" : "none");
        return 0;
    }
    case EScreensaverMode::None:
        break;
    }
    return 0;
}

int CScreensaverApplication::ShowSettings() {
    CEnvironment& environment = GetEnvironment();
    environment.SetUp();
    const int exitCode = RunGuarded(
        [&] {
            CSettingsDialogModel model(environment.GetConfigPath());
            RunSettingsDialog(model, kName, m_settingsPrompt);
            return 0;
        },
        environment.GetCrashReporter());
    environment.TearDown();
    return exitCode;
}

void CScreensaverApplication::GetDisplayMode(Graphics::CGraphicsParams& params) { params.fullScreen = 1; }

bool CScreensaverApplication::OnInit() {
    GetLocaleManager().Load("xml/Locale.xml");
    LoadGlobalValues("xml/global.xml", m_globals);
    m_sprFiles = new Graphics::SprFile::CSprFileLocalManager(GetGraphicsDriver());
    m_loading.Add("Loading Font", [this] { LoadFont(); });
    m_loading.Add("Loading Hints", [this] { LoadHints(); });
    // The scenes and the ambient tracks join here with their libraries.
    m_loading.Add("Loading Images", [this] { LoadImages(); });
    return true;
}

void CScreensaverApplication::OnDone() {
    // Everything that holds driver resources goes before the driver.
    m_font.Release();
    m_sprFiles.Release();
    m_loadingScreen.Release();
}

void CScreensaverApplication::LoadFont() {
    const CLocaleFont* record = GetLocaleManager().FindFont(kFontName);
    if (!record) return;
    m_font = Graphics::CreateFontFromSprite(*record, m_sprFiles->LoadSprFile(kFontFile, true));
    GetLog().PrintLine("Font '%s' : %d characters", kFontName, int(record->characters.size()));
}

void CScreensaverApplication::LoadImages() {
    // The bar goes on from where the steps before left it.
    const int step = m_loading.GetDone() - 1;
    const int steps = m_loading.GetTotal();
    RunDelayedLoaders([&](int done, int total) {
        if (total > 0)
            DrawLoadingScreen(step * total + done, steps * total);
        else
            DrawLoadingScreen(step, steps);
    });
}

void CScreensaverApplication::LoadHints() {
    for (int i = 1;; ++i) {
        const CString key = FormatString("HINT_%d", i);
        if (!GetLocaleManager().HasString(key)) break;
        m_hints.push_back(GetLocaleManager().FindString(key));
    }
    GetLog().PrintLine("Hints : %d", int(m_hints.size()));
}

void CScreensaverApplication::Update(double time, double step) {
    (void)time;
    (void)step;
    if (IsLoading()) m_loading.RunNext();
}

void CScreensaverApplication::Draw() {
    if (IsLoading()) {
        DrawLoadingScreen(m_loading.GetDone(), m_loading.GetTotal());
        return;
    }
    GetGraphicsDriver()->gClear(Graphics::CLEAR_COLOR);
}

void CScreensaverApplication::DrawLoadingScreen(int current, int total) {
    GetGraphicsDriver()->gClear(Graphics::CLEAR_COLOR);
    m_loadingScreen.Draw(*GetGraphicsDriver(), current, total);
}

void CScreensaverApplication::Quit() {
    if (Graphics::CGraphics* graphics = GetGraphicsDriver()) graphics->RequestQuit();
}

void CScreensaverApplication::OnKeyDown(int keyCode) {
    CStdApplication::OnKeyDown(keyCode);
    Quit();
}

void CScreensaverApplication::OnMouseButtonDown(int button) {
    CStdApplication::OnMouseButtonDown(button);
    Quit();
}

void CScreensaverApplication::OnMouseMove(int x, int y) {
    CStdApplication::OnMouseMove(x, y);
    if (m_mouseQuit.OnMouseMove(x, y)) Quit();
}

} // namespace Engine
