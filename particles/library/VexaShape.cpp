#include "particles/library/VexaShape.h"

#include "particles/library/EffectPicture.h"
#include "particles/library/VexaGraphicsException.h"

namespace VexaParticles {

void CVexaShape::CreateTexture(VexaGraphics::IDevice& device, const char* fileName,
                               Engine::CRepeatedLogLines& warnings) {
    if (m_texture || m_refused || image.empty()) return;
    CBitmapIO::CImageData pixels;
    if (!DecodeEffectPicture(CBitmapIO::ByteSpan(image), pixels, {fileName, "shape", ID}, warnings)) {
        m_refused = true;
        return;
    }
    std::unique_ptr<VexaGraphics::CBitmap> bitmap;
    int32_t result = device.CreateBitmap(bitmap, pixels.pixels.data(), pixels.width, pixels.height, 0);
    if (result < 0 || !bitmap) throw VexaGraphics::CVexaGraphicsException("Can't create shape bitmap", result);
    result = device.CreateTexture(m_texture, *bitmap, 0);
    if (result < 0) {
        m_texture.reset();
        throw VexaGraphics::CVexaGraphicsException("Can't create shape texture", result);
    }
}

} // namespace VexaParticles
