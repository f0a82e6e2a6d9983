#include "platform/GlImage.h"


namespace Platform::Gl {

CGlImage::CGlImage(int width, int height, int levels, bool alpha)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)), m_levels(std::max(levels, 1)),
      m_framebuffers(size_t(m_levels), 0) {
    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    for (int level = 0; level < m_levels; ++level)
        glTexImage2D(GL_TEXTURE_2D, level, alpha ? GL_RGBA8 : GL_RGB8, GetWidth(level), GetHeight(level), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, m_levels - 1);
}

CGlImage::~CGlImage() {
    for (GLuint framebuffer : m_framebuffers)
        if (framebuffer) glDeleteFramebuffers(1, &framebuffer);
    if (m_texture) glDeleteTextures(1, &m_texture);
}

void CGlImage::Abandon() {
    std::fill(m_framebuffers.begin(), m_framebuffers.end(), 0);
    m_texture = 0;
}

GLuint CGlImage::GetFramebuffer(int level) {
    GLuint& framebuffer = m_framebuffers[size_t(level)];
    if (!framebuffer) {
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_texture, level);
    }
    return framebuffer;
}

void CGlImage::Read(int level, std::vector<uint8_t>& rgba) {
    rgba.resize(size_t(GetWidth(level)) * size_t(GetHeight(level)) * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, GetFramebuffer(level));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, GetWidth(level), GetHeight(level), GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

void CGlImage::Write(int level, const uint8_t* rgba) {
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, GetWidth(level), GetHeight(level), GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void CopyImage(CGlImage& source, int sourceLevel, const RECT& rect, CGlImage& destination, int destinationLevel,
               POINT at) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source.GetFramebuffer(sourceLevel));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, destination.GetFramebuffer(destinationLevel));
    const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    glBlitFramebuffer(rect.left, rect.top, rect.right, rect.bottom, at.x, at.y, at.x + width, at.y + height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
}

void PresentImage(const CGlContext& context, CGlImage& image, const RECT& source, const RECT& destination) {
    int width = 0, height = 0;
    context.GetDrawableSize(width, height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, image.GetFramebuffer(0));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // The window's rows run bottom up.
    glBlitFramebuffer(source.left, source.top, source.right, source.bottom, destination.left, height - destination.top,
                      destination.right, height - destination.bottom, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    context.Swap();
}

} // namespace Platform::Gl
