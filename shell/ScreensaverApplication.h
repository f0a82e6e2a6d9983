#pragma once
// The screensaver: its command-line modes, its start-up and data loading,
// the loading screen, the background scenes taking turns with the notice
// text and the particle effects, the ambient music, and quitting at the
// first input.

#include <memory>
#include <vector>

#include "app/LoadingSteps.h"
#include "app/String.h"
#include "shell/LoadingScreen.h"
#include "shell/MouseQuitRule.h"
#include "shell/NoticeText.h"
#include "shell/SceneCycle.h"
#include "shell/ScreensaverData.h"
#include "shell/StdApplication.h"

namespace Engine {

class CScreensaverApplication : public CStdApplication {
public:
    static constexpr char kName[] = "Mosark";
    // Both sound groups play at half volume under the ambient music.
    static constexpr float kAmbientGroupVolume = 0.5f;

    explicit CScreensaverApplication(CGraphicsDriverTable drivers = GetDefaultDriverTable());

    // Runs the mode the command line asks for.
    int Execute() override;

    // Any key, any mouse button, or a mouse move in both x and y ends it.
    void OnKeyDown(int keyCode) override;
    void OnMouseButtonDown(int button) override;
    void OnMouseMove(int x, int y) override;

    // Until the last loading step is done and the first scene chosen.
    bool IsLoading() const { return !m_bStarted; }
    // The current game data; null before start-up and after teardown.
    CScreensaverData* GetData() const { return m_data; }
    // The scene shown now; null while loading or without scenes.
    Graphics::PlaceFile::CPlaceFile* GetCurrentScene() const;
    const CSceneCycle& GetSceneCycle() const { return m_cycle; }
    const CNoticeText& GetNotice() const { return m_notice; }
    // The ambient track playing; empty when none is.
    const CString& GetPlayingTrack() const { return m_playingTrack; }

protected:
    const char* GetName() const override { return kName; }
    // Unlike the engine, the screensaver runs beside another instance (the
    // host may start a second one while the first still shows).
    bool IsSingleInstance() const override { return false; }
    void GetDisplayMode(Graphics::CGraphicsParams& params) override;
    bool OnInit() override;
    void OnDone() override;
    void Update(double time, double step) override;
    void Draw() override;
    void DrawLoadingScreen(int current, int total) override;
    void DescribeQuitInput(CPendingQuitRule& rule) const override;

private:
    int ShowSettings();
    void Quit();
    void LoadImages();
    // After the last loading step: the first scene and the music.
    void Start();
    void ChangeScene();
    // Tries the next ambient track in turn; one that fails leaves the next
    // to the next update step, until every track has had its try.
    void PlayNextTrack();
    // "Scene : <name>" for the first scene and at every change.
    void LogCurrentScene() const;
    void DrawNotice();

    // The settings mode opens its own window with these.
    CGraphicsDriverTable m_settingsDrivers;
    CMouseQuitRule m_mouseQuit;
    CLoadingSteps m_loading;
    CLoadingScreen m_loadingScreen;
    CScreensaverData* m_data = nullptr;  // owned as the game data
    CSceneCycle m_cycle;
    CNoticeText m_notice;
    CString m_playingTrack;
    size_t m_nextTrack = 0;
    size_t m_tracksToTry = 0;
    bool m_bStarted = false;
};

} // namespace Engine
