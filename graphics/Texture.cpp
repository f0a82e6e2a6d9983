#include "graphics/Texture.h"

#include <algorithm>
#include <atomic>

#include "app/Exception.h"
#include "app/Log.h"
#include "graphics/Bitmap.h"
#include "graphics/Graphics.h"

namespace Engine::Graphics {

uint32_t CTexture::NextSerial() {
    static std::atomic<uint32_t> last{0};
    uint32_t serial = ++last;
    while (serial == 0) serial = ++last;  // 0 means no texture
    return serial;
}

bool CTexture::GetSize(int32_t& width, int32_t& height) const {
    width = height = 0;
    if (!m_pHardware || !m_pHardware->GetBitmap()) return false;
    width = m_pHardware->GetBitmap()->GetWidth();
    height = m_pHardware->GetBitmap()->GetHeight();
    return true;
}

CTextureManager::~CTextureManager() {
    for (const CEntry& entry : m_entries) {
        GetLog().PrintLine("CTextureManager::~CTextureManager() : NOT DELETED TEXTURE: Name = '%s', RefCount = %d",
                           entry.name.IsEmpty() ? "<null>" : entry.name.c_str(), entry.useCount);
    }
}

void CTextureManager::Create(ref_ptr<CTexture>& out, ref_ptr<CBitmap> bitmap, uint8_t option, const char* name,
                             bool freePixels, uint32_t textureFlags) {
    if (name && *name) {
        for (CEntry& entry : m_entries) {
            if (entry.name == name) {
                ++entry.useCount;
                out = new CTexture(this, entry.hardware);
                return;
            }
        }
    }
    ref_ptr<CHardwareTexture> hardware;
    m_pGraphics->CreateHardwareTexture(hardware, std::move(bitmap), option != 0, freePixels, int32_t(textureFlags));
    if (!hardware) throw CException(FormatString("CTextureManager::Create(...) : FAILED"));
    m_entries.push_back(CEntry{hardware, CString(name), 1});
    out = new CTexture(this, hardware);
}

void CTextureManager::ReleaseHardwareTexture(CHardwareTexture* hardware) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [hardware](const CEntry& entry) { return entry.hardware.get() == hardware; });
    if (it == m_entries.end()) return;
    if (--it->useCount <= 0) m_entries.erase(it);
}

void CTextureManager::ReleaseTexture(CTexture* texture, CTextureManager* manager) {
    if (!texture) return;
    if (manager) manager->ReleaseHardwareTexture(texture->GetHardwareTexture().get());
    texture->SetHardwareTexture(nullptr);
}

void CTextureList::CreateTexture(ref_ptr<CTexture>& out, ref_ptr<CBitmap> bitmap, uint8_t option, bool freePixels,
                                 uint32_t textureFlags) {
    m_pGraphics->GetTextureManager()->Create(out, std::move(bitmap), option, nullptr, freePixels, textureFlags);
    m_textures.push_back(out);
}

void CTextureList::RemoveTexture(CTexture* texture) {
    const auto it = std::find(m_textures.begin(), m_textures.end(), texture);
    if (it == m_textures.end()) return;
    const ref_ptr<CTexture> keep = *it;
    m_textures.erase(it);
    CTextureManager::ReleaseTexture(keep.get(), m_pGraphics ? m_pGraphics->GetTextureManager().get() : nullptr);
}

void CTextureList::RemoveAll() {
    CTextureManager* manager = m_pGraphics && !m_textures.empty() ? m_pGraphics->GetTextureManager().get() : nullptr;
    for (const ref_ptr<CTexture>& texture : m_textures) CTextureManager::ReleaseTexture(texture.get(), manager);
    m_textures.clear();
}

} // namespace Engine::Graphics
