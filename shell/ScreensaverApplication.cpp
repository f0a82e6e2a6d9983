#include "shell/ScreensaverApplication.h"

#include <random>

#include "app/LoadingQuitCheck.h"
#include "app/Locale.h"
#include "app/Log.h"
#include "shell/CommandLine.h"
#include "shell/ControlsSymbolFont.h"
#include "shell/GameEffects.h"
#include "shell/PendingQuitRule.h"
#include "shell/SettingsDialogApplication.h"
#include "controls/ControlsManager.h"
#include "graphics/Text.h"
#include "placefile/SceneGeneratedClass.h"
#include "platform/Window.h"

namespace Engine {

CScreensaverApplication::CScreensaverApplication(CGraphicsDriverTable drivers)
    : CStdApplication(drivers), m_settingsDrivers(std::move(drivers)), m_loading(&GetQuitWatch()) {
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
    // Neither mode sets up the run's environment, so no log is open: they
    // write nothing. The preview window is only checked, never drawn into.
    case EScreensaverMode::Preview:
        IsWindow(reinterpret_cast<HWND>(command.window.value_or(0)));
        return 0;
    case EScreensaverMode::Associate:
        IsWindow(command.window ? reinterpret_cast<HWND>(*command.window) : GetForegroundWindow());
        return 0;
    case EScreensaverMode::None:
        break;
    }
    return 0;
}

int CScreensaverApplication::ShowSettings() {
    CSettingsDialogApplication dialog(m_settingsDrivers, kName);
    dialog.SetCommandLine(GetCommandLine());
    return dialog.Execute();
}

void CScreensaverApplication::GetDisplayMode(Graphics::CGraphicsParams& params) { params.fullScreen = 1; }

bool CScreensaverApplication::OnInit() {
    Graphics::PlaceFile::g_bUseGeneratedSceneClasses = true;
    const bool ambient = GetConfig().playAmbientSounds;
    if (ambient)
        for (const int32_t group : {1, 0}) SetSoundGroupVolume(group, kAmbientGroupVolume);
    std::unique_ptr<CScreensaverData> data;
    // Both files may be big: they are read under the loading steps' quit
    // look, and a quit found there ends the run as a cut step does.
    const bool read = CLoadingQuitCheck::Run(GetQuitWatch(), [&] {
        GetLocaleManager().Load("xml/Locale.xml");
        data = std::make_unique<CScreensaverData>(GetGraphicsDriver(), GetParticleSystem());
        LoadGlobalValues("xml/global.xml", data->GetGlobalValues());
    });
    if (!read) {
        m_loading.Cancel();
        return true;
    }
    m_data = data.get();
    SetGameData(std::move(data));
    m_loading.Add("Loading Font", [this] {
        m_data->LoadFont();
        if (Controls::CControlsManager* controls = GetControls())
            controls->SetSymbolFont(LoadSymbolFont(*m_data->GetResources().sprFiles));
    });
    m_loading.Add("Loading Hints", [this] { m_data->LoadHints(); });
    m_loading.Add("Loading Scenes", [this] { m_data->LoadScenes(); });
    if (ambient) m_loading.Add("Loading Ambient Tracks", [this] { m_data->LoadAmbientTracks(); });
    m_loading.Add("Loading Images", [this] { LoadImages(); });
    return true;
}

