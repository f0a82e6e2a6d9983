// DDS reader.

#include "fuzz_image.h"
#include "tools/ImageWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzImage::Run(data, size, [](CBitmapIO::CImageData& r, CBitmapIO::ByteSpan b, bool alpha) {
        return !alpha && CBitmapIO::LoadDDS(r, b);
    });
}

std::vector<CFuzzSeed> FuzzSeeds() {
    Tools::CDdsImage image;
    image.width = 4;
    image.height = 4;
    image.pixelFlags = 0x41; // RGB with alpha
    image.bitsPerPixel = 32;
    image.masks = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u};
    image.pitchOrLinearSize = 16;
    image.data = FuzzImage::GradientBytes(4, 4, 4);
    return {{"argb.dds", Tools::WriteDds(image)}};
}
