#include "platform/Kernel.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/Testing.h"

namespace {

class CKernelObject {
public:
    virtual ~CKernelObject() = default;
    virtual bool IsSignalled() const = 0;
    // Called when a wait is released by this object.
    virtual void OnWaitSatisfied() {}
};

class CEventObject : public CKernelObject {
public:
    CEventObject(bool manualReset, bool set) : m_manualReset(manualReset), m_set(set) {}
    bool IsSignalled() const override { return m_set; }
    void OnWaitSatisfied() override { if (!m_manualReset) m_set = false; }
    void Set(bool set) { m_set = set; }

private:
    bool m_manualReset;
    bool m_set;
};

// What the running thread shares with its handle; it outlives a closed handle.
struct CThreadState {
    bool finished = false;
    int priority = THREAD_PRIORITY_NORMAL;
};

class CThreadObject : public CKernelObject {
public:
    explicit CThreadObject(std::shared_ptr<CThreadState> state) : m_state(std::move(state)) {}
    ~CThreadObject() override { if (m_thread.joinable()) m_thread.detach(); }
    bool IsSignalled() const override { return m_state->finished; }
    CThreadState& State() { return *m_state; }
    std::thread& Thread() { return m_thread; }

private:
    std::shared_ptr<CThreadState> m_state;
    std::thread m_thread;
};

// All kernel objects share one lock and one condition: waits are rare and
// short, and one condition makes waiting on several objects simple. The
// table is never destroyed, so threads still ending at exit may use it.
struct CKernel {
    std::mutex mutex;
    std::condition_variable changed;
    std::unordered_map<uintptr_t, std::shared_ptr<CKernelObject>> objects;
    uintptr_t nextHandle = 0x1000;
    DWORD nextThreadId = 1;
};

CKernel& Kernel() {
    static CKernel* kernel = new CKernel;
    return *kernel;
}

HANDLE AddObject(CKernel& k, std::shared_ptr<CKernelObject> object) {
    const uintptr_t id = k.nextHandle;
    k.nextHandle += 4;
    k.objects.emplace(id, std::move(object));
    return reinterpret_cast<HANDLE>(id);
}

template <class T>
T* FindObject(CKernel& k, HANDLE handle) {
    auto it = k.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == k.objects.end() ? nullptr : dynamic_cast<T*>(it->second.get());
}

std::optional<DWORD> TryAcquire(const std::vector<CKernelObject*>& objects, bool waitAll) {
    if (waitAll) {
        for (CKernelObject* object : objects)
            if (!object->IsSignalled()) return std::nullopt;
        for (CKernelObject* object : objects) object->OnWaitSatisfied();
        return WAIT_OBJECT_0;
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i]->IsSignalled()) {
            objects[i]->OnWaitSatisfied();
            return WAIT_OBJECT_0 + DWORD(i);
        }
    }
    return std::nullopt;
}

} // namespace

void InitializeCriticalSection(CRITICAL_SECTION*) {}
void DeleteCriticalSection(CRITICAL_SECTION*) {}
void EnterCriticalSection(CRITICAL_SECTION* section) { section->mutex.lock(); }
void LeaveCriticalSection(CRITICAL_SECTION* section) { section->mutex.unlock(); }

HANDLE CreateEvent(void*, BOOL manualReset, BOOL initialState, const char* name) {
    if (name || Platform::Testing::ConsumeFailure(Platform::Testing::Failure::EventCreation)) return nullptr;
    CKernel& k = Kernel();
    std::lock_guard lock(k.mutex);
    return AddObject(k, std::make_shared<CEventObject>(manualReset != FALSE, initialState != FALSE));
}

static BOOL SetEventState(HANDLE event, bool set) {
    CKernel& k = Kernel();
    {
        std::lock_guard lock(k.mutex);
        CEventObject* object = FindObject<CEventObject>(k, event);
        if (!object) return FALSE;
        object->Set(set);
    }
    if (set) k.changed.notify_all();
    return TRUE;
}

BOOL SetEvent(HANDLE event) { return SetEventState(event, true); }
BOOL ResetEvent(HANDLE event) { return SetEventState(event, false); }

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    if (count == 0 || !handles) return WAIT_FAILED;
    CKernel& k = Kernel();
    std::unique_lock lock(k.mutex);
    // The handles are held for the wait so that a concurrent close cannot
    // free an object under it.
    std::vector<std::shared_ptr<CKernelObject>> held;
    std::vector<CKernelObject*> objects;
    for (DWORD i = 0; i < count; ++i) {
        auto it = k.objects.find(reinterpret_cast<uintptr_t>(handles[i]));
        if (it == k.objects.end()) return WAIT_FAILED;
        held.push_back(it->second);
        objects.push_back(it->second.get());
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (auto result = TryAcquire(objects, waitAll != FALSE)) return *result;
        if (milliseconds == INFINITE) {
            k.changed.wait(lock);
        } else if (k.changed.wait_until(lock, deadline) == std::cv_status::timeout) {
            auto result = TryAcquire(objects, waitAll != FALSE);
            return result ? *result : WAIT_TIMEOUT;
        }
    }
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

BOOL CloseHandle(HANDLE handle) {
    CKernel& k = Kernel();
    std::shared_ptr<CKernelObject> object;
    bool finished = false;
    {
        std::lock_guard lock(k.mutex);
        auto it = k.objects.find(reinterpret_cast<uintptr_t>(handle));
        if (it == k.objects.end()) return FALSE;
        object = std::move(it->second);
        k.objects.erase(it);
        finished = object->IsSignalled();
    }
    if (auto* thread = dynamic_cast<CThreadObject*>(object.get())) {
        // A finished thread is only leaving its body: join it. A running one
        // goes on without its handle.
        if (finished)
            thread->Thread().join();
        else
            thread->Thread().detach();
    }
    return TRUE;
}

HANDLE CreateThread(void*, size_t, LPTHREAD_START_ROUTINE start, void* parameter, DWORD, DWORD* threadId) {
    if (!start || Platform::Testing::ConsumeFailure(Platform::Testing::Failure::ThreadCreation)) return nullptr;
    auto state = std::make_shared<CThreadState>();
    auto object = std::make_shared<CThreadObject>(state);
    try {
        object->Thread() = std::thread([state, start, parameter] {
            start(parameter);
            CKernel& k = Kernel();
            {
                std::lock_guard lock(k.mutex);
                state->finished = true;
            }
            k.changed.notify_all();
        });
    } catch (const std::system_error&) {
        return nullptr;
    }
    CKernel& k = Kernel();
    std::lock_guard lock(k.mutex);
    if (threadId) *threadId = k.nextThreadId++;
    return AddObject(k, std::move(object));
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
    const bool known = priority == THREAD_PRIORITY_IDLE || priority == THREAD_PRIORITY_TIME_CRITICAL ||
                       (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST);
    if (!known) return FALSE;
    CKernel& k = Kernel();
    std::lock_guard lock(k.mutex);
    CThreadObject* object = FindObject<CThreadObject>(k, thread);
    if (!object) return FALSE;
    object->State().priority = priority;
    return TRUE;
}

int GetThreadPriority(HANDLE thread) {
    CKernel& k = Kernel();
    std::lock_guard lock(k.mutex);
    CThreadObject* object = FindObject<CThreadObject>(k, thread);
    return object ? object->State().priority : THREAD_PRIORITY_ERROR_RETURN;
}
