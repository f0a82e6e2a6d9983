#pragma once
// Driver-owned resources that release and recreate their device side across
// a device loss, and the driver's ordered list of them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/Referenced.h"
#include "graphics/Bitmap.h"
#include "graphics/GraphicsTypes.h"
#include "graphics/SlotList.h"

namespace Engine::Graphics {

class CGraphics;
class CBitmap;

class CDeviceObject {
public:
    // Registers with the owner's device-object list.
    explicit CDeviceObject(CGraphics* owner);
    CDeviceObject(const CDeviceObject&) = delete;
    CDeviceObject& operator=(const CDeviceObject&) = delete;
    virtual ~CDeviceObject() noexcept(false);

    // Releases the device-side resource.
    virtual void Invalidate() {}
    virtual void Reserved() {}
    // Recreates the device-side resource.
    virtual void Restore() {}

    CGraphics* GetOwner() const { return m_pOwner; }
    bool IsRestoreFirst() const { return m_bRestoreFirst != 0; }
    void SetRestoreFirst(bool first) { m_bRestoreFirst = first ? 1 : 0; }

private:
    friend class CDeviceObjectManager;
    uint8_t m_bRestoreFirst = 0;
    size_t m_registrySlot = 0;  // in the owner's list
    CGraphics* m_pOwner;
};

class CVertexBuffer : public CDeviceObject, public Engine::CReferenced {
public:
    CVertexBuffer(CGraphics* owner, int32_t count, int32_t vertexSize, uint32_t format, bool dynamic)
        : CDeviceObject(owner), m_nCount(count), m_nVertexSize(vertexSize), m_nFormat(format), m_bDynamic(dynamic) {}

    // Writable vertex memory, or null on failure.
    virtual void* Lock() = 0;
    virtual void Unlock() = 0;
    virtual const void* GetData() = 0;

    int32_t GetCount() const { return m_nCount; }
    int32_t GetVertexSize() const { return m_nVertexSize; }
    uint32_t GetFormat() const { return m_nFormat; }
    bool IsDynamic() const { return m_bDynamic != 0; }

protected:
    int32_t m_nCount;
    int32_t m_nVertexSize;
    uint32_t m_nFormat;
    uint8_t m_bDynamic;
};

class CIndexBuffer : public CDeviceObject, public Engine::CReferenced {
public:
    CIndexBuffer(CGraphics* owner, int32_t typeCode, int32_t count)
        : CDeviceObject(owner), m_nType(typeCode), m_nBytesPerIndex(BytesPerIndex(typeCode)), m_nCount(count) {}

    static int32_t BytesPerIndex(int32_t typeCode) { return typeCode == INDEX_16 ? 2 : 4; }

    virtual void* Lock() = 0;
    virtual void Unlock() = 0;
    virtual const void* GetData() = 0;

    int32_t GetType() const { return m_nType; }
    int32_t GetBytesPerIndex() const { return m_nBytesPerIndex; }
    int32_t GetCount() const { return m_nCount; }

protected:
    int32_t m_nType;
    int32_t m_nBytesPerIndex;
    int32_t m_nCount;
};

class CBaseHardwareTexture : public CDeviceObject {
public:
    using CDeviceObject::CDeviceObject;
};

class CHardwareTexture : public CBaseHardwareTexture, public Engine::CReferenced {
public:
    explicit CHardwareTexture(CGraphics* owner);
    ~CHardwareTexture() override;

    // Builds the device texture from the bitmap.
    virtual bool CreateFromBitmap(const ref_ptr<CBitmap>& bitmap, bool mipmap, bool freePixels, int32_t minAlphaBits) = 0;
    // Drops the device texture, and the source bitmap when the texture holds it.
    virtual void Free() = 0;
    // Uploads the source bitmap's pixels again.
    virtual void Update() = 0;
    void Invalidate() override = 0;
    void Restore() override = 0;

    const ref_ptr<CBitmap>& GetBitmap() const { return m_pBitmap; }

protected:
    // Drops the source bitmap when the bitmap-held flag is set, and clears it.
    void DropHeldBitmap() {
        if (!m_bBitmapHeld) return;
        m_pBitmap = nullptr;
        m_bBitmapHeld = 0;
    }

    ref_ptr<CBitmap> m_pBitmap;
    friend class CTextureManager;
    size_t m_managerSlot = 0;  // of its entry in the texture manager
    // Nothing sets it: the bitmap goes with the texture's destructor.
    uint8_t m_bBitmapHeld = 0;
    uint8_t m_bMipmap = 0;
    uint8_t m_bFreePixels = 0;
    int32_t m_nMinAlphaBits = -1;
};

// A render-to-texture target, owned by whoever created it.
class CRenderTarget : public CBaseHardwareTexture {
public:
    using CBaseHardwareTexture::CBaseHardwareTexture;
    // Copies the back buffer's image into the target.
    virtual void CaptureBackBuffer() = 0;
    virtual float GetMinU() = 0;
    virtual float GetMinV() = 0;
    virtual float GetMaxU() = 0;
    virtual float GetMaxV() = 0;
};

// The ordered list of a driver's live device objects. It does not own them.
class CDeviceObjectManager {
public:
    CDeviceObjectManager() = default;
    CDeviceObjectManager(const CDeviceObjectManager&) = delete;
    CDeviceObjectManager& operator=(const CDeviceObjectManager&) = delete;
    // Objects still registered are reported, invalidated and detached: they
    // are still referenced elsewhere, so deleting them would free live memory.
    ~CDeviceObjectManager();

    void Register(CDeviceObject* object);
    // Removes the first entry equal to object, keeping the order of the rest.
    void Unregister(CDeviceObject* object);
    void InvalidateAll();
    // Restores the objects whose restore-first flag equals first, in
    // registration order. A failing object is logged and the walk goes on.
    void RestoreAll(bool first);

    size_t GetCount() const { return m_objects.GetCount(); }
    // The index-th object in registration order, found by a walk: for tests.
    CDeviceObject* Get(size_t index);

private:
    // Each texture of every sprite file is a device object: registering and
    // unregistering one stay constant however many a driver holds.
    CSlotList<CDeviceObject*, &PlainPointee<CDeviceObject>, &CDeviceObject::m_registrySlot> m_objects;
};

} // namespace Engine::Graphics
