#pragma once
// Shared body of the image decoder fuzz targets: any bytes either fail or
// give a record whose pixel count matches its size.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/Log.h"
#include "graphics/BitmapIO.h"

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

} // namespace FuzzImage
