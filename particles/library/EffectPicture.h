#pragma once
// The decoding of a picture embedded in an effect file.

#include <cstdint>

#include "app/RepeatedLogLines.h"
#include "graphics/BitmapIO.h"

namespace VexaParticles {

// Which picture of which file: for the log line of one that does not decode.
struct CEffectPictureName {
    const char* fileName;
    const char* kind; // "shape" or "bitmap"
    uint32_t id;
};

// Decodes the picture into image. One that does not decode is logged with
// its name and the decoder's reason through `warnings` (a file may hold
// any number of pictures, all refused), which serves one file; false then.
bool DecodeEffectPicture(CBitmapIO::ByteSpan data, CBitmapIO::CImageData& image, const CEffectPictureName& name,
                         Engine::CRepeatedLogLines& warnings);

} // namespace VexaParticles
