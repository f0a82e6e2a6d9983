#pragma once
// Texture pixel formats a driver's device accepts, the driver's list of
// them, and the rule that picks one for a texture.

#include <cstdint>
#include <vector>

#include "app/Referenced.h"
#include "app/String.h"
#include "graphics/BitmapIO.h"
#include "graphics/Resample.h"

namespace Engine::Graphics {

struct CChannelBits {
    uint32_t bits = 0;  // width of the channel
    uint32_t shift = 0; // position of its lowest bit
};

// Drivers derive their own class holding the platform's format code.
class CTextureFormat : public Engine::CReferenced {
public:
    CTextureFormat() = default;
    CTextureFormat(uint32_t redMask, uint32_t greenMask, uint32_t blueMask, uint32_t alphaMask,
                   uint32_t bitsPerPixel);

    // Each channel's shift is the number of zero bits below the mask's
    // lowest set bit, its width the span up to the highest set bit; an empty
    // mask gives 0 bits at shift 0.
    void SetMasks(uint32_t redMask, uint32_t greenMask, uint32_t blueMask, uint32_t alphaMask);

    uint32_t GetTotalBits() const { return red.bits + green.bits + blue.bits + alpha.bits; }
    // "R8G8B8A8" style.
    CString GetName() const;
    CPackedFormat GetPackedFormat() const;

    CChannelBits red, green, blue, alpha;
    uint32_t bitsPerPixel = 0;
};

// The formats in the order the driver added them; indices into this list
// are what the choice returns and what textures keep.
class CTextureFormatList {
public:
    void Add(Engine::ref_ptr<CTextureFormat> format);
    void Clear();
    // Throws Engine::CException for an index outside the list.
    Engine::ref_ptr<CTextureFormat> Get(size_t index) const;
    size_t Size() const { return m_formats.size(); }

    // Writes the list in four columns inside the section
    // "AvailableTextureFormats".
    void LogAvailable() const;

    // Logs the request and the result around Find. Throws Engine::CException
    // when the list is empty.
    int Choose(int windowBitsPerPixel, int minAlphaBits) const;

    // The choice rule: with a window of 16 bits or fewer, the first format of
    // 16 bits or fewer with exactly the alpha bits wanted (a negative minimum
    // means 8). Otherwise, among formats of 16 bits or more, the first with
    // the fewest alpha bits when no alpha is wanted, else the first with the
    // most. Failing that, among smaller formats, the first above the minimum
    // alpha that raises the best so far when alpha is wanted, else one below
    // it; else format 0.
    int Find(int windowBitsPerPixel, int minAlphaBits) const;

private:
    std::vector<Engine::ref_ptr<CTextureFormat>> m_formats;
};

// Converts 32-bit pixels into the format's channel layout by ordered
// dithering; a pitch of 0 means tightly packed rows.
void ConvertToTextureFormat(const CTextureFormat& format, const CBitmapIO::CImageData& source, void* destination,
                            int32_t destinationPitch);

} // namespace Engine::Graphics
