// JPEG reader through libjpeg. Fatal library errors jump back to the one
// function that makes the library calls; it keeps everything it needs after
// the jump in a state object owned by the caller.

#include <cstdio> // jpeglib.h needs FILE
#include <jpeglib.h>
#include <jerror.h>

#include <array>
#include <csetjmp>
#include <new>

#include "graphics/images/DecodeSupport.h"

namespace CBitmapIO {

namespace {

using namespace Detail;

struct CJpegState {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    jpeg_source_mgr source{};
    std::jmp_buf jump{};
    ByteSpan data;
    bool dataGiven = false;
    std::array<JOCTET, 2> endOfImage{0xFF, JPEG_EOI};
    CLoadFailure* failure = nullptr; // the caller's, if it asked for the reason
};

CJpegState& StateOf(j_common_ptr cinfo) { return *static_cast<CJpegState*>(cinfo->client_data); }
CJpegState& StateOf(j_decompress_ptr cinfo) { return *static_cast<CJpegState*>(cinfo->client_data); }

void JpegErrorExit(j_common_ptr cinfo) {
    CJpegState& state = StateOf(cinfo);
    if (state.failure) {
        std::array<char, JMSG_LENGTH_MAX> message{};
        (*cinfo->err->format_message)(cinfo, message.data());
        state.failure->Set(message.data());
    }
    std::longjmp(state.jump, 1);
}

// Warnings (corrupt or truncated data) are not fatal and not printed.
void JpegOutputMessage(j_common_ptr) {}

void JpegInitSource(j_decompress_ptr cinfo) { StateOf(cinfo).dataGiven = false; }

// The whole input is one buffer. Past its end the data is either empty (an
// error) or truncated: then a warning and an end-of-image marker let the
// library finish the image with what it has.
boolean JpegFillInputBuffer(j_decompress_ptr cinfo) {
    CJpegState& state = StateOf(cinfo);
    if (!state.dataGiven && !state.data.empty()) {
        state.source.next_input_byte = state.data.data();
        state.source.bytes_in_buffer = state.data.size();
    } else {
        if (!state.dataGiven) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        state.source.next_input_byte = state.endOfImage.data();
        state.source.bytes_in_buffer = state.endOfImage.size();
    }
    state.dataGiven = true;
    return TRUE;
}

void JpegSkipInputData(j_decompress_ptr cinfo, long count) {
    jpeg_source_mgr& source = StateOf(cinfo).source;
    if (count <= 0) return;
    while (size_t(count) > source.bytes_in_buffer) {
        count -= long(source.bytes_in_buffer);
        JpegFillInputBuffer(cinfo);
    }
    source.next_input_byte += count;
    source.bytes_in_buffer -= size_t(count);
}

void JpegTermSource(j_decompress_ptr) {}

void SetJpegSource(CJpegState& state) {
    state.source.init_source = JpegInitSource;
    state.source.fill_input_buffer = JpegFillInputBuffer;
    state.source.skip_input_data = JpegSkipInputData;
    state.source.resync_to_restart = jpeg_resync_to_restart;
    state.source.term_source = JpegTermSource;
    state.cinfo.src = &state.source;
}

[[noreturn]] void Fail(CJpegState* s, const char* reason) {
    if (s->failure) s->failure->Set(reason);
    std::longjmp(s->jump, 1);
}

void ConvertRow(const JSAMPLE* in, int components, bool alphaMode, uint32_t* out, int32_t width) {
    for (int32_t x = 0; x < width; ++x) {
        const uint32_t first = in[x * components];
        if (alphaMode) out[x] = (out[x] & 0x00FFFFFF) | first << 24;
        else if (components == 1) out[x] = PackRGBA(first, first, first, 255);
        else out[x] = PackRGBA(first, in[x * 3 + 1], in[x * 3 + 2], 255);
    }
}

// All libjpeg calls; false on any error.
bool RunDecoder(CJpegState* s, CImageData* record, bool alphaMode) {
    if (setjmp(s->jump)) return false;
    jpeg_create_decompress(&s->cinfo);
    // Large images need no more than their pixels; beyond that the library
    // would want a backing store, which fails cleanly.
    s->cinfo.mem->max_memory_to_use = long(2 * kMaxImageBytes);
    SetJpegSource(*s);
    jpeg_read_header(&s->cinfo, TRUE);
    if (uint64_t(s->cinfo.image_width) * s->cinfo.image_height * 4 > kMaxImageBytes) Fail(s, "image too large");
    jpeg_start_decompress(&s->cinfo);

    const int components = s->cinfo.output_components;
    const int64_t width = s->cinfo.output_width, height = s->cinfo.output_height;
    if (components != 1 && components != 3) Fail(s, "unsupported number of components");
    if (alphaMode) {
        if (width != record->width || height != record->height ||
            record->pixels.size() != size_t(width) * size_t(height))
            Fail(s, "alpha image size differs from the image");
    } else {
        AllocateImage(*record, width, height);
    }
    JSAMPARRAY row = (*s->cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&s->cinfo), JPOOL_IMAGE,
                                                    JDIMENSION(width * components), 1);
    while (s->cinfo.output_scanline < s->cinfo.output_height) {
        const size_t y = s->cinfo.output_scanline;
        if (jpeg_read_scanlines(&s->cinfo, row, 1) != 1) Fail(s, "no scanline decoded");
        ConvertRow(row[0], components, alphaMode, record->pixels.data() + y * size_t(width), int32_t(width));
    }
    jpeg_finish_decompress(&s->cinfo);
    return true;
}

} // namespace

bool LoadJPEG(CImageData& record, ByteSpan data, bool alphaMode, CLoadFailure* failure) {
    CJpegState state;
    state.data = data;
    state.failure = failure;
    state.cinfo.err = jpeg_std_error(&state.errors);
    state.errors.error_exit = JpegErrorExit;
    state.errors.output_message = JpegOutputMessage;
    state.cinfo.client_data = &state;
    const bool ok = CatchDecodeFailure(failure, [&] { return RunDecoder(&state, &record, alphaMode); });
    jpeg_destroy_decompress(&state.cinfo);
    if (!ok) FreeImage(record);
    return ok;
}

} // namespace CBitmapIO
