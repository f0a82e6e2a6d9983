#include "tools/GlowPictures.h"

#include <algorithm>
#include <cstddef>
#include <cmath>

#include "tools/ImageWriter.h"
#include "tools/NamedCase.h"
#include "tools/ScenePictures.h"

namespace Tools {
namespace {

// The refused pictures are never shown, so they are one plain grey: the
// encoders make little of them however large.
constexpr uint8_t kPlainGrey = 200;

CBytes StretchedGlowPng(uint32_t width, uint32_t height) {
    const CPngImage header{width, height, EPngColour::RGBA, 8, false, {}, {}, {}};
    return WritePngRows(header, [width, height](uint32_t y, std::vector<uint8_t>& row) {
        const double dy = (y + 0.5) / (height / 2.0) - 1.0;
        for (uint32_t x = 0; x < width; ++x) {
            const double dx = (x + 0.5) / (width / 2.0) - 1.0;
            const long alpha = std::lround(GlowAlpha(dx, dy) * 255.0);
            std::fill_n(row.begin() + std::ptrdiff_t(4 * x), 3, uint8_t(255));
            row[4 * x + 3] = uint8_t(std::clamp(alpha, 0L, 255L));
        }
    });
}

void PlainRow(uint32_t, std::vector<uint8_t>& row) { std::fill(row.begin(), row.end(), kPlainGrey); }

} // namespace

const char* GlowPictureName(EGlowPicture picture) {
    switch (picture) {
    case EGlowPicture::Png32768x2048: return "GlowPicture32768x2048";
    case EGlowPicture::Png16384: return "GlowPicture16384Png";
    case EGlowPicture::Jpeg16384: return "GlowPicture16384Jpeg";
    case EGlowPicture::Jp2_8192: return "GlowPicture8192Jp2";
    }
    return "";
}

bool FindGlowPicture(const std::string& name, EGlowPicture& picture) {
    return FindNamedCase(name, kGlowPictures, &GlowPictureName, picture);
}

std::vector<uint8_t> WriteGlowPicture(EGlowPicture picture) {
    switch (picture) {
    case EGlowPicture::Png32768x2048: return StretchedGlowPng(32768, 2048);
    case EGlowPicture::Png16384:
        return WritePngRows({16384, 16384, EPngColour::Grey, 8, false, {}, {}, {}}, PlainRow);
    case EGlowPicture::Jpeg16384: {
        CJpegImage header;
        header.width = header.height = 16384;
        header.components = 1;
        header.quality = 90;
        return WriteJpegRows(header, PlainRow);
    }
    case EGlowPicture::Jp2_8192: return WritePlainJpeg2000(8192, 8192, {kPlainGrey, kPlainGrey, kPlainGrey});
    }
    return {};
}

std::vector<uint8_t> WriteGlowPictureEffects(EGlowPicture picture) {
    return WriteSceneEffects(std::vector<CVexaEmitter>{SparkleEmitter()}, WriteGlowPicture(picture));
}

} // namespace Tools
