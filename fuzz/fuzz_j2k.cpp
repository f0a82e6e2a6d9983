// JPEG 2000 reader (OpenJPEG): JP2 files and raw codestreams.

#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzImage::Run(data, size, [](CBitmapIO::CImageData& r, CBitmapIO::ByteSpan b, bool alpha) {
        return !alpha && CBitmapIO::LoadJPEG2000(r, b);
    });
}
