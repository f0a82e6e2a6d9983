#include "particles/engine/VexaFileLocalManager.h"

#include "particles/engine/VexaFileManager.h"

namespace Engine::Particles {

CVexaFileLocalManager::~CVexaFileLocalManager() noexcept(false) { ReleaseAll(); }

ref_ptr<CVexaFile> CVexaFileLocalManager::GetVexaFile(const CString& name) {
    ref_ptr<CVexaFile> file = m_manager->OpenVexaFile(name);
    AddObject(file);
    file->GetFile()->CreateTextures();
    return file;
}

void CVexaFileLocalManager::ReleaseAll() {
    for (const ref_ptr<CVexaFile>& use : GetUses()) m_manager->ReleaseObject(use);
    Clear();
}

} // namespace Engine::Particles
