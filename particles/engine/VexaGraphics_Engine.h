#pragma once
// The particle library's drawing device over the engine's graphics driver:
// render state, blending, vertex buffers, textures made in the particle
// texture list, and the drawing of particle quads.

#include "app/Referenced.h"
#include "graphics/Graphics.h"
#include "graphics/Texture.h"
#include "particles/engine/ParticleDrawLimit.h"
#include "particles/library/VexaDevice.h"

namespace Engine::Particles {

class CVexaGraphics_Engine : public VexaParticles::VexaGraphics::IDevice {
public:
    // Textures are made in and given back to the list (not owned).
    CVexaGraphics_Engine(Graphics::CGraphics* graphics, Graphics::CTextureList* textures)
        : m_graphics(graphics), m_textures(textures) {}

    // Only state 0, alpha blending, is honoured.
    int32_t SetRenderState(int32_t state, int32_t value) override;
    // Factors 0..8 are the engine's 1..9; any other makes the call do nothing.
    int32_t SetBlendFunc(int32_t source, int32_t destination) override;
    // A driver that makes no buffer fails the call.
    int32_t CreateVertexBuffer(std::unique_ptr<VexaParticles::VexaGraphics::IVertexBuffer>& out, int32_t count,
                               int32_t stride, uint32_t format, uint32_t usage) override;
    // Has the driver make an index buffer of the count, with the format as
    // its index type code, and drops it: out stays unset.
    int32_t CreateIndexBuffer(std::unique_ptr<VexaParticles::VexaGraphics::IDeviceObject>& out, int32_t count,
                              uint32_t format, uint32_t usage) override;
    // Null when the texture manager makes no texture.
    int32_t CreateTexture(std::unique_ptr<VexaParticles::VexaGraphics::ITexture>& out,
                          const VexaParticles::VexaGraphics::CBitmap& bitmap, uint32_t flags) override;
    int32_t CreateBitmap(std::unique_ptr<VexaParticles::VexaGraphics::CBitmap>& out, const uint32_t* pixels,
                         int32_t width, int32_t height, uint32_t fourth) override;
    // Meshes are not drawn by the engine.
    int32_t SetMeshTransform(const float*) override { return 0; }
    // The library sets a particle type's texture before its draws, so each
    // call starts a type's share of the frame's draw limit.
    int32_t SetTexture(int32_t stage, VexaParticles::VexaGraphics::ITexture* texture) override;
    // Hands the driver the quads the frame's draw limit keeps, counted on
    // the quit watch; nothing once a quit stopped the frame.
    int32_t Draw(VexaParticles::VexaGraphics::IVertexBuffer* buffer, int32_t first, int32_t count,
                 uint32_t reserved) override;
    bool IsColorRGBA() override { return m_graphics->IsColorRGBA(); }

    // The library's vertex format bits as the engine's.
    static uint32_t MapVertexFormat(uint32_t format);

    const ref_ptr<Graphics::CTexture>& GetBoundTexture() const { return m_texture; }
    // Unlimited until the application starts a frame on it.
    CParticleDrawLimit& GetDrawLimit() { return m_drawLimit; }

private:
    // Whether the driver collects this frame's drawing for later: state then
    // goes to its recorded state.
    bool IsDeferred() const;

    Graphics::CGraphics* m_graphics;
    ref_ptr<Graphics::CTexture> m_texture;
    Graphics::CTextureList* m_textures;
    CParticleDrawLimit m_drawLimit;
};

} // namespace Engine::Particles
