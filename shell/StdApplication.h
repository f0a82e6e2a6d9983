#pragma once
// The standard application: the run step that starts the engine's parts in a
// fixed order, the fixed-step main loop, and the teardown in reverse.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/Application.h"
#include "app/Config.h"
#include "app/Environment.h"
#include "app/FixedStepClock.h"
#include "app/Input.h"
#include "app/Settings.h"
#include "app/String.h"
#include "shell/DriverTable.h"
#include "gameui/GameData.h"
#include "graphics/Graphics.h"
#include "particles/engine/ParticleSystem.h"
#include "scene/EndlessTimeSpan.h"
#include "sound/dsound/SoundDriver_DSound.h"

namespace Engine {

namespace Controls {
class CControlsManager;
}

inline constexpr char kUnableToInitGraphicsWindow[] = "Unable to Init Graphics Window";
inline constexpr char kUnableToInitApplication[] = "Unable to Init Application";
inline constexpr char kGlobalMutexName[] = "_GlobalMutex";

class CPendingQuitRule;

class CStdApplication : public CApplication {
public:
    explicit CStdApplication(CGraphicsDriverTable drivers = GetDefaultDriverTable());
    ~CStdApplication() override;

    // The entry point stores the command line before the pass runs.
    void SetCommandLine(CString commandLine) { m_commandLine = std::move(commandLine); }
    const CString& GetCommandLine() const { return m_commandLine; }
    // One pass: sets up the environment, refuses a second instance, then
    // runs inside the fatal guard. Returns the exit code.
    virtual int Execute();
    // Whether the entry point makes another pass after this one.
    bool WantsAnotherPass() const { return m_bAnotherPass; }
    CEnvironment& GetEnvironment() { return m_environment; }

    // Start-up in order (the environment first, unless Execute set it up),
    // the main loop, teardown in reverse and the configuration saved; a start-up failure is shown at the end and gives
    // a non-zero exit code.
    int Run();

    // The input notifications reach the input drivers first.
    void OnKeyDown(int keyCode) override;
    void OnKeyUp(int keyCode) override;
    void OnMouseMove(int x, int y) override;
    void OnMouseButtonDown(int button) override;
    void OnMouseButtonUp(int button) override;
    void OnMouseWheel(int delta) override;
    // Key records for the controls; leaving the window cancels their capture.
    void OnChar(char16_t ch) override;
    void OnMouseLeave() override;
    void OnAltEnter() override { m_bAltEnter = true; }
    // Draws one loading frame (the drivers call it while reloading).
    void OnLoadingProgress(int total, int current) override;

    // Copies the configuration's two volumes into the sound groups 0 and 1,
    // re-applying a group whose volume changed.
    void ApplySoundVolumes();
    // Sets one group's volume, re-applying it when it changed.
    static void SetSoundGroupVolume(int32_t group, float volume);

    Graphics::CGraphics* GetGraphicsDriver() const { return m_graphics.get(); }
    // Made with the graphics window; null before.
    Particles::CParticleSystem* GetParticleSystem() const { return m_particles.get(); }
    CConfig& GetConfig() { return m_config; }
    const CGraphicsSettings& GetGraphicsSettings() const { return m_graphicsSettings; }
    // Refreshed once per frame: one byte per key code, and the mouse.
    const std::array<uint8_t, 256>& GetKeyState() const { return m_keys; }
    const Input::CMouseState& GetMouseState() const { return m_mouse; }
    // The GUI controls; null until they are initialised and after teardown.
    Controls::CControlsManager* GetControls() const { return m_pControls.get(); }
    // Made with the controls, over the driver's sprite files, the samples
    // and the particle system's effect files; it loads nothing itself. An
    // application may put its own data set in its place.
    IGameData* GetGameData() override { return m_pGameData.get(); }
    // A root span (no parent, offset 0), the same from construction to destruction.
    KeyFramer::CEndlessTimeSpan* GetTimeBase() override { return m_pTimeBase.get(); }

protected:
    // What the start-up creates besides graphics and input.
    enum ECreationFlags : uint32_t { CREATE_SOUND = 1 };
    virtual uint32_t GetCreationFlags() const { return CREATE_SOUND; }
    // The window title; no title when empty.
    virtual const char* GetName() const { return ""; }
    virtual bool IsSingleInstance() const { return true; }
    // Whether the run stores the configuration at its end.
    virtual bool SavesConfiguration() const { return true; }
    // False keeps the window whatever "Settings.xml" asks for.
    virtual bool AllowsFullScreen() const { return true; }
    // The application's display mode, applied before "Settings.xml".
    virtual void GetDisplayMode(Graphics::CGraphicsParams& params) { (void)params; }
    // The application's own start-up, after the engine's parts; false (or
    // an Engine::CException) ends the run with "Unable to Init Application".
    // OnDone runs at teardown whenever OnInit was called.
    virtual bool OnInit() { return true; }
    virtual void OnDone() {}
    // One fixed step: its start time and length in seconds.
    virtual void Update(double time, double step) { (void)time; (void)step; }
    virtual void Draw() {}
    // One frame of the loading screen: current of total items are loaded.
    virtual void DrawLoadingScreen(int current, int total) { (void)current; (void)total; }

