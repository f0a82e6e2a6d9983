#pragma once
// Shared pieces of the image decoders: a bounds-checked reader over the
// encoded bytes, pixel packing and guarded allocation. Decoders report a
// failure by their result, and its reason to a caller that asks; the caller
// says what failed to load.

#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

#include "graphics/BitmapIO.h"

namespace CBitmapIO::Detail {

static_assert(std::endian::native == std::endian::little,
              "pixel words are built as little-endian values");

// Thrown inside a decoder to abandon the image; caught by the decoder itself,
// which hands the reason to the caller that asked for it.
struct CDecodeError {
    const char* reason;
};

constexpr uint32_t PackRGBA(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16 | (a & 0xFF) << 24;
}

// Every read checks the bytes that remain and throws on a short read.
class CByteReader {
public:
    explicit CByteReader(ByteSpan data) : m_data(data) {}

    size_t Position() const { return m_pos; }
    size_t Remaining() const { return m_data.size() - m_pos; }

    uint8_t U8() { return *Take(1).data(); }
    uint16_t U16LE() { auto b = Take(2); return uint16_t(b[0] | b[1] << 8); }
    uint16_t U16BE() { auto b = Take(2); return uint16_t(b[0] << 8 | b[1]); }
    uint32_t U32LE() { auto b = Take(4); return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24; }
    uint32_t U32BE() { auto b = Take(4); return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]); }

    ByteSpan Take(uint64_t count) {
        if (count > Remaining()) throw CDecodeError{"unexpected end of data"};
        ByteSpan part = m_data.subspan(m_pos, size_t(count));
        m_pos += size_t(count);
        return part;
    }
    void Skip(uint64_t count) { Take(count); }

private:
    ByteSpan m_data;
    size_t m_pos = 0;
};

// width * height, computed in 64 bits; throws CDecodeError when either side
// is not positive or the pixels would exceed kMaxImageBytes.
uint64_t CheckedPixelCount(int64_t width, int64_t height);

// Frees the record and gives it width x height zeroed pixels. Throws
// CDecodeError for the sizes CheckedPixelCount refuses or when memory runs out.
void AllocateImage(CImageData& record, int64_t width, int64_t height);

// The boundary of a decoder's failures: a CDecodeError or a failed
// allocation becomes the reason given to the caller's failure, if any.
template <class Body>
bool CatchDecodeFailure(CLoadFailure* failure, Body&& body) {
    try {
        return body();
    } catch (const CDecodeError& e) {
        if (failure) failure->Set(e.reason);
    } catch (const std::bad_alloc&) {
        if (failure) failure->Set("out of memory");
    }
    return false;
}

// Runs a decoder body that throws CDecodeError on bad input, turning any
// failure into false. The body calls start() once the header is
// accepted: it frees the record, and failures from then on leave the record
// without pixels, while earlier ones leave it untouched.
template <class Body>
bool RunGuarded(CImageData& record, CLoadFailure* failure, Body&& body) {
    bool started = false;
    auto start = [&] {
        FreeImage(record);
        started = true;
    };
    const bool ok = CatchDecodeFailure(failure, [&] {
        body(start);
        return true;
    });
    if (!ok && started) FreeImage(record);
    return ok;
}

} // namespace CBitmapIO::Detail
