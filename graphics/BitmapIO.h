#pragma once
// Image input: the decoders that turn PNG, JPEG, JPEG 2000, PSD, DDS and TGA
// data into 32-bit pixels, chosen by the data's signature.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace CBitmapIO {

// Decoded pixels: rows top to bottom, each pixel the bytes red, green, blue,
// alpha in memory order (alpha in bits 24-31 of the little-endian word).
// Pixels are never premultiplied; alpha is 255 where the source has none.
struct CImageData {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels; // width * height words, or empty
};

// Abstract input the decoders are fed from (an engine stream, in practice).
class CFile {
public:
    virtual ~CFile();
    // Returns the number of bytes read; fewer than asked means end or error.
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual int64_t GetSize() = 0;
    // origin: 0 from the start, 1 from the current position, 2 from the end;
    // 0 on success.
    virtual int Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() = 0;
};

using ByteSpan = std::span<const uint8_t>;

// Decoded images are limited to this many bytes of pixels (8192 x 8192);
// larger headers are treated as a failed allocation.
inline constexpr uint64_t kMaxImageBytes = uint64_t(256) << 20;

// Why a load failed, for the caller's log. A library's message is copied
// (cut to the capacity): it may not outlive the decoder.
class CLoadFailure {
public:
    void Set(const char* reason) noexcept;
    // "" while no reason was set.
    const char* Reason() const { return m_reason.data(); }

private:
    std::array<char, 128> m_reason{};
};

// Reads the input from its current position to its end and decodes it.
// In alpha mode the record holds the image that receives alpha: a greyscale
// PNG or a JPEG of the same size only sets the alpha bytes (from grey or the
// first component); every other image replaces the record. Returns false on
// any failure and logs nothing; the position afterwards is undefined. A
// failure given receives the reason of a false result.
bool Load(CFile& input, CImageData& record, bool alphaMode, CLoadFailure* failure = nullptr);
bool Load(ByteSpan data, CImageData& record, bool alphaMode, CLoadFailure* failure = nullptr);

// The decoder Load picks for the data, by its signature.
enum class EImageFormat { UNKNOWN, PNG, JPEG, PSD, DDS, JPEG2000, TGA };
EImageFormat DetectFormat(ByteSpan data);
// "PNG", "JPEG", ... ; "unknown" for UNKNOWN.
const char* GetFormatName(EImageFormat format);

// Frees the pixels and sets the size to 0 x 0.
void FreeImage(CImageData& record);

// The individual decoders (the dispatch above picks one by signature).
bool LoadPNG(CImageData& record, ByteSpan data, bool alphaMode, CLoadFailure* failure = nullptr);
bool LoadJPEG(CImageData& record, ByteSpan data, bool alphaMode, CLoadFailure* failure = nullptr);
bool LoadPSD(CImageData& record, ByteSpan data, CLoadFailure* failure = nullptr);
bool LoadDDS(CImageData& record, ByteSpan data, CLoadFailure* failure = nullptr);
// A JP2 file; anything else (a raw codestream too) is refused.
bool LoadJPEG2000(CImageData& record, ByteSpan data, CLoadFailure* failure = nullptr);
bool LoadTGA(CImageData& record, ByteSpan data, CLoadFailure* failure = nullptr);
// The TGA probe: an 18-byte header with depth 8, 16, 24 or 32 and a positive
// width and height (the image type is not examined).
bool IsTGA(ByteSpan data);

} // namespace CBitmapIO
