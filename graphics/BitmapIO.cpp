#include "graphics/BitmapIO.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "graphics/images/DecodeSupport.h"

namespace CBitmapIO {

namespace {

// Signatures, as the first (or second) little-endian word of the data.
constexpr uint32_t kPngSignature = 0x474E5089;  // 89 'P' 'N' 'G'
constexpr uint32_t kJfifSignature = 0xE0FFD8FF; // SOI followed by APP0
constexpr uint32_t kPsdSignature = 0x53504238;  // "8BPS"
constexpr uint32_t kDdsSignature = 0x20534444;  // "DDS "
constexpr uint32_t kJp2BoxType = 0x2020506A;    // "jP  " in bytes 4-7

uint32_t WordAt(ByteSpan data, size_t offset) {
    return uint32_t(data[offset]) | uint32_t(data[offset + 1]) << 8 |
           uint32_t(data[offset + 2]) << 16 | uint32_t(data[offset + 3]) << 24;
}

} // namespace

CFile::~CFile() = default;

void FreeImage(CImageData& record) {
    record.pixels = {};
    record.width = 0;
    record.height = 0;
}

void CLoadFailure::Set(const char* reason) noexcept {
    const size_t length = std::min(std::strlen(reason), m_reason.size() - 1);
    std::memcpy(m_reason.data(), reason, length);
    m_reason[length] = '\0';
}

bool Load(CFile& input, CImageData& record, bool alphaMode, CLoadFailure* failure) {
    // Decoders work on the bytes in memory, so the rest of the stream is read
    // in one go (every decoder but TGA's reads to the end anyway).
    std::vector<uint8_t> data;
    constexpr size_t kChunk = 64 * 1024;
    try {
        const int64_t start = input.Tell(), size = input.GetSize();
        if (start >= 0 && size > start && uint64_t(size - start) <= kMaxImageBytes) data.reserve(size_t(size - start));
        for (;;) {
            const size_t used = data.size();
            data.resize(used + kChunk);
            const size_t got = input.Read(data.data() + used, kChunk);
            data.resize(used + std::min(got, kChunk));
            if (got < kChunk) break;
        }
    } catch (const std::bad_alloc&) {
        if (failure) failure->Set("out of memory for the file");
        return false;
    }
    return Load(ByteSpan(data), record, alphaMode, failure);
}

EImageFormat DetectFormat(ByteSpan data) {
    if (data.size() < 8) return EImageFormat::UNKNOWN;
    switch (WordAt(data, 0)) {
    case kPngSignature: return EImageFormat::PNG;
    case kJfifSignature: return EImageFormat::JPEG;
    case kPsdSignature: return EImageFormat::PSD;
    case kDdsSignature: return EImageFormat::DDS;
    default: break;
    }
    if (WordAt(data, 4) == kJp2BoxType) return EImageFormat::JPEG2000;
    if (IsTGA(data)) return EImageFormat::TGA;
    return EImageFormat::UNKNOWN;
}

const char* GetFormatName(EImageFormat format) {
    switch (format) {
    case EImageFormat::PNG: return "PNG";
    case EImageFormat::JPEG: return "JPEG";
    case EImageFormat::PSD: return "PSD";
    case EImageFormat::DDS: return "DDS";
    case EImageFormat::JPEG2000: return "JPEG 2000";
    case EImageFormat::TGA: return "TGA";
    case EImageFormat::UNKNOWN: break;
    }
    return "unknown";
}

bool Load(ByteSpan data, CImageData& record, bool alphaMode, CLoadFailure* failure) {
    switch (DetectFormat(data)) {
    case EImageFormat::PNG: return LoadPNG(record, data, alphaMode, failure);
    case EImageFormat::JPEG: return LoadJPEG(record, data, alphaMode, failure);
    case EImageFormat::PSD: return LoadPSD(record, data, failure);
    case EImageFormat::DDS: return LoadDDS(record, data, failure);
    case EImageFormat::JPEG2000: return LoadJPEG2000(record, data, failure);
    case EImageFormat::TGA: return LoadTGA(record, data, failure);
    case EImageFormat::UNKNOWN: break;
    }
    if (failure) failure->Set("no known image format");
    return false;
}

namespace Detail {

uint64_t CheckedPixelCount(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) throw CDecodeError{"empty image size"};
    // Both factors are below 2^31 once checked, so the product cannot overflow.
    if (width > INT32_MAX || height > INT32_MAX ||
        uint64_t(width) * uint64_t(height) * 4 > kMaxImageBytes)
        throw CDecodeError{"image too large"};
    return uint64_t(width) * uint64_t(height);
}

void AllocateImage(CImageData& record, int64_t width, int64_t height) {
    FreeImage(record);
    const uint64_t count = CheckedPixelCount(width, height);
    try {
        record.pixels.resize(size_t(count));
    } catch (const std::bad_alloc&) {
        throw CDecodeError{"out of memory for the pixels"};
    }
    record.width = int32_t(width);
    record.height = int32_t(height);
}

} // namespace Detail

} // namespace CBitmapIO
