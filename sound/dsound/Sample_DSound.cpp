#include "sound/dsound/Sample_DSound.h"

namespace Engine::Sound {

using CSampleBase_DSound = CSoundDriver_DSound::CSampleBase_DSound;

CSampleBase_DSound::~CSampleBase_DSound() noexcept(false) {
    for (auto voice = m_voices.rbegin(); voice != m_voices.rend(); ++voice) (*voice)->Release();
    m_voices.clear();
    // Every stream, not only the first that the voices close.
    for (const auto& context : m_streams.streams) CloseStream(*context);
    m_streams.streams.clear();
}

void CSampleBase_DSound::SizeVoices(int32_t voiceCount) {
    m_voiceCount = voiceCount;
    const int32_t count = voiceCount > 0 ? voiceCount : 1;
    m_voices.clear();
    for (int32_t i = 0; i < count; ++i) m_voices.push_back(std::make_unique<CBuffer_DSound>());
}

void CSampleBase_DSound::SetUpVoices() {
    if (m_voices.empty()) return;
    m_voices[0]->CreateBuffer(this);
    for (size_t i = 1; i < m_voices.size(); ++i) m_voices[i]->Duplicate(this, *m_voices[0]);
}

bool CSampleBase_DSound::PlayOnFreeVoice(const CPlayParams* params) {
    if (m_voices.empty() || !params) return false;
    CBuffer_DSound* chosen = nullptr;
    uint32_t furthest = 0;
    for (const auto& voice : m_voices) {
        if (voice->GetState() == 1) {
            chosen = voice.get();
            break;
        }
        const uint32_t position = voice->GetPosition();
        if (!chosen || position > furthest) {
            chosen = voice.get();
            furthest = position;
        }
    }
    chosen->Play(*params);
    return true;
}

CSoundDriver_DSound::CSample_DSound::CSample_DSound(const CString& name, CSoundDriver_DSound* driver,
                                                    CSampleDecoder* decoder)
    : CSampleOf_DSound(name, driver, decoder) {
    m_streams.streams.push_back(ref_ptr<CSampleDecoder::CContext>(new CSampleDecoder::CContext(name)));
}

bool CSoundDriver_DSound::CSample_DSound::Create(int32_t voices, int32_t group) {
    m_group = group;
    SizeVoices(voices);
    SetUpVoices();
    return true;
}

bool CSoundDriver_DSound::CSampleQueue_DSound::Create(int32_t voices, int32_t group) {
    m_group = group;
    SizeVoices(voices);
    return true;
}

void CSoundDriver_DSound::CSampleQueue_DSound::Enqueue(const char* name) {
    m_streams.streams.push_back(ref_ptr<CSampleDecoder::CContext>(new CSampleDecoder::CContext(CString(name ? name : ""))));
}

} // namespace Engine::Sound
