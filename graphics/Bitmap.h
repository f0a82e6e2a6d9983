#pragma once
// The engine's in-memory image: 32-bit pixels that image loading fills and
// from which hardware textures are made.

#include <cstdint>

#include "app/Referenced.h"
#include "graphics/BitmapIO.h"

namespace Engine {
class CAbstractFile;
}

namespace Engine::Graphics {

class CBitmap : public Engine::CReferenced {
public:
    // The image input interface over an engine stream (not owned); writing
    // is not supported.
    class CBitmapFile : public CBitmapIO::CFile {
    public:
        explicit CBitmapFile(Engine::CAbstractFile& stream) : m_stream(&stream) {}
        size_t Read(void* buffer, size_t count) override;
        size_t Write(const void*, size_t) override { return 0; }
        int64_t GetSize() override;
        int Seek(int64_t offset, int origin) override;
        int64_t Tell() override;

    private:
        Engine::CAbstractFile* m_stream;
    };

    CBitmap() = default;

    // Allocates width x height pixels (content undefined). Fails, with a log
    // line and the size unchanged, when the byte count does not fit in
    // 32 bits or memory runs out.
    bool Create(int32_t width, int32_t height);

    // Exchanges bytes 0 and 2 of every pixel and toggles the swap flag.
    void SwapRedBlue();

    // Gives the destination the source's size and swap flag and, when both
    // sides are above 0, a new pixel array, filled from the source when
    // copyPixels is set. A failed allocation leaves the destination empty.
    static void CopyFrom(Engine::ref_ptr<CBitmap> destination, const CBitmap& source, bool copyPixels);

    // Decodes an image from the stream's current position. On failure the
    // bitmap keeps its previous image.
    bool LoadFromFile(Engine::CAbstractFile& stream);
    bool LoadFromFile(CBitmapIO::CFile& input);
    // Loads an alpha image over this bitmap (see CBitmapIO::Load). On
    // failure the bitmap is left empty.
    bool LoadAlphaFromFile(Engine::CAbstractFile& stream);
    bool LoadAlphaFromFile(CBitmapIO::CFile& input);

    // Frees the pixel array once a driver holds its own copy; width and
    // height stay, since textures report their size from them.
    void FreePixels() { m_image.pixels = {}; }

    int32_t GetWidth() const { return m_image.width; }
    int32_t GetHeight() const { return m_image.height; }
    uint32_t* GetPixels() { return m_image.pixels.empty() ? nullptr : m_image.pixels.data(); }
    const uint32_t* GetPixels() const { return m_image.pixels.empty() ? nullptr : m_image.pixels.data(); }
    bool IsRedBlueSwapped() const { return m_swapped; }
    // Width, height and pixels as one record, for resampling and conversion.
    const CBitmapIO::CImageData& GetImage() const { return m_image; }

private:
    CBitmapIO::CImageData m_image;
    bool m_swapped = false;
};

} // namespace Engine::Graphics
