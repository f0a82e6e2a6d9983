// PNG reader (libpng), with and without alpha mode.

#include "fuzz_image.h"
#include "tools/ImageWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzImage::Run(data, size, [](CBitmapIO::CImageData& r, CBitmapIO::ByteSpan b, bool alpha) {
        return CBitmapIO::LoadPNG(r, b, alpha);
    });
}

std::vector<CFuzzSeed> FuzzSeeds() {
    std::vector<CFuzzSeed> seeds;
    const auto add = [&](const char* name, Tools::EPngColour colour, uint32_t channels) {
        Tools::CPngImage image;
        image.width = 5;
        image.height = 3;
        image.colour = colour;
        for (uint8_t sample : FuzzImage::GradientBytes(5, 3, channels))
            image.samples.push_back(colour == Tools::EPngColour::Palette ? sample % 4 : sample);
        if (colour == Tools::EPngColour::Palette) image.palette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        seeds.push_back({name, Tools::WritePng(image)});
    };
    add("grey.png", Tools::EPngColour::Grey, 1);
    add("rgb.png", Tools::EPngColour::RGB, 3);
    add("rgba.png", Tools::EPngColour::RGBA, 4);
    add("palette.png", Tools::EPngColour::Palette, 1);
    return seeds;
}
