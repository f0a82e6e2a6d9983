#include "sound/SampleManager.h"

#include "app/Exception.h"

namespace Engine::Sound {

CSampleManager::~CSampleManager() noexcept(false) { RemoveAllObjects(); }

void CSampleManager::Register(const ref_ptr<CSampleBase>& sample) {
    std::lock_guard lock(m_lock);
    RegisterObject(sample);
}

ref_ptr<CSampleBase> CSampleManager::FindSample(const CString& name) {
    std::lock_guard lock(m_lock);
    ref_ptr<CSampleBase> sample = LookupObject(name);
    if (!sample) throw CException(FormatString("Couldn't find Sample file '%s'", name.c_str()));
    return sample;
}

std::vector<ref_ptr<CSampleBase>> CSampleManager::GetSamples() {
    std::lock_guard lock(m_lock);
    return GetObjects();
}

void CSampleManager::Unregister(const ref_ptr<CSampleBase>& sample) {
    std::lock_guard lock(m_lock);
    ReleaseObject(sample);
}

} // namespace Engine::Sound
