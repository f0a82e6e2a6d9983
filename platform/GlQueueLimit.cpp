#include "platform/GlExt.h"

#include "platform/GlQueueLimit.h"

namespace Platform::Gl {

void CGlQueueLimit::Drew(int64_t vertices) {
    m_sinceFence += vertices;
    if (m_sinceFence < kVertices) return;
    m_sinceFence = 0;
    GLsync fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (m_pending) {
        GLsync pending = static_cast<GLsync>(m_pending);
        glClientWaitSync(pending, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
        glDeleteSync(pending);
    }
    m_pending = fence;
    // Without fences (a context older than GL 3.2) the stretch is waited
    // for at once.
    if (!fence) glFinish();
}

void CGlQueueLimit::Forget() {
    m_pending = nullptr;
    m_sinceFence = 0;
}

} // namespace Platform::Gl
