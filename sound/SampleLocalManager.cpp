#include "sound/SampleLocalManager.h"

#include "sound/SampleManager.h"
#include "sound/SoundManager.h"

namespace Engine::Sound {

CSampleLocalManager::~CSampleLocalManager() noexcept(false) {
    ReleaseAll();
    FreeLists();
}

void CSampleLocalManager::ReleaseAll() noexcept {
    // The sample manager is gone after the sound manager's Done.
    if (CSampleManager* manager = m_soundManager.GetSampleManager())
        for (const ref_ptr<CSampleBase>& sample : GetUses()) manager->Unregister(sample);
    Clear();
}

ref_ptr<CSampleBase> CSampleLocalManager::LoadSample(const char* name) {
    ref_ptr<CSampleBase> sample = m_soundManager.CreateSample(m_soundManager.GetSampleManager(), name, 0, 1);
    AddObject(sample);
    return sample;
}

} // namespace Engine::Sound
