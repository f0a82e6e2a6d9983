// JPEG 2000 reader (OpenJPEG): JP2 files.

#include "fuzz_image.h"
#include "tools/ImageWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzImage::Run(data, size, [](CBitmapIO::CImageData& r, CBitmapIO::ByteSpan b, bool alpha) {
        return !alpha && CBitmapIO::LoadJPEG2000(r, b);
    });
}

std::vector<CFuzzSeed> FuzzSeeds() {
    Tools::CJpeg2000Image image;
    image.width = 6;
    image.height = 4;
    for (uint8_t sample : FuzzImage::GradientBytes(6, 4, 3)) image.samples.push_back(sample);
    image.container = Tools::EJpeg2000Container::JP2;
    return {{"image.jp2", Tools::WriteJpeg2000(image)}};
}
