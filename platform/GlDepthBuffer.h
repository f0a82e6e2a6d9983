#pragma once
// A depth-stencil buffer of the Direct3D stand-ins' core.

#include "platform/GlExt.h"

namespace Platform::Gl {

class CGlDepthBuffer {
public:
    CGlDepthBuffer(int width, int height);
    CGlDepthBuffer(const CGlDepthBuffer&) = delete;
    CGlDepthBuffer& operator=(const CGlDepthBuffer&) = delete;
    ~CGlDepthBuffer();
    GLuint GetRenderbuffer() const { return m_renderbuffer; }
    void Abandon() { m_renderbuffer = 0; }

private:
    GLuint m_renderbuffer = 0;
};

} // namespace Platform::Gl
