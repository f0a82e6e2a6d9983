// PSD reader.

#include "fuzz_image.h"
#include "tools/ImageWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzImage::Run(data, size, [](CBitmapIO::CImageData& r, CBitmapIO::ByteSpan b, bool alpha) {
        return !alpha && CBitmapIO::LoadPSD(r, b);
    });
}

std::vector<CFuzzSeed> FuzzSeeds() {
    std::vector<CFuzzSeed> seeds;
    for (bool compressed : {false, true}) {
        Tools::CPsdImage image;
        image.width = 4;
        image.height = 3;
        image.compressed = compressed;
        for (uint8_t sample : FuzzImage::GradientBytes(4, 3 * 3, 1)) image.samples.push_back(sample);
        seeds.push_back({compressed ? "rle.psd" : "raw.psd", Tools::WritePsd(image)});
    }
    return seeds;
}
