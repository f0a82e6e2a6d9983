#include "particles/engine/VexaVertexBuffer_Engine.h"

namespace Engine::Particles {
namespace {

constexpr int32_t kLockFailed = -1;

} // namespace

int32_t CVexaVertexBuffer_Engine::Restore() {
    m_buffer->Restore();
    return 0;
}

int32_t CVexaVertexBuffer_Engine::Invalidate() {
    m_buffer->Invalidate();
    return 0;
}

int32_t CVexaVertexBuffer_Engine::Lock() {
    m_locked = m_buffer->Lock();
    return m_locked ? 0 : kLockFailed;
}

int32_t CVexaVertexBuffer_Engine::Unlock() {
    m_buffer->Unlock();
    m_locked = nullptr;
    return 0;
}

} // namespace Engine::Particles
