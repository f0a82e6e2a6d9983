// What a buffer swap puts on an OpenGL window, kept for tests: the window's
// framebuffer is read just before the swap, because after it the back
// buffer's content is undefined and the front buffer cannot be read
// headless.

#include "platform/GlExt.h"

#include <map>
#include <vector>

#include "platform/Detail.h"
#include "platform/Testing.h"

namespace {

struct CSwappedPicture {
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top-down
    int width = 0, height = 0;
};

struct CSwappedPictures {
    bool keep = false;
    // By SDL window id: ids are never reused, window addresses may be.
    std::map<Uint32, CSwappedPicture> pictures;
};

CSwappedPictures& Pictures() {
    static CSwappedPictures pictures;
    return pictures;
}

// Reads the default framebuffer's back buffer of the current context and
// leaves the read state as the engine had it.
CSwappedPicture ReadBackBuffer(SDL_Window* window) {
    CSwappedPicture picture;
    SDL_GL_GetDrawableSize(window, &picture.width, &picture.height);
    if (picture.width <= 0 || picture.height <= 0) return {};
    GLint readFramebuffer = 0, readBuffer = 0, alignment = 0, rowLength = 0, skipRows = 0, skipPixels = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
    glGetIntegerv(GL_PACK_SKIP_ROWS, &skipRows);
    glGetIntegerv(GL_PACK_SKIP_PIXELS, &skipPixels);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    std::vector<uint8_t> rgba(size_t(picture.width) * size_t(picture.height) * 4);
    glReadPixels(0, 0, picture.width, picture.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readFramebuffer));
    glReadBuffer(GLenum(readBuffer));
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glPixelStorei(GL_PACK_ROW_LENGTH, rowLength);
    glPixelStorei(GL_PACK_SKIP_ROWS, skipRows);
    glPixelStorei(GL_PACK_SKIP_PIXELS, skipPixels);
    // OpenGL's rows run bottom-up.
    picture.pixels.resize(size_t(picture.width) * size_t(picture.height));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = &rgba[(size_t(picture.height - 1 - y) * size_t(picture.width) + size_t(x)) * 4];
            picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)] =
                uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[2]);
        }
    return picture;
}

} // namespace

namespace Platform::Detail {

void SwapGlWindow(SDL_Window* window) {
    CSwappedPictures& state = Pictures();
    // The swapped window's context is current: SDL swaps only that one.
    if (state.keep && window && SDL_GL_GetCurrentWindow() == window)
        state.pictures[SDL_GetWindowID(window)] = ReadBackBuffer(window);
    SDL_GL_SwapWindow(window);
}

bool FindSwappedPicture(SDL_Window* window, std::vector<uint32_t>& pixels, int& width, int& height) {
    const CSwappedPictures& state = Pictures();
    const auto it = state.pictures.find(window ? SDL_GetWindowID(window) : 0);
    if (it == state.pictures.end()) return false;
    pixels = it->second.pixels;
    width = it->second.width;
    height = it->second.height;
    return true;
}

void ResetSwappedPictures() { Pictures() = CSwappedPictures{}; }

} // namespace Platform::Detail

namespace Platform::Testing {

void KeepSwappedPictures(bool keep) {
    Pictures().keep = keep;
    if (!keep) Pictures().pictures.clear();
}

} // namespace Platform::Testing
