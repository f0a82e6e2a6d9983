#pragma once
// One owner's samples: each is loaded as a new sample with one streamed
// voice in group 1, and handed back to the sample manager when the owner
// lets the local manager go.

#include "app/ObjectManager.h"
#include "sound/Sample.h"

namespace Engine::Sound {

class CSoundManager;

class CSampleLocalManager : public CReferenced, protected CLocalObjectManager<CSampleBase> {
public:
    explicit CSampleLocalManager(CSoundManager& soundManager) : m_soundManager(soundManager) {}
    ~CSampleLocalManager() noexcept(false) override;

    // A new sample of the file (null without a driver), kept by this manager.
    ref_ptr<CSampleBase> GetSample(const char* name) { return LoadSample(name); }
    ref_ptr<CSampleBase> LoadSample(const char* name);
    // Hands every use back to the sample manager, first to last, and
    // forgets them.
    void ReleaseAll() noexcept;
    using CLocalObjectManager::GetObjects;

private:
    CSoundManager& m_soundManager;
};

} // namespace Engine::Sound
