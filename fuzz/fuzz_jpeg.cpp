// JPEG reader (libjpeg), with and without alpha mode.

#include "fuzz_image.h"
#include "tools/ImageWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzImage::Run(data, size, [](CBitmapIO::CImageData& r, CBitmapIO::ByteSpan b, bool alpha) {
        return CBitmapIO::LoadJPEG(r, b, alpha);
    });
}

std::vector<CFuzzSeed> FuzzSeeds() {
    std::vector<CFuzzSeed> seeds;
    for (int components : {1, 3}) {
        Tools::CJpegImage image;
        image.width = 9;
        image.height = 7;
        image.components = components;
        image.samples = FuzzImage::GradientBytes(9, 7, uint32_t(components));
        image.progressive = components == 3;
        seeds.push_back({"c" + std::to_string(components) + ".jpg", Tools::WriteJpeg(image)});
    }
    return seeds;
}
