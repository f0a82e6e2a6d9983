#pragma once
// The particle library's vertex buffer over an engine vertex buffer.

#include "app/Referenced.h"
#include "graphics/DeviceObject.h"
#include "particles/library/VexaDevice.h"

namespace Engine::Particles {

class CVexaVertexBuffer_Engine : public VexaParticles::VexaGraphics::IVertexBuffer {
public:
    explicit CVexaVertexBuffer_Engine(ref_ptr<Graphics::CVertexBuffer> buffer) : m_buffer(std::move(buffer)) {}

    int32_t Restore() override;
    int32_t Invalidate() override;
    // A buffer the driver cannot lock (a lost device) fails the lock rather
    // than hand the library a null write position.
    int32_t Lock() override;
    int32_t Unlock() override;
    void* GetData() override { return m_locked; }

    const ref_ptr<Graphics::CVertexBuffer>& GetBuffer() const { return m_buffer; }

private:
    ref_ptr<Graphics::CVertexBuffer> m_buffer;
    void* m_locked = nullptr;
};

} // namespace Engine::Particles
