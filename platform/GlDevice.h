#pragma once
// The OpenGL core behind the Direct3D stand-ins: a context on an OpenGL
// window, images (textures with their mipmap levels) stored top row first,
// depth-stencil buffers, and a fixed-function pipeline that takes Direct3D
// render states, texture-stage states and transforms (whose numbers the
// Direct3D 7 and 8 interfaces share) and draws flexible-format vertices.
// Pixel centres are at integer coordinates unless told otherwise, so the
// images look as Direct3D would draw them; only presentation flips them
// into the window. Main thread only.

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/Direct3D8.h"

namespace Platform::Gl {

// A packed pixel layout: bytes per pixel and the four channel masks.
struct CPixelLayout {
    int bytes = 4;
    uint32_t alpha = 0, red = 0, green = 0, blue = 0;
};
// Null for formats that hold no colour.
const CPixelLayout* FindPixelLayout(D3DFORMAT format);
// Between packed pixels and R, G, B, A bytes; a layout without alpha reads
// as opaque.
void UnpackPixels(const CPixelLayout& layout, const uint8_t* packed, uint8_t* rgba, size_t count);
void PackPixels(const CPixelLayout& layout, const uint8_t* rgba, uint8_t* packed, size_t count);

// An OpenGL context on a window; made current before each use.
class CGlContext {
public:
    CGlContext() = default;
    CGlContext(const CGlContext&) = delete;
    CGlContext& operator=(const CGlContext&) = delete;
    ~CGlContext();
    // False when the window is no OpenGL window or GL refuses.
    bool Create(HWND window);
    void MakeCurrent() const;
    // The window's framebuffer size.
    void GetDrawableSize(int& width, int& height) const;
    void Swap() const;

private:
    SDL_Window* m_window = nullptr;
    SDL_GLContext m_context = nullptr;
};

// Colour pixels of a texture and its levels, RGBA8 in GL, row 0 on top.
class CGlImage {
public:
    CGlImage(int width, int height, int levels);
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

// Where a draw takes its vertices: flexible-format data and its stride.
struct CVertexStream {
    const uint8_t* data = nullptr;
    size_t bytes = 0;
    DWORD fvf = 0;
    UINT stride = 0;
};

// Indices of an indexed draw, added to the base vertex.
struct CIndexStream {
    const uint8_t* data = nullptr;
    size_t bytes = 0;
    int indexSize = 2;
    UINT baseVertex = 0;
};

constexpr int kStages = 8;

// The fixed-function state and the draws that use it.
class CGlPipeline {
public:
    CGlPipeline();
    // Direct3D's defaults for every state; nothing bound.
    void ResetStates();

    DWORD GetRenderState(DWORD state) const { return state < m_renderStates.size() ? m_renderStates[state] : 0; }
    void SetRenderState(DWORD state, DWORD value);
    DWORD GetStageState(DWORD stage, DWORD state) const;
    void SetStageState(DWORD stage, DWORD state, DWORD value);
    void SetTexture(DWORD stage, CGlImage* image);
    void SetTransform(DWORD state, const D3DMATRIX& matrix);
    void SetViewport(const D3DVIEWPORT8& viewport) { m_viewport = viewport; }
    const D3DVIEWPORT8& GetViewport() const { return m_viewport; }
    void SetMaterial(const D3DMATERIAL8& material) { m_material = material; }
    void SetLight(DWORD index, const D3DLIGHT8& light) { m_lights[index].light = light; }
    void EnableLight(DWORD index, bool enable) { m_lights[index].enabled = enable; }
    // The draw target: a level of an image, with or without depth.
    void SetTarget(CGlImage* colour, int level, CGlDepthBuffer* depth);
    bool HasDepth() const { return m_depth != nullptr; }
    // Half-integer (OpenGL) pixel centres instead of Direct3D's.
    void SetOpenGlPixelCentres(bool on) { m_glCentres = on; }

    // Clears the viewport, or each rectangle within it.
    void Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil);
    // False when the vertices or indices the draw needs are not there.
    bool Draw(D3DPRIMITIVETYPE type, const CVertexStream& vertices, UINT first, UINT primitives,
              const CIndexStream* indices);

private:
    struct CLightSlot {
        D3DLIGHT8 light;
        bool enabled = false;
    };
    void ApplyTarget();
    void ApplyFixedStates();
    void ApplyLighting();
    void ApplyStages(int coordinateSets);
    void LoadTransforms(bool pretransformed);
    // Identity for a transform never set.
    D3DMATRIX FindTransform(DWORD state) const;

    std::array<DWORD, 256> m_renderStates{};
    std::array<std::array<DWORD, 32>, kStages> m_stageStates{};
    std::array<CGlImage*, kStages> m_textures{};
    std::map<DWORD, D3DMATRIX> m_transforms;
    D3DVIEWPORT8 m_viewport;
    D3DMATERIAL8 m_material;
    std::map<DWORD, CLightSlot> m_lights;
    CGlImage* m_colour = nullptr;
    int m_level = 0;
    CGlDepthBuffer* m_depth = nullptr;
    bool m_glCentres = false;
    GLuint m_white = 0;
};

// Copies a rectangle of one image level into another at a point.
void CopyImage(CGlImage& source, int sourceLevel, const RECT& rect, CGlImage& destination, int destinationLevel,
               POINT at);
// Shows source (an image rectangle) in the window's destination rectangle,
// both top-left based, and swaps.
void PresentImage(const CGlContext& context, CGlImage& image, const RECT& source, const RECT& destination);

} // namespace Platform::Gl
