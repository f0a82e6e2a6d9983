#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/Math.h"
#include "graphics/Bitmap.h"
#include "graphics/Texture.h"
#include "graphics/drivers/GraphicsSFTW.h"

namespace Engine::Graphics {

namespace {

// The parts of one vertex the drawing reads.
struct CVertexView {
    float x, y;
    uint32_t color;
    float u, v;
};

// Where the read parts lie in a vertex of the format.
struct CVertexLayout {
    size_t stride;
    size_t colorOffset = 0, texOffset = 0;
    // The bytes one vertex of the format needs: x and y at least.
    size_t needed = 8;
    bool hasColor, hasTex;
    explicit CVertexLayout(uint32_t format, size_t vertexSize)
        : stride(vertexSize), hasColor(format & VF_DIFFUSE), hasTex(format & VF_TEX0) {
        size_t offset = (format & VF_XYZ) ? 12 : 0;
        if (format & VF_RHW) offset += 4;
        if (format & VF_NORMAL) offset += 12;
        colorOffset = offset;
        if (format & VF_DIFFUSE) offset += 4;
        if (format & VF_SPECULAR) offset += 4;
        texOffset = offset;
        if (hasTex) offset += 8;
        needed = std::max(needed, offset);
    }
    // Every field the format names lies inside the buffer's vertex.
    bool Fits() const { return stride >= needed; }
    CVertexView Read(const uint8_t* vertex) const {
        CVertexView view{0, 0, RASTER_WHITE, 0, 0};
        std::memcpy(&view.x, vertex, 4);
        std::memcpy(&view.y, vertex + 4, 4);
        if (hasColor) std::memcpy(&view.color, vertex + colorOffset, 4);
        if (hasTex) {
            std::memcpy(&view.u, vertex + texOffset, 4);
            std::memcpy(&view.v, vertex + texOffset + 4, 4);
        }
        return view;
    }
};

// Screen and texel coordinates far outside any target are held at a
// distance that still converts to 16.16 without overflow.
constexpr double kCoordinateLimit = 32767.0;

double Held(double value) {
    if (!(value >= -kCoordinateLimit)) return -kCoordinateLimit;  // NaN too
    return std::min(value, kCoordinateLimit);
}

int32_t Fixed(double value) { return int32_t(Held(value) * 65536.0); }
int32_t Whole(double value) { return int32_t(Held(value)); }

} // namespace

void CGraphics_SFTW::gSetTextureStage(int stage, ref_ptr<CTexture> texture) {
    if (stage >= 0 && stage < 4) m_stages[stage] = texture;
}

void CGraphics_SFTW::gSwitch(int id, bool on) {
    if (id == SWITCH_ALPHA_BLEND) m_bAlphaBlend = on ? 1 : 0;
}

void CGraphics_SFTW::gSetBlendFunc(int source, int destination) {
    m_nBlendSource = source;
    m_nBlendDestination = destination;
}

int32_t CGraphics_SFTW::GetBlendMode() const {
    if (!m_bAlphaBlend) return RASTER_REPLACE;
    const int32_t s = m_nBlendSource, d = m_nBlendDestination;
    if (s == BLEND_SRC_ALPHA && d == BLEND_INV_SRC_ALPHA) return RASTER_ALPHA;
    if (s == BLEND_ONE && d == BLEND_ONE) return RASTER_ADD;
    if (s == BLEND_SRC_ALPHA && d == BLEND_ONE) return RASTER_ADD_ALPHA;
    if (s == BLEND_ONE && d == BLEND_INV_SRC_ALPHA) return RASTER_PREMULTIPLIED;
    return RASTER_REPLACE;
}

void CGraphics_SFTW::gClear(uint32_t flags) {
    // While buffering, the colour clear becomes a queued quad and the bit
    // goes. Without buffering the back buffer is filled here, so that a
    // frame never shows the last one's leftovers.
    ClearColorAsQuad(flags);
    if (!(flags & CLEAR_COLOR)) return;
    const CRasterTarget target = GetBackBuffer();
    if (!target.pixels) return;
    // Packed like the clear quad of buffered drawing, so that both clears
    // give the same picture: red and blue exchanged as the queue does for
    // this driver.
    const uint32_t color =
        SwapColorRedBlue(PackColorRGBA(m_clearColor[0], m_clearColor[1], m_clearColor[2], m_clearColor[3]));
    RasterFillRect(target, 0, 0, target.width, target.height, color, RASTER_REPLACE);
}

void CGraphics_SFTW::gDraw(int type, ref_ptr<CVertexBuffer> vertices, int first, int count, ref_ptr<CIndexBuffer>) {
    const CRasterTarget target = GetBackBuffer();
    if (!vertices || count <= 0 || first < 0 || !target.pixels) return;
    // The texture of stage 0: its copy is in the back buffer's channel order.
    CRasterTexture texture;
    bool textureBound = false;
    if (m_stages[0]) {
        if (ref_ptr<CHardwareTexture_SFTW> hardware =
                DynamicRefCast<CHardwareTexture_SFTW>(m_stages[0]->GetHardwareTexture())) {
            // A copy without pixels (its bitmap gone) counts as no texture.
            const CBitmap& copy = hardware->GetCopy();
            if (copy.GetPixels()) {
                texture = {copy.GetPixels(), copy.GetWidth(), copy.GetHeight()};
                textureBound = true;
            }
        }
    }
    const CVertexLayout layout(vertices->GetFormat(), size_t(std::max(vertices->GetVertexSize(), 0)));
    if (!layout.Fits()) return;
    vertices->Lock();
    const auto* data = static_cast<const uint8_t*>(vertices->GetData());
    vertices->Unlock();
    if (!data) return;
    const bool quads = type == PRIM_QUAD_LIST;
    const int64_t perPrimitive = quads ? 4 : 3;
    // Only primitives the buffer holds are drawn.
    const int64_t available = vertices->GetCount() / perPrimitive - first;
    const int64_t primitives = std::min<int64_t>(count, available);
    const bool textured = textureBound && layout.hasTex;
    const int32_t mode = GetBlendMode();
    const double texW = texture.width, texH = texture.height;

    for (int64_t i = 0; i < primitives; ++i) {
        const uint8_t* base = data + size_t((first + i) * perPrimitive) * layout.stride;
        CVertexView c[4];
        for (int64_t k = 0; k < perPrimitive; ++k) c[k] = layout.Read(base + size_t(k) * layout.stride);
        const CVertexView &p = c[0], &q = c[1], &r = c[2], &s = c[3];
        // An axis-aligned rectangle. Untextured, an empty or reversed one is
        // still a rectangle and fills nothing; textured, it must also run
        // forwards over unmirrored texels, else its triangles draw it.
        bool rectangle = quads && s.x == p.x && q.y == p.y && r.x == q.x && s.y == r.y;
        if (rectangle && textured)
            rectangle = p.x < q.x && p.y < r.y && s.u == p.u && q.v == p.v && r.u == q.u && s.v == r.v &&
                        q.u >= p.u && r.v >= p.v;
        if (rectangle && !textured) {
            RasterFillRect(target, Whole(p.x + 0.5), Whole(p.y + 0.5), Whole(q.x + 0.5), Whole(r.y + 0.5), p.color,
                           mode);
        } else if (rectangle) {
            const double w = double(r.x) - p.x, h = double(r.y) - p.y;
            const double texelW = std::fabs(double(r.u) - p.u) * texW, texelH = std::fabs(double(r.v) - p.v) * texH;
            const bool oneToOne = std::fabs(w - texelW) < 0.03 && std::fabs(h - texelH) < 0.03;
            (oneToOne ? RasterCopyRect : RasterStretchRect)(target, Fixed(p.x), Fixed(p.y), Fixed(q.x), Fixed(r.y),
                                                           texture, Fixed(p.u * texW), Fixed(p.v * texH),
                                                           Fixed(r.u * texW), Fixed(r.v * texH), mode, p.color);
        } else if (!textured) {
            // An untextured triangle or slanted quad ends the call.
            break;
        } else {
            auto corner = [&](const CVertexView& v) {
                return CRasterVertex{Fixed(v.x + 0.5), Whole(v.y + 0.5), Fixed(v.u * texW), Fixed(v.v * texH)};
            };
            const CRasterVertex first3[3] = {corner(p), corner(q), corner(r)};
            RasterTriangle(target, first3, texture, p.color, mode);
            if (quads) {
                const CRasterVertex second3[3] = {corner(p), corner(r), corner(s)};
                RasterTriangle(target, second3, texture, p.color, mode);
            }
        }
    }
}

} // namespace Engine::Graphics
