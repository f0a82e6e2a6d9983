// JPEG 2000 reader through OpenJPEG 2: a JP2 file or a raw J2K codestream,
// fed to the library by stream callbacks over the bytes in memory.

#include <openjpeg.h>

#include <algorithm>

#include "graphics/images/DecodeSupport.h"

namespace CBitmapIO {

namespace {

using namespace Detail;

struct CMemoryStream {
    ByteSpan data;
    size_t position = 0;
};

OPJ_SIZE_T StreamRead(void* buffer, OPJ_SIZE_T count, void* user) {
    auto* s = static_cast<CMemoryStream*>(user);
    const size_t left = s->data.size() - s->position;
    if (left == 0) return OPJ_SIZE_T(-1);
    count = std::min(count, left);
    std::memcpy(buffer, s->data.data() + s->position, count);
    s->position += count;
    return count;
}

OPJ_OFF_T StreamSkip(OPJ_OFF_T count, void* user) {
    auto* s = static_cast<CMemoryStream*>(user);
    const OPJ_OFF_T target = std::clamp<OPJ_OFF_T>(OPJ_OFF_T(s->position) + count, 0, OPJ_OFF_T(s->data.size()));
    const OPJ_OFF_T moved = target - OPJ_OFF_T(s->position);
    s->position = size_t(target);
    return moved;
}

OPJ_BOOL StreamSeek(OPJ_OFF_T offset, void* user) {
    auto* s = static_cast<CMemoryStream*>(user);
    if (offset < 0 || uint64_t(offset) > s->data.size()) return OPJ_FALSE;
    s->position = size_t(offset);
    return OPJ_TRUE;
}

void Ignore(const char*, void*) {}

// Owns the library objects of one decode.
struct CJ2kDecode {
    opj_codec_t* codec = nullptr;
    opj_stream_t* stream = nullptr;
    opj_image_t* image = nullptr;

    ~CJ2kDecode() {
        if (image) opj_image_destroy(image);
        if (stream) opj_stream_destroy(stream);
        if (codec) opj_destroy_codec(codec);
    }
};

bool IsJp2(ByteSpan data) {
    return data.size() >= 8 && data[4] == 'j' && data[5] == 'P' && data[6] == ' ' && data[7] == ' ';
}

// Reads sample (x, y) of the reference grid from a component as an 8-bit
// value: signed samples are offset to unsigned and precisions above 8 bits
// are shifted down. Subsampled components are read at (x / dx, y / dy).
class CComponentReader {
public:
    explicit CComponentReader(const opj_image_comp_t& c) : m_c(c) {
        if (c.prec < 1 || c.prec > 31) throw CDecodeError{"unsupported sample precision"};
        if (!c.data || c.w == 0 || c.h == 0 || c.dx == 0 || c.dy == 0) throw CDecodeError{"component without data"};
        m_offset = c.sgnd ? int64_t(1) << (c.prec - 1) : 0;
        m_shift = c.prec > 8 ? c.prec - 8 : 0;
    }

