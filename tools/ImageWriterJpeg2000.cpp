// Lossless JPEG 2000 encoding through OpenJPEG 2 into memory.

#include <openjpeg.h>

#include <algorithm>
#include <cstddef>
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

opj_cparameters_t LosslessParameters(uint32_t width, uint32_t height) {
    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.tcp_numlayers = 1;
    parameters.tcp_rates[0] = 0; // lossless
    parameters.cp_disto_alloc = 1;
    // Each resolution level halves the image; the smallest must keep a pixel.
    const uint32_t smaller = std::min(width, height);
    parameters.numresolution = int(std::min<uint32_t>(6, uint32_t(std::bit_width(smaller))));
    return parameters;
}

// Runs the encoding steps over a codec and a stream into memory; empty on
// failure. The image is the caller's.
template <class Steps>
CBytes EncodeToMemory(EJpeg2000Container container, opj_cparameters_t& parameters, opj_image_t* image,
                      Steps&& steps) {
    opj_codec_t* codec = opj_create_compress(container == EJpeg2000Container::JP2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_stream_t* stream = opj_stream_create(64 * 1024, OPJ_FALSE);
    COutput output;
    bool ok = image && codec && stream;
    if (ok) {
        opj_stream_set_user_data(stream, &output, nullptr);
        opj_stream_set_write_function(stream, Write);
        opj_stream_set_skip_function(stream, Skip);
        opj_stream_set_seek_function(stream, Seek);
        ok = opj_setup_encoder(codec, &parameters, image) && opj_start_compress(codec, image, stream) &&
             steps(codec, stream) && opj_end_compress(codec, stream);
    }
    if (stream) opj_stream_destroy(stream);
    if (codec) opj_destroy_codec(codec);
    return ok ? output.bytes : CBytes{};
}

} // namespace

CBytes WriteJpeg2000(const CJpeg2000Image& source) {
    if (source.components == 0 || source.width == 0 || source.height == 0 ||
        source.samples.size() < size_t(source.width) * source.height * source.components)
        return {};
    opj_cparameters_t parameters = LosslessParameters(source.width, source.height);
    opj_image_t* image = MakeImage(source);
    CBytes bytes = EncodeToMemory(source.container, parameters, image,
                                  [](opj_codec_t* codec, opj_stream_t* stream) { return opj_encode(codec, stream); });
    if (image) opj_image_destroy(image);
    return bytes;
}

CBytes WritePlainJpeg2000(uint32_t width, uint32_t height, std::array<uint8_t, 3> colour) {
    constexpr uint32_t kTile = 1024;
    if (width == 0 || height == 0) return {};
    opj_cparameters_t parameters = LosslessParameters(std::min(width, kTile), std::min(height, kTile));
    parameters.tile_size_on = OPJ_TRUE;
    parameters.cp_tx0 = parameters.cp_ty0 = 0;
    parameters.cp_tdx = parameters.cp_tdy = int(kTile);
    std::array<opj_image_cmptparm_t, 3> components{};
    for (opj_image_cmptparm_t& p : components) {
        p.dx = p.dy = 1;
        p.w = width;
        p.h = height;
        p.prec = 8;
    }
    // The image holds no samples: each tile's are handed over as it is written.
    opj_image_t* image = opj_image_tile_create(3, components.data(), OPJ_CLRSPC_SRGB);
    if (image) {
        image->x1 = width;
        image->y1 = height;
    }
    const uint32_t across = (width + kTile - 1) / kTile, down = (height + kTile - 1) / kTile;
    std::vector<OPJ_BYTE> tile;
    CBytes bytes = EncodeToMemory(
        EJpeg2000Container::JP2, parameters, image, [&](opj_codec_t* codec, opj_stream_t* stream) {
            for (uint32_t index = 0; index < across * down; ++index) {
                const uint32_t x = index % across * kTile, y = index / across * kTile;
                const size_t plane = size_t(std::min(kTile, width - x)) * std::min(kTile, height - y);
                // Planar: all of red, then green, then blue.
                tile.resize(3 * plane);
                for (size_t c = 0; c < 3; ++c) std::fill_n(tile.begin() + std::ptrdiff_t(c * plane), plane, colour[c]);
                if (!opj_write_tile(codec, index, tile.data(), OPJ_UINT32(tile.size()), stream)) return false;
            }
            return true;
        });
    if (image) opj_image_destroy(image);
    return bytes;
}

} // namespace Tools