void CScreensaverApplication::OnDone() {
    // Everything that holds driver resources goes before the driver.
    m_bStarted = false;
    m_playingTrack = CString();
    m_tracksToTry = 0;
    m_data = nullptr;
    if (Controls::CControlsManager* controls = GetControls()) controls->SetSymbolFont(nullptr);
    SetGameData(nullptr);
    m_loadingScreen.Release();
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

void CScreensaverApplication::Start() {
    m_bStarted = true;
    m_notice.SetHints(m_data->GetHints());
    std::random_device seed;
    std::mt19937 random(seed());
    const int scenes = int(m_data->GetScenes().size());
    m_cycle.Start(scenes, scenes > 0 ? int(random() % unsigned(scenes)) : 0,
                  double(GetConfig().backgroundChangeSeconds));
    LogCurrentScene();
    m_notice.Next(GetLocaleManager(), LocalHour());
    const std::vector<CString>& tracks = m_data->GetTracks();
    if (!tracks.empty()) {
        m_nextTrack = random() % tracks.size();
        m_tracksToTry = tracks.size();
        PlayNextTrack();
    }
}

void CScreensaverApplication::PlayNextTrack() {
    const std::vector<CString>& tracks = m_data->GetTracks();
    const CString& track = tracks[m_nextTrack];
    m_nextTrack = (m_nextTrack + 1) % tracks.size();
    --m_tracksToTry;
    if (!m_data->PlayTrack(track)) return;
    m_playingTrack = track;
    m_tracksToTry = 0;
}

void CScreensaverApplication::ChangeScene() {
    m_notice.Next(GetLocaleManager(), LocalHour());
    LogCurrentScene();
}

void CScreensaverApplication::LogCurrentScene() const {
    if (Graphics::PlaceFile::CPlaceFile* scene = GetCurrentScene())
        GetLog().PrintLine("Scene : %s", scene->GetName().c_str());
}

Graphics::PlaceFile::CPlaceFile* CScreensaverApplication::GetCurrentScene() const {
    const int current = m_cycle.GetCurrent();
    if (IsLoading() || !m_data || current < 0 || size_t(current) >= m_data->GetScenes().size()) return nullptr;
    return m_data->GetScenes()[size_t(current)].get();
}

void CScreensaverApplication::Update(double time, double step) {
    if (IsLoading()) {
        m_loading.RunNext();
        if (m_loading.IsDone()) Start();
        return;
    }
    if (m_tracksToTry > 0) PlayNextTrack();
    if (m_cycle.Advance(step)) ChangeScene();
    // Both take the application time, which the scene's own rate and span
    // wrap: what a scene shows depends on that time alone, not on when the
    // scene came on.
    if (Graphics::PlaceFile::CPlaceFile* scene = GetCurrentScene()) {
        scene->SetTime(time);
        scene->Update(time, step);
    }
    m_data->m_fEffectClock = float(time);
    UpdateGameEffects(*m_data, float(time), float(step));
}

void CScreensaverApplication::Draw() {
    if (IsLoading()) {
        DrawLoadingScreen(m_loading.GetDone(), m_loading.GetTotal());
        return;
    }
    GetGraphicsDriver()->gClear(Graphics::CLEAR_COLOR);
    if (Graphics::PlaceFile::CPlaceFile* scene = GetCurrentScene()) scene->Draw(0.0f, 0.0f, 1.0f);
    DrawNotice();
    if (m_data) DrawGameEffects(*m_data);
}

void CScreensaverApplication::DrawNotice() {
    if (!m_data || !m_data->GetFont() || m_notice.GetText().IsEmpty()) return;
    const Graphics::CGraphicsParams& params = GetGraphicsDriver()->GetParams();
    Graphics::CDrawContext context;
    Graphics::CTextLayout::SetFont(context, m_data->GetFont());
    context.SetSecondValue(320.0f);
    context.m_textColor = CNoticeText::Color(CNoticeText::Alpha(m_cycle.GetSceneTime(), m_cycle.GetPeriod()));
    // As DrawTextAt, but with the frame's default blending (source alpha, one
    // minus source alpha) named on every glyph. Glyphs that name no blend
    // state take the one the batch drawn before them left, and the glyphs
    // are white with their shapes in alpha: after a sprite in premultiplied
    // or additive blending the text became a white box. Which batch comes
    // before the text differs by driver (the software driver keeps the
    // queue's order, the others sort by texture), so it showed on one
    // driver and not another.
    Graphics::DrawText(context, 0.0f, float(params.height - 32), float(params.width), 0.0f, 1.0f, 1.0f,
                       Graphics::TEXT_ALIGN_CENTER, Graphics::SPRITE_BLEND_ALPHA, m_notice.GetText());
}

void CScreensaverApplication::DrawLoadingScreen(int current, int total) {
    GetGraphicsDriver()->gClear(Graphics::CLEAR_COLOR);
    m_loadingScreen.Draw(*GetGraphicsDriver(), current, total);
}

void CScreensaverApplication::Quit() {
    if (Graphics::CGraphics* graphics = GetGraphicsDriver()) graphics->RequestQuit();
}

void CScreensaverApplication::DescribeQuitInput(CPendingQuitRule& rule) const { rule.EndOnInput(m_mouseQuit); }

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
