#include "graphics/TextureFormat.h"

#include <bit>

#include "app/Exception.h"
#include "app/Log.h"
#include "graphics/LogColumns.h"

namespace Engine::Graphics {

namespace {

CChannelBits ChannelOf(uint32_t mask) {
    if (mask == 0) return {};
    const uint32_t shift = uint32_t(std::countr_zero(mask));
    return {uint32_t(std::bit_width(mask)) - shift, shift};
}

} // namespace

CTextureFormat::CTextureFormat(uint32_t redMask, uint32_t greenMask, uint32_t blueMask, uint32_t alphaMask,
                               uint32_t bitsPerPixel_)
    : bitsPerPixel(bitsPerPixel_) {
    SetMasks(redMask, greenMask, blueMask, alphaMask);
}

void CTextureFormat::SetMasks(uint32_t redMask, uint32_t greenMask, uint32_t blueMask, uint32_t alphaMask) {
    red = ChannelOf(redMask);
    green = ChannelOf(greenMask);
    blue = ChannelOf(blueMask);
    alpha = ChannelOf(alphaMask);
}

CString CTextureFormat::GetName() const {
    return FormatString("R%uG%uB%uA%u", red.bits, green.bits, blue.bits, alpha.bits);
}

CPackedFormat CTextureFormat::GetPackedFormat() const {
    CPackedFormat packed;
    packed.bits = {red.bits, green.bits, blue.bits, alpha.bits};
    packed.shifts = {red.shift, green.shift, blue.shift, alpha.shift};
    packed.bitsPerPixel = bitsPerPixel;
    return packed;
}

void CTextureFormatList::Add(Engine::ref_ptr<CTextureFormat> format) { m_formats.push_back(std::move(format)); }

void CTextureFormatList::Clear() { m_formats.clear(); }

Engine::ref_ptr<CTextureFormat> CTextureFormatList::Get(size_t index) const {
    if (index >= m_formats.size())
        throw Engine::CException::Format("CGraphics::GetTextureFormat(%zu) : FAILED : Index out of range", index);
    return m_formats[index];
}

void CTextureFormatList::LogAvailable() const {
    CLogSection section("AvailableTextureFormats");
    std::vector<std::string> cells;
    for (const auto& format : m_formats) cells.push_back(FormatString("%10s ", format->GetName().c_str()).str());
    LogColumns(cells, " ");
}

int CTextureFormatList::Choose(int windowBitsPerPixel, int minAlphaBits) const {
    if (m_formats.empty())
        throw Engine::CException(
            "CGraphics::ChooseTextureFormat(...) : FAILED : No available texture formats were found");
    CLog& log = GetLog();
    CLogSection section("CGraphics::ChooseTextureFormat(..)");
    log.PrintLine("WindowBPP : %d", windowBitsPerPixel);
    log.PrintLine("nMinAlphaBits : %d", minAlphaBits);
    const int index = Find(windowBitsPerPixel, minAlphaBits);
    log.PrintLine("Result : %s", m_formats[size_t(index)]->GetName().c_str());
    return index;
}

int CTextureFormatList::Find(int windowBitsPerPixel, int minAlphaBits) const {
    const uint32_t wanted = minAlphaBits < 0 ? 8 : uint32_t(minAlphaBits);
    const int count = int(m_formats.size());
    auto format = [this](int i) -> const CTextureFormat& { return *m_formats[size_t(i)]; };

    if (windowBitsPerPixel <= 16) {
        for (int i = 0; i < count; ++i)
            if (format(i).GetTotalBits() <= 16 && format(i).alpha.bits == wanted) return i;
    }

    // Both candidates are tracked over every format, so a format that first
    // had the fewest alpha bits can still turn out to have the most.
    int fewest = -1, most = -1;
    for (int i = 0; i < count; ++i) {
        if (format(i).GetTotalBits() < 16) continue;
        const uint32_t alpha = format(i).alpha.bits;
        if (fewest < 0 || alpha < format(fewest).alpha.bits) fewest = i;
        if (most < 0 || alpha > format(most).alpha.bits) most = i;
    }
    if (fewest >= 0) return wanted == 0 ? fewest : most;

    int low = -1, high = -1;
    uint32_t lowBound = wanted, highBound = wanted;
    for (int i = 0; i < count; ++i) {
        if (format(i).GetTotalBits() >= 16) continue;
        const uint32_t alpha = format(i).alpha.bits;
        if (alpha < lowBound) {
            low = i;
            lowBound = alpha;
        } else if (alpha > highBound) {
            high = i;
            highBound = alpha;
        }
    }
    if (wanted != 0 && high >= 0) return high;
    return low >= 0 ? low : 0;
}

void ConvertToTextureFormat(const CTextureFormat& format, const CBitmapIO::CImageData& source, void* destination,
                            int32_t destinationPitch) {
    ConvertToPackedPixels(source, destination, destinationPitch, format.GetPackedFormat());
}

} // namespace Engine::Graphics
