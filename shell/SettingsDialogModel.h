#pragma once
// The settings dialog's logic: whether ambient sounds play and how often the
// background changes, kept in the configuration file.

#include <array>

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

} // namespace Engine
