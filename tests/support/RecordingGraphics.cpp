#include "support/RecordingGraphics.h"

#include <algorithm>

#include "app/Exception.h"
#include "graphics/Bitmap.h"
#include "graphics/Texture.h"

namespace Engine::Graphics::Testing {

bool CRecordingHardwareTexture::CreateFromBitmap(const ref_ptr<CBitmap>& bitmap, bool mipmap, bool freePixels,
                                                 int32_t minAlphaBits) {
    m_pBitmap = bitmap;
    m_bMipmap = mipmap;
    m_bFreePixels = freePixels;
    m_nMinAlphaBits = minAlphaBits;
    if (bitmap) {
        width = bitmap->GetWidth();
        height = bitmap->GetHeight();
    }
    return true;
}

CRecordingGraphics::CRecordingGraphics(Engine::CApplication** application, bool colorRGBA)
    : CGraphics(application), m_bColorRGBA(colorRGBA) {}

std::vector<std::string> CRecordingGraphics::Names() const {
    std::vector<std::string> names;
    for (const CRecordedCall& call : calls) names.push_back(call.name);
    return names;
}

void CRecordingGraphics::Record(const char* name, std::vector<double> args, const void* object) {
    calls.push_back(CRecordedCall{name, std::move(args), {}, object});
}

void CRecordingGraphics::gDraw(int type, ref_ptr<CVertexBuffer> vertices, int first, int count,
                               ref_ptr<CIndexBuffer> indices) {
    CRecordedCall call{"gDraw", {double(type), double(first), double(count), double(indices != nullptr)}, {}, vertices.get()};
    const int perPrimitive = VerticesPerPrimitive(type);
    if (vertices && perPrimitive > 0) {
        const auto* data = static_cast<const uint8_t*>(vertices->GetData());
        const size_t size = size_t(vertices->GetVertexSize());
        const size_t begin = size_t(first) * perPrimitive * size;
        const size_t end = std::min(begin + size_t(count) * perPrimitive * size, size_t(vertices->GetCount()) * size);
        if (begin < end) call.vertices.assign(data + begin, data + end);
    }
    calls.push_back(std::move(call));
}

void CRecordingGraphics::CreateVertexBuffer(ref_ptr<CVertexBuffer>& out, int count, int size, uint32_t format,
                                            bool dynamic) {
    Record("CreateVertexBuffer", {double(count), double(size), double(format), double(dynamic)});
    if (m_bFailVertexBuffers) return;
    if (m_bThrowVertexBuffers) throw Engine::CException("CreateVertexBuffer : FAILED");
    out = new CMemoryVertexBuffer(this, count, size, format, dynamic);
}

void CRecordingGraphics::CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int type, int count, bool dynamic) {
    Record("CreateIndexBuffer", {double(type), double(count), double(dynamic)});
    out = new CMemoryIndexBuffer(this, type, count);
}

void CRecordingGraphics::CreateHardwareTexture(ref_ptr<CHardwareTexture>& out, ref_ptr<CBitmap> bitmap, bool mipmap,
                                               bool freePixels, int32_t minAlphaBits) {
    Record("CreateHardwareTexture", {double(mipmap), double(freePixels), double(minAlphaBits)}, bitmap.get());
    if (m_bFailTextures) return;
    ref_ptr<CRecordingHardwareTexture> texture(new CRecordingHardwareTexture(this));
    texture->CreateFromBitmap(bitmap, mipmap, freePixels, minAlphaBits);
    out = texture.get();
}

bool CRecordingGraphics::Create(const char*, CGraphicsParams* params) {
    Record("Create", {});
    if (params) m_params = *params;
    m_bCreated = 1;
    return true;
}

void CRecordingGraphics::gSetTexture(int stage, CBaseHardwareTexture* texture) {
    Record("gSetTexture", {double(stage)}, texture);
}

void CRecordingGraphics::gSetTextureStage(int stage, ref_ptr<CTexture> texture) {
    Record("gSetTextureStage", {double(stage)}, texture ? texture->GetHardwareTexture().get() : nullptr);
}

} // namespace Engine::Graphics::Testing
