#include "sound/dsound/Buffer_DSound.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/Log.h"
#include "sound/SoundManager.h"
#include "sound/dsound/Sample_DSound.h"

namespace Engine::Sound {

namespace {

constexpr DWORD kBufferDescSize = 36;
constexpr DWORD kStaticFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
constexpr DWORD kStreamedFlags = kStaticFlags | DSBCAPS_CTRLPOSITIONNOTIFY;
// The attempts' location flags, in the order and with the names the log uses.
constexpr DWORD kFirstLocation = 0x8, kSecondLocation = 0x4;

using CBuffer_DSound = CSoundDriver_DSound::CBuffer_DSound;

// Writes bytes of value (or of source when given) over a locked region.
void FillLocked(IDirectSoundBuffer& buffer, DWORD offset, DWORD bytes, const uint8_t* source) {
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    if (FAILED(buffer.Lock(offset, bytes, &part1, &bytes1, &part2, &bytes2, 0))) return;
    if (source) {
        std::memcpy(part1, source, bytes1);
        if (part2) std::memcpy(part2, source + bytes1, bytes2);
    } else {
        std::memset(part1, 0, bytes1);
        if (part2) std::memset(part2, 0, bytes2);
    }
    buffer.Unlock(part1, bytes1, part2, bytes2);
}

void ReleaseLogged(IDirectSoundBuffer*& buffer) {
    GetLog().PrintLine("m_pDSB->Release() : %d", int(buffer->Release()));
    buffer = nullptr;
}

} // namespace

LONG CBuffer_DSound::VolumeToAttenuation(float product) {
    if (product < 0.0001f) return DSBVOLUME_MIN;
    const float hundredths = 2000.0f * std::log10(product);
    return std::clamp(LONG(hundredths), DSBVOLUME_MIN, DSBVOLUME_MAX);
}

LONG CBuffer_DSound::PanToDirectSound(float pan) {
    const float value = (pan + 1.0f) * 0.5f * 20000.0f - 10000.0f;
    return LONG(std::clamp(value, -10000.0f, 10000.0f));
}

DWORD CBuffer_DSound::PitchToFrequency(float ratio, int32_t rate) {
    if (ratio == 1.0f) return DWORD(rate);
    const float frequency = ratio * float(rate) + 0.5f;
    return frequency > 0.0f ? DWORD(frequency) : 0;
}

uint32_t CBuffer_DSound::QuarterToWrite(DWORD playCursor, uint32_t quarterBytes) {
    return (playCursor / quarterBytes + kQuarters - 1) % kQuarters;
}

CSoundDriver_DSound& CBuffer_DSound::Driver() const { return *m_owner->GetDriver(); }

bool CBuffer_DSound::IsStreamed() const { return m_owner && m_owner->GetVoiceCount() == 0; }

bool CBuffer_DSound::CreateBuffer(CSampleBase_DSound* owner) {
    IDirectSound* ds = owner->GetDriver()->GetDirectSound();
    if (!ds) return false;
    const bool streamed = owner->GetVoiceCount() == 0;
    CStreamList& streams = owner->GetStreams();
    if (streams.streams.empty()) {
        GetLog().PrintLine("CBuffer_DSound::CreateBuffer() : no stream to play");
        return false;
    }
    if (!owner->GetDecoder() || !OpenStreams(streams, *owner->GetDecoder())) return false;
    m_owner = owner;
    m_group = owner->GetGroup();
    const CSampleDecoder::CContext& first = *streams.streams[0];
    if (streamed) {
        m_quarterBytes = uint32_t(BytesPerFrame(first.GetFormatCode())) * kQuarterFrames;
        m_data.assign(m_quarterBytes, 0);
    } else {
        m_data = DecodeStreams(streams);
    }
    const int32_t code = first.GetFormatCode();
    const WAVEFORMATEX format = MakePcmFormat((code & 2) ? 2 : 1, (code & 1) ? 16 : 8, DWORD(first.GetSampleRate()));
    const DWORD bytes = streamed ? kQuarters * m_quarterBytes : DWORD(m_data.size());
    if (!CreateDirectSoundBuffer(format, bytes) || (streamed && !SetUpNotifications())) {
        FreeData();
        return false;
    }
    m_created = true;
    FillLocked(*m_pDSB, 0, bytes, streamed ? nullptr : m_data.data());
    if (!streamed) FreeData();
    Driver().AddBuffer(this);
    return true;
}

bool CBuffer_DSound::CreateDirectSoundBuffer(const WAVEFORMATEX& format, DWORD bytes) {
    DSBUFFERDESC desc;
    desc.dwSize = kBufferDescSize;
    desc.dwFlags = (IsStreamed() ? kStreamedFlags : kStaticFlags) | kFirstLocation;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &format;
    IDirectSound* ds = Driver().GetDirectSound();
    if (SUCCEEDED(ds->CreateSoundBuffer(&desc, &m_pDSB, nullptr))) return true;
    GetLog().PrintLine("CSoundOutput_DSound::Init() : CreateSoundBuffer(...) [Hardware] : FAILED");
    desc.dwFlags = (desc.dwFlags & ~kFirstLocation) | kSecondLocation;
    if (SUCCEEDED(ds->CreateSoundBuffer(&desc, &m_pDSB, nullptr))) return true;
    GetLog().PrintLine("CSoundOutput_DSound::Init() : CreateSoundBuffer(...) [Software] : FAILED");
    m_pDSB = nullptr;
    return false;
}

bool CBuffer_DSound::SetUpNotifications() {
    m_notifyEvent = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    IDirectSoundNotify* notify = nullptr;
    bool ok = m_notifyEvent && SUCCEEDED(m_pDSB->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)));
    if (ok) {
        DSBPOSITIONNOTIFY positions[kQuarters];
        for (int i = 0; i < kQuarters; ++i) positions[i] = {DWORD(i) * m_quarterBytes, m_notifyEvent};
        ok = SUCCEEDED(notify->SetNotificationPositions(kQuarters, positions));
        notify->Release();
    }
    if (ok) return true;
    if (m_notifyEvent) CloseHandle(m_notifyEvent);
    m_notifyEvent = nullptr;
    ReleaseLogged(m_pDSB);
    return false;
}

