#pragma once
// The words a log line uses for embedded image bytes that did not decode.

#include "app/String.h"
#include "graphics/BitmapIO.h"

namespace Engine::Graphics {

// "its N bytes of PNG data do not decode", followed by ": " and the
// decoder's reason where one is given; or "its N bytes are in no known image
// format".
CString DescribeUndecodedImage(CBitmapIO::ByteSpan data, const char* reason = "");

} // namespace Engine::Graphics
