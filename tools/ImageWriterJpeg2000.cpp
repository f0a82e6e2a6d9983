// Lossless JPEG 2000 encoding through OpenJPEG 2 into memory.

#include <openjpeg.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "tools/ImageWriter.h"

namespace Tools {

namespace {

// The JP2 writer seeks back to fill in box lengths, so this stream writes at
// a position rather than appending.
struct COutput {
    CBytes bytes;
    size_t position = 0;
};

OPJ_SIZE_T Write(void* buffer, OPJ_SIZE_T count, void* user) {
    auto* out = static_cast<COutput*>(user);
    if (out->bytes.size() < out->position + count) out->bytes.resize(out->position + count);
    std::memcpy(out->bytes.data() + out->position, buffer, count);
    out->position += count;
    return count;
}

OPJ_OFF_T Skip(OPJ_OFF_T count, void* user) {
    auto* out = static_cast<COutput*>(user);
    const OPJ_OFF_T target = std::max<OPJ_OFF_T>(OPJ_OFF_T(out->position) + count, 0);
    if (out->bytes.size() < size_t(target)) out->bytes.resize(size_t(target));
    out->position = size_t(target);
    return count;
}

OPJ_BOOL Seek(OPJ_OFF_T offset, void* user) {
    auto* out = static_cast<COutput*>(user);
    if (offset < 0) return OPJ_FALSE;
    if (out->bytes.size() < size_t(offset)) out->bytes.resize(size_t(offset));
    out->position = size_t(offset);
    return OPJ_TRUE;
}

opj_image_t* MakeImage(const CJpeg2000Image& source) {
    std::vector<opj_image_cmptparm_t> parameters(source.components);
    for (opj_image_cmptparm_t& p : parameters) {
        std::memset(&p, 0, sizeof p);
        p.dx = p.dy = 1;
        p.w = source.width;
        p.h = source.height;
        p.prec = source.precision;
        p.sgnd = source.isSigned ? 1 : 0;
    }
    const OPJ_COLOR_SPACE space = source.components == 3 ? OPJ_CLRSPC_SRGB
                                  : source.components == 1 ? OPJ_CLRSPC_GRAY
                                                           : OPJ_CLRSPC_UNSPECIFIED;
    opj_image_t* image = opj_image_create(source.components, parameters.data(), space);
    if (!image) return nullptr;
    image->x0 = image->y0 = 0;
    image->x1 = source.width;
    image->y1 = source.height;
    const size_t pixels = size_t(source.width) * source.height;
    for (uint32_t c = 0; c < source.components; ++c)
        for (size_t i = 0; i < pixels; ++i) image->comps[c].data[i] = source.samples[i * source.components + c];
    return image;
}

} // namespace

CBytes WriteJpeg2000(const CJpeg2000Image& source) {
    if (source.components == 0 || source.width == 0 || source.height == 0 ||
        source.samples.size() < size_t(source.width) * source.height * source.components)
        return {};
    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.tcp_numlayers = 1;
    parameters.tcp_rates[0] = 0; // lossless
    parameters.cp_disto_alloc = 1;
    // Each resolution level halves the image; the smallest must keep a pixel.
    const uint32_t smaller = std::min(source.width, source.height);
    parameters.numresolution = int(std::min<uint32_t>(6, uint32_t(std::bit_width(smaller))));

    opj_image_t* image = MakeImage(source);
    opj_codec_t* codec = opj_create_compress(source.container == EJpeg2000Container::JP2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_stream_t* stream = opj_stream_create(64 * 1024, OPJ_FALSE);
    COutput output;
    bool ok = image && codec && stream;
    if (ok) {
        opj_stream_set_user_data(stream, &output, nullptr);
        opj_stream_set_write_function(stream, Write);
        opj_stream_set_skip_function(stream, Skip);
        opj_stream_set_seek_function(stream, Seek);
        ok = opj_setup_encoder(codec, &parameters, image) && opj_start_compress(codec, image, stream) &&
             opj_encode(codec, stream) && opj_end_compress(codec, stream);
    }
    if (stream) opj_stream_destroy(stream);
    if (codec) opj_destroy_codec(codec);
    if (image) opj_image_destroy(image);
    return ok ? output.bytes : CBytes{};
}

} // namespace Tools
