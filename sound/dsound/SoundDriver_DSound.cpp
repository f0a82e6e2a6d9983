#include "sound/dsound/SoundDriver_DSound.h"

#include <algorithm>

#include "app/DirectXDrivers.h"
#include "app/Log.h"
#include "platform/DirectSound.h"
#include "platform/Time.h"
#include "sound/dsound/Sample_DSound.h"

namespace Engine::Sound {

namespace {

// The 32-bit layout's size of a buffer description.
constexpr DWORD kBufferDescSize = 36;

} // namespace

CSoundDriver_DSound::CSoundDriver_DSound(CSoundManager* manager) : m_manager(manager) {}

CSoundDriver_DSound::~CSoundDriver_DSound() { Done(); }

bool CSoundDriver_DSound::Init(const CDriverParams* params, int32_t sampleRate, uint32_t flags) {
    CDirectXDrivers& loader = GetDirectXDrivers();
    if (!loader.DSInit()) return false;
    const auto* own = dynamic_cast<const CParams*>(params);
    const CParams defaults;
    if (!own) own = &defaults;
    m_pDS = loader.GetDirectSound();
    if (FAILED(m_pDS->SetCooperativeLevel(own->hWnd, DSSCL_PRIORITY))) {
        ReleaseDirectSound();
        return false;
    }
    const WAVEFORMATEX format = MakePcmFormat((flags & 1) ? 1 : 2, (flags & 2) ? 16 : 8, DWORD(sampleRate));
    DSBUFFERDESC desc;
    desc.dwSize = kBufferDescSize;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    if (FAILED(m_pDS->CreateSoundBuffer(&desc, &m_pDSBPrimary, nullptr))) {
        GetLog().PrintLine("CSoundOutput_DSound::Init() : CreateSoundBuffer(...) : FAILED");
        m_pDSBPrimary = nullptr;
        ReleaseDirectSound();
        return false;
    }
    if (FAILED(m_pDSBPrimary->SetFormat(&format))) {
        GetLog().PrintLine("CSoundOutput_DSound::Init() : m_pDSBPrimary->SetFormat(...) : FAILED");
        m_pDSBPrimary->Release();
        m_pDSBPrimary = nullptr;
        ReleaseDirectSound();
        return false;
    }
    try {
        StartWorker(own->bWorkerThread);
    } catch (...) {
        // Done does nothing for a driver that is not initialised, so a failed
        // start hands the primary buffer and DirectSound back before it leaves.
        m_commandEvent.reset();
        m_neverSignalled.reset();
        m_pDSBPrimary->Release();
        m_pDSBPrimary = nullptr;
        ReleaseDirectSound();
        throw;
    }
    m_initialised = true;
    return true;
}

void CSoundDriver_DSound::StartWorker(bool workerThread) {
    m_commandEvent = std::make_unique<CEvent>();
    m_neverSignalled = std::make_unique<CEvent>();
    m_command = COMMAND_NONE;
    m_quit = false;
    BuildWaitList();
    m_lastPass = timeGetTime();
    if (workerThread) {
        CThread::Create(&ThreadProc, this, &m_thread);
        SetThreadPriority(m_thread, THREAD_PRIORITY_TIME_CRITICAL);
    }
}

void CSoundDriver_DSound::ReleaseDirectSound() {
    GetDirectXDrivers().DSDone();
    m_pDS = nullptr;
    const Platform::CSoundOutputInfo output = Platform::GetSoundOutputInfo();
    if (output.closeLeft)
        GetLog().PrintLine("Sound output '%s' did not answer : its close is left to the process's end",
                           output.driver.c_str());
}

void CSoundDriver_DSound::Done() {
    if (!m_initialised) return;
    if (m_thread) {
        PostCommand(COMMAND_QUIT);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    {
        CCriticalSectionLock lock(m_lock);
        m_buffers.clear();
        m_waitList.clear();
    }
    m_initialised = false;
    m_commandEvent.reset();
    m_neverSignalled.reset();
    m_command = COMMAND_NONE;
    if (m_pDSBPrimary) {
        GetLog().PrintLine("m_pDSBPrimary->Release() : %d", int(m_pDSBPrimary->Release()));
        m_pDSBPrimary = nullptr;
    }
    ReleaseDirectSound();
}

ref_ptr<CSampleBase> CSoundDriver_DSound::CreateSample(CString name, CSampleDecoder* decoder) {
    return ref_ptr<CSampleBase>(new CSample_DSound(name, this, decoder));
}

ref_ptr<CSampleBase> CSoundDriver_DSound::CreateSampleQueue(CString name, CSampleDecoder* decoder) {
    return ref_ptr<CSampleBase>(new CSampleQueue_DSound(name, this, decoder));
}

void CSoundDriver_DSound::StopVoices() {
    CCriticalSectionLock lock(m_lock);
    for (CBuffer_DSound* buffer : m_buffers) buffer->Stop();
}

// A voice released after Done (a sample outliving the driver's use) only
// leaves the list: there is no worker to tell.
void CSoundDriver_DSound::AddBuffer(CBuffer_DSound* buffer) {
    {
        CCriticalSectionLock lock(m_lock);
        m_buffers.push_back(buffer);
    }
    if (m_initialised) PostCommand(COMMAND_REBUILD_WAIT_LIST);
}

void CSoundDriver_DSound::RemoveBuffer(CBuffer_DSound* buffer) {
    {
        CCriticalSectionLock lock(m_lock);
        const auto found = std::find(m_buffers.begin(), m_buffers.end(), buffer);
        if (found != m_buffers.end()) m_buffers.erase(found);
    }
    if (m_initialised) PostCommand(COMMAND_REBUILD_WAIT_LIST);
}

size_t CSoundDriver_DSound::GetBufferCount() {
    CCriticalSectionLock lock(m_lock);
    return m_buffers.size();
}

void CSoundDriver_DSound::PostCommand(uint32_t command) {
    // Without a worker the poster runs the passes that take the command.
    while (m_command != COMMAND_NONE) {
        if (m_thread)
            Sleep(1);
        else
            RunPass(0);
    }
    m_command = command;
    m_commandEvent->Set();
}

void CSoundDriver_DSound::BuildWaitList() {
    CCriticalSectionLock lock(m_lock);
    m_waitList.assign(1, m_commandEvent->GetHandle());
    for (CBuffer_DSound* buffer : m_buffers) {
        if (!buffer->IsStreamed()) continue;
        // A wait that reports this entry would read as the time-out, so it
        // holds an event that is never signalled.
        if (m_waitList.size() == WAIT_TIMEOUT) m_waitList.push_back(m_neverSignalled->GetHandle());
        m_waitList.push_back(buffer->GetNotificationEvent());
    }
}

DWORD CSoundDriver_DSound::RunPass(DWORD timeoutMs) {
    const DWORD result = WaitForMultipleObjects(DWORD(m_waitList.size()), m_waitList.data(), FALSE, timeoutMs);
    ProcessPass(result, timeGetTime());
    return result;
}

void CSoundDriver_DSound::ProcessPass(DWORD waitResult, DWORD now) {
    const DWORD elapsed = now - m_lastPass;
    if (elapsed != 0) {
        const float dt = float(elapsed) * 0.001f;
        CCriticalSectionLock lock(m_lock);
        for (CBuffer_DSound* buffer : m_buffers) buffer->FadeStep(dt);
    }
    m_lastPass = now;
    // A wait list holding a voice's event closed since the list was built
    // fails every wait until the rebuild that its removal posted is taken.
    if (waitResult == WAIT_FAILED && m_command != COMMAND_NONE) waitResult = WAIT_OBJECT_0;
    // The time-out is never a notification, however long the list.
    if (waitResult == WAIT_TIMEOUT || waitResult >= DWORD(m_waitList.size())) return;
    if (waitResult == WAIT_OBJECT_0) {
        const uint32_t command = m_command;
        if (command == COMMAND_QUIT) m_quit = true;
        if (command == COMMAND_REBUILD_WAIT_LIST) BuildWaitList();
        m_command = COMMAND_NONE;
        return;
    }
    // Entries past the never-signalled one stand one place further on.
    const DWORD voice = waitResult > WAIT_TIMEOUT ? waitResult - 1 : waitResult;
    CCriticalSectionLock lock(m_lock);
    DWORD streamed = 0;
    for (CBuffer_DSound* buffer : m_buffers) {
        if (!buffer->IsStreamed()) continue;
        if (++streamed == voice) {
            buffer->Update();
            return;
        }
    }
}

DWORD CSoundDriver_DSound::ThreadProc(void* argument) {
    auto* driver = static_cast<CSoundDriver_DSound*>(argument);
    while (!driver->m_quit) driver->RunPass(kPassTimeoutMs);
    return 0;
}

} // namespace Engine::Sound
