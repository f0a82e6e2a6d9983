#include "particles/library/EffectPicture.h"

#include "app/Log.h"
#include "graphics/ImageFailureText.h"

namespace VexaParticles {

bool DecodeEffectPicture(CBitmapIO::ByteSpan data, CBitmapIO::CImageData& image, const CEffectPictureName& name,
                         Engine::CRepeatedLogLines& warnings) {
    CBitmapIO::CLoadFailure failure;
    if (CBitmapIO::Load(data, image, false, &failure)) return true;
    const CString kind = FormatString("Unable to load .vexa %s image in '%s'", name.kind, name.fileName);
    warnings.PrintLine(kind.view(), "%s, %s %u: %s", kind.c_str(), name.kind, unsigned(name.id),
                       Engine::Graphics::DescribeUndecodedImage(data, failure.Reason()).c_str());
    return false;
}

} // namespace VexaParticles
