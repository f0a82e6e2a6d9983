#pragma once
// Colour images of the Direct3D stand-ins' core: GL textures with their
// mipmap levels, row 0 on top (as Direct3D addresses them), drawn into
// through framebuffer objects, copied between and presented flipped into the
// window.

#include "platform/GlExt.h"

#include <algorithm>
#include <vector>

#include "platform/GlContext.h"

namespace Platform::Gl {

// Colour pixels of a texture and its levels, RGBA8 (or RGB8) in GL, row 0
// on top.
class CGlImage {
public:
    // Without alpha the image reads as opaque wherever it is sampled or
    // blended with, as Direct3D's X8 and alpha-less formats do.
    CGlImage(int width, int height, int levels, bool alpha);
    CGlImage(const CGlImage&) = delete;
    CGlImage& operator=(const CGlImage&) = delete;
    ~CGlImage();

    int GetLevels() const { return m_levels; }
    int GetWidth(int level) const { return std::max(m_width >> level, 1); }
    int GetHeight(int level) const { return std::max(m_height >> level, 1); }
    GLuint GetTexture() const { return m_texture; }
    // The framebuffer that draws into a level, made on first use.
    GLuint GetFramebuffer(int level);
    void Read(int level, std::vector<uint8_t>& rgba);
    void Write(int level, const uint8_t* rgba);
    // Forgets the GL objects without deleting them (their context is gone).
    void Abandon();

private:
    int m_width, m_height, m_levels;
    GLuint m_texture = 0;
    std::vector<GLuint> m_framebuffers;
};

// Copies a rectangle of one image level into another at a point.
void CopyImage(CGlImage& source, int sourceLevel, const RECT& rect, CGlImage& destination, int destinationLevel,
               POINT at);
// Shows source (an image rectangle) in the window's destination rectangle,
// both top-left based, and swaps.
void PresentImage(const CGlContext& context, CGlImage& image, const RECT& source, const RECT& destination);

} // namespace Platform::Gl
