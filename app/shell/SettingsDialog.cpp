#include "app/shell/SettingsDialog.h"

#include <cstdio>
#include <vector>

#include "app/Log.h"
#include "platform/SdlBridge.h"

namespace Engine {

CSettingsDialogModel::CSettingsDialogModel(CString configPath) : m_configPath(std::move(configPath)) {
    m_config.Load(m_configPath);
}

int CSettingsDialogModel::GetChangeTimeChoice() const {
    for (size_t i = 0; i < std::size(CConfig::kChangeTimes); ++i)
        if (CConfig::kChangeTimes[i] == m_config.backgroundChangeSeconds) return int(i);
    return 0;
}

bool CSettingsDialogModel::SetChangeTimeChoice(int choice) {
    if (choice < 0 || size_t(choice) >= std::size(CConfig::kChangeTimes)) return false;
    m_config.backgroundChangeSeconds = CConfig::kChangeTimes[choice];
    return true;
}

bool CSettingsDialogModel::Ok() { return m_config.Save(m_configPath); }

int ShowButtonPrompt(const char* title, const char* question, std::span<const char* const> buttons,
                     int defaultButton) {
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < buttons.size(); ++i) {
        Uint32 flags = 0;
        if (int(i) == defaultButton) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (i + 1 == buttons.size()) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        data.push_back(SDL_MessageBoxButtonData{flags, int(i), buttons[i]});
    }
    const SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, nullptr, title, question, int(data.size()),
                                 data.data(), nullptr};
    int chosen = -1;
    if (!Platform::EnsureSdlVideo() || SDL_ShowMessageBox(&box, &chosen) != 0) {
        GetLog().PrintLine("ShowButtonPrompt(...) : FAILED : %s", SDL_GetError());
        std::fprintf(stderr, "%s: the settings dialog cannot be shown here (%s)\n", title, SDL_GetError());
        return -1;
    }
    return chosen;
}

bool RunSettingsDialog(CSettingsDialogModel& model, const char* title, const ButtonPrompt& prompt) {
    static constexpr const char* kAmbientButtons[] = {"On", "Off", "Cancel"};
    const int ambient = prompt(title, CSettingsDialogModel::kAmbientSoundsLabel, kAmbientButtons,
                               model.GetPlayAmbientSounds() ? 0 : 1);
    if (ambient != 0 && ambient != 1) {
        model.Cancel();
        return false;
    }
    std::vector<const char*> timeButtons(CSettingsDialogModel::kChangeTimeChoices.begin(),
                                         CSettingsDialogModel::kChangeTimeChoices.end());
    timeButtons.push_back("Cancel");
    const int time = prompt(title, CSettingsDialogModel::kChangeTimeLabel, timeButtons, model.GetChangeTimeChoice());
    if (time < 0 || size_t(time) >= CSettingsDialogModel::kChangeTimeChoices.size()) {
        model.Cancel();
        return false;
    }
    model.SetPlayAmbientSounds(ambient == 0);
    model.SetChangeTimeChoice(time);
    return model.Ok();
}

} // namespace Engine