bool CBuffer_DSound::Duplicate(CSampleBase_DSound* owner, const CBuffer_DSound& original) {
    m_owner = owner;
    m_group = owner->GetGroup();
    IDirectSound* ds = owner->GetDriver()->GetDirectSound();
    if (!original.m_created || !original.m_pDSB || !ds) return false;
    if (FAILED(ds->DuplicateSoundBuffer(original.m_pDSB, &m_pDSB))) {
        m_pDSB = nullptr;
        return false;
    }
    Driver().AddBuffer(this);
    m_created = true;
    return true;
}

void CBuffer_DSound::FreeData() {
    m_data.clear();
    m_data.shrink_to_fit();
}

void CBuffer_DSound::ClearRing() {
    FillLocked(*m_pDSB, 0, kQuarters * m_quarterBytes, nullptr);
    std::fill(m_data.begin(), m_data.end(), 0);
}

bool CBuffer_DSound::Play(CPlayParams params) {
    if (!m_pDSB) return false;
    if (GetState() != 1) Stop();
    CCriticalSectionLock lock(Driver().GetLock());
    DWORD flags = 0;
    if (IsStreamed()) {
        SeekStreams(m_owner->GetStreams(), params.startFrame);
        // What a voice that ended by itself left in the ring is not heard again.
        ClearRing();
        flags = DSBPLAY_LOOPING;
    }
    SetFadeLevel(params.fadeLevel);
    m_params = params;
    SetVolume(params.volume);
    SetPan(params.pan);
    SetPitch(params.pitch);
    m_pDSB->SetCurrentPosition(0);
    m_endOfStream = false;
    m_tailNotifications = 0;
    m_pDSB->Play(0, 0, flags);
    return true;
}

bool CBuffer_DSound::Stop() {
    if (!m_pDSB) return false;
    CCriticalSectionLock lock(Driver().GetLock());
    const bool stopped = SUCCEEDED(m_pDSB->Stop());
    if (IsStreamed()) ClearRing();
    return stopped;
}

int32_t CBuffer_DSound::GetState() {
    DWORD status = 0;
    if (!m_pDSB || FAILED(m_pDSB->GetStatus(&status))) return 1;
    return (status & DSBSTATUS_PLAYING) ? 0 : 1;
}

