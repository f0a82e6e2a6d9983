// PNG encoding through libpng into memory.

#include <png.h>

#include <algorithm>
#include <csetjmp>

#include "tools/ImageWriter.h"

namespace Tools {

namespace {

void WriteData(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<CBytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void OnWarning(png_structp, png_const_charp) {}

int ChannelsOf(EPngColour colour) {
    switch (colour) {
    case EPngColour::RGB: return 3;
    case EPngColour::GreyAlpha: return 2;
    case EPngColour::RGBA: return 4;
    default: return 1;
    }
}

// Packs samples into PNG rows: sub-byte depths fill bytes from the most
// significant bit, 16-bit samples are big-endian.
std::vector<png_byte> PackRows(const CPngImage& image, size_t rowBytes) {
    std::vector<png_byte> rows(rowBytes * image.height, 0);
    const size_t perRow = size_t(image.width) * ChannelsOf(image.colour);
    for (size_t y = 0; y < image.height; ++y) {
        png_byte* row = rows.data() + y * rowBytes;
        for (size_t i = 0; i < perRow && y * perRow + i < image.samples.size(); ++i) {
            const uint16_t s = image.samples[y * perRow + i];
            if (image.bitDepth == 16) {
                row[2 * i] = png_byte(s >> 8);
                row[2 * i + 1] = png_byte(s);
            } else if (image.bitDepth == 8) {
                row[i] = png_byte(s);
            } else {
                const size_t bit = i * image.bitDepth;
                row[bit / 8] |= png_byte(s << (8 - image.bitDepth - bit % 8));
            }
        }
    }
    return rows;
}

void SetChunks(png_structp png, png_infop info, const CPngImage& image) {
    // Fixed arrays: a libpng error jumps over this frame.
    if (!image.palette.empty()) {
        png_color palette[256]{};
        const size_t count = std::min<size_t>(image.palette.size(), 256);
        for (size_t i = 0; i < count; ++i) palette[i] = {image.palette[i][0], image.palette[i][1], image.palette[i][2]};
        png_set_PLTE(png, info, palette, int(count));
    }
    if (image.transparency.empty()) return;
    if (image.colour == EPngColour::Palette) {
        png_byte alphas[256]{};
        const size_t count = std::min<size_t>(image.transparency.size(), 256);
        for (size_t i = 0; i < count; ++i) alphas[i] = png_byte(image.transparency[i]);
        png_set_tRNS(png, info, alphas, int(count), nullptr);
    } else {
        png_color_16 key{};
        key.gray = image.transparency[0];
        if (image.transparency.size() >= 3) {
            key.red = image.transparency[0];
            key.green = image.transparency[1];
            key.blue = image.transparency[2];
        }
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
}

void WriteHeader(png_structp png, png_infop info, const CPngImage& image) {
    png_set_IHDR(png, info, image.width, image.height, image.bitDepth, int(image.colour),
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    SetChunks(png, info, image);
    // Tests also write palette indexes past the palette.
    png_set_check_for_invalid_index(png, 0);
    png_write_info(png, info);
}

bool Encode(png_structp png, png_infop info, const CPngImage& image, std::vector<png_byte>* rows,
            std::vector<png_bytep>* pointers) {
    if (setjmp(png_jmpbuf(png))) return false;
    WriteHeader(png, info, image);
    const size_t rowBytes = png_get_rowbytes(png, info);
    *rows = PackRows(image, rowBytes);
    pointers->resize(image.height);
    for (size_t y = 0; y < image.height; ++y) (*pointers)[y] = rows->data() + y * rowBytes;
    png_write_image(png, pointers->data());
    png_write_end(png, nullptr);
    return true;
}

// Row by row: only one row is ever held.
bool EncodeRows(png_structp png, png_infop info, const CPngImage& image, const CRowSource* rows,
                std::vector<uint8_t>* row) {
    if (setjmp(png_jmpbuf(png))) return false;
    WriteHeader(png, info, image);
    row->resize(size_t(image.width) * size_t(ChannelsOf(image.colour)));
    for (uint32_t y = 0; y < image.height; ++y) {
        (*rows)(y, *row);
        png_write_row(png, row->data());
    }
    png_write_end(png, nullptr);
    return true;
}

// Runs an encoder over a fresh write struct into memory; empty on failure.
template <class Encoder>
CBytes EncodeToMemory(Encoder&& encode) {
    CBytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (info) {
        png_set_write_fn(png, &out, WriteData, Flush);
        ok = encode(png, info);
    }
    png_destroy_write_struct(&png, &info);
    return ok ? out : CBytes{};
}

} // namespace

CBytes WritePng(const CPngImage& image) {
    std::vector<png_byte> rows;
    std::vector<png_bytep> pointers;
    return EncodeToMemory([&](png_structp png, png_infop info) { return Encode(png, info, image, &rows, &pointers); });
}

CBytes WritePngRows(const CPngImage& image, const CRowSource& rows) {
    CPngImage header = image;
    header.bitDepth = 8;
    header.interlaced = false;
    header.transparency.clear();
    std::vector<uint8_t> row;
    return EncodeToMemory([&](png_structp png, png_infop info) { return EncodeRows(png, info, header, &rows, &row); });
}

} // namespace Tools
