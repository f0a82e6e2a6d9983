// TGA reader.

#include "fuzz_image.h"
#include "tools/ImageWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzImage::Run(data, size, [](CBitmapIO::CImageData& r, CBitmapIO::ByteSpan b, bool alpha) {
        return !alpha && CBitmapIO::LoadTGA(r, b);
    });
}

std::vector<CFuzzSeed> FuzzSeeds() {
    std::vector<CFuzzSeed> seeds;
    const std::vector<uint8_t> pixels = FuzzImage::GradientBytes(4, 4, 4);
    Tools::CTgaImage raw;
    raw.width = 4;
    raw.height = 4;
    raw.pixelData = pixels;
    seeds.push_back({"raw.tga", Tools::WriteTga(raw)});
    Tools::CTgaImage rle = raw;
    rle.imageType = 10;
    rle.pixelData = Tools::EncodeTgaRle(pixels, 4);
    seeds.push_back({"rle.tga", Tools::WriteTga(rle)});
    return seeds;
}
