#pragma once
// The screensaver: its command-line modes, its start-up and data loading,
// the loading screen, and quitting at the first input.

#include <vector>

#include "app/Global.h"
#include "app/LoadingSteps.h"
#include "app/String.h"
#include "app/shell/LoadingScreen.h"
#include "app/shell/MouseQuitRule.h"
#include "app/shell/SettingsDialog.h"
#include "app/shell/StdApplication.h"
#include "graphics/Font.h"
#include "graphics/SprFileManager.h"

namespace Engine {

class CScreensaverApplication : public CStdApplication {
public:
    static constexpr char kName[] = "Mosark";
    // The font record of "xml/Locale.xml" and the sprite file of its glyphs.
    static constexpr char kFontName[] = "main";
    static constexpr char kFontFile[] = "spr/font.spr";

    explicit CScreensaverApplication(CGraphicsDriverTable drivers = GetDefaultDriverTable(),
                                     ButtonPrompt settingsPrompt = ShowButtonPrompt);

    // Runs the mode the command line asks for.
    int Execute() override;

    // Any key, any mouse button, or a mouse move in both x and y ends it.
    void OnKeyDown(int keyCode) override;
    void OnMouseButtonDown(int button) override;
    void OnMouseMove(int x, int y) override;

    bool IsLoading() const { return !m_loading.IsDone(); }
    const std::vector<CString>& GetHints() const { return m_hints; }
    CGlobalValueTable& GetGlobalValues() { return m_globals; }
    const ref_ptr<Graphics::CFont>& GetFont() const { return m_font; }

protected:
    const char* GetName() const override { return kName; }
    void GetDisplayMode(Graphics::CGraphicsParams& params) override;
    bool OnInit() override;
    void OnDone() override;
    void Update(double time, double step) override;
    void Draw() override;
    void DrawLoadingScreen(int current, int total) override;

private:
    int ShowSettings();
    void Quit();
    void LoadFont();
    void LoadHints();
    void LoadImages();

    ButtonPrompt m_settingsPrompt;
    CMouseQuitRule m_mouseQuit;
    CLoadingSteps m_loading;
    CLoadingScreen m_loadingScreen;
    CGlobalValueTable m_globals;
    std::vector<CString> m_hints;
    ref_ptr<Graphics::SprFile::CSprFileLocalManager> m_sprFiles;
    ref_ptr<Graphics::CFont> m_font;
};

} // namespace Engine
