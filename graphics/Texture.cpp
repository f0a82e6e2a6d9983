#include "graphics/Texture.h"

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
    m_entries.ForEach([](const CEntry& entry) {
        GetLog().PrintLine("CTextureManager::~CTextureManager() : NOT DELETED TEXTURE: Name = '%s', RefCount = %d",
                           entry.name.IsEmpty() ? "<null>" : entry.name.c_str(), entry.useCount);
    });
}

void CTextureManager::Create(ref_ptr<CTexture>& out, ref_ptr<CBitmap> bitmap, uint8_t option, const char* name,
                             bool freePixels, uint32_t textureFlags) {
    const bool named = name && *name;
    if (named) {
        if (const auto shared = m_named.find(name); shared != m_named.end()) {
            ++m_entries.Find(shared->second)->useCount;
            out = new CTexture(this, shared->second);
            return;
        }
    }
    ref_ptr<CHardwareTexture> hardware;
    m_pGraphics->CreateHardwareTexture(hardware, std::move(bitmap), option != 0, freePixels, int32_t(textureFlags));
    if (!hardware) throw CException(FormatString("CTextureManager::Create(...) : FAILED"));
    m_entries.Add(CEntry{hardware, CString(name), 1});
    if (named) m_named.emplace(name, hardware.get());
    out = new CTexture(this, hardware);
}

void CTextureManager::ReleaseHardwareTexture(CHardwareTexture* hardware) {
    CEntry* entry = m_entries.Find(hardware);
    if (!entry || --entry->useCount > 0) return;
    if (const auto named = m_named.find(entry->name.str()); named != m_named.end() && named->second == hardware)
        m_named.erase(named);
    m_entries.Take(hardware);
}

std::vector<CTextureManager::CEntry> CTextureManager::GetEntries() const {
    std::vector<CEntry> entries;
    m_entries.ForEach([&entries](const CEntry& entry) { entries.push_back(entry); });
    return entries;
}

void CTextureManager::ReleaseTexture(CTexture* texture, CTextureManager* manager) {
    if (!texture) return;
    if (manager) manager->ReleaseHardwareTexture(texture->GetHardwareTexture().get());
    texture->SetHardwareTexture(nullptr);
}

void CTextureList::CreateTexture(ref_ptr<CTexture>& out, ref_ptr<CBitmap> bitmap, uint8_t option, bool freePixels,
                                 uint32_t textureFlags) {
    m_pGraphics->GetTextureManager()->Create(out, std::move(bitmap), option, nullptr, freePixels, textureFlags);
    m_textures.Add(out);
}

void CTextureList::RemoveTexture(CTexture* texture) {
    const ref_ptr<CTexture> taken = m_textures.Take(texture);
    if (!taken) return;
    CTextureManager::ReleaseTexture(taken.get(), m_pGraphics ? m_pGraphics->GetTextureManager().get() : nullptr);
}

void CTextureList::RemoveAll() {
    CTextureManager* manager = m_pGraphics && !m_textures.IsEmpty() ? m_pGraphics->GetTextureManager().get() : nullptr;
    for (const ref_ptr<CTexture>& texture : m_textures.TakeAll()) CTextureManager::ReleaseTexture(texture.get(), manager);
}

std::vector<ref_ptr<CTexture>> CTextureList::GetTextures() const {
    std::vector<ref_ptr<CTexture>> textures;
    m_textures.ForEach([&textures](const ref_ptr<CTexture>& texture) { textures.push_back(texture); });
    return textures;
}

} // namespace Engine::Graphics
