#pragma once
// One owner's effect files: every file it asks for counts a use in the
// global table, and releasing the owner's manager hands them all back.

#include "app/ObjectManager.h"
#include "app/Referenced.h"
#include "particles/engine/VexaFile.h"

namespace Engine::Particles {

class CVexaFileManager;

class CVexaFileLocalManager : public Engine::CReferenced, private Engine::CLocalObjectManager<CVexaFile> {
public:
    explicit CVexaFileLocalManager(CVexaFileManager* manager) : m_manager(manager) {}
    ~CVexaFileLocalManager() noexcept(false) override;

    // The file of that name, loaded now or shared, with its missing
    // textures made.
    ref_ptr<CVexaFile> GetVexaFile(const CString& name);
    // Hands every recorded use back to the global table.
    void ReleaseAll();

    using CLocalObjectManager::GetObjects;
    using CLocalObjectManager::GetUses;

private:
    CVexaFileManager* m_manager;
};

} // namespace Engine::Particles
