#pragma once
// The image-file reader the library decodes embedded images through: the
// engine's image input over a stream, whose writing returns 0.

#include "graphics/Bitmap.h"

namespace VexaParticles {

using CBitmapFile = Engine::Graphics::CBitmap::CBitmapFile;

} // namespace VexaParticles
