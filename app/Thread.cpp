#include "app/Thread.h"

#include "app/Exception.h"

namespace Engine {

void CThread::Create(LPTHREAD_START_ROUTINE proc, void* argument, HANDLE* thread) {
    HANDLE handle = CreateThread(nullptr, 0, proc, argument, 0, nullptr);
    if (!handle) throw CException("Engine::CThread::Create(...) : FAILED");
    if (thread)
        *thread = handle;
    else
        CloseHandle(handle);
}

CEvent::CEvent(bool manualReset, bool initiallySet)
    : m_handle(CreateEvent(nullptr, manualReset ? TRUE : FALSE, initiallySet ? TRUE : FALSE, nullptr)) {
    if (!m_handle) throw CException("Engine::CEvent::CEvent() : FAILED");
}

} // namespace Engine
