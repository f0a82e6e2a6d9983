#include "particles/engine/VexaGraphics_Engine.h"

#include <algorithm>
#include <cstring>

#include "app/Exception.h"
#include "app/Log.h"
#include "graphics/Bitmap.h"
#include "particles/engine/VexaTexture_Engine.h"
#include "particles/engine/VexaVertexBuffer_Engine.h"

namespace Engine::Particles {

namespace {

constexpr uint32_t kDefaultTextureFlags = 0xFFFFFFFFu;

using namespace Graphics;

constexpr int32_t kFailed = -1;
constexpr int32_t kBlendFactorCount = 9;

struct CFormatBit {
    uint32_t library;
    uint32_t engine;
};
constexpr CFormatBit kFormatBits[] = {{0x1, VF_XYZ},       {0x4, VF_RHW},       {0x8, VF_DIFFUSE},
                                      {0x10000, VF_TEX0},  {0x20000, VF_TEX1},  {0x40000, VF_TEX2},
                                      {0x80000, VF_TEX3}};

// Moves quads to the driver's pixel and texel centres, as the sprite queue
// moves sprites: a particle lands on the pixels and texels a sprite with the
// same coordinates takes, on every driver.
void AlignToDriver(CGraphics& driver, SpriteVertex* quads, int32_t count, const CTexture* texture) {
    float dx = 0.0f, dy = 0.0f, du = 0.0f, dv = 0.0f;
    driver.GetBufferOffset(&dx, &dy);
    driver.GetTextureOffset(&du, &dv);
    int32_t width = 0, height = 0;
    if (!texture || !texture->GetSize(width, height) || width <= 0 || height <= 0) du = dv = 0.0f;
    if (dx == 0.0f && dy == 0.0f && du == 0.0f && dv == 0.0f) return;
    for (SpriteVertex* vertex = quads; vertex != quads + 4 * count; ++vertex) {
        vertex->x += dx;
        vertex->y += dy;
        if (du != 0.0f || dv != 0.0f) {
            vertex->u += du / float(width);
            vertex->v += dv / float(height);
        }
    }
}

// The quads [first, first + count) as the driver takes them: those the
// frame's limit keeps, moved to the front of the run and aligned to the
// driver. Returns how many; a buffer of other vertices is left as it is.
int32_t PrepareQuads(CGraphics& driver, CParticleDrawLimit& limit, CVertexBuffer& buffer, int32_t first,
                     int32_t count, const CTexture* texture) {
    const int32_t quads = buffer.GetCount() / 4;
    if (buffer.GetVertexSize() != int32_t(sizeof(SpriteVertex)) || first < 0 || count <= 0 || first >= quads)
        return count;
    count = std::min(count, quads - first);
    auto* vertices = static_cast<SpriteVertex*>(buffer.Lock());
    if (!vertices) return count;
    SpriteVertex* run = vertices + 4 * first;
    count = limit.Keep(run, count);
    AlignToDriver(driver, run, count, texture);
    buffer.Unlock();
    return count;
}

} // namespace

uint32_t CVexaGraphics_Engine::MapVertexFormat(uint32_t format) {
    uint32_t engine = 0;
    for (const CFormatBit& bit : kFormatBits)
        if (format & bit.library) engine |= bit.engine;
    return engine;
}

bool CVexaGraphics_Engine::IsDeferred() const { return bool(m_graphics->GetSpritesContainer()); }

int32_t CVexaGraphics_Engine::SetRenderState(int32_t state, int32_t value) {
    if (state != 0) return 0;
    m_graphics->gSwitch(SWITCH_ALPHA_BLEND, value != 0);
    if (IsDeferred()) m_graphics->m_bRecordedAlphaBlend = value != 0 ? 1 : 0;
    return 0;
}

int32_t CVexaGraphics_Engine::SetBlendFunc(int32_t source, int32_t destination) {
    if (source < 0 || source >= kBlendFactorCount || destination < 0 || destination >= kBlendFactorCount) return 0;
    if (IsDeferred()) {
        m_graphics->m_nRecordedBlendSrc = source + 1;
        m_graphics->m_nRecordedBlendDst = destination + 1;
    } else {
        m_graphics->gSetBlendFunc(source + 1, destination + 1);
    }
    return 0;
}

int32_t CVexaGraphics_Engine::CreateVertexBuffer(std::unique_ptr<VexaParticles::VexaGraphics::IVertexBuffer>& out,
                                                 int32_t count, int32_t stride, uint32_t format, uint32_t) {
    ref_ptr<CVertexBuffer> buffer;
    m_graphics->CreateVertexBuffer(buffer, count, stride, MapVertexFormat(format), true);
    if (!buffer) return kFailed;
    out = std::make_unique<CVexaVertexBuffer_Engine>(std::move(buffer));
    return 0;
}

int32_t CVexaGraphics_Engine::CreateIndexBuffer(std::unique_ptr<VexaParticles::VexaGraphics::IDeviceObject>&,
                                                int32_t count, uint32_t format, uint32_t) {
    ref_ptr<CIndexBuffer> dropped;
    m_graphics->CreateIndexBuffer(dropped, int(format), count, true);
    return 0;
}

int32_t CVexaGraphics_Engine::CreateTexture(std::unique_ptr<VexaParticles::VexaGraphics::ITexture>& out,
                                            const VexaParticles::VexaGraphics::CBitmap& bitmap, uint32_t) {
    out.reset();
    ref_ptr<Graphics::CBitmap> image(new Graphics::CBitmap);
    if (!bitmap.GetPixels() || !image->Create(bitmap.GetWidth(), bitmap.GetHeight())) return 0;
    std::memcpy(image->GetPixels(), bitmap.GetPixels(), size_t(bitmap.GetWidth()) * size_t(bitmap.GetHeight()) * 4);
    ref_ptr<CTexture> texture;
    try {
        // The default texture flags: a format with the most alpha bits. Shapes
        // are soft-edged and drawn by their alpha; texture flags 0 would ask
        // for a format without alpha and draw every particle as a square.
        m_textures->CreateTexture(texture, image, 0, false, kDefaultTextureFlags);
    } catch (const Engine::CException& e) {
        GetLog().PrintLine("%s", e.what());
    }
    if (texture) out = std::make_unique<CVexaTexture_Engine>(texture, image, m_textures);
    return 0;
}

int32_t CVexaGraphics_Engine::CreateBitmap(std::unique_ptr<VexaParticles::VexaGraphics::CBitmap>& out,
                                           const uint32_t* pixels, int32_t width, int32_t height, uint32_t fourth) {
    out = std::make_unique<VexaParticles::VexaGraphics::CBitmap>(pixels, width, height, fourth);
    return 0;
}

int32_t CVexaGraphics_Engine::SetTexture(int32_t, VexaParticles::VexaGraphics::ITexture* texture) {
    m_drawLimit.StartType();
    const auto* engineTexture = dynamic_cast<const CVexaTexture_Engine*>(texture);
    if (!engineTexture) {
        m_texture = nullptr;
        m_graphics->gSetTextureStage(0, nullptr);
        return 0;
    }
    m_texture = engineTexture->GetTexture();
    m_graphics->gSetTextureStage(0, m_texture);
    m_graphics->gSetTextureWrap(0, ADDRESS_CLAMP, ADDRESS_CLAMP);
    return 0;
}

int32_t CVexaGraphics_Engine::Draw(VexaParticles::VexaGraphics::IVertexBuffer* buffer, int32_t first, int32_t count,
                                   uint32_t) {
    const auto* engineBuffer = dynamic_cast<const CVexaVertexBuffer_Engine*>(buffer);
    if (!engineBuffer) return kFailed;
    // A frame stopped by a quit draws nothing more.
    if (m_graphics->IsFrameStopped()) return 0;
    count = PrepareQuads(*m_graphics, m_drawLimit, *engineBuffer->GetBuffer(), first, count, m_texture.get());
    if (count == 0) return 0;
    // Buffered while the software driver keeps its containers, so that the
    // dirty-rectangle pass sees the particles too.
    m_graphics->BufferParticleQuads(first, engineBuffer->GetBuffer(), count, m_texture);
    return 0;
}

} // namespace Engine::Particles
