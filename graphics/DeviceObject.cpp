#include "graphics/DeviceObject.h"

#include <exception>

#include "app/Log.h"
#include "graphics/Bitmap.h"
#include "graphics/Graphics.h"

namespace Engine::Graphics {

CDeviceObject::CDeviceObject(CGraphics* owner) : m_pOwner(owner) {
    if (m_pOwner) m_pOwner->GetDeviceObjectManager().Register(this);
}

CDeviceObject::~CDeviceObject() noexcept(false) {
    if (m_pOwner) m_pOwner->GetDeviceObjectManager().Unregister(this);
}

CHardwareTexture::CHardwareTexture(CGraphics* owner) : CBaseHardwareTexture(owner) {}

CHardwareTexture::~CHardwareTexture() = default;

CDeviceObjectManager::~CDeviceObjectManager() {
    if (m_objects.IsEmpty()) return;
    GetLog().PrintLine("Engine::Graphics::CDeviceObjectManager() : Undeleted device objects found!");
    for (CDeviceObject* object : m_objects.TakeAll()) {
        try {
            object->Invalidate();
        } catch (const std::exception& e) {
            GetLog().PrintLine("%s", e.what());
        } catch (...) {
        }
        object->m_pOwner = nullptr;
    }
}

void CDeviceObjectManager::Register(CDeviceObject* object) { m_objects.Add(object); }

void CDeviceObjectManager::Unregister(CDeviceObject* object) { m_objects.Take(object); }

CDeviceObject* CDeviceObjectManager::Get(size_t index) {
    CDeviceObject* found = nullptr;
    size_t at = 0;
    m_objects.ForEach([&](CDeviceObject* object) {
        if (at++ == index) found = object;
    });
    return found;
}

// Both walk the objects registered when they begin, in order: a restore may
// create other device objects (not walked) or destroy some (skipped).
void CDeviceObjectManager::InvalidateAll() {
    m_objects.ForEach([](CDeviceObject* object) { object->Invalidate(); });
}

void CDeviceObjectManager::RestoreAll(bool first) {
    m_objects.ForEach([first](CDeviceObject* object) {
        if (object->IsRestoreFirst() != first) return;
        try {
            object->Restore();
        } catch (const std::exception& e) {
            GetLog().PrintLine("%s", e.what());
        } catch (...) {
            GetLog().PrintLine("CDeviceObjectManager::RestoreAll() : restore failed");
        }
    });
}

} // namespace Engine::Graphics
