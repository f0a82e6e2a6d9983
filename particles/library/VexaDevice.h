#pragma once
// The drawing device the particle library draws through, and its device
// objects. Every operation returns a signed result; a negative one is a
// failure. The engine's graphics binding implements these.

#include <cstdint>
#include <memory>

namespace VexaParticles::VexaGraphics {

class IDeviceObject {
public:
    virtual ~IDeviceObject() = default;
    virtual int32_t Restore() { return 0; }
    virtual int32_t Invalidate() { return 0; }
};

class ITexture : public IDeviceObject {};

class IVertexBuffer : public IDeviceObject {
public:
    virtual int32_t Lock() = 0;
    virtual int32_t Unlock() = 0;
    // The vertex data while locked.
    virtual void* GetData() = 0;
};

// Pixels handed to the device; the bitmap does not own them.
class CBitmap {
public:
    CBitmap(const uint32_t* pixels, int32_t width, int32_t height, uint32_t fourth)
        : m_pixels(pixels), m_width(width), m_height(height), m_fourth(fourth) {}
    virtual ~CBitmap() = default;

    const uint32_t* GetPixels() const { return m_pixels; }
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    uint32_t GetFourth() const { return m_fourth; }

private:
    const uint32_t* m_pixels;
    int32_t m_width;
    int32_t m_height;
    uint32_t m_fourth;
};

class IDevice {
public:
    virtual ~IDevice() = default;
    virtual int32_t SetRenderState(int32_t state, int32_t value) = 0;
    // Factor codes 0..8.
    virtual int32_t SetBlendFunc(int32_t source, int32_t destination) = 0;
    virtual int32_t CreateVertexBuffer(std::unique_ptr<IVertexBuffer>& out, int32_t count, int32_t stride,
                                       uint32_t format, uint32_t usage) = 0;
    // The library draws no indexed geometry: a device may leave out unset.
    virtual int32_t CreateIndexBuffer(std::unique_ptr<IDeviceObject>& /*out*/, int32_t /*count*/,
                                      uint32_t /*format*/, uint32_t /*usage*/) {
        return 0;
    }
    // The device copies the bitmap's pixels.
    virtual int32_t CreateTexture(std::unique_ptr<ITexture>& out, const CBitmap& bitmap, uint32_t flags) = 0;
    virtual int32_t CreateBitmap(std::unique_ptr<CBitmap>& out, const uint32_t* pixels, int32_t width,
                                 int32_t height, uint32_t fourth) = 0;
    // World transform of the next mesh (three rows of four floats).
    virtual int32_t SetMeshTransform(const float* matrix34) = 0;
    virtual int32_t SetTexture(int32_t stage, ITexture* texture) = 0;
    virtual int32_t Draw(IVertexBuffer* buffer, int32_t first, int32_t count, uint32_t reserved) = 0;
    virtual bool IsColorRGBA() = 0;
};

} // namespace VexaParticles::VexaGraphics
