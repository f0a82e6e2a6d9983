#pragma once
// The DirectSound stand-in: one output device mixing secondary buffers into
// the primary buffer's format. Buffers are PCM (8-bit unsigned or 16-bit
// signed, mono or stereo, any rate); the mixer resamples by frequency,
// applies volume and pan in hundredths of a decibel, loops or stops at the
// end, advances the play cursor and signals position notifications.
//
// Output goes to an SDL audio device opened in the primary format; when no
// device opens, SDL's "dummy" driver takes over so that cursors, streaming
// and fades still run (silently). In manual mode (tests) no SDL device is
// opened and the caller renders the output itself.
//
// A notification fires when the play cursor reaches its offset while
// moving: an offset equal to the cursor at Play fires only when the cursor
// comes round to it again.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Com.h"

constexpr HRESULT DS_OK = S_OK;
constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DSERR_INVALIDCALL = HRESULT(0x80000201u);
constexpr HRESULT DSERR_CONTROLUNAVAIL = HRESULT(0x80000202u);
constexpr HRESULT DSERR_BADFORMAT = HRESULT(0x80000203u);
constexpr HRESULT DSERR_PRIOLEVELNEEDED = HRESULT(0x80000204u);
constexpr HRESULT DSERR_NODRIVER = HRESULT(0x80000205u);

constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;

constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr DWORD DSBCAPS_STATIC = 0x2;
constexpr DWORD DSBCAPS_LOCHARDWARE = 0x4;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x8;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;
constexpr DWORD DSBCAPS_CTRLPOSITIONNOTIFY = 0x100;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x10000;

constexpr DWORD DSBPLAY_LOOPING = 0x1;
constexpr DWORD DSBSTATUS_PLAYING = 0x1;
constexpr DWORD DSBSTATUS_LOOPING = 0x4;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x2;

constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_RIGHT = 10000;
constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 200000;
constexpr DWORD DSBPN_OFFSETSTOP = 0xFFFFFFFFu;

constexpr WORD WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
    WORD wFormatTag = 0;
    WORD nChannels = 0;
    DWORD nSamplesPerSec = 0;
    DWORD nAvgBytesPerSec = 0;
    WORD nBlockAlign = 0;
    WORD wBitsPerSample = 0;
    WORD cbSize = 0;
};

// A PCM format with its block alignment and byte rate worked out.
inline WAVEFORMATEX MakePcmFormat(WORD channels, WORD bits, DWORD rate) {
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.wBitsPerSample = bits;
    format.nSamplesPerSec = rate;
    format.nBlockAlign = WORD(bits / 8 * channels);
    format.nAvgBytesPerSec = format.nBlockAlign * rate;
    return format;
}

// dwSize is not checked: callers pass the 32-bit layout's size.
struct DSBUFFERDESC {
    DWORD dwSize = 0;
    DWORD dwFlags = 0;
    DWORD dwBufferBytes = 0;
    DWORD dwReserved = 0;
    const WAVEFORMATEX* lpwfxFormat = nullptr;
};

struct DSBPOSITIONNOTIFY {
    DWORD dwOffset = 0;
    HANDLE hEventNotify = nullptr;
};

extern const GUID IID_IDirectSoundNotify;

struct IDirectSoundNotify : IUnknown {
    // Only while the buffer is stopped. DSBPN_OFFSETSTOP fires on Stop.
    virtual HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) = 0;
};

struct IDirectSoundBuffer : IUnknown {
    // IID_IDirectSoundNotify, for buffers made with CTRLPOSITIONNOTIFY.
    virtual HRESULT QueryInterface(const GUID& id, void** object) = 0;
    virtual HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) = 0;
    virtual HRESULT GetStatus(DWORD* status) = 0;
    // The primary buffer's format, or a secondary buffer's.
    virtual HRESULT GetFormat(WAVEFORMATEX* format) = 0;
    virtual HRESULT GetVolume(LONG* volume) = 0;
    virtual HRESULT GetPan(LONG* pan) = 0;
    virtual HRESULT GetFrequency(DWORD* frequency) = 0;
    // A region running past the end comes back in two parts; the second
    // starts at the buffer's start. The mixer does not read the buffer
    // until Unlock. A thread must not lock a buffer twice.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                         DWORD flags) = 0;
    virtual HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) = 0;
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    // Primary buffer only: the output format (PCM, 8 or 16 bits, 1 or 2
    // channels). Needs the priority level.
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    virtual HRESULT SetVolume(LONG volume) = 0;
    virtual HRESULT SetPan(LONG pan) = 0;
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
};

struct IDirectSound : IUnknown {
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    // outer must be null. Either location flag is accepted.
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, IUnknown* outer) = 0;
    // The duplicate shares the original's audio data and starts stopped.
    virtual HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) = 0;
};

// device null: the default device. outer must be null.
using PFN_DirectSoundCreate = HRESULT (*)(const GUID* device, IDirectSound** created, IUnknown* outer);

// "dsound.dll"'s entry point.
HRESULT DirectSoundCreate(const GUID* device, IDirectSound** created, IUnknown* outer);

namespace Platform {

// What the last DirectSoundCreate plays through: the SDL audio driver's
// name, "manual" in manual mode, why a fallback was taken (empty when none
// was), and whether its output did not answer a close in time, which is
// then left running.
struct CSoundOutputInfo {
    std::string driver;
    std::string fallbackReason;
    bool closeLeft = false;
};
CSoundOutputInfo GetSoundOutputInfo();

} // namespace Platform

namespace Platform::Testing {

// While on, DirectSoundCreate opens no SDL device and output is rendered
// by RenderSound only. Switch before creating the DirectSound object.
void UseManualSound(bool manual);
// How long the output's last close is waited for before it is left running
// (0.25 s unless set); gives back the wait it replaces.
std::chrono::milliseconds SetSoundCloseWait(std::chrono::milliseconds wait);
// Mixes the next frames of output in the primary buffer's format, as the
// audio callback would. Empty when no DirectSound object exists.
std::vector<uint8_t> RenderSound(int frames);

} // namespace Platform::Testing
