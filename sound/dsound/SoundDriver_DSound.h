#pragma once
// The DirectSound driver: opens DirectSound with the primary buffer's
// format, makes samples and queues, keeps every voice buffer, and runs the
// worker thread that advances fades and refills streamed voices when their
// play cursor crosses a quarter of the ring.
//
// The worker waits on the command event and the streamed voices'
// notification events. The main thread posts commands (quit, rebuild the
// wait list) one at a time through the command word; the buffer list, every
// fade step and refill, and the voices' Play and Stop share the driver's
// lock. The kernel stand-in waits on any number of handles, so every
// streamed voice is refilled however many there are. Samples may outlive
// Done, but every sample must be released before the driver is destroyed.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/Thread.h"
#include "platform/DirectSound.h"
#include "sound/SoundDriver.h"

namespace Engine::Sound {

class CSoundManager;

class CSoundDriver_DSound : public CSoundDriver {
public:
    class CParams : public CDriverParams {
    public:
        // The window DirectSound's cooperative level is set for.
        HWND hWnd = nullptr;
        // Without the worker thread the caller runs the passes (RunPass).
        bool bWorkerThread = true;
    };
    class CBuffer_DSound;
    class CSampleBase_DSound;
    class CSample_DSound;
    class CSampleQueue_DSound;

    enum ECommand : uint32_t { COMMAND_NONE = 0, COMMAND_QUIT = 1, COMMAND_REBUILD_WAIT_LIST = 2 };
    // Worker passes wake at least this often to advance fades.
    static constexpr DWORD kPassTimeoutMs = 100;

    explicit CSoundDriver_DSound(CSoundManager* manager);
    ~CSoundDriver_DSound() override;

    // Throws CException when the command event or the worker thread cannot
    // be made, having handed the primary buffer and DirectSound back.
    bool Init(const CDriverParams* params, int32_t sampleRate, uint32_t flags) override;
    // Stops the worker and releases DirectSound; nothing when not initialised.
    void Done() override;
    ref_ptr<CSampleBase> CreateSample(CString name, CSampleDecoder* decoder) override;
    ref_ptr<CSampleBase> CreateSampleQueue(CString name, CSampleDecoder* decoder) override;

    // Stops every voice, which stays registered: the output goes silent at
    // once, before the samples are let go of.
    void StopVoices();
    // Registers or unregisters a voice and has the wait list rebuilt.
    void AddBuffer(CBuffer_DSound* buffer);
    void RemoveBuffer(CBuffer_DSound* buffer);
    // Waits until the previous command is taken, then posts this one.
    void PostCommand(uint32_t command);
    uint32_t GetCommand() const { return m_command; }

    // One pass of the worker: waits up to the time-out for the command event
    // or a notification, then processes the result. Returns the wait result.
    DWORD RunPass(DWORD timeoutMs);
    // Advances every fade by the time since the last pass, then takes the
    // command (result 0) or refills the k-th streamed voice (result k + 1,
    // or k + 2 from the 258th streamed voice on: the list's entry at
    // WAIT_TIMEOUT is a never-signalled event, so that a time-out is never
    // read as a notification).
    void ProcessPass(DWORD waitResult, DWORD now);
    bool IsQuitting() const { return m_quit; }

    bool IsInitialised() const { return m_initialised; }
    IDirectSound* GetDirectSound() const { return m_pDS; }
    IDirectSoundBuffer* GetPrimaryBuffer() const { return m_pDSBPrimary; }
    CSoundManager* GetSoundManager() const { return m_manager; }
    CCriticalSection& GetLock() { return m_lock; }
    size_t GetBufferCount();

private:
    static DWORD ThreadProc(void* driver);
    // Makes the command event and the wait list, then the worker unless the
    // caller runs the passes; throws when either cannot be made.
    void StartWorker(bool workerThread);
    void BuildWaitList();
    void ReleaseDirectSound();

    CSoundManager* m_manager;
    IDirectSound* m_pDS = nullptr;
    IDirectSoundBuffer* m_pDSBPrimary = nullptr;
    std::unique_ptr<CEvent> m_commandEvent;
    // Stands in the wait list at the index equal to WAIT_TIMEOUT.
    std::unique_ptr<CEvent> m_neverSignalled;
    HANDLE m_thread = nullptr;
    std::atomic<uint32_t> m_command{COMMAND_NONE};
    CCriticalSection m_lock;
    std::vector<CBuffer_DSound*> m_buffers;
    bool m_initialised = false;
    // The worker's own: its wait list, the time of its last pass, the quit flag.
    std::vector<HANDLE> m_waitList;
    DWORD m_lastPass = 0;
    bool m_quit = false;
};

} // namespace Engine::Sound
