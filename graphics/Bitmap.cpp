#include "graphics/Bitmap.h"

#include <new>
#include <utility>

#include "app/Log.h"
#include "app/Math.h"

namespace Engine::Graphics {

bool CBitmap::Create(int32_t width, int32_t height) {
    const int64_t bytes = int64_t(width) * int64_t(height) * 4;
    if (width >= 0 && height >= 0 && bytes <= int64_t(UINT32_MAX)) {
        try {
            std::vector<uint32_t> pixels(size_t(width) * size_t(height));
            m_image.pixels = std::move(pixels);
            m_image.width = width;
            m_image.height = height;
            return true;
        } catch (const std::bad_alloc&) {
        }
    }
    m_image.pixels = {};
    GetLog().PrintLine("Engine::Graphics::CBitmap::Create() : Can't allocate %lld bytes!", static_cast<long long>(bytes));
    return false;
}

void CBitmap::SwapRedBlue() {
    for (uint32_t& p : m_image.pixels) p = SwapColorRedBlue(p);
    m_swapped = !m_swapped;
}

void CBitmap::CopyFrom(Engine::ref_ptr<CBitmap> destination, const CBitmap& source, bool copyPixels) {
    if (!destination || destination.get() == &source) return;
    CBitmapIO::CImageData& out = destination->m_image;
    CBitmapIO::FreeImage(out);
    out.width = source.m_image.width;
    out.height = source.m_image.height;
    destination->m_swapped = source.m_swapped;
    if (out.width <= 0 || out.height <= 0) return;
    try {
        const size_t count = size_t(out.width) * size_t(out.height);
        out.pixels.resize(count);
        if (copyPixels) std::copy_n(source.m_image.pixels.begin(), std::min(count, source.m_image.pixels.size()), out.pixels.begin());
    } catch (const std::bad_alloc&) {
        CBitmapIO::FreeImage(out);
    }
}

bool CBitmap::LoadFromFile(CBitmapIO::CFile& input) {
    CBitmapIO::CImageData record;
    if (!CBitmapIO::Load(input, record, false)) return false;
    m_image = std::move(record);
    return true;
}

bool CBitmap::LoadAlphaFromFile(CBitmapIO::CFile& input) {
    // The decoders work on the bitmap's own pixels; a failure may have
    // replaced them already, so the bitmap ends empty.
    CBitmapIO::CImageData record = std::move(m_image);
    const bool ok = CBitmapIO::Load(input, record, true);
    if (ok) m_image = std::move(record);
    else CBitmapIO::FreeImage(m_image);
    return ok;
}

} // namespace Engine::Graphics