void CBuffer_DSound::Update() {
    if (!m_created || !m_pDSB || GetState() == 1) return;
    DWORD play = 0;
    if (FAILED(m_pDSB->GetCurrentPosition(&play, nullptr))) return;
    const uint32_t quarter = QuarterToWrite(play, m_quarterBytes);
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    if (SUCCEEDED(m_pDSB->Lock(quarter * m_quarterBytes, m_quarterBytes, &part1, &bytes1, &part2, &bytes2, 0))) {
        if (bytes1 != m_quarterBytes)
            GetLog().PrintLine(
                "Engine::Sound::CSoundDriver_DSound::CBuffer_DSound::Update() : Lock() : Locked %d bytes, but requested %d",
                int(bytes1), int(m_quarterBytes));
        // A longer region than asked gets silence past the staging block.
        const DWORD copied = std::min<DWORD>(bytes1, m_quarterBytes);
        std::memcpy(part1, m_data.data(), copied);
        std::memset(static_cast<uint8_t*>(part1) + copied, 0, bytes1 - copied);
        m_pDSB->Unlock(part1, bytes1, part2, bytes2);
    }
    if (m_endOfStream) {
        // The last decoded chunk was written three quarters ago; it has been
        // heard once the cursor leaves its quarter.
        if (++m_tailNotifications >= kQuarters) m_pDSB->Stop();
        return;
    }
    uint32_t size = m_quarterBytes;
    if (!ReadStreams(m_owner->GetStreams(), m_data.data(), size, m_params.loop) || size == 0) {
        std::fill(m_data.begin(), m_data.end(), 0);
        m_endOfStream = true;
        m_tailNotifications = 0;
    }
}

void CBuffer_DSound::Release() {
    // Unregistered first: until then the worker may be refilling or fading.
    if (m_created) Driver().RemoveBuffer(this);
    FreeData();
    if (!m_created) return;
    if (m_notifyEvent) CloseHandle(m_notifyEvent);
    m_notifyEvent = nullptr;
    if (m_pDSB) ReleaseLogged(m_pDSB);
    CStreamList& streams = m_owner->GetStreams();
    if (!streams.streams.empty()) CloseStream(*streams.streams[0]);
}

uint32_t CBuffer_DSound::GetPosition() {
    DWORD play = 0;
    if (!m_pDSB || FAILED(m_pDSB->GetCurrentPosition(&play, nullptr))) return 0;
    CStreamList& streams = m_owner->GetStreams();
    const int32_t code = streams.streams.empty() ? FORMAT_STEREO16 : streams.streams[0]->GetFormatCode();
    return play / uint32_t(BytesPerFrame(code));
}

bool CBuffer_DSound::SetVolume(float volume) {
    if (!m_pDSB) return false;
    const CSoundManager* manager = Driver().GetSoundManager();
    const float group = manager ? manager->GetGroupVolume(m_group) : 1.0f;
    const float product = group * m_fadeLevel.load() * volume;
    return SUCCEEDED(m_pDSB->SetVolume(VolumeToAttenuation(product)));
}

bool CBuffer_DSound::SetPan(float pan) {
    return m_pDSB && SUCCEEDED(m_pDSB->SetPan(PanToDirectSound(pan)));
}

bool CBuffer_DSound::SetPitch(float ratio) {
    if (!m_pDSB) return false;
    const int32_t rate = m_owner->GetStreams().streams[0]->GetSampleRate();
    return SUCCEEDED(m_pDSB->SetFrequency(PitchToFrequency(ratio, rate)));
}

void CBuffer_DSound::FadeOut(float seconds, bool stopAtEnd) {
    m_fadeSpeed = -1.0f / seconds;
    m_fadeDone = false;
    m_stopAtFadeEnd = stopAtEnd;
}

void CBuffer_DSound::FadeIn(float seconds) {
    m_fadeSpeed = 1.0f / seconds;
    m_fadeDone = false;
    m_stopAtFadeEnd = false;
}

void CBuffer_DSound::SetFadeLevel(float level) { m_fadeLevel = std::clamp(level, 0.0f, 1.0f); }

void CBuffer_DSound::FadeStep(float dt) {
    if (!m_created) return;
    const float old = m_fadeLevel;
    const float speed = m_fadeSpeed;
    float level = old + speed * dt;
    if (speed < 0.0f && level < 0.0f) {
        level = 0.0f;
        m_fadeSpeed = 0.0f;
        m_fadeDone = true;
        m_fadeLevel = level;
        if (m_stopAtFadeEnd) Stop();
    } else if (speed >= 0.0f && level > 1.0f) {
        level = 1.0f;
        m_fadeSpeed = 0.0f;
        m_fadeDone = true;
    }
    m_fadeLevel = level;
    if (level != old) SetVolume(m_params.volume);
}

} // namespace Engine::Sound
