#pragma once
// Textures: handles on a driver's hardware textures, shared by name through
// the driver's texture manager and given back by their owners' lists.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/Referenced.h"
#include "app/String.h"
#include "graphics/DeviceObject.h"
#include "graphics/SlotList.h"

namespace Engine::Graphics {

class CGraphics;
class CTextureManager;

class CTexture : public Engine::CReferenced {
public:
    CTexture(CTextureManager* manager, ref_ptr<CHardwareTexture> hardware)
        : m_pHardware(std::move(hardware)), m_pManager(manager), m_nSerial(NextSerial()) {}

    // Null once the texture was given back to its manager.
    ref_ptr<CHardwareTexture> GetHardwareTexture() const { return m_pHardware; }
    void SetHardwareTexture(CHardwareTexture* hardware) { m_pHardware = hardware; }
    CTextureManager* GetManager() const { return m_pManager; }
    // Size of the hardware texture's source image; false (and 0 by 0) once
    // the texture was given back or has no image.
    bool GetSize(int32_t& width, int32_t& height) const;
    // A number that tells live textures apart, never 0; stable for the
    // texture's life, so that records naming it can be compared and hashed.
    uint32_t GetSerial() const { return m_nSerial; }

private:
    friend class CTextureList;
    static uint32_t NextSerial();

    ref_ptr<CHardwareTexture> m_pHardware;
    CTextureManager* m_pManager;
    uint32_t m_nSerial;
    size_t m_listSlot = 0;  // in the list that made it
};

class CTextureManager : public Engine::CReferenced {
public:
    struct CEntry {
        ref_ptr<CHardwareTexture> hardware;
        CString name;
        int32_t useCount = 1;
    };

    explicit CTextureManager(CGraphics* graphics) : m_pGraphics(graphics) {}
    // Reports every texture never given back.
    ~CTextureManager() override;

    // A named texture already present is shared (its use count grows);
    // otherwise the driver makes a hardware texture from the bitmap. Throws
    // CException when the driver makes none.
    void Create(ref_ptr<CTexture>& out, ref_ptr<CBitmap> bitmap, uint8_t option, const char* name, bool freePixels,
                uint32_t textureFlags);
    void ReleaseHardwareTexture(CHardwareTexture* hardware);
    static void ReleaseTexture(CTexture* texture, CTextureManager* manager);

    // The entries in creation order.
    std::vector<CEntry> GetEntries() const;

private:
    static CHardwareTexture* HardwareOf(const CEntry& entry) { return entry.hardware.get(); }

    // Every sprite file's textures are entries: finding and erasing one stay
    // constant however many the driver holds. Each call of a driver makes a
    // new hardware texture, so that each is in one entry.
    CSlotList<CEntry, &CTextureManager::HardwareOf, &CHardwareTexture::m_managerSlot> m_entries;
    std::map<std::string, CHardwareTexture*> m_named;  // the entries made with a name
    CGraphics* m_pGraphics;
};

// One owner's textures, given back to the driver's manager together.
class CTextureList {
public:
    explicit CTextureList(CGraphics* graphics = nullptr) : m_pGraphics(graphics) {}
    CTextureList(const CTextureList&) = delete;
    CTextureList& operator=(const CTextureList&) = delete;
    ~CTextureList() { RemoveAll(); }

    void SetGraphics(CGraphics* graphics) { m_pGraphics = graphics; }
    void CreateTexture(ref_ptr<CTexture>& out, ref_ptr<CBitmap> bitmap, uint8_t option, bool freePixels,
                       uint32_t textureFlags);
    void RemoveTexture(CTexture* texture);
    void RemoveAll();
    // The textures in creation order.
    std::vector<ref_ptr<CTexture>> GetTextures() const;

private:
    CSlotList<ref_ptr<CTexture>, &CountedPointee<CTexture>, &CTexture::m_listSlot> m_textures;
    CGraphics* m_pGraphics;
};

} // namespace Engine::Graphics
