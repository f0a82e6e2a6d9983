#include "sound/SoundManager.h"

#include "app/Exception.h"
#include "app/Log.h"
#include "sound/SampleDecoder.h"
#include "sound/SampleManager.h"
#include "sound/SoundDriver.h"

namespace Engine::Sound {

CSoundManager::CSoundManager() = default;

CSoundManager::~CSoundManager() = default;

bool CSoundManager::Init() {
    m_sampleManager = ref_ptr<CSampleManager>(new CSampleManager(this));
    m_decoder = ref_ptr<CSampleDecoder>(new CSampleDecoder);
    return true;
}

void CSoundManager::Done() {
    m_decoder = nullptr;
    m_sampleManager = nullptr;
}

void CSoundManager::ApplyVolume(int32_t group) {
    if (!m_sampleManager) return;
    for (const ref_ptr<CSampleBase>& sample : m_sampleManager->GetSamples()) {
        if (sample->GetGroup() != group) continue;
        for (int32_t i = 0; i < sample->GetBufferCount(); ++i) {
            CBuffer& voice = sample->GetBuffer(i);
            voice.SetVolume(voice.GetPlayParams().volume);
        }
    }
}

ref_ptr<CSampleBase> CSoundManager::CreateSample(CSampleManager* manager, const char* name, int32_t voices,
                                                 int32_t group) {
    if (!m_driver) return nullptr;
    ref_ptr<CSampleBase> sample;
    {
        CLogSection section("CSoundManager::CreateSample(...)");
        sample = m_driver->CreateSample(CString(name ? name : ""), m_decoder.get());
        if (!sample || !sample->Create(voices, group)) throw CException("CSoundManager::CreateSample(...) : FAILED");
    }
    if (manager) manager->Register(sample);
    return sample;
}

float CSoundManager::GetGroupVolume(int32_t group) const {
    return group >= 0 && group < kGroupCount ? m_groupVolumes[group].load(std::memory_order_relaxed) : 1.0f;
}

void CSoundManager::SetGroupVolume(int32_t group, float volume) {
    if (group >= 0 && group < kGroupCount) m_groupVolumes[group].store(volume, std::memory_order_relaxed);
}

CSoundManager& GetSoundManager() {
    static CSoundManager manager;
    return manager;
}

} // namespace Engine::Sound
