#pragma once
// The settings mode: a small window holding the settings dialog, made of
// the engine's own controls. OK stores the settings; Cancel, Escape or
// closing the window stores nothing.

#include "shell/SettingsDialog.h"
#include "shell/StdApplication.h"
#include "graphics/Font.h"
#include "graphics/SprFileManager.h"

namespace Engine {

class CSettingsDialogApplication : public CStdApplication {
public:
    // The dialog's font, small enough for the combo box's rows; without it
    // the screensaver's font.
    static constexpr char kFontName[] = "dialog";
    static constexpr char kFontFile[] = "spr/font_dialog.spr";

    explicit CSettingsDialogApplication(CGraphicsDriverTable drivers = GetDefaultDriverTable(),
                                        const char* title = "");

    // Null before start-up and after teardown.
    CSettingsDialog* GetDialog() const { return m_dialog.get(); }

protected:
    const char* GetName() const override { return m_title; }
    uint32_t GetCreationFlags() const override { return 0; }
    bool IsSingleInstance() const override { return false; }
    // Only the dialog's OK stores the settings.
    bool SavesConfiguration() const override { return false; }
    bool AllowsFullScreen() const override { return false; }
    void GetDisplayMode(Graphics::CGraphicsParams& params) override;
    bool OnInit() override;
    void OnDone() override;
    void Draw() override;

private:
    // False when a quit cut the locale's read.
    bool LoadFont();

    const char* m_title;
    std::unique_ptr<CSettingsDialogModel> m_model;
    ref_ptr<CSettingsDialog> m_dialog;
    ref_ptr<Graphics::SprFile::CSprFileLocalManager> m_sprFiles;
    ref_ptr<Graphics::CFont> m_font;
};

} // namespace Engine
