#include "platform/DirectSound.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/Kernel.h"

const GUID IID_IDirectSoundNotify = {0xB0210783, 0x89CD, 0x11D0, {0xAF, 0x08, 0x00, 0xA0, 0xC9, 0x25, 0xCD, 0x16}};

namespace {

// How far the write cursor leads the play cursor.
constexpr int kCallbackFrames = 1024;
// What the output asks of the mix at a time. Closing the output waits for
// its thread's current period (SDL's silent driver sleeps through a whole
// one), so it is kept well under the lead: a quarter of it.
constexpr int kDeviceFrames = kCallbackFrames / 4;
constexpr DWORD kMaxBufferBytes = 0x0FFFFFFF;
// How long closing the output may take. SDL's close joins the device's
// thread, which a device that stops taking samples (an unplugged or hung
// output) holds in its write for as long as it hangs: past this the close
// is left running and the process's end takes it.
constexpr auto kCloseWait = std::chrono::milliseconds(250);

std::atomic<bool> g_manual{false};
std::atomic<std::chrono::milliseconds> g_closeWait{kCloseWait};
std::mutex g_infoMutex;
Platform::CSoundOutputInfo g_info;
// A close left running: SDL's audio state is shared, so no output opens
// until it has ended.
std::mutex g_leftCloseMutex;
std::shared_future<void> g_leftClose;

bool IsValidPcm(const WAVEFORMATEX& format) {
    return format.wFormatTag == WAVE_FORMAT_PCM && (format.nChannels == 1 || format.nChannels == 2) &&
           (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
           format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8 &&
           format.nSamplesPerSec >= DSBFREQUENCY_MIN && format.nSamplesPerSec <= DSBFREQUENCY_MAX;
}

// A linear factor in 16.16 fixed point for an attenuation in hundredths of
// a decibel; the floor is silence and 0 is exactly unity.
int32_t GainQ16(LONG hundredthsDb) {
    if (hundredthsDb <= DSBVOLUME_MIN) return 0;
    if (hundredthsDb >= 0) return 65536;
    return int32_t(std::lround(65536.0 * std::pow(10.0, hundredthsDb / 2000.0)));
}

int32_t ReadSample(const uint8_t* p, int bits) {
    if (bits == 8) return (int32_t(*p) - 128) << 8;
    return int16_t(uint16_t(p[0] | (p[1] << 8)));
}

// Audio data, shared by a buffer and its duplicates. The mutex is held from
// Lock to Unlock and by the mixer while it reads.
struct CSoundData {
    std::mutex mutex;
    std::vector<uint8_t> bytes;
};

class CSoundBuffer;

// The output: the primary format, the secondary buffers and the SDL device
// the mixer feeds. Everything but the volume, pan and frequency words is
// guarded by the mutex.
class CSoundDevice {
public:
    explicit CSoundDevice(bool manual) : m_manual(manual) {
        m_format.wFormatTag = WAVE_FORMAT_PCM;
        m_format.nChannels = 2;
        m_format.nSamplesPerSec = 22050;
        m_format.wBitsPerSample = 8;
        m_format.nBlockAlign = 2;
        m_format.nAvgBytesPerSec = 44100;
    }
    ~CSoundDevice() { CloseOutput(g_closeWait.load()); }

    // Opens the SDL output in the current format, falling back to the dummy
    // driver. The driver's name (or the reason of a fallback) is recorded.
    void OpenOutput();
    // With a time given, the close is waited for that long at most: one
    // taking longer (the output did not answer) is left running, recorded.
    void CloseOutput(std::optional<std::chrono::milliseconds> wait = std::nullopt);

    std::mutex& Mutex() { return m_mutex; }
    const WAVEFORMATEX& Format() const { return m_format; }
    void SetFormat(const WAVEFORMATEX& format) {
        {
            std::lock_guard lock(m_mutex);
            if (std::memcmp(&format, &m_format, sizeof format) == 0) return;
        }
        CloseOutput();
        {
            std::lock_guard lock(m_mutex);
            m_format = format;
        }
        OpenOutput();
    }
    void Add(CSoundBuffer* buffer) {
        std::lock_guard lock(m_mutex);
        m_buffers.push_back(buffer);
    }
    void Remove(CSoundBuffer* buffer) {
        std::lock_guard lock(m_mutex);
        m_buffers.erase(std::remove(m_buffers.begin(), m_buffers.end(), buffer), m_buffers.end());
    }
    // Mixes frames of output in the primary format into out.
    void Mix(uint8_t* out, int frames);

    bool priorityLevel = false;

private:
    static void SDLCALL Callback(void* device, Uint8* stream, int length) {
        auto* self = static_cast<CSoundDevice*>(device);
        const int align = self->m_format.nBlockAlign;
        self->Mix(stream, length / align);
    }
    bool TryOpen();

    std::mutex m_mutex;
    WAVEFORMATEX m_format;
    std::vector<CSoundBuffer*> m_buffers;
    std::vector<int32_t> m_accumulator;
    bool m_manual;
    enum class EAudioInit { None, Subsystem, Dummy } m_init = EAudioInit::None;
    SDL_AudioDeviceID m_device = 0;
    bool m_fellBack = false;
};

std::mutex g_currentMutex;
std::weak_ptr<CSoundDevice> g_current;

class CSoundBuffer : public Platform::CUnknownImpl<IDirectSoundBuffer> {
public:
    // A secondary buffer over data (new or shared with the original).
    CSoundBuffer(std::shared_ptr<CSoundDevice> device, const WAVEFORMATEX& format, DWORD flags,
                 std::shared_ptr<CSoundData> data)
        : m_device(std::move(device)), m_format(format), m_flags(flags), m_data(std::move(data)),
          m_frames(DWORD(m_data->bytes.size()) / format.nBlockAlign) {
        m_device->Add(this);
    }
    // The primary buffer.
    explicit CSoundBuffer(std::shared_ptr<CSoundDevice> device)
        : m_device(std::move(device)), m_flags(DSBCAPS_PRIMARYBUFFER), m_primary(true) {}
    ~CSoundBuffer() override {
        if (!m_primary) m_device->Remove(this);
    }

    CSoundBuffer* Duplicate() {
        auto* copy = new CSoundBuffer(m_device, m_format, m_flags, m_data);
        copy->m_volume = m_volume.load();
        copy->m_pan = m_pan.load();
        copy->m_frequency = m_frequency.load();
        return copy;
    }
    bool IsPrimary() const { return m_primary; }
    DWORD Bytes() const { return DWORD(m_data->bytes.size()); }
    DWORD Flags() const { return m_flags; }
    void SetNotifications(std::vector<DSBPOSITIONNOTIFY> positions) {
        std::lock_guard lock(m_device->Mutex());
        m_notifications = std::move(positions);
    }
    bool IsPlaying() {
        std::lock_guard lock(m_device->Mutex());
        return m_playing;
    }

    HRESULT QueryInterface(const GUID& id, void** object) override;
    HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override {
        if (m_primary) return DSERR_INVALIDCALL;
        std::lock_guard lock(m_device->Mutex());
        const DWORD align = m_format.nBlockAlign;
        const DWORD play = m_position * align;
        DWORD lead = 0;
        if (m_playing) lead = DWORD(uint64_t(kCallbackFrames) * Frequency() / m_device->Format().nSamplesPerSec);
        if (playCursor) *playCursor = play;
        if (writeCursor) *writeCursor = DWORD((uint64_t(m_position) + lead) % m_frames) * align;
        return DS_OK;
    }
    HRESULT GetStatus(DWORD* status) override {
        if (!status) return DSERR_INVALIDPARAM;
        std::lock_guard lock(m_device->Mutex());
        *status = (m_playing ? DSBSTATUS_PLAYING : 0) | (m_playing && m_looping ? DSBSTATUS_LOOPING : 0);
        return DS_OK;
    }
    HRESULT GetFormat(WAVEFORMATEX* format) override {
        if (!format) return DSERR_INVALIDPARAM;
        std::lock_guard lock(m_device->Mutex());
        *format = m_primary ? m_device->Format() : m_format;
        return DS_OK;
    }
    HRESULT GetVolume(LONG* volume) override { return Get(volume, m_volume, DSBCAPS_CTRLVOLUME); }
    HRESULT GetPan(LONG* pan) override { return Get(pan, m_pan, DSBCAPS_CTRLPAN); }
    HRESULT GetFrequency(DWORD* frequency) override {
        if (!frequency || !(m_flags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
        *frequency = Frequency();
        return DS_OK;
    }
    HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                 DWORD flags) override {
        if (m_primary || !part1 || !bytes1) return DSERR_INVALIDPARAM;
        const DWORD size = Bytes();
        if (flags & DSBLOCK_ENTIREBUFFER) {
            offset = 0;
            bytes = size;
        }
        if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
        const DWORD first = std::min(bytes, size - offset);
        if (first < bytes && (!part2 || !bytes2)) return DSERR_INVALIDPARAM;
        m_data->mutex.lock();
        m_locked = true;
        *part1 = m_data->bytes.data() + offset;
        *bytes1 = first;
        if (part2) *part2 = first < bytes ? m_data->bytes.data() : nullptr;
        if (bytes2) *bytes2 = bytes - first;
        return DS_OK;
    }
    HRESULT Unlock(void* part1, DWORD, void*, DWORD) override {
        const uint8_t* begin = m_data ? m_data->bytes.data() : nullptr;
        const auto* p = static_cast<const uint8_t*>(part1);
        if (!m_locked || !p || p < begin || p >= begin + Bytes()) return DSERR_INVALIDPARAM;
        m_locked = false;
        m_data->mutex.unlock();
        return DS_OK;
    }
    HRESULT Play(DWORD, DWORD, DWORD flags) override {
        if (m_primary) return DS_OK;
        std::lock_guard lock(m_device->Mutex());
        m_playing = true;
        m_looping = (flags & DSBPLAY_LOOPING) != 0;
        return DS_OK;
    }
    HRESULT Stop() override {
        if (m_primary) return DS_OK;
        std::lock_guard lock(m_device->Mutex());
        StopLocked();
        return DS_OK;
    }
    HRESULT SetCurrentPosition(DWORD position) override {
        if (m_primary || position >= Bytes()) return DSERR_INVALIDPARAM;
        std::lock_guard lock(m_device->Mutex());
        m_position = position / m_format.nBlockAlign;
        m_phase = 0;
        return DS_OK;
    }
    HRESULT SetFormat(const WAVEFORMATEX* format) override {
        if (!m_primary) return DSERR_INVALIDCALL;
        if (!m_device->priorityLevel) return DSERR_PRIOLEVELNEEDED;
        if (!format || !IsValidPcm(*format)) return DSERR_BADFORMAT;
        WAVEFORMATEX stored = *format;
        stored.nAvgBytesPerSec = stored.nBlockAlign * stored.nSamplesPerSec;
        stored.cbSize = 0;
        m_device->SetFormat(stored);
        return DS_OK;
    }
    HRESULT SetVolume(LONG volume) override {
        return Set(m_volume, volume, DSBVOLUME_MIN, DSBVOLUME_MAX, DSBCAPS_CTRLVOLUME);
    }
    HRESULT SetPan(LONG pan) override { return Set(m_pan, pan, DSBPAN_LEFT, DSBPAN_RIGHT, DSBCAPS_CTRLPAN); }
    HRESULT SetFrequency(DWORD frequency) override {
        if (m_primary || !(m_flags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
        if (frequency != DSBFREQUENCY_ORIGINAL && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
            return DSERR_INVALIDPARAM;
        m_frequency = frequency;
        return DS_OK;
    }

    // Adds this buffer's next frames into the accumulator (device mutex
    // held): resampled to the output rate, converted, volume and pan applied.
    void MixInto(int32_t* accumulator, int frames, int outChannels, DWORD outRate);

private:
    DWORD Frequency() const {
        const DWORD set = m_frequency;
        return set == DSBFREQUENCY_ORIGINAL ? m_format.nSamplesPerSec : set;
    }
    template <class T>
    HRESULT Get(T* out, const std::atomic<T>& value, DWORD control) const {
        if (!out || !(m_flags & control)) return DSERR_CONTROLUNAVAIL;
        *out = value;
        return DS_OK;
    }
    HRESULT Set(std::atomic<LONG>& value, LONG wanted, LONG low, LONG high, DWORD control) {
        if (m_primary || !(m_flags & control)) return DSERR_CONTROLUNAVAIL;
        if (wanted < low || wanted > high) return DSERR_INVALIDPARAM;
        value = wanted;
        return DS_OK;
    }
    void StopLocked() {
        if (m_playing)
            for (const DSBPOSITIONNOTIFY& n : m_notifications)
                if (n.dwOffset == DSBPN_OFFSETSTOP) SetEvent(n.hEventNotify);
        m_playing = false;
    }
    // Signals every offset the cursor reached moving from byte from to byte
    // to (unwrapped: to may lie beyond the end).
    void Notify(uint64_t from, uint64_t to) {
        const uint64_t size = Bytes();
        for (const DSBPOSITIONNOTIFY& n : m_notifications) {
            if (n.dwOffset == DSBPN_OFFSETSTOP) continue;
            // The first occurrence of the offset after from.
            uint64_t at = (from / size) * size + n.dwOffset;
            if (at <= from) at += size;
            if (at <= to) SetEvent(n.hEventNotify);
        }
    }

    std::shared_ptr<CSoundDevice> m_device;
    WAVEFORMATEX m_format;
    DWORD m_flags;
    bool m_primary = false;
    std::shared_ptr<CSoundData> m_data;
    DWORD m_frames = 0;
    bool m_locked = false;
    std::atomic<LONG> m_volume{0};
    std::atomic<LONG> m_pan{0};
    std::atomic<DWORD> m_frequency{DSBFREQUENCY_ORIGINAL};
    bool m_playing = false;
    bool m_looping = false;
    DWORD m_position = 0;  // frames
    uint32_t m_phase = 0;  // fraction of a frame, in 2^-32
    std::vector<DSBPOSITIONNOTIFY> m_notifications;
};

void CSoundBuffer::MixInto(int32_t* accumulator, int frames, int outChannels, DWORD outRate) {
    if (!m_playing || m_frames == 0) return;
    const LONG volume = m_volume, pan = m_pan;
    const int32_t left = GainQ16(volume + std::min<LONG>(0, -pan));
    const int32_t right = GainQ16(volume + std::min<LONG>(0, pan));
    const uint64_t step = (uint64_t(Frequency()) << 32) / outRate;
    const int channels = m_format.nChannels, bits = m_format.wBitsPerSample;
    const int align = m_format.nBlockAlign, second = channels == 2 ? bits / 8 : 0;
    const uint64_t end = uint64_t(m_frames) << 32;
    uint64_t position = (uint64_t(m_position) << 32) | m_phase;
    uint64_t moved = 0;
    bool ended = false;
    {
        std::lock_guard dataLock(m_data->mutex);
        const uint8_t* data = m_data->bytes.data();
        for (int i = 0; i < frames; ++i) {
            const uint8_t* frame = data + (position >> 32) * align;
            const int32_t l = (ReadSample(frame, bits) * left + 0x8000) >> 16;
            const int32_t r = (ReadSample(frame + second, bits) * right + 0x8000) >> 16;
            if (outChannels == 2) {
                accumulator[2 * i] += l;
                accumulator[2 * i + 1] += r;
            } else {
                accumulator[i] += (l + r) / 2;
            }
            const uint64_t next = position + step;
            moved += (next >> 32) - (position >> 32);
            position = next;
            if (position >= end) {
                if (!m_looping) {
                    ended = true;
                    break;
                }
                position %= end;  // a step may exceed a short buffer
            }
        }
    }
    const uint64_t from = uint64_t(m_position) * align;
    Notify(from, from + moved * align);
    if (ended) {
        m_position = 0;
        m_phase = 0;
        StopLocked();
        return;
    }
    m_position = DWORD(position >> 32);
    m_phase = uint32_t(position);
}

void CSoundDevice::Mix(uint8_t* out, int frames) {
    std::lock_guard lock(m_mutex);
    const int channels = m_format.nChannels;
    m_accumulator.assign(size_t(frames) * channels, 0);
    for (CSoundBuffer* buffer : m_buffers) buffer->MixInto(m_accumulator.data(), frames, channels, m_format.nSamplesPerSec);
    const bool eightBit = m_format.wBitsPerSample == 8;
    for (size_t i = 0; i < m_accumulator.size(); ++i) {
        const int32_t s = std::clamp(m_accumulator[i], -32768, 32767);
        if (eightBit) {
            out[i] = uint8_t((s >> 8) + 128);
        } else {
            out[2 * i] = uint8_t(s & 0xFF);
            out[2 * i + 1] = uint8_t((s >> 8) & 0xFF);
        }
    }
}

bool CSoundDevice::TryOpen() {
    SDL_AudioSpec want{};
    want.freq = int(m_format.nSamplesPerSec);
    want.format = m_format.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    want.channels = Uint8(m_format.nChannels);
    want.samples = kDeviceFrames;
    want.callback = &CSoundDevice::Callback;
    want.userdata = this;
    m_device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (m_device == 0) return false;
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void CSoundDevice::OpenOutput() {
    if (m_manual) return;
    {
        std::lock_guard lock(g_leftCloseMutex);
        if (g_leftClose.valid()) g_leftClose.wait();
        g_leftClose = {};
    }
    std::string fallback;
    // Once the real driver failed, a reopen (a new format) goes straight to the dummy.
    if (m_init == EAudioInit::None && !m_fellBack) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
            m_init = EAudioInit::Subsystem;
        else
            fallback = SDL_GetError();
    }
    if (m_init != EAudioInit::None && !TryOpen() && m_init == EAudioInit::Subsystem) {
        fallback = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_init = EAudioInit::None;
    }
    if (m_init == EAudioInit::None) {
        m_fellBack = true;
        if (SDL_AudioInit("dummy") == 0) {
            m_init = EAudioInit::Dummy;
            TryOpen();
        }
    }
    std::lock_guard lock(g_infoMutex);
    const char* driver = SDL_GetCurrentAudioDriver();
    g_info.driver = m_device && driver ? driver : "none";
    if (!fallback.empty()) g_info.fallbackReason = fallback;
}

void CSoundDevice::CloseOutput(std::optional<std::chrono::milliseconds> wait) {
    const SDL_AudioDeviceID device = std::exchange(m_device, 0);
    const EAudioInit init = std::exchange(m_init, EAudioInit::None);
    if (init == EAudioInit::None) return;
    // Once paused the callback is not called again, so a close left running
    // never reaches this object.
    if (device) SDL_PauseAudioDevice(device, 1);
    const auto close = [device, init] {
        if (device) SDL_CloseAudioDevice(device);
        if (init == EAudioInit::Subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (init == EAudioInit::Dummy) SDL_AudioQuit();
    };
    if (!wait) {
        close();
        return;
    }
    std::packaged_task<void()> task(close);
    std::future<void> closed = task.get_future();
    try {
        std::thread(std::move(task)).detach();
    } catch (const std::system_error&) {
        close();  // no thread to be had: closed here, however long it takes
        return;
    }
    if (closed.wait_for(*wait) == std::future_status::ready) return;
    {
        std::lock_guard lock(g_leftCloseMutex);
        g_leftClose = closed.share();
    }
    std::lock_guard lock(g_infoMutex);
    g_info.closeLeft = true;
}

class CSoundNotify : public Platform::CUnknownImpl<IDirectSoundNotify> {
public:
    explicit CSoundNotify(CSoundBuffer* buffer) : m_buffer(buffer) { m_buffer->AddRef(); }
    ~CSoundNotify() override { m_buffer->Release(); }

    HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) override {
        if (count > 0 && !positions) return DSERR_INVALIDPARAM;
        if (m_buffer->IsPlaying()) return DSERR_INVALIDCALL;
        std::vector<DSBPOSITIONNOTIFY> list(positions, positions + count);
        for (const DSBPOSITIONNOTIFY& n : list)
            if (!n.hEventNotify || (n.dwOffset != DSBPN_OFFSETSTOP && n.dwOffset >= m_buffer->Bytes()))
                return DSERR_INVALIDPARAM;
        m_buffer->SetNotifications(std::move(list));
        return DS_OK;
    }

private:
    CSoundBuffer* m_buffer;
};

HRESULT CSoundBuffer::QueryInterface(const GUID& id, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (id != IID_IDirectSoundNotify || m_primary || !(m_flags & DSBCAPS_CTRLPOSITIONNOTIFY)) return E_NOINTERFACE;
    *object = static_cast<IDirectSoundNotify*>(new CSoundNotify(this));
    return DS_OK;
}

class CDirectSound : public Platform::CUnknownImpl<IDirectSound> {
public:
    explicit CDirectSound(std::shared_ptr<CSoundDevice> device) : m_device(std::move(device)) {}

    HRESULT SetCooperativeLevel(HWND, DWORD level) override {
        if (level < DSSCL_NORMAL || level > 4) return DSERR_INVALIDPARAM;
        m_device->priorityLevel = level >= DSSCL_PRIORITY;
        return DS_OK;
    }
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, IUnknown* outer) override {
        if (!desc || !buffer || outer) return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        const DWORD location = DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE;
        if ((desc->dwFlags & location) == location) return DSERR_INVALIDPARAM;
        if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
            if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
            *buffer = new CSoundBuffer(m_device);
            return DS_OK;
        }
        if (!desc->lpwfxFormat || !IsValidPcm(*desc->lpwfxFormat)) return DSERR_BADFORMAT;
        if (desc->dwBufferBytes < desc->lpwfxFormat->nBlockAlign || desc->dwBufferBytes > kMaxBufferBytes)
            return DSERR_INVALIDPARAM;
        auto data = std::make_shared<CSoundData>();
        // Silence: 0x80 for 8-bit samples.
        data->bytes.assign(desc->dwBufferBytes, desc->lpwfxFormat->wBitsPerSample == 8 ? 0x80 : 0);
        *buffer = new CSoundBuffer(m_device, *desc->lpwfxFormat, desc->dwFlags, std::move(data));
        return DS_OK;
    }
    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) override {
        if (!duplicate) return DSERR_INVALIDPARAM;
        *duplicate = nullptr;
        auto* source = dynamic_cast<CSoundBuffer*>(original);
        if (!source || source->IsPrimary()) return DSERR_INVALIDPARAM;
        *duplicate = source->Duplicate();
        return DS_OK;
    }

private:
    std::shared_ptr<CSoundDevice> m_device;
};

} // namespace

HRESULT DirectSoundCreate(const GUID*, IDirectSound** created, IUnknown* outer) {
    if (!created || outer) return DSERR_INVALIDPARAM;
    const bool manual = g_manual;
    {
        std::lock_guard lock(g_infoMutex);
        g_info = {manual ? "manual" : "", ""};
    }
    auto device = std::make_shared<CSoundDevice>(manual);
    device->OpenOutput();
    {
        std::lock_guard lock(g_currentMutex);
        g_current = device;
    }
    *created = new CDirectSound(std::move(device));
    return DS_OK;
}

namespace Platform {

CSoundOutputInfo GetSoundOutputInfo() {
    std::lock_guard lock(g_infoMutex);
    return g_info;
}

namespace Testing {

void UseManualSound(bool manual) { g_manual = manual; }

std::chrono::milliseconds SetSoundCloseWait(std::chrono::milliseconds wait) { return g_closeWait.exchange(wait); }

std::vector<uint8_t> RenderSound(int frames) {
    std::shared_ptr<CSoundDevice> device;
    {
        std::lock_guard lock(g_currentMutex);
        device = g_current.lock();
    }
    if (!device || frames <= 0) return {};
    std::vector<uint8_t> out;
    {
        std::lock_guard lock(device->Mutex());
        out.resize(size_t(frames) * device->Format().nBlockAlign);
    }
    device->Mix(out.data(), frames);
    return out;
}

} // namespace Testing
} // namespace Platform
