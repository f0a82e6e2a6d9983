#pragma once
// DirectSound samples and sample queues: a voice count of 0 gives one
// streamed voice; n > 0 gives n static voices sharing one decoded buffer.
// A queue plays its enqueued files back to back.

#include <memory>
#include <vector>

#include "sound/Sample.h"
#include "sound/SampleDecoder.h"
#include "sound/dsound/Buffer_DSound.h"

namespace Engine::Sound {

class CSoundDriver_DSound::CSampleBase_DSound {
public:
    CSampleBase_DSound(CSoundDriver_DSound* driver, CSampleDecoder* decoder) : m_driver(driver), m_decoder(decoder) {}
    // Releases the voices (last first), then closes every stream. Not
    // noexcept, as the sample it is a base of lets CReferenced's throw through.
    virtual ~CSampleBase_DSound() noexcept(false);
    CSampleBase_DSound(const CSampleBase_DSound&) = delete;
    CSampleBase_DSound& operator=(const CSampleBase_DSound&) = delete;

    virtual int32_t GetGroup() const = 0;

    CSoundDriver_DSound* GetDriver() const { return m_driver; }
    CSampleDecoder* GetDecoder() const { return m_decoder; }
    int32_t GetVoiceCount() const { return m_voiceCount; }
    CStreamList& GetStreams() { return m_streams; }

protected:
    // Sizes the voice vector: the count, or one for a streamed sample.
    void SizeVoices(int32_t voiceCount);
    // Voice 0 from the streams; the others duplicate it.
    void SetUpVoices();
    // The first voice not playing, else the one furthest along.
    bool PlayOnFreeVoice(const CPlayParams* params);
    CBuffer_DSound& Voice(int32_t index) { return *m_voices[size_t(index)]; }
    int32_t VoiceCount() const { return int32_t(m_voices.size()); }

    CSoundDriver_DSound* m_driver;
    CSampleDecoder* m_decoder;
    std::vector<std::unique_ptr<CBuffer_DSound>> m_voices;
    int32_t m_voiceCount = 0;
    CStreamList m_streams;
};

// The operations a sample and a queue share, over either interface.
template <class Interface>
class CSampleOf_DSound : public Interface, public CSoundDriver_DSound::CSampleBase_DSound {
public:
    CSampleOf_DSound(const CString& name, CSoundDriver_DSound* driver, CSampleDecoder* decoder)
        : Interface(name), CSampleBase_DSound(driver, decoder) {}
    ~CSampleOf_DSound() noexcept(false) override = default;

    bool Play(const CPlayParams* params) override { return PlayOnFreeVoice(params); }
    CBuffer& GetBuffer(int32_t index) override { return Voice(index); }
    int32_t GetBufferCount() const override { return VoiceCount(); }
    int32_t GetGroup() const override { return this->m_group; }
};

class CSoundDriver_DSound::CSample_DSound : public CSampleOf_DSound<CSample> {
public:
    // The stream list holds the one file of this name.
    CSample_DSound(const CString& name, CSoundDriver_DSound* driver, CSampleDecoder* decoder);

    // Always true: a sound that cannot be read stays silent.
    bool Create(int32_t voices, int32_t group) override;
};

class CSoundDriver_DSound::CSampleQueue_DSound : public CSampleOf_DSound<CSampleQueue> {
public:
    // Starts with no file.
    using CSampleOf_DSound::CSampleOf_DSound;

    // Records the counts; no buffer exists until CreateBuffers.
    bool Create(int32_t voices, int32_t group) override;
    void Enqueue(const char* name) override;
    void CreateBuffers() override { SetUpVoices(); }
};

} // namespace Engine::Sound
