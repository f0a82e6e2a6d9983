#pragma once
// The process-wide entry point of sound: the driver (set by the
// application), the decoder, the sample manager and the two group volumes.

#include <atomic>
#include <cstdint>

#include "app/Referenced.h"
#include "sound/Sample.h"

namespace Engine::Sound {

class CSampleDecoder;
class CSampleManager;
class CSoundDriver;

class CSoundManager : public CReferenced {
public:
    static constexpr int32_t kGroupCount = 2;

    CSoundManager();
    ~CSoundManager() override;

    // Makes the sample manager and the decoder. Always true.
    bool Init();
    // Drops the sample manager (samples only it held go) and the decoder.
    void Done();
    // Re-applies each voice's volume for every sample of the group (after
    // the group's volume changed). Only after Init.
    void ApplyVolume(int32_t group);

    // A new sample registered under its name in the sample manager; null
    // without a driver. Throws CException when the sample's Create fails.
    ref_ptr<CSampleBase> CreateSample(CSampleManager* manager, const char* name, int32_t voices, int32_t group);

    void SetDriver(CSoundDriver* driver) { m_driver = driver; }
    CSoundDriver* GetDriver() const { return m_driver; }
    CSampleDecoder* GetDecoder() const { return m_decoder.get(); }
    CSampleManager* GetSampleManager() const { return m_sampleManager.get(); }
    // Groups outside 0..1 read as 1.0 and ignore writes. The worker thread
    // reads them while fading.
    float GetGroupVolume(int32_t group) const;
    void SetGroupVolume(int32_t group, float volume);

private:
    CSoundDriver* m_driver = nullptr;
    ref_ptr<CSampleDecoder> m_decoder;
    ref_ptr<CSampleManager> m_sampleManager;
    std::atomic<float> m_groupVolumes[kGroupCount] = {1.0f, 1.0f};
};

CSoundManager& GetSoundManager();

} // namespace Engine::Sound
