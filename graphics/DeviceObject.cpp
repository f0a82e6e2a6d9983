#include "graphics/DeviceObject.h"

#include <algorithm>
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
    if (m_objects.empty()) return;
    GetLog().PrintLine("Engine::Graphics::CDeviceObjectManager() : Undeleted device objects found!");
    const std::vector<CDeviceObject*> leftovers = std::move(m_objects);
    for (CDeviceObject* object : leftovers) {
        try {
            object->Invalidate();
        } catch (const std::exception& e) {
            GetLog().PrintLine("%s", e.what());
        } catch (...) {
        }
        object->m_pOwner = nullptr;
    }
}

void CDeviceObjectManager::Register(CDeviceObject* object) { m_objects.push_back(object); }

void CDeviceObjectManager::Unregister(CDeviceObject* object) {
    const auto it = std::find(m_objects.begin(), m_objects.end(), object);
    if (it != m_objects.end()) m_objects.erase(it);
}

void CDeviceObjectManager::InvalidateAll() {
    const std::vector<CDeviceObject*> snapshot = m_objects;
    for (CDeviceObject* object : snapshot) object->Invalidate();
}

void CDeviceObjectManager::RestoreAll(bool first) {
    // Walk a snapshot: a restore may create or destroy other device objects.
    const std::vector<CDeviceObject*> snapshot = m_objects;
    for (CDeviceObject* object : snapshot) {
        if (std::find(m_objects.begin(), m_objects.end(), object) == m_objects.end()) continue;
        if (object->IsRestoreFirst() != first) continue;
        try {
            object->Restore();
        } catch (const std::exception& e) {
            GetLog().PrintLine("%s", e.what());
        } catch (...) {
            GetLog().PrintLine("CDeviceObjectManager::RestoreAll() : restore failed");
        }
    }
}

} // namespace Engine::Graphics
