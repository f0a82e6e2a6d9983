#include "shell/StdApplication.h"

#include "platform/PendingInput.h"
#include "shell/PendingQuitRule.h"

#include "app/CPUInfo.h"
#include "app/FatalGuard.h"
#include "app/File.h"
#include "app/FreeBurst.h"
#include "app/InputNative.h"
#include "app/Log.h"
#include "app/NamedMutex.h"
#include "app/Pack.h"
#include "app/ProcessEnd.h"
#include "app/Timer.h"
#include "controls/ControlsManager.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "sound/SoundManager.h"

namespace Engine {

CStdApplication::CStdApplication(CGraphicsDriverTable drivers) : m_drivers(std::move(drivers)) {
    GetQuitWatch().SetProbe([this] { return TakeQuitIfPending(); });
}

bool CStdApplication::TakeQuitIfPending() {
    if (!m_graphics) return false;
    CPendingQuitRule rule(*m_graphics, m_hWnd);
    DescribeQuitInput(rule);
    if (!rule.EndsRun(Platform::PeekPendingMessages())) return false;
    m_graphics->RequestQuit();
    // The run ends for good: what a cut load has read may be left.
    if (!m_bAnotherPass) CProcessEnd::Begin();
    // The cut load unwinds what it has read, which may take a while.
    LeaveScreen();
    return true;
}

void CStdApplication::LeaveScreen() {
    // The voices first: hiding a full-screen window gives the desktop its
    // mode back, and SDL may wait up to 0.1 s there for a window manager.
    if (m_soundDriver) m_soundDriver->StopVoices();
    if (m_hWnd) ShowWindow(m_hWnd, SW_HIDE);
}

CStdApplication::~CStdApplication() { Destroy(); }

int CStdApplication::Execute() {
    m_environment.SetUp();
    CNamedMutex instance;
    if (IsSingleInstance() && !instance.Acquire(kGlobalMutexName)) {
        GetLog().PrintLine("Another instance is already running");
        m_environment.TearDown();
        return 0;
    }
    const int exitCode = RunGuarded([this] { return Run(); }, m_environment.GetCrashReporter());
    m_environment.TearDown();
    return exitCode;
}

int CStdApplication::Run() {
    m_environment.SetUp();
    m_startupError = nullptr;
    try {
        if (Startup()) MainLoop();
    } catch (...) {
        Destroy();
        throw;
    }
    Destroy();
    if (m_bConfigSaved && SavesConfiguration()) {
        GetLog().PrintLine("Saving Configuration");
        m_config.Save(m_environment.GetConfigPath());
    }
    if (!m_startupError) return 0;
    ShowApplicationError(m_startupError);
    return kFailureExitCode;
}

bool CStdApplication::Fail(const char* message) {
    m_startupError = message;
    return false;
}

bool CStdApplication::Startup() {
    InitTimer();
    OpenDataPacks();
    LoadConfiguration();
    LogApplicationInformation();
    ReadSettings();
    if (!CreateGraphicsWindow(ChooseDisplayMode())) return Fail(kUnableToInitGraphicsWindow);
    CreateInput();
    CreateSound();
    StartNetwork();
    CreateControls();
    CreateGameData();
    if (!InitApplication()) return Fail(kUnableToInitApplication);
    return true;
}

void CStdApplication::InitTimer() {
    CLogSection section("Initializing Timer");
    const CCPUInfo& cpu = GetCPUInfo();
    GetLog().PrintLine("CPU speed : %u MHz", cpu.dwSpeedMHz);
    GetGlobalClock().Start();
    OnTeardown([] { GetGlobalClock().Stop(); });
}

void CStdApplication::OpenDataPacks() {
    CLogSection section("Opening Data Packs");
    if (m_bUseLooseFiles) {
        CFile::SetDiskRoot("data");
        GetLog().PrintLine("Using loose files under 'data'");
        OnTeardown([] { CFile::SetDiskRoot(""); });
        return;
    }
    GetLog().PrintLine("Data packs opened : %d", GetDataPacks().OpenAll("."));
    OnTeardown([] { GetDataPacks().CloseAll(); });
}

void CStdApplication::LoadConfiguration() {
    CLogSection section("Loading Configuration");
    const CString& path = m_environment.GetConfigPath();
    // A file that is there but does not load (a newer version, damage, a
    // disk that cannot tell) is still the user's: the run goes on with the
    // defaults and leaves it as it is. Only the settings window stores over it.
    bool isAbsent = false;
    m_bConfigSaved = m_config.Load(path, &isAbsent) || isAbsent;
    if (!m_bConfigSaved) GetLog().PrintLine("'%s' is kept as it is: the settings are not saved", path.c_str());
}

void CStdApplication::LogApplicationInformation() {
    CLogSection section("Application Information");
    CLog& log = GetLog();
    log.PrintLine("Build : %s %s", __DATE__, __TIME__);
    OSVERSIONINFO os;
    GetVersionEx(&os);
    log.PrintLine("OS : %s (version %u.%u)", os.szCSDVersion, unsigned(os.dwMajorVersion), unsigned(os.dwMinorVersion));
    MEMORYSTATUS memory;
    GlobalMemoryStatus(&memory);
    log.PrintLine("Memory : %llu MB total, %llu MB free", static_cast<unsigned long long>(memory.dwTotalPhys >> 20),
                  static_cast<unsigned long long>(memory.dwAvailPhys >> 20));
    const CCPUInfo& cpu = GetCPUInfo();
    log.PrintLine("CPU : %s, %u MHz, features 0x%08X", cpu.szBrand[0] ? cpu.szBrand : cpu.szVendor,
                  unsigned(cpu.dwSpeedMHz), unsigned(cpu.dwFeatures));
}

void CStdApplication::ReadSettings() {
    CLogSection section("Reading Settings.xml");
    m_graphicsSettings = ReadGraphicsSettings(m_environment.GetSettingsXmlPath());
}

void CStdApplication::CreateInput() {
    CLogSection section("Initializing Input");
    auto keyboard = std::make_unique<Input::Drivers::Native::CKeyboard>();
    if (keyboard->Create(m_hWnd))
        m_keyboard = std::move(keyboard);
    else
        GetLog().PrintLine("Keyboard : FAILED : no window to read");
    auto mouse = std::make_unique<Input::Drivers::Native::CMouse>();
    if (mouse->Create(m_hWnd)) {
        const Graphics::CGraphicsParams& params = m_graphics->GetParams();
        mouse->SetScreenSize(params.width, params.height);
        m_mouseDriver = std::move(mouse);
    } else {
        GetLog().PrintLine("Mouse : FAILED : no window to read");
    }
    OnTeardown([this] {
        if (m_mouseDriver) m_mouseDriver->Destroy();
        if (m_keyboard) m_keyboard->Destroy();
        m_mouseDriver.reset();
        m_keyboard.reset();
    });
}

void CStdApplication::CreateSound() {
    if (!(GetCreationFlags() & CREATE_SOUND)) return;
    CLogSection section("Initializing Sound");
    Sound::CSoundManager& sound = Sound::GetSoundManager();
    m_soundDriver = std::make_unique<Sound::CSoundDriver_DSound>(&sound);
    Sound::CSoundDriver_DSound::CParams params;
    params.hWnd = m_hWnd;
    // A driver that cannot start leaves every sample silent.
    if (m_soundDriver->Init(&params, 44100, 0)) {
        const Platform::CSoundOutputInfo output = Platform::GetSoundOutputInfo();
        if (!output.fallbackReason.empty())
            GetLog().PrintLine("Sound : no audio device (%s), silent through '%s'", output.fallbackReason.c_str(),
                               output.driver.c_str());
        else
            GetLog().PrintLine("Sound : %s", output.driver.c_str());
    } else {
        GetLog().PrintLine("Sound : silent");
    }
    sound.SetDriver(m_soundDriver.get());
    sound.Init();
    ApplySoundVolumes();
    OnTeardown([this, &sound] {
        sound.Done();
        m_soundDriver->Done();
        sound.SetDriver(nullptr);
        m_soundDriver.reset();
    });
}

void CStdApplication::ApplySoundVolumes() {
    for (int32_t group = 0; group < Sound::CSoundManager::kGroupCount; ++group)
        SetSoundGroupVolume(group, m_config.soundVolumes[group]);
}

void CStdApplication::SetSoundGroupVolume(int32_t group, float volume) {
    Sound::CSoundManager& sound = Sound::GetSoundManager();
    if (sound.GetGroupVolume(group) == volume) return;
    sound.SetGroupVolume(group, volume);
    sound.ApplyVolume(group);
}

void CStdApplication::StartNetwork() {
    // Nothing to start on this platform; the line keeps the log's shape.
    CLogSection section("Initializing Network");
    GetLog().PrintLine("Network initialized");
}

void CStdApplication::CreateControls() {
    GetLog().PrintLine("Initializing Controls");
    auto controls = std::make_unique<Controls::CControlsManager>(m_graphics.get());
    if (controls->CreateDesktop(m_graphics.get())) m_pControls = std::move(controls);
    OnTeardown([this] { m_pControls.reset(); });
}

void CStdApplication::CreateGameData() {
    m_pGameData = std::make_unique<GameUi::CGameData>();
    m_pGameData->CreateLocalManagers(m_graphics.get(), m_particles ? &m_particles->GetFileManager() : nullptr);
    OnTeardown([this] { m_pGameData.reset(); });
}

bool CStdApplication::InitApplication() {
    CLogSection section("Initializing Application");
    OnTeardown([this] { OnDone(); });
    try {
        return OnInit();
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
        return false;
    }
}

void CStdApplication::Destroy() {
    if (m_teardown.empty()) return;
    if (!m_bAnotherPass) CProcessEnd::Begin();
    LeaveScreen();
    // After the window and the voices: the heap setting merges what the
    // program parked, and that waits on memory.
    const CFreeBurst freeBurst;
    CLogSection section("Shutting Down");
    while (!m_teardown.empty()) {
        std::function<void()> undo = std::move(m_teardown.back());
        m_teardown.pop_back();
        try {
            undo();
        } catch (...) {
            // The rest must still be undone.
            GetLog().PrintLine("Teardown : FAILED : %s", DescribeCurrentException().c_str());
        }
    }
}

void CStdApplication::MainLoop() {
    CLogSection section("Main Loop");
    m_clock.Reset(GetGlobalClock().GetElapsed());
    // The software driver redraws only what changed between frames.
    if (m_graphics->IsSoftwareRenderer()) m_graphics->CreateSpriteContainers();
    do {
        RunFrame();
    } while (!m_graphics->ProcessMessages());
}

void CStdApplication::RunFrame() {
    CFrameQuitWatch& quitWatch = GetQuitWatch();
    quitWatch.StartFrame();
    if (m_particles) m_particles->StartFrame();
    const CFixedStepClock::CFrame frame = m_clock.Advance(GetGlobalClock().GetElapsed());
    if (!frame.skipped) {
        for (int step = 0; step < frame.steps; ++step) {
            const double start = frame.StepStartSeconds(step);
            if (m_particles) m_particles->StartStep();
            if (m_pControls) m_pControls->Tick(start, CFixedStepClock::kStepSeconds);
            Update(start, CFixedStepClock::kStepSeconds);
            // A quit found while the frame ran long, or taken by a loading
            // step: the quit is requested, and the rest of the frame is not
            // worth waiting for.
            if (quitWatch.Check() || m_graphics->IsQuitRequested()) return;
        }
        if (IsActive()) DrawFrame([this] { Draw(); });
    }
    if (m_bAltEnter) ToggleFullScreen();
    UpdateInput();
    if (m_pControls) {
        m_pControls->Update(m_keys.data(), m_mouse);
        m_pControls->DispatchPostedEvents();
    }
}

void CStdApplication::UpdateInput() {
    if (m_keyboard) m_keyboard->Poll(m_keys.data());
    if (m_mouseDriver) m_mouseDriver->Poll(m_mouse);
}

void CStdApplication::OnKeyDown(int keyCode) {
    if (m_keyboard) m_keyboard->OnKeyDown(keyCode);
    if (m_pControls) m_pControls->PostKeyEvent({Controls::KeyRecord::KEY_DOWN, uint32_t(keyCode), 0});
}

void CStdApplication::OnKeyUp(int keyCode) {
    if (m_keyboard) m_keyboard->OnKeyUp(keyCode);
    if (m_pControls) m_pControls->PostKeyEvent({Controls::KeyRecord::KEY_UP, uint32_t(keyCode), 0});
}

void CStdApplication::OnChar(char16_t ch) {
    if (m_pControls) m_pControls->PostKeyEvent({Controls::KeyRecord::CHARACTER, 0, ch});
}

void CStdApplication::OnMouseLeave() {
    if (m_pControls) m_pControls->SetCapture(nullptr, true);
}

void CStdApplication::OnMouseMove(int x, int y) {
    if (m_mouseDriver) m_mouseDriver->OnMouseMove(x, y);
}

void CStdApplication::OnMouseButtonDown(int button) {
    if (m_mouseDriver) m_mouseDriver->OnMouseButtonDown(button);
}

void CStdApplication::OnMouseButtonUp(int button) {
    if (m_mouseDriver) m_mouseDriver->OnMouseButtonUp(button);
}

void CStdApplication::OnMouseWheel(int delta) {
    if (m_mouseDriver) m_mouseDriver->OnMouseWheel(delta);
}

} // namespace Engine
