#pragma once
// A particle texture: an engine texture made in the particle texture list,
// and the bitmap it was made from. The engine restores its textures after a
// device loss itself, so Restore and Invalidate do nothing here.

#include "app/Referenced.h"
#include "graphics/Bitmap.h"
#include "graphics/Texture.h"
#include "particles/library/VexaDevice.h"

namespace Engine::Particles {

class CVexaTexture_Engine : public VexaParticles::VexaGraphics::ITexture {
public:
    CVexaTexture_Engine(ref_ptr<Graphics::CTexture> texture, ref_ptr<Graphics::CBitmap> bitmap,
                        Graphics::CTextureList* list)
        : m_texture(std::move(texture)), m_bitmap(std::move(bitmap)), m_list(list) {}
    // Gives the texture back to the list.
    ~CVexaTexture_Engine() override;

    const ref_ptr<Graphics::CTexture>& GetTexture() const { return m_texture; }

private:
    ref_ptr<Graphics::CTexture> m_texture;
    ref_ptr<Graphics::CBitmap> m_bitmap;
    Graphics::CTextureList* m_list;
};

} // namespace Engine::Particles
