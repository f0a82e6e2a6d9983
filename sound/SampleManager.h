#pragma once
// The process-wide table of loaded samples by file name, under a lock of
// its own (the worker thread never takes it).

#include <mutex>

#include "app/DelayedLoader.h"
#include "app/ObjectManager.h"
#include "sound/Sample.h"

namespace Engine::Sound {

class CSoundManager;

// Samples load at once: nothing is ever pending.
class CSampleDelayedLoader : public CEmptyDelayedLoader {};

class CSampleManager : public CReferenced, public CDelayedLoadingObjectManager<CSampleBase> {
public:
    explicit CSampleManager(CSoundManager* soundManager) : m_soundManager(soundManager) {}
    ~CSampleManager() noexcept(false) override;

    ref_ptr<IDelayedLoader> CreateDelayedLoader() override { return ref_ptr<IDelayedLoader>(new CSampleDelayedLoader); }

    // Counts one use of the sample under its name, under the lock.
    void Register(const ref_ptr<CSampleBase>& sample);
    // The sample loaded under the name; throws CException "Couldn't find
    // Sample file '%s'" when there is none.
    ref_ptr<CSampleBase> FindSample(const CString& name);
    // Every sample, in name order, taken under the lock.
    std::vector<ref_ptr<CSampleBase>> GetSamples();
    // Hands a use back (a local manager releasing its sample).
    void Unregister(const ref_ptr<CSampleBase>& sample);

    CSoundManager* GetSoundManager() const { return m_soundManager; }

private:
    std::mutex m_lock;
    CSoundManager* m_soundManager;
};

} // namespace Engine::Sound