    uint32_t At(uint32_t x, uint32_t y) const {
        const int64_t cx = std::clamp<int64_t>(int64_t(x / m_c.dx) - m_c.x0, 0, m_c.w - 1);
        const int64_t cy = std::clamp<int64_t>(int64_t(y / m_c.dy) - m_c.y0, 0, m_c.h - 1);
        const int64_t v = (int64_t(m_c.data[cy * m_c.w + cx]) + m_offset) >> m_shift;
        return uint32_t(std::clamp<int64_t>(v, 0, 255));
    }

private:
    const opj_image_comp_t& m_c;
    int64_t m_offset = 0;
    uint32_t m_shift = 0;
};

// The library keeps every sample as a 32-bit value, for the whole image and
// again for the tile it decodes: both must fit in the pixel cap, judged from
// the header before anything is decoded (a header of a few bytes can declare
// gigabytes).
void CheckDeclaredSize(opj_codec_t* codec, const opj_image_t& image) {
    CheckedPixelCount(image.x1, image.y1);
    uint64_t samples = 0;
    for (uint32_t i = 0; i < image.numcomps; ++i) samples += uint64_t(image.comps[i].w) * image.comps[i].h;
    if (samples * 4 > kMaxImageBytes) throw CDecodeError{"image too large"};
    opj_codestream_info_v2_t* info = opj_get_cstr_info(codec);
    if (!info) throw CDecodeError{"no codestream information"};
    const uint64_t tileWidth = std::min<uint64_t>(info->tdx, image.x1 - image.x0);
    const uint64_t tileHeight = std::min<uint64_t>(info->tdy, image.y1 - image.y0);
    opj_destroy_cstr_info(&info);
    if (tileWidth * tileHeight * image.numcomps * 4 > kMaxImageBytes) throw CDecodeError{"tile too large"};
}

// Three components are red, green and blue; any other count shows the
// first as grey. The area left of or above the image origin is black.
void ConvertImage(const opj_image_t& image, CImageData& record) {
    const uint32_t components = image.numcomps == 3 ? 3 : 1;
    std::vector<CComponentReader> readers;
    readers.reserve(components);
    for (uint32_t i = 0; i < components; ++i) readers.emplace_back(image.comps[i]);
    AllocateImage(record, image.x1, image.y1);
    uint32_t* out = record.pixels.data();
    for (uint32_t y = 0; y < image.y1; ++y) {
        for (uint32_t x = 0; x < image.x1; ++x, ++out) {
            if (x < image.x0 || y < image.y0) {
                *out = PackRGBA(0, 0, 0, 255);
                continue;
            }
            const uint32_t r = readers[0].At(x, y);
            *out = components == 3 ? PackRGBA(r, readers[1].At(x, y), readers[2].At(x, y), 255) : PackRGBA(r, r, r, 255);
        }
    }
}

void Decode(CJ2kDecode& d, CMemoryStream& source, CImageData& record) {
    d.codec = opj_create_decompress(IsJp2(source.data) ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    if (!d.codec) throw CDecodeError{"cannot create the decoder"};
    opj_set_error_handler(d.codec, Ignore, nullptr);
    opj_set_warning_handler(d.codec, Ignore, nullptr);
    opj_set_info_handler(d.codec, Ignore, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    // Strict mode makes a truncated codestream an error instead of a
    // partly decoded image.
    if (!opj_setup_decoder(d.codec, &parameters) || !opj_decoder_set_strict_mode(d.codec, OPJ_TRUE))
        throw CDecodeError{"cannot set up the decoder"};

    d.stream = opj_stream_create(64 * 1024, OPJ_TRUE);
    if (!d.stream) throw CDecodeError{"cannot create the stream"};
    opj_stream_set_user_data(d.stream, &source, nullptr);
    opj_stream_set_user_data_length(d.stream, source.data.size());
    opj_stream_set_read_function(d.stream, StreamRead);
    opj_stream_set_skip_function(d.stream, StreamSkip);
    opj_stream_set_seek_function(d.stream, StreamSeek);

    if (!opj_read_header(d.stream, d.codec, &d.image) || !d.image) throw CDecodeError{"bad header"};
    if (d.image->numcomps == 0) throw CDecodeError{"no components"};
    CheckDeclaredSize(d.codec, *d.image);
    if (!opj_decode(d.codec, d.stream, d.image) || !opj_end_decompress(d.codec, d.stream))
        throw CDecodeError{"bad image data"};
    ConvertImage(*d.image, record);
}

} // namespace

bool LoadJPEG2000(CImageData& record, ByteSpan data) {
    CMemoryStream source{data};
    CJ2kDecode decode;
    return RunGuarded(record, [&](auto start) {
        start();
        Decode(decode, source, record);
    });
}

} // namespace CBitmapIO