    // What besides closing ends the run when it waits in the queue, for a
    // frame that runs long (CFrameQuitWatch); nothing here.
    virtual void DescribeQuitInput(CPendingQuitRule& rule) const { (void)rule; }

    // Loose files under "data" instead of the data packs.
    void SetUseLooseFiles(bool use) { m_bUseLooseFiles = use; }
    void RequestAnotherPass() { m_bAnotherPass = true; }
    // Makes data the current game data object (null: none), dropping the
    // one before.
    void SetGameData(std::unique_ptr<GameUi::CGameData> data) { m_pGameData = std::move(data); }
    // Draws and presents one frame when the driver can begin a scene.
    void DrawFrame(const std::function<void()>& draw);
    // The loading-screen run: the resource managers' delayed loaders perform
    // their items one per frame, each frame pumping messages and input and
    // drawn by drawLoadingScreen(done, total). The time it takes is kept out
    // of the game time. A quit among the messages ends it with
    // CLoadCancelled, for the loading step that runs it.
    void RunDelayedLoaders(const std::function<void(int done, int total)>& drawLoadingScreen);

private:
    // The quit watch's probe: a quit among the messages waiting is
    // requested at once.
    bool TakeQuitIfPending();
    // Once the run is to end, what the user sees and hears ends at once:
    // the window is hidden and the voices stop. Letting go of a big scene
    // may take a while after that; the window stays until the driver goes.
    void LeaveScreen();

    bool Startup();
    bool Fail(const char* message);
    void InitTimer();
    void OpenDataPacks();
    void LoadConfiguration();
    void LogApplicationInformation();
    void ReadSettings();
    Graphics::CGraphicsParams ChooseDisplayMode();
    bool CreateGraphicsWindow(const Graphics::CGraphicsParams& params);
    bool TryDriver(const CGraphicsDriverEntry& entry, Graphics::CGraphicsParams params);
    void DestroyGraphicsWindow();
    void CreateParticleSystem();
    void CreateInput();
    void CreateSound();
    void StartNetwork();
    void CreateControls();
    void CreateGameData();
    bool InitApplication();
    void Destroy();

    void MainLoop();
    void RunFrame();
    void UpdateInput();
    void ToggleFullScreen();

    // Undone in reverse order of this list by Destroy.
    void OnTeardown(std::function<void()> undo) { m_teardown.push_back(std::move(undo)); }

    CApplication* m_pSelf = this;  // the cell the drivers reach the application through
    // First made, last released.
    ref_ptr<KeyFramer::CEndlessTimeSpan> m_pTimeBase{new KeyFramer::CEndlessTimeSpan(nullptr, 0.0)};
    CGraphicsDriverTable m_drivers;
    CString m_commandLine;
    bool m_bAnotherPass = false;
    bool m_bUseLooseFiles = true;
    bool m_bAltEnter = false;
    const char* m_startupError = nullptr;
    CEnvironment m_environment;
    CConfig m_config;
    bool m_bConfigSaved = false;  // whether the run stores the configuration at its end
    CGraphicsSettings m_graphicsSettings;
    Graphics::CVideoMemory m_videoMemory;
    uint8_t m_bDeviceCheck = 0;
    int32_t m_nRequiredVideoMemory = -1;
    std::unique_ptr<Graphics::CGraphics> m_graphics;
    std::unique_ptr<Particles::CParticleSystem> m_particles;
    std::unique_ptr<Input::CKeyboardDriver> m_keyboard;
    std::unique_ptr<Input::CMouseDriver> m_mouseDriver;
    std::unique_ptr<Sound::CSoundDriver_DSound> m_soundDriver;
    std::array<uint8_t, 256> m_keys{};
    Input::CMouseState m_mouse;
    CFixedStepClock m_clock;
    std::unique_ptr<Controls::CControlsManager> m_pControls;
    std::unique_ptr<GameUi::CGameData> m_pGameData;
    std::vector<std::function<void()>> m_teardown;
};

} // namespace Engine
