#include "shell/SettingsDialogModel.h"

#include <iterator>

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

} // namespace Engine
