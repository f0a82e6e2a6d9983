#include "graphics/drivers/DeviceObjectsSFTW.h"

#include "graphics/Bitmap.h"

namespace Engine::Graphics {

CVertexBuffer_SFTW::CVertexBuffer_SFTW(CGraphics* owner, int32_t count, int32_t vertexSize, uint32_t format,
                                       bool dynamic)
    : CSystemMemoryBuffer(SystemBufferBytes("CVertexBuffer_SFTW::CVertexBuffer_SFTW()", count, vertexSize), owner,
                          count, vertexSize, format, dynamic) {}

CIndexBuffer_SFTW::CIndexBuffer_SFTW(CGraphics* owner, int32_t typeCode, int32_t count)
    : CSystemMemoryBuffer(SystemBufferBytes("CIndexBuffer_SFTW::CIndexBuffer_SFTW()", count, BytesPerIndex(typeCode)),
                          owner, typeCode, count) {}

CHardwareTexture_SFTW::CHardwareTexture_SFTW(CGraphics* owner) : CHardwareTexture(owner), m_pCopy(new CBitmap) {}

bool CHardwareTexture_SFTW::CreateFromBitmap(const ref_ptr<CBitmap>& bitmap, bool mipmap, bool freePixels,
                                             int32_t minAlphaBits) {
    m_bMipmap = mipmap ? 1 : 0;
    m_bFreePixels = freePixels ? 1 : 0;
    m_nMinAlphaBits = minAlphaBits;
    m_pBitmap = bitmap;
    // A bitmap without pixels still makes a texture, as with the other
    // drivers: it stays empty, and draws nothing, until a restore finds
    // pixels to copy.
    Invalidate();
    Restore();
    if (freePixels && bitmap) bitmap->FreePixels();
    return true;
}

void CHardwareTexture_SFTW::Invalidate() { m_pCopy = ref_ptr<CBitmap>(new CBitmap); }

void CHardwareTexture_SFTW::Restore() {
    if (m_pCopy->GetPixels() || !m_pBitmap || !m_pBitmap->GetPixels()) return;
    CBitmap::CopyFrom(m_pCopy, *m_pBitmap, true);
    MatchChannelOrder();
}

void CHardwareTexture_SFTW::SetChannelOrder(bool swapped) {
    m_bWantedOrder = swapped ? 1 : 0;
    MatchChannelOrder();
}

void CHardwareTexture_SFTW::MatchChannelOrder() {
    if (m_pCopy->GetPixels() && m_pCopy->IsRedBlueSwapped() != (m_bWantedOrder != 0)) m_pCopy->SwapRedBlue();
}

} // namespace Engine::Graphics
