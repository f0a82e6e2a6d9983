#pragma once
// Helpers shared by the image tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/TestFiles.h"
#include "graphics/BitmapIO.h"
#include "tools/ImageWriter.h"

namespace ImageTest {

using TestFiles::CLogCapture;
using Tools::CBytes;

constexpr uint32_t RGBA(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) {
    return r | g << 8 | b << 16 | a << 24;
}
inline uint32_t Red(uint32_t p) { return p & 0xFF; }
inline uint32_t Alpha(uint32_t p) { return p >> 24; }

// A record holding a recognisable image, to see whether a failure touched it.
inline CBitmapIO::CImageData Sentinel() {
    CBitmapIO::CImageData record;
    record.width = 1;
    record.height = 1;
    record.pixels = {0x12345678};
    return record;
}

// Decodes through the signature dispatch.
inline bool Decode(const CBytes& bytes, CBitmapIO::CImageData& record, bool alphaMode = false) {
    return CBitmapIO::Load(CBitmapIO::ByteSpan(bytes), record, alphaMode);
}

inline CBytes Prefix(const CBytes& bytes, size_t count) { return CBytes(bytes.begin(), bytes.begin() + count); }

// Every channel of every pixel within tolerance (for lossy decoding).
inline void ExpectNear(const std::vector<uint32_t>& actual, const std::vector<uint32_t>& expected, int tolerance) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        for (int k = 0; k < 32; k += 8)
            EXPECT_NEAR(int(actual[i] >> k & 0xFF), int(expected[i] >> k & 0xFF), tolerance) << "pixel " << i;
}

} // namespace ImageTest
