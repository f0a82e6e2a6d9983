#pragma once
// The process-wide table of loaded effect files: each file is read once and
// shared by name (backslashes read as slashes).

#include "app/ObjectManager.h"
#include "app/Referenced.h"
#include "particles/engine/VexaFile.h"

namespace Engine::Particles {

class CParticleSystem;

class CVexaFileManager : public Engine::CReferenced, public Engine::CObjectManager<CVexaFile> {
public:
    explicit CVexaFileManager(CParticleSystem* owner) : m_owner(owner) {}
    ~CVexaFileManager() noexcept(false) override = default;

    // The file loaded under the name, or one read now; counts one use either
    // way. A file that cannot be opened throws Engine::CException, a bad
    // file the library's exception; neither registers anything.
    ref_ptr<CVexaFile> OpenVexaFile(const CString& name);

    CParticleSystem* GetOwner() const { return m_owner; }
    using CObjectManager::RemoveAllObjects;

private:
    CParticleSystem* m_owner;
};

} // namespace Engine::Particles
