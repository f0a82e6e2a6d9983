#pragma once
// One DirectSound voice. A static voice holds the whole decoded sound; a
// streamed voice plays a ring of four quarters that the worker refills from
// the decoder, one quarter per notification: the chunk decoded at one
// notification is written at the next into the quarter just left, and heard
// when the cursor comes round to it. Volume = group volume x fade level x
// voice volume, sent as hundredths of a decibel.

#include <atomic>
#include <cstdint>
#include <vector>

#include "sound/Buffer.h"
#include "sound/dsound/SoundDriver_DSound.h"

namespace Engine::Sound {

class CSoundDriver_DSound::CBuffer_DSound final : public CBuffer {
public:
    // A quarter of a streamed voice's ring, in frames.
    static constexpr uint32_t kQuarterFrames = 8820;
    static constexpr int kQuarters = 4;

    CBuffer_DSound() = default;
    CBuffer_DSound(const CBuffer_DSound&) = delete;
    CBuffer_DSound& operator=(const CBuffer_DSound&) = delete;
    ~CBuffer_DSound() = default;

    // Sets the voice up from the owner's streams and registers it; false
    // (logged) when the streams or the DirectSound buffer cannot be made.
    bool CreateBuffer(CSampleBase_DSound* owner);
    // Makes this voice a copy of another voice's DirectSound buffer, sharing
    // its audio, and registers it.
    bool Duplicate(CSampleBase_DSound* owner, const CBuffer_DSound& original);

    bool Play(CPlayParams params) override;
    bool Stop() override;
    bool IsCreated() const override { return m_created; }
    bool IsReady() const override { return m_created; }
    int32_t GetState() override;
    void Update() override;
    void Release() override;
    uint32_t GetPosition() override;
    bool SetVolume(float volume) override;
    bool SetPan(float pan) override;
    bool SetPitch(float ratio) override;
    void FadeOut(float seconds, bool stopAtEnd) override;
    void FadeIn(float seconds) override;
    void SetFadeLevel(float level) override;
    bool IsFadeDone() const override { return m_fadeDone; }
    // Advances the fade by dt seconds (worker, driver lock held).
    void FadeStep(float dt);

    bool IsStreamed() const;
    HANDLE GetNotificationEvent() const { return m_notifyEvent; }
    IDirectSoundBuffer* GetDirectSoundBuffer() const { return m_pDSB; }
    float GetFadeLevel() const { return m_fadeLevel; }

    // The attenuation for a volume product, in hundredths of a decibel.
    static LONG VolumeToAttenuation(float product);
    static LONG PanToDirectSound(float pan);
    static DWORD PitchToFrequency(float ratio, int32_t rate);
    // The quarter a refill writes: the one the play cursor has just left.
    static uint32_t QuarterToWrite(DWORD playCursor, uint32_t quarterBytes);

private:
    bool CreateDirectSoundBuffer(const WAVEFORMATEX& format, DWORD bytes);
    bool SetUpNotifications();
    // Zeroes the ring and the staging block (streamed voices).
    void ClearRing();
    void FreeData();
    CSoundDriver_DSound& Driver() const;

    HANDLE m_notifyEvent = nullptr;
    bool m_endOfStream = false;
    // Notifications since the end of the stream: the last chunk written is
    // heard in full at the fourth.
    int m_tailNotifications = 0;
    IDirectSoundBuffer* m_pDSB = nullptr;
    CSampleBase_DSound* m_owner = nullptr;
    // The owner's group, kept here: the worker must not call into a sample
    // that is being destroyed.
    int32_t m_group = 0;
    std::vector<uint8_t> m_data;  // static: the decoded sound until uploaded; streamed: the staging block
    uint32_t m_quarterBytes = 0;
    std::atomic<float> m_fadeLevel{1.0f};
    std::atomic<float> m_fadeSpeed{0.0f};
    std::atomic<bool> m_fadeDone{true};
    std::atomic<bool> m_stopAtFadeEnd{false};
    bool m_created = false;
};

} // namespace Engine::Sound
