// JPEG 2000 reader through OpenJPEG 2: a JP2 file, fed to the library by
// stream callbacks over the bytes in memory.

#include <openjpeg.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "graphics/images/DecodeSupport.h"

namespace CBitmapIO {

namespace {

using namespace Detail;

// Once it has read a header the library holds about 10 KB for every tile
// and a little more for every component of it: 4096 tile components keep
// that near 40 MB, far below the pixel cap, while an image at the cap still
// loads in tiles of 256 x 256 with up to four components.
constexpr uint64_t kMaxJ2kTileComponents = 4096;

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

// What a codestream's size marker declares: the image area on the
// reference grid, the tiling and each component's subsampling.
struct CGeometry {
    uint32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    uint32_t tileX0 = 0, tileY0 = 0, tileWidth = 0, tileHeight = 0;
    std::vector<std::pair<uint32_t, uint32_t>> subsampling;  // (dx, dy) per component
};

uint64_t CeilDiv(uint64_t a, uint64_t b) { return (a + b - 1) / b; }

// The library keeps every sample as a 32-bit value, for the whole image and
// again for the tile it decodes: both must fit in the pixel cap. It also
// keeps a record for every tile and component as soon as it reads the
// header, so their count is bounded too. A header of a few bytes can
// declare gigabytes of either.
void CheckGeometry(const CGeometry& g) {
    if (g.subsampling.empty()) throw CDecodeError{"no components"};
    if (g.x1 <= g.x0 || g.y1 <= g.y0 || g.tileWidth == 0 || g.tileHeight == 0 || g.tileX0 > g.x0 ||
        g.tileY0 > g.y0 || uint64_t(g.tileX0) + g.tileWidth <= g.x0 || uint64_t(g.tileY0) + g.tileHeight <= g.y0)
        throw CDecodeError{"bad image or tile area"};
    CheckedPixelCount(g.x1, g.y1);
    const uint64_t components = g.subsampling.size();
    const uint64_t tiles = CeilDiv(g.x1 - g.tileX0, g.tileWidth) * CeilDiv(g.y1 - g.tileY0, g.tileHeight);
    if (tiles * components > kMaxJ2kTileComponents) throw CDecodeError{"too many tiles"};
    uint64_t samples = 0;
    for (const auto& [dx, dy] : g.subsampling) {
        if (dx == 0 || dy == 0) throw CDecodeError{"bad subsampling"};
        samples += (CeilDiv(g.x1, dx) - CeilDiv(g.x0, dx)) * (CeilDiv(g.y1, dy) - CeilDiv(g.y0, dy));
    }
    if (samples * 4 > kMaxImageBytes) throw CDecodeError{"image too large"};
    const uint64_t tileWidth = std::min<uint64_t>(g.tileWidth, g.x1 - g.x0);
    const uint64_t tileHeight = std::min<uint64_t>(g.tileHeight, g.y1 - g.y0);
    if (tileWidth * tileHeight * components * 4 > kMaxImageBytes) throw CDecodeError{"tile too large"};
}

// The codestream of a JP2 file is the body of its first top-level
// contiguous codestream box.
ByteSpan FindCodestream(ByteSpan data) {
    constexpr uint32_t kCodestreamBox = 0x6A703263;  // "jp2c"
    CByteReader reader(data);
    while (reader.Remaining() > 0) {
        const size_t start = reader.Position();
        uint64_t length = reader.U32BE();
        const uint32_t type = reader.U32BE();
        if (length == 1) {
            const uint64_t high = reader.U32BE();
            length = high << 32 | reader.U32BE();
        } else if (length == 0) {
            length = data.size() - start;
        }
        const size_t header = reader.Position() - start;
        if (length < header || length > data.size() - start) throw CDecodeError{"bad box length"};
        const ByteSpan body = reader.Take(length - header);
        if (type == kCodestreamBox) return body;
    }
    throw CDecodeError{"no codestream box"};
}

// The size marker (SIZ), which must follow the start of the codestream.
CGeometry ReadSizeMarker(ByteSpan codestream) {
    CByteReader reader(codestream);
    if (reader.U16BE() != 0xFF4F || reader.U16BE() != 0xFF51) throw CDecodeError{"no size marker"};
    const uint16_t length = reader.U16BE();
    reader.Skip(2);  // capabilities
    CGeometry g;
    g.x1 = reader.U32BE();
    g.y1 = reader.U32BE();
    g.x0 = reader.U32BE();
    g.y0 = reader.U32BE();
    g.tileWidth = reader.U32BE();
    g.tileHeight = reader.U32BE();
    g.tileX0 = reader.U32BE();
    g.tileY0 = reader.U32BE();
    const uint16_t components = reader.U16BE();
    if (length != 38 + 3 * uint32_t(components)) throw CDecodeError{"bad size marker length"};
    for (uint16_t i = 0; i < components; ++i) {
        reader.Skip(1);  // precision and sign
        const uint8_t dx = reader.U8();
        g.subsampling.emplace_back(dx, reader.U8());
    }
    return g;
}

// The same values as the library read them.
CGeometry LibraryGeometry(opj_codec_t* codec, const opj_image_t& image) {
    opj_codestream_info_v2_t* info = opj_get_cstr_info(codec);
    if (!info) throw CDecodeError{"no codestream information"};
    CGeometry g{image.x0, image.y0, image.x1, image.y1, info->tx0, info->ty0, info->tdx, info->tdy, {}};
    opj_destroy_cstr_info(&info);
    for (uint32_t i = 0; i < image.numcomps; ++i) g.subsampling.emplace_back(image.comps[i].dx, image.comps[i].dy);
    return g;
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
    if (!IsJp2(source.data)) throw CDecodeError{"not a JP2 file"};
    // Checked before the library sees the header: it allocates for what the
    // header declares as it reads it.
    CheckGeometry(ReadSizeMarker(FindCodestream(source.data)));
    d.codec = opj_create_decompress(OPJ_CODEC_JP2);
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
    CheckGeometry(LibraryGeometry(d.codec, *d.image));
    if (!opj_decode(d.codec, d.stream, d.image) || !opj_end_decompress(d.codec, d.stream))
        throw CDecodeError{"bad image data"};
    ConvertImage(*d.image, record);
}

} // namespace

bool LoadJPEG2000(CImageData& record, ByteSpan data, CLoadFailure* failure) {
    CMemoryStream source{data};
    CJ2kDecode decode;
    return RunGuarded(record, failure, [&](auto start) {
        start();
        Decode(decode, source, record);
    });
}

} // namespace CBitmapIO
