// PSD, DDS and TGA serialisation.

#include "tools/ImageWriter.h"

#include <algorithm>

namespace Tools {

namespace {

void PutBE16(CBytes& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}
void PutBE32(CBytes& out, uint32_t v) {
    PutBE16(out, v >> 16);
    PutBE16(out, v);
}
void PutLE16(CBytes& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void PutLE32(CBytes& out, uint32_t v) {
    PutLE16(out, v);
    PutLE16(out, v >> 16);
}
void Append(CBytes& out, const CBytes& data) { out.insert(out.end(), data.begin(), data.end()); }

void PutSample(CBytes& out, uint16_t sample, int bytes) {
    if (bytes == 2) PutBE16(out, sample);
    else out.push_back(uint8_t(sample));
}

// PackBits over samples: a header 257 - n repeats the next sample n times
// (2-128), a header n - 1 precedes n literal samples (1-128).
CBytes PackBits(const uint16_t* samples, size_t count, int bytes) {
    CBytes out;
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < 128 && samples[i + run] == samples[i]) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(257 - run));
            PutSample(out, samples[i], bytes);
            i += run;
            continue;
        }
        size_t literal = 1;
        while (i + literal < count && literal < 128 &&
               !(i + literal + 1 < count && samples[i + literal] == samples[i + literal + 1]))
            ++literal;
        out.push_back(uint8_t(literal - 1));
        for (size_t k = 0; k < literal; ++k) PutSample(out, samples[i + k], bytes);
        i += literal;
    }
    return out;
}

} // namespace

CBytes WritePsd(const CPsdImage& image) {
    CBytes out{'8', 'B', 'P', 'S'};
    PutBE16(out, image.version);
    out.insert(out.end(), 6, 0);
    PutBE16(out, image.channels);
    PutBE32(out, image.height);
    PutBE32(out, image.width);
    PutBE16(out, image.depth);
    PutBE16(out, image.mode);
    for (const CBytes* section : {&image.colourModeData, &image.imageResources, &image.layerInfo}) {
        PutBE32(out, uint32_t(section->size()));
        Append(out, *section);
    }
    PutBE16(out, image.compressed ? 1 : 0);
    const int bytes = image.depth == 16 ? 2 : 1;
    if (!image.compressed) {
        for (uint16_t s : image.samples) PutSample(out, s, bytes);
        return out;
    }
    // One PackBits stream per row, preceded by every row's byte count.
    const size_t rowLength = image.width;
    const size_t rows = rowLength ? image.samples.size() / rowLength : 0;
    std::vector<CBytes> packed;
    for (size_t r = 0; r < rows; ++r) packed.push_back(PackBits(image.samples.data() + r * rowLength, rowLength, bytes));
    for (const CBytes& row : packed) PutBE16(out, uint32_t(row.size()));
    for (const CBytes& row : packed) Append(out, row);
    return out;
}

CBytes WriteDds(const CDdsImage& image) {
    CBytes out{'D', 'D', 'S', ' '};
    for (uint32_t v : {image.headerSize, image.flags, image.height, image.width, image.pitchOrLinearSize, image.depth,
                       image.mipMapCount})
        PutLE32(out, v);
    out.insert(out.end(), 44, 0);
    for (uint32_t v : {image.pixelFormatSize, image.pixelFlags, image.fourCC, image.bitsPerPixel})
        PutLE32(out, v);
    for (uint32_t mask : image.masks) PutLE32(out, mask);
    PutLE32(out, image.caps);
    PutLE32(out, image.caps2);
    out.insert(out.end(), 12, 0);
    Append(out, image.data);
    return out;
}

CBytes WriteTga(const CTgaImage& image) {
    CBytes out;
    out.push_back(uint8_t(image.id.size()));
    out.push_back(image.mapType);
    out.push_back(image.imageType);
    PutLE16(out, image.mapFirst);
    PutLE16(out, image.mapLength);
    out.push_back(image.mapEntryBits);
    PutLE32(out, 0); // origin
    PutLE16(out, uint16_t(image.width));
    PutLE16(out, uint16_t(image.height));
    out.push_back(image.depth);
    out.push_back(image.descriptor);
    Append(out, image.id);
    Append(out, image.colourMap);
    Append(out, image.pixelData);
    return out;
}

CBytes EncodeTgaRle(const CBytes& pixels, int bytesPerPixel) {
    const size_t size = size_t(bytesPerPixel);
    const size_t count = size ? pixels.size() / size : 0;
    auto same = [&](size_t a, size_t b) { return std::equal(&pixels[a * size], &pixels[a * size] + size, &pixels[b * size]); };
    CBytes out;
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run)) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(127 + run));
            out.insert(out.end(), &pixels[i * size], &pixels[i * size] + size);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1))) ++raw;
        out.push_back(uint8_t(raw - 1));
        out.insert(out.end(), pixels.data() + i * size, pixels.data() + (i + raw) * size);
        i += raw;
    }
    return out;
}

} // namespace Tools
