#include "platform/GlDepthBuffer.h"

#include <algorithm>

namespace Platform::Gl {

CGlDepthBuffer::CGlDepthBuffer(int width, int height) {
    glGenRenderbuffers(1, &m_renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, m_renderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, std::max(width, 1), std::max(height, 1));
}

CGlDepthBuffer::~CGlDepthBuffer() {
    if (m_renderbuffer) glDeleteRenderbuffers(1, &m_renderbuffer);
}

} // namespace Platform::Gl
