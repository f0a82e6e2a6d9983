// DDS reader.

#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzImage::Run(data, size, [](CBitmapIO::CImageData& r, CBitmapIO::ByteSpan b, bool alpha) {
        return !alpha && CBitmapIO::LoadDDS(r, b);
    });
}
