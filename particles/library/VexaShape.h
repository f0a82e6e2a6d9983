#pragma once
// A particle image of an effect file: the embedded image file and the
// sprite size, and the device texture made from it.

#include <cstdint>
#include <memory>
#include <vector>

#include "app/RepeatedLogLines.h"
#include "particles/library/VexaDevice.h"

namespace VexaParticles {

class CVexaShape {
public:
    uint32_t ID = 0;
    float width = 0;
    float height = 0;
    std::vector<uint8_t> image;  // the embedded image file; empty for none

    VexaGraphics::ITexture* GetTexture() const { return m_texture.get(); }
    // Decodes the image and makes its texture, unless one exists. An image
    // that does not decode leaves the shape without a texture: it is logged
    // with the file's name and not decoded again.
    void CreateTexture(VexaGraphics::IDevice& device, const char* fileName, Engine::CRepeatedLogLines& warnings);
    void DestroyTexture() { m_texture.reset(); }

private:
    std::unique_ptr<VexaGraphics::ITexture> m_texture;
    bool m_refused = false;
};

} // namespace VexaParticles
