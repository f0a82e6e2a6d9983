// PNG reader through libpng. libpng reports errors by a long jump, so every
// library call runs in one function that holds no objects with destructors;
// the buffers live in a state object owned by the caller.

#include <png.h>

#include <array>
#include <csetjmp>
#include <cstdio>
#include <new>

#include "graphics/images/DecodeSupport.h"

namespace CBitmapIO {

namespace {

using namespace Detail;

struct CPngState {
    ByteSpan data;
    size_t position = 0;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_byte> buffer;
    std::vector<png_bytep> rows;
    std::array<uint32_t, 256> palette{};
    CLoadFailure* failure = nullptr; // the caller's, if it asked for the reason
};

void PngError(png_structp png, png_const_charp message) {
    if (CLoadFailure* failure = static_cast<CPngState*>(png_get_error_ptr(png))->failure) failure->Set(message);
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngReadData(png_structp png, png_bytep out, size_t length) {
    auto* state = static_cast<CPngState*>(png_get_io_ptr(png));
    if (length > state->data.size() - state->position) png_error(png, "read Error");
    std::memcpy(out, state->data.data() + state->position, length);
    state->position += length;
}

// Copies the palette into a 256-entry table; indexes past the palette give
// opaque black.
void ReadPalette(CPngState& s) {
    png_colorp colours = nullptr;
    int count = 0;
    s.palette.fill(PackRGBA(0, 0, 0, 255));
    if (png_get_PLTE(s.png, s.info, &colours, &count) != PNG_INFO_PLTE) return;
    for (int i = 0; i < count && i < 256; ++i)
        s.palette[i] = PackRGBA(colours[i].red, colours[i].green, colours[i].blue, 255);
}

// Converts the decoded rows (8-bit samples) into the record's pixels. In
// alpha mode a greyscale image only sets the alpha bytes.
bool ConvertRows(const CPngState& s, int colourType, bool alphaMode, CImageData& record) {
    uint32_t* out = record.pixels.data();
    for (int32_t y = 0; y < record.height; ++y) {
        const png_byte* in = s.rows[y];
        for (int32_t x = 0; x < record.width; ++x, ++out) {
            switch (colourType) {
            case PNG_COLOR_TYPE_GRAY:
                *out = alphaMode ? (*out & 0x00FFFFFF) | uint32_t(in[x]) << 24 : PackRGBA(in[x], in[x], in[x], 255);
                break;
            case PNG_COLOR_TYPE_RGB: *out = PackRGBA(in[3 * x], in[3 * x + 1], in[3 * x + 2], 255); break;
            case PNG_COLOR_TYPE_PALETTE: *out = s.palette[in[x]]; break;
            case PNG_COLOR_TYPE_GRAY_ALPHA: *out = PackRGBA(in[2 * x], in[2 * x], in[2 * x], in[2 * x + 1]); break;
            case PNG_COLOR_TYPE_RGB_ALPHA:
                *out = PackRGBA(in[4 * x], in[4 * x + 1], in[4 * x + 2], in[4 * x + 3]);
                break;
            default: return false;
            }
        }
    }
    return true;
}

// All libpng calls; false on any error. Local variables are not
// used across the jump, only the state object.
bool RunDecoder(CPngState* s, CImageData* record, bool alphaMode) {
    if (setjmp(png_jmpbuf(s->png))) return false;
    png_set_read_fn(s->png, s, PngReadData);
    png_read_info(s->png, s->info);

    const int colourType = png_get_color_type(s->png, s->info);
    const int bitDepth = png_get_bit_depth(s->png, s->info);
    if ((colourType == PNG_COLOR_TYPE_PALETTE && bitDepth < 8) || (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) ||
        png_get_valid(s->png, s->info, PNG_INFO_tRNS))
        png_set_expand(s->png);
    if (png_get_interlace_type(s->png, s->info) != PNG_INTERLACE_NONE) png_set_interlace_handling(s->png);
    if (bitDepth == 16) png_set_strip_16(s->png);
    png_read_update_info(s->png, s->info);

    const png_uint_32 width = png_get_image_width(s->png, s->info), height = png_get_image_height(s->png, s->info);
    if (png_get_bit_depth(s->png, s->info) != 8) png_error(s->png, "unsupported sample layout");
    const uint64_t pixels = CheckedPixelCount(width, height);
    if (alphaMode) {
        // An alpha image of another size leaves nothing to complete: the
        // record ends empty and the image is only read through.
        if (int64_t(width) != record->width || int64_t(height) != record->height ||
            record->pixels.size() != pixels)
            FreeImage(*record);
    } else {
        AllocateImage(*record, width, height);
    }
    const size_t rowBytes = png_get_rowbytes(s->png, s->info);
    if (uint64_t(rowBytes) * height > 4 * kMaxImageBytes) png_error(s->png, "image too large");
    s->buffer.resize(rowBytes * height);
    s->rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) s->rows[y] = s->buffer.data() + y * rowBytes;
    png_read_image(s->png, s->rows.data());
    png_read_end(s->png, nullptr);

    ReadPalette(*s);
    if (!ConvertRows(*s, png_get_color_type(s->png, s->info), alphaMode, *record))
        png_error(s->png, "unsupported colour type");
    return true;
}

} // namespace

bool LoadPNG(CImageData& record, ByteSpan data, bool alphaMode, CLoadFailure* failure) {
    CPngState state;
    state.data = data;
    state.failure = failure;
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, PngError, PngWarning);
    if (state.png) state.info = png_create_info_struct(state.png);
    bool ok = false;
    if (state.info)
        ok = CatchDecodeFailure(failure, [&] { return RunDecoder(&state, &record, alphaMode); });
    else if (failure)
        failure->Set("cannot create the decoder");
    png_destroy_read_struct(&state.png, state.info ? &state.info : nullptr, nullptr);
    if (!ok) FreeImage(record);
    return ok;
}

} // namespace CBitmapIO
