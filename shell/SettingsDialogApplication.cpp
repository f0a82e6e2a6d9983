#include "shell/SettingsDialogApplication.h"

#include "app/Exception.h"
#include "app/LoadingQuitCheck.h"
#include "app/Locale.h"
#include "app/Log.h"
#include "shell/ControlsSymbolFont.h"
#include "shell/ScreensaverData.h"
#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"

namespace Engine {

CSettingsDialogApplication::CSettingsDialogApplication(CGraphicsDriverTable drivers, const char* title)
    : CStdApplication(std::move(drivers)), m_title(title) {
    // The font comes from the screensaver's data packs.
    SetUseLooseFiles(false);
}

void CSettingsDialogApplication::GetDisplayMode(Graphics::CGraphicsParams& params) {
    params.width = CSettingsDialog::kWidth;
    params.height = CSettingsDialog::kHeight;
    params.fullScreen = 0;
}

bool CSettingsDialogApplication::OnInit() {
    Controls::CControlsManager* controls = GetControls();
    if (!controls) throw CException("The settings dialog needs the controls");
    // A quit while the locale was read closes the window before any dialog.
    if (!LoadFont()) return true;
    // Without it the check box and the combo box lose their glyphs only.
    controls->SetSymbolFont(LoadSymbolFont(*m_sprFiles));
    m_model = std::make_unique<CSettingsDialogModel>(GetEnvironment().GetConfigPath());
    m_dialog = new CSettingsDialog(*m_model, [this](bool stored) {
        GetLog().PrintLine("Settings dialog closed : %s", stored ? "stored" : "nothing stored");
        GetGraphicsDriver()->RequestQuit();
    });
    m_dialog->Build(controls, controls->GetDesktop(), 0, 0, m_font);
    return true;
}

bool CSettingsDialogApplication::LoadFont() {
    // Without a font the dialog still works, without its texts.
    m_sprFiles = new Graphics::SprFile::CSprFileLocalManager(GetGraphicsDriver());
    try {
        // The screensaver's locale, read under the same quit look.
        if (!CLoadingQuitCheck::Run(GetQuitWatch(), [] { GetLocaleManager().Load("xml/Locale.xml"); })) return false;
        const char* name = kFontName;
        const char* file = kFontFile;
        const CLocaleFont* record = GetLocaleManager().FindFont(name);
        if (!record) {
            name = CScreensaverData::kFontName;
            file = CScreensaverData::kFontFile;
            record = GetLocaleManager().FindFont(name);
        }
        if (!record) throw CException::Format("Font '%s' : not in the locale", name);
        m_font = Graphics::CreateFontFromSprite(*record, m_sprFiles->LoadSprFile(file, false));
    } catch (const CException& e) {
        GetLog().PrintLine("Settings dialog : no font : %s", e.what());
    }
    return true;
}

void CSettingsDialogApplication::OnDone() {
    if (m_dialog) m_dialog->Destroy();
    m_dialog = nullptr;
    if (Controls::CControlsManager* controls = GetControls()) controls->SetSymbolFont(nullptr);
    m_font.Release();
    m_sprFiles.Release();
    m_model.reset();
}

void CSettingsDialogApplication::Draw() {
    Graphics::CGraphics* graphics = GetGraphicsDriver();
    graphics->gClear(Graphics::CLEAR_COLOR);
    Controls::CControlsManager* controls = GetControls();
    if (!controls) return;
    const Controls::CBaseControl::Ref desktop = controls->GetDesktop();
    Controls::CRenderContext context(graphics, desktop->GetWindowRect());
    desktop->Draw(context);
    context.FlushIfPending();
}

} // namespace Engine
