#pragma once
// Shared body of the image decoder fuzz targets: any bytes either fail or
// give a record whose pixel count matches its size.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/Log.h"
#include "graphics/BitmapIO.h"
#include <string>
#include <vector>
#include "FuzzTarget.h"

namespace FuzzImage {

inline void CheckRecord(const CBitmapIO::CImageData& record) {
    if (record.pixels.size() != size_t(record.width) * size_t(record.height)) std::abort();
}

// Runs the decoder on a fresh record, then (for the decoders with an alpha
// mode) again over a small image of its own.
template <class Decode>
int Run(const uint8_t* data, size_t size, Decode decode) {
    GetLog().SetEnabled(false);
    const CBitmapIO::ByteSpan bytes(data, size);
    CBitmapIO::CImageData record;
    if (decode(record, bytes, false)) CheckRecord(record);
    CBitmapIO::CImageData alpha;
    alpha.width = 4;
    alpha.height = 4;
    alpha.pixels.assign(16, 0);
    if (decode(alpha, bytes, true)) CheckRecord(alpha);
    return 0;
}

// Samples of a small gradient image, for the seeds.
inline std::vector<uint8_t> GradientBytes(uint32_t width, uint32_t height, uint32_t channels) {
    std::vector<uint8_t> samples;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            for (uint32_t c = 0; c < channels; ++c) samples.push_back(uint8_t(x * 40 + y * 20 + c * 60));
    return samples;
}

} // namespace FuzzImage


