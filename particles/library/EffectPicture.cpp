#include "particles/library/EffectPicture.h"

#include "app/Log.h"
#include "graphics/ImageFailureText.h"

namespace VexaParticles {

bool DecodeEffectPicture(CBitmapIO::ByteSpan data, CBitmapIO::CImageData& image, const CEffectPictureName& name) {
    CBitmapIO::CLoadFailure failure;
    if (CBitmapIO::Load(data, image, false, &failure)) return true;
    GetLog().PrintLine("Unable to load .vexa %s image in '%s', %s %u: %s", name.kind, name.fileName, name.kind,
                       unsigned(name.id), Engine::Graphics::DescribeUndecodedImage(data, failure.Reason()).c_str());
    return false;
}

} // namespace VexaParticles
