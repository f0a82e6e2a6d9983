#pragma once
// The screensaver's settings dialog: whether ambient sounds play and how
// often the background changes, kept in the configuration file. The model
// holds the dialog's logic; the front end asks its two questions with
// message-box buttons.

#include <array>
#include <functional>
#include <span>

#include "app/Config.h"
#include "app/String.h"

namespace Engine {

class CSettingsDialogModel {
public:
    static constexpr char kAmbientSoundsLabel[] = "Play Ambient Sounds";
    static constexpr char kChangeTimeLabel[] = "Background change time:";
    static constexpr std::array<const char*, 4> kChangeTimeChoices = {"30 seconds", "1 minute", "3 minutes",
                                                                     "5 minutes"};

    // Starts from the file's settings (the defaults when it has none).
    explicit CSettingsDialogModel(CString configPath);

    bool GetPlayAmbientSounds() const { return m_config.playAmbientSounds; }
    void SetPlayAmbientSounds(bool play) { m_config.playAmbientSounds = play; }
    // 0 .. 3, an index into kChangeTimeChoices.
    int GetChangeTimeChoice() const;
    // An index outside 0 .. 3 is refused (false) and changes nothing.
    bool SetChangeTimeChoice(int choice);

    // OK: stores both settings (with the volumes read from the file);
    // false when the file could not be written.
    bool Ok();
    // Cancel stores nothing.
    void Cancel() {}

private:
    CString m_configPath;
    CConfig m_config;
};

// Asks one question; returns the index of the chosen button, or -1 when the
// box was closed or could not be shown.
using ButtonPrompt = std::function<int(const char* title, const char* question,
                                       std::span<const char* const> buttons, int defaultButton)>;

// The SDL message box; without a display it logs why and gives -1.
int ShowButtonPrompt(const char* title, const char* question, std::span<const char* const> buttons,
                     int defaultButton);

// Asks for the ambient sounds (On / Off / Cancel), then for the change time
// (the four choices / Cancel). A Cancel at either step stores nothing; the
// second answer is the OK. True when the settings were stored.
bool RunSettingsDialog(CSettingsDialogModel& model, const char* title, const ButtonPrompt& prompt = ShowButtonPrompt);

} // namespace Engine
