#include "platform/Direct3D8.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <type_traits>

#include "platform/Detail.h"
#include "platform/Display.h"
#include "platform/GlContext.h"
#include "platform/GlPipeline.h"
#include "platform/PixelLayout.h"
#include "platform/Library.h"

namespace {

using Platform::Gl::CGlContext;
using Platform::Gl::CGlDepthBuffer;
using Platform::Gl::CGlImage;
using Platform::Gl::CGlPipeline;
using Platform::Gl::CPixelLayout;

struct CLayoutEntry {
    D3DFORMAT format;
    CPixelLayout layout;
};

constexpr CLayoutEntry kLayouts[] = {
    {D3DFMT_A8R8G8B8, {4, 0xFF000000u, 0xFF0000, 0xFF00, 0xFF}},
    {D3DFMT_X8R8G8B8, {4, 0, 0xFF0000, 0xFF00, 0xFF}},
    {D3DFMT_R8G8B8, {3, 0, 0xFF0000, 0xFF00, 0xFF}},
    {D3DFMT_R5G6B5, {2, 0, 0xF800, 0x07E0, 0x001F}},
    {D3DFMT_X1R5G5B5, {2, 0, 0x7C00, 0x03E0, 0x001F}},
    {D3DFMT_A1R5G5B5, {2, 0x8000, 0x7C00, 0x03E0, 0x001F}},
    {D3DFMT_A4R4G4B4, {2, 0xF000, 0x0F00, 0x00F0, 0x000F}},
};

// Null for formats that hold no colour.
const CPixelLayout* FindPixelLayout(D3DFORMAT format) {
    for (const CLayoutEntry& entry : kLayouts)
        if (entry.format == format) return &entry.layout;
    return nullptr;
}

bool HasAlpha(D3DFORMAT format) {
    const CPixelLayout* layout = FindPixelLayout(format);
    return layout && layout->alpha != 0;
}

enum class ECooperation { Ok, Lost, NotReset };

struct CD3D8State {
    Platform::Testing::CD3D8Config config;
    ECooperation cooperation = ECooperation::Ok;
    HRESULT nextResetResult = D3D_OK;
    int liveObjects = 0;
};

CD3D8State& State() {
    static CD3D8State state;
    return state;
}

class CDevice8;

// A counted stand-in object: the application's references, and the
// device's own (bindings) that keep it alive without counting as held.
template <class Interface>
class CCounted : public Interface {
public:
    CCounted() { ++State().liveObjects; }
    ~CCounted() override { --State().liveObjects; }
    ULONG AddRef() override { return ++m_external; }
    ULONG Release() override {
        if (m_external == 0) return 0;
        const ULONG left = --m_external;
        if (left == 0 && m_internal == 0) delete this;
        return left;
    }
    void Bind() { ++m_internal; }
    void Unbind() {
        if (m_internal > 0 && --m_internal == 0 && m_external == 0) delete this;
    }
    bool IsHeld() const { return m_external > 0; }

private:
    ULONG m_external = 1;
    ULONG m_internal = 0;
};

// A device's resource: DEFAULT-pool ones block Reset while held.
class CDeviceChild {
public:
    CDeviceChild(CDevice8* device, D3DPOOL pool);
    virtual ~CDeviceChild();
    CDeviceChild(const CDeviceChild&) = delete;
    CDeviceChild& operator=(const CDeviceChild&) = delete;
    virtual bool IsHeldByApplication() const = 0;
    // The device goes first: drop GL objects while its context is current.
    virtual void Orphan() { m_device = nullptr; }
    D3DPOOL GetPool() const { return m_pool; }

protected:
    // Before the GL objects go: deleted in the device's context, or only
    // forgotten when that context is gone.
    void ReleaseGl(CGlImage* image, CGlDepthBuffer* depth) const;

    CDevice8* m_device;
    D3DPOOL m_pool;
};

// What the device binds as a render target or reads pixels from.
class CSurfaceBase : public IDirect3DSurface8 {
public:
    virtual CGlImage* GetImage() = 0;
    virtual int GetLevel() const { return 0; }
    virtual CGlDepthBuffer* GetDepth() { return nullptr; }
    virtual D3DFORMAT GetFormat() const = 0;
    virtual void BindOwner() = 0;
    virtual void UnbindOwner() = 0;
};

// Lock bookkeeping of one image level: packed pixels while locked.
struct CLockBuffer {
    std::vector<uint8_t> packed;
    bool locked = false;
};

// Whether a lock rectangle lies within width x height.
bool RectInside(const RECT* rect, int width, int height) {
    return !rect ||
           (rect->left >= 0 && rect->top >= 0 && rect->left <= rect->right && rect->top <= rect->bottom &&
            rect->right <= width && rect->bottom <= height);
}

HRESULT LockImage(CGlImage* image, int level, D3DFORMAT format, CLockBuffer& buffer, D3DLOCKED_RECT* locked,
                  const RECT* rect) {
    const CPixelLayout* layout = FindPixelLayout(format);
    if (!locked || !image || !layout || buffer.locked) return D3DERR_INVALIDCALL;
    if (!RectInside(rect, image->GetWidth(level), image->GetHeight(level))) return D3DERR_INVALIDCALL;
    std::vector<uint8_t> rgba;
    image->Read(level, rgba);
    const int width = image->GetWidth(level);
    buffer.packed.assign(rgba.size() / 4 * size_t(layout->bytes), 0);
    Platform::Gl::PackPixels(*layout, rgba.data(), buffer.packed.data(), rgba.size() / 4);
    buffer.locked = true;
    locked->Pitch = width * layout->bytes;
    size_t offset = 0;
    if (rect) offset = size_t(rect->top) * size_t(locked->Pitch) + size_t(rect->left) * size_t(layout->bytes);
    locked->pBits = buffer.packed.data() + offset;
    return D3D_OK;
}

HRESULT UnlockImage(CGlImage* image, int level, D3DFORMAT format, CLockBuffer& buffer) {
    const CPixelLayout* layout = FindPixelLayout(format);
    if (!buffer.locked || !layout) return D3DERR_INVALIDCALL;
    std::vector<uint8_t> rgba(buffer.packed.size() / size_t(layout->bytes) * 4);
    Platform::Gl::UnpackPixels(*layout, buffer.packed.data(), rgba.data(), rgba.size() / 4);
    image->Write(level, rgba.data());
    buffer.locked = false;
    buffer.packed.clear();
    return D3D_OK;
}

class CTexture8;

// A texture level's surface: counted with its texture.
class CLevelSurface : public CSurfaceBase {
public:
    CLevelSurface(CTexture8* texture, int level) : m_texture(texture), m_level(level) {}
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;
    CGlImage* GetImage() override;
    int GetLevel() const override { return m_level; }
    D3DFORMAT GetFormat() const override;
    void BindOwner() override;
    void UnbindOwner() override;

private:
    CTexture8* m_texture;
    int m_level;
};

class CTexture8 : public CCounted<IDirect3DTexture8>, public CDeviceChild {
public:
    CTexture8(CDevice8* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool)
        : CDeviceChild(device, pool), m_width(width), m_height(height), m_usage(usage), m_format(format),
          m_image(std::make_unique<CGlImage>(int(width), int(height), int(levels), HasAlpha(format))), m_locks(levels) {
        for (UINT level = 0; level < levels; ++level)
            m_surfaces.push_back(std::make_unique<CLevelSurface>(this, int(level)));
    }
    ~CTexture8() override { ReleaseGl(m_image.get(), nullptr); }
    void Orphan() override {
        m_image.reset();
        CDeviceChild::Orphan();
    }
    bool IsHeldByApplication() const override { return IsHeld(); }

    DWORD GetLevelCount() override { return DWORD(m_surfaces.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override {
        if (!desc || level >= m_surfaces.size()) return D3DERR_INVALIDCALL;
        *desc = D3DSURFACE_DESC{};
        desc->Format = m_format;
        desc->Type = D3DRTYPE_TEXTURE;
        desc->Usage = m_usage;
        desc->Pool = m_pool;
        desc->Width = std::max(m_width >> level, 1u);
        desc->Height = std::max(m_height >> level, 1u);
        return D3D_OK;
    }
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) override {
        if (!surface || level >= m_surfaces.size()) return D3DERR_INVALIDCALL;
        AddRef();
        *surface = m_surfaces[level].get();
        return D3D_OK;
    }
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD) override {
        if (level >= m_surfaces.size() || !m_device) return D3DERR_INVALIDCALL;
        return LockImage(m_image.get(), int(level), m_format, m_locks[level], locked, rect);
    }
    HRESULT UnlockRect(UINT level) override {
        if (level >= m_surfaces.size() || !m_device) return D3DERR_INVALIDCALL;
        return UnlockImage(m_image.get(), int(level), m_format, m_locks[level]);
    }

    CGlImage* GetImage() { return m_image.get(); }
    D3DFORMAT GetFormat() const { return m_format; }

private:
    UINT m_width, m_height;
    DWORD m_usage;
    D3DFORMAT m_format;
    std::unique_ptr<CGlImage> m_image;
    std::vector<CLockBuffer> m_locks;
    std::vector<std::unique_ptr<CLevelSurface>> m_surfaces;
};

ULONG CLevelSurface::AddRef() { return m_texture->AddRef(); }
ULONG CLevelSurface::Release() { return m_texture->Release(); }
HRESULT CLevelSurface::GetDesc(D3DSURFACE_DESC* desc) { return m_texture->GetLevelDesc(UINT(m_level), desc); }
HRESULT CLevelSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    return m_texture->LockRect(UINT(m_level), locked, rect, flags);
}
HRESULT CLevelSurface::UnlockRect() { return m_texture->UnlockRect(UINT(m_level)); }
CGlImage* CLevelSurface::GetImage() { return m_texture->GetImage(); }
D3DFORMAT CLevelSurface::GetFormat() const { return m_texture->GetFormat(); }
void CLevelSurface::BindOwner() { m_texture->Bind(); }
void CLevelSurface::UnbindOwner() { m_texture->Unbind(); }

// The back buffer, a depth-stencil surface or a system-memory image.
class CSurface8 : public CCounted<CSurfaceBase>, public CDeviceChild {
public:
    enum class EKind { Colour, Depth, SystemMemory };
    CSurface8(CDevice8* device, EKind kind, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool)
        : CDeviceChild(device, pool), m_kind(kind), m_width(width), m_height(height), m_format(format) {
        if (kind == EKind::Colour) m_image = std::make_unique<CGlImage>(int(width), int(height), 1, HasAlpha(format));
        if (kind == EKind::Depth) m_depth = std::make_unique<CGlDepthBuffer>(int(width), int(height));
        if (kind == EKind::SystemMemory) {
            const CPixelLayout* layout = FindPixelLayout(format);
            m_memory.assign(size_t(width) * height * size_t(layout ? layout->bytes : 4), 0);
        }
    }
    ~CSurface8() override { ReleaseGl(m_image.get(), m_depth.get()); }
    void Orphan() override {
        m_image.reset();
        m_depth.reset();
        CDeviceChild::Orphan();
    }
    bool IsHeldByApplication() const override { return IsHeld(); }

    HRESULT GetDesc(D3DSURFACE_DESC* desc) override {
        if (!desc) return D3DERR_INVALIDCALL;
        *desc = D3DSURFACE_DESC{};
        desc->Format = m_format;
        desc->Pool = m_pool;
        desc->Width = m_width;
        desc->Height = m_height;
        return D3D_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD) override {
        if (m_kind == EKind::SystemMemory) {
            if (!locked || !RectInside(rect, int(m_width), int(m_height))) return D3DERR_INVALIDCALL;
            const CPixelLayout* layout = FindPixelLayout(m_format);
            locked->Pitch = int(m_width) * (layout ? layout->bytes : 4);
            locked->pBits = m_memory.data();
            if (rect)
                locked->pBits =
                    m_memory.data() + rect->top * locked->Pitch + rect->left * (locked->Pitch / int(m_width));
            return D3D_OK;
        }
        if (!m_device) return D3DERR_INVALIDCALL;
        return LockImage(m_image.get(), 0, m_format, m_lock, locked, rect);
    }
    HRESULT UnlockRect() override {
        if (m_kind == EKind::SystemMemory) return D3D_OK;
        if (!m_device) return D3DERR_INVALIDCALL;
        return UnlockImage(m_image.get(), 0, m_format, m_lock);
    }
    CGlImage* GetImage() override { return m_image.get(); }
    CGlDepthBuffer* GetDepth() override { return m_depth.get(); }
    D3DFORMAT GetFormat() const override { return m_format; }
    void BindOwner() override { Bind(); }
    void UnbindOwner() override { Unbind(); }
    const std::vector<uint8_t>& GetMemory() const { return m_memory; }

private:
    EKind m_kind;
    UINT m_width, m_height;
    D3DFORMAT m_format;
    std::unique_ptr<CGlImage> m_image;
    std::unique_ptr<CGlDepthBuffer> m_depth;
    std::vector<uint8_t> m_memory;
    CLockBuffer m_lock;
};

// Vertex and index data in system memory, whatever the pool.
template <class Interface>
class CBuffer8 : public CCounted<Interface>, public CDeviceChild {
public:
    CBuffer8(CDevice8* device, UINT length, D3DPOOL pool) : CDeviceChild(device, pool), m_data(length) {}
    bool IsHeldByApplication() const override { return this->IsHeld(); }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD) override {
        if (!data || offset > m_data.size() || (size && size > m_data.size() - offset)) return D3DERR_INVALIDCALL;
        if constexpr (std::is_same_v<Interface, IDirect3DVertexBuffer8>)
            if (State().config.vertexBufferLockFails) return D3DERR_INVALIDCALL;
        *data = m_data.data() + offset;
        return D3D_OK;
    }
    HRESULT Unlock() override { return D3D_OK; }
    const std::vector<uint8_t>& GetData() const { return m_data; }

private:
    std::vector<uint8_t> m_data;
};

class CVertexBuffer8 : public CBuffer8<IDirect3DVertexBuffer8> {
public:
    using CBuffer8::CBuffer8;
};

class CIndexBuffer8 : public CBuffer8<IDirect3DIndexBuffer8> {
public:
    CIndexBuffer8(CDevice8* device, UINT length, D3DPOOL pool, int indexSize)
        : CBuffer8(device, length, pool), m_indexSize(indexSize) {}
    int GetIndexSize() const { return m_indexSize; }

private:
    int m_indexSize;
};

// A device-held reference: keeps the object alive without counting as the
// application's.
template <class Object>
class CBinding {
public:
    CBinding() = default;
    CBinding(const CBinding&) = delete;
    CBinding& operator=(const CBinding&) = delete;
    ~CBinding() { Set(nullptr); }
    void Set(Object* object) {
        if (object) Hold(object);
        if (m_object) Drop(m_object);
        m_object = object;
    }
    Object* Get() const { return m_object; }

private:
    static void Hold(Object* object) {
        if constexpr (std::is_same_v<Object, CSurfaceBase>)
            object->BindOwner();
        else
            object->Bind();
    }
    static void Drop(Object* object) {
        if constexpr (std::is_same_v<Object, CSurfaceBase>)
            object->UnbindOwner();
        else
            object->Unbind();
    }
    Object* m_object = nullptr;
};

CDevice8* g_lastDevice = nullptr;

// Full screen, the display takes the back buffer's size and depth.
bool TakeDisplay(HWND window, const D3DPRESENT_PARAMETERS& parameters) {
    const CPixelLayout* layout = FindPixelLayout(parameters.BackBufferFormat);
    return layout && Platform::Detail::EnterFullScreenMode(window, parameters.BackBufferWidth,
                                                           parameters.BackBufferHeight, DWORD(layout->bytes) * 8,
                                                           parameters.FullScreen_RefreshRateInHz);
}

class CDevice8 : public CCounted<IDirect3DDevice8> {
public:
    ~CDevice8() override {
        if (m_cursor.shown) Platform::Detail::ShowPictureCursor(false);
        if (m_ownsDisplay) ChangeDisplaySettings(nullptr, 0);
        m_context.MakeCurrent();
        DropBindings();
        m_backBuffer.Set(nullptr);
        m_autoDepth.Set(nullptr);
        for (CDeviceChild* child : std::set<CDeviceChild*>(m_children)) child->Orphan();
        m_children.clear();
        m_pipeline.reset();
        if (g_lastDevice == this) g_lastDevice = nullptr;
    }

    HRESULT Open(HWND window, const D3DPRESENT_PARAMETERS& parameters) {
        m_window = window;
        if (!m_context.Create(window)) return D3DERR_NOTAVAILABLE;
        if (const HRESULT display = TakeOrLeaveDisplay(parameters); FAILED(display)) return display;
        m_context.MakeCurrent();
        m_pipeline = std::make_unique<CGlPipeline>();
        MakeSwapChain(parameters);
        g_lastDevice = this;
        return D3D_OK;
    }

    void Register(CDeviceChild* child) { m_children.insert(child); }
    void Unregister(CDeviceChild* child) { m_children.erase(child); }
    void MakeCurrent() const { m_context.MakeCurrent(); }
    CGlImage* GetBackBufferImage() const {
        return m_backBuffer.Get() ? m_backBuffer.Get()->GetImage() : nullptr;
    }

    HRESULT TestCooperativeLevel() override {
        switch (State().cooperation) {
        case ECooperation::Lost: return D3DERR_DEVICELOST;
        case ECooperation::NotReset: return D3DERR_DEVICENOTRESET;
        default: return D3D_OK;
        }
    }
    UINT GetAvailableTextureMem() override { return State().config.availableTextureMemory; }
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override {
        if (!caps || State().config.deviceCapsFail) return D3DERR_INVALIDCALL;
        *caps = State().config.caps;
        return D3D_OK;
    }

    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override {
        CD3D8State& state = State();
        if (!parameters) return D3DERR_INVALIDCALL;
        if (state.nextResetResult != D3D_OK) {
            const HRESULT result = state.nextResetResult;
            state.nextResetResult = D3D_OK;
            return result;
        }
        if (state.cooperation == ECooperation::Lost) return D3DERR_DEVICELOST;
        for (CDeviceChild* child : m_children)
            if (child->GetPool() == D3DPOOL_DEFAULT && child->IsHeldByApplication()) return D3DERR_INVALIDCALL;
        if (const HRESULT display = TakeOrLeaveDisplay(*parameters); FAILED(display)) return display;
        MakeCurrent();
        DropBindings();
        m_pipeline->ResetStates();
        MakeSwapChain(*parameters);
        state.cooperation = ECooperation::Ok;
        return D3D_OK;
    }

    HRESULT Present(const RECT* source, const RECT* destination, HWND, const void*) override {
        if (State().cooperation != ECooperation::Ok) return D3DERR_DEVICELOST;
        MakeCurrent();
        const RECT whole{0, 0, LONG(m_parameters.BackBufferWidth), LONG(m_parameters.BackBufferHeight)};
        int width = 0, height = 0;
        m_context.GetDrawableSize(width, height);
        const RECT window{0, 0, width, height};
        Platform::Gl::PresentImage(m_context, *GetBackBufferImage(), source ? *source : whole,
                                   destination ? *destination : window);
        return D3D_OK;
    }

    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface8** surface) override {
        if (!surface || index != 0) return D3DERR_INVALIDCALL;
        return Hand(m_backBuffer.Get(), surface);
    }
    // The window system draws the cursor: the device's picture stands in
    // for the system cursor while shown.
    HRESULT SetCursorProperties(UINT hotX, UINT hotY, IDirect3DSurface8* image) override {
        D3DSURFACE_DESC desc;
        D3DLOCKED_RECT locked;
        if (!image || FAILED(image->GetDesc(&desc)) || desc.Format != D3DFMT_A8R8G8B8 || hotX >= desc.Width ||
            hotY >= desc.Height || FAILED(image->LockRect(&locked, nullptr, 0)))
            return D3DERR_INVALIDCALL;
        m_cursor.pixels.resize(size_t(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y)
            std::memcpy(m_cursor.pixels.data() + size_t(y) * desc.Width,
                        static_cast<const uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch), desc.Width * 4);
        image->UnlockRect();
        m_cursor.width = desc.Width;
        m_cursor.height = desc.Height;
        m_cursor.hotX = hotX;
        m_cursor.hotY = hotY;
        Platform::Detail::SetPictureCursor(
            {m_cursor.pixels, int(desc.Width), int(desc.Height), int(hotX), int(hotY)});
        return D3D_OK;
    }
    void SetCursorPosition(int x, int y, DWORD) override {
        m_cursor.x = x;
        m_cursor.y = y;
        Platform::Detail::MovePictureCursor(x, y);
    }
    BOOL ShowCursor(BOOL show) override {
        const BOOL before = m_cursor.shown;
        m_cursor.shown = show != FALSE;
        Platform::Detail::ShowPictureCursor(m_cursor.shown);
        return before;
    }
    const Platform::Testing::CD3D8Cursor& GetCursor() const { return m_cursor; }

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture8** texture) override {
        if (!texture || width == 0 || height == 0 || !FindPixelLayout(format)) return D3DERR_INVALIDCALL;
        if ((usage & D3DUSAGE_RENDERTARGET) && pool != D3DPOOL_DEFAULT) return D3DERR_INVALIDCALL;
        UINT chain = 1;
        while ((width >> chain) > 0 || (height >> chain) > 0) ++chain;
        if (levels == 0 || levels > chain) levels = chain;
        MakeCurrent();
        *texture = new CTexture8(this, width, height, levels, usage, format, pool);
        return D3D_OK;
    }
    HRESULT CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL pool, IDirect3DVertexBuffer8** buffer) override {
        if (!buffer || length == 0) return D3DERR_INVALIDCALL;
        *buffer = new CVertexBuffer8(this, length, pool);
        return D3D_OK;
    }
    HRESULT CreateIndexBuffer(UINT length, DWORD, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer8** buffer) override {
        if (!buffer || length == 0 || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)) return D3DERR_INVALIDCALL;
        *buffer = new CIndexBuffer8(this, length, pool, format == D3DFMT_INDEX16 ? 2 : 4);
        return D3D_OK;
    }
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT, D3DMULTISAMPLE_TYPE,
                                      IDirect3DSurface8** surface) override {
        if (!surface || width == 0 || height == 0) return D3DERR_INVALIDCALL;
        MakeCurrent();
        *surface = new CSurface8(this, CSurface8::EKind::Depth, width, height, D3DFMT_D24S8, D3DPOOL_DEFAULT);
        return D3D_OK;
    }
    HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) override {
        if (!surface || width == 0 || height == 0 || !FindPixelLayout(format)) return D3DERR_INVALIDCALL;
        *surface = new CSurface8(this, CSurface8::EKind::SystemMemory, width, height, format, D3DPOOL_SYSTEMMEM);
        return D3D_OK;
    }
    HRESULT CopyRects(IDirect3DSurface8* source, const RECT* rects, UINT count, IDirect3DSurface8* destination,
                      const POINT* points) override {
        auto* from = static_cast<CSurfaceBase*>(source);
        auto* to = static_cast<CSurfaceBase*>(destination);
        if (!from || !to || !from->GetImage() || !to->GetImage() || from->GetFormat() != to->GetFormat())
            return D3DERR_INVALIDCALL;
        MakeCurrent();
        CGlImage& image = *from->GetImage();
        const RECT whole{0, 0, image.GetWidth(from->GetLevel()), image.GetHeight(from->GetLevel())};
        for (UINT i = 0; i < std::max(count, 1u); ++i) {
            const RECT rect = rects && count ? rects[i] : whole;
            const POINT at = points ? points[i] : POINT{rect.left, rect.top};
            Platform::Gl::CopyImage(image, from->GetLevel(), rect, *to->GetImage(), to->GetLevel(), at);
        }
        return D3D_OK;
    }

    HRESULT SetRenderTarget(IDirect3DSurface8* colour, IDirect3DSurface8* depth) override {
        auto* target = static_cast<CSurfaceBase*>(colour);
        if (target && !target->GetImage()) return D3DERR_INVALIDCALL;
        if (target) m_target.Set(target);
        m_depth.Set(static_cast<CSurfaceBase*>(depth));
        UpdateTarget();
        // As Direct3D does: the viewport becomes the whole new target.
        CGlImage* image = m_target.Get()->GetImage();
        D3DVIEWPORT8 viewport;
        viewport.Width = DWORD(image->GetWidth(m_target.Get()->GetLevel()));
        viewport.Height = DWORD(image->GetHeight(m_target.Get()->GetLevel()));
        m_pipeline->SetViewport(viewport);
        return D3D_OK;
    }
    HRESULT GetRenderTarget(IDirect3DSurface8** surface) override { return Hand(m_target.Get(), surface); }
    HRESULT GetDepthStencilSurface(IDirect3DSurface8** surface) override {
        if (!m_depth.Get()) {
            if (surface) *surface = nullptr;
            return D3DERR_NOTAVAILABLE;
        }
        return Hand(m_depth.Get(), surface);
    }
    HRESULT BeginScene() override { return D3D_OK; }
    HRESULT EndScene() override { return D3D_OK; }
    HRESULT Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) override {
        if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !m_depth.Get()) return D3DERR_INVALIDCALL;
        if (State().cooperation != ECooperation::Ok) return D3D_OK;
        MakeCurrent();
        m_pipeline->Clear(count, rects, flags, colour, z, stencil);
        return D3D_OK;
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
        if (!matrix) return D3DERR_INVALIDCALL;
        m_pipeline->SetTransform(state, *matrix);
        return D3D_OK;
    }
    HRESULT SetViewport(const D3DVIEWPORT8* viewport) override {
        if (!viewport) return D3DERR_INVALIDCALL;
        m_pipeline->SetViewport(*viewport);
        return D3D_OK;
    }
    HRESULT GetViewport(D3DVIEWPORT8* viewport) override {
        if (!viewport) return D3DERR_INVALIDCALL;
        *viewport = m_pipeline->GetViewport();
        return D3D_OK;
    }
    HRESULT SetMaterial(const D3DMATERIAL8* material) override {
        if (!material) return D3DERR_INVALIDCALL;
        m_pipeline->SetMaterial(*material);
        return D3D_OK;
    }
    HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override {
        if (!light) return D3DERR_INVALIDCALL;
        m_pipeline->SetLight(index, *light);
        return D3D_OK;
    }
    HRESULT LightEnable(DWORD index, BOOL enable) override {
        m_pipeline->EnableLight(index, enable != FALSE);
        return D3D_OK;
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        m_pipeline->SetRenderState(state, value);
        return D3D_OK;
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
        if (!value) return D3DERR_INVALIDCALL;
        *value = m_pipeline->GetRenderState(state);
        return D3D_OK;
    }
    HRESULT SetTexture(DWORD stage, IDirect3DTexture8* texture) override {
        if (stage >= Platform::Gl::kStages) return D3DERR_INVALIDCALL;
        auto* bound = static_cast<CTexture8*>(texture);
        m_textures[stage].Set(bound);
        m_pipeline->SetTexture(stage, bound ? bound->GetImage() : nullptr);
        return D3D_OK;
    }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override {
        m_pipeline->SetStageState(stage, state, value);
        return D3D_OK;
    }
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) override {
        if (!value) return D3DERR_INVALIDCALL;
        *value = m_pipeline->GetStageState(stage, state);
        return D3D_OK;
    }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override {
        return Draw(type, startVertex, primitiveCount, false);
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT, UINT, UINT startIndex, UINT primitiveCount) override {
        return Draw(type, startIndex, primitiveCount, true);
    }
    HRESULT SetVertexShader(DWORD fvf) override {
        m_fvf = fvf;
        return D3D_OK;
    }
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) override {
        if (stream != 0) return D3DERR_INVALIDCALL;
        m_stream.Set(static_cast<CVertexBuffer8*>(buffer));
        m_stride = stride;
        return D3D_OK;
    }
    HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertex) override {
        m_indices.Set(static_cast<CIndexBuffer8*>(buffer));
        m_baseVertex = baseVertex;
        return D3D_OK;
    }

private:
    static HRESULT Hand(CSurfaceBase* surface, IDirect3DSurface8** out) {
        if (!out) return D3DERR_INVALIDCALL;
        *out = surface;
        if (surface) surface->AddRef();
        return surface ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    // Full screen the display is switched to the back buffer's mode;
    // windowed, a mode this device set gives way to the desktop's.
    HRESULT TakeOrLeaveDisplay(const D3DPRESENT_PARAMETERS& parameters) {
        if (!parameters.Windowed) {
            if (!TakeDisplay(m_window, parameters)) return D3DERR_INVALIDCALL;
            m_ownsDisplay = true;
        } else if (m_ownsDisplay) {
            ChangeDisplaySettings(nullptr, 0);
            m_ownsDisplay = false;
        }
        return D3D_OK;
    }

    // The back buffer and the automatic depth-stencil surface, bound; the
    // viewport covers the back buffer. Windowed presentation never waits
    // for the retrace; full screen it does unless told otherwise.
    void MakeSwapChain(const D3DPRESENT_PARAMETERS& parameters) {
        m_parameters = parameters;
        const bool immediate =
            parameters.Windowed || parameters.FullScreen_PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE;
        m_context.SetSwapInterval(immediate ? 0 : 1);
        int width = int(parameters.BackBufferWidth), height = int(parameters.BackBufferHeight);
        if (width == 0 || height == 0) m_context.GetDrawableSize(width, height);
        m_parameters.BackBufferWidth = UINT(width);
        m_parameters.BackBufferHeight = UINT(height);
        const D3DFORMAT format =
            parameters.BackBufferFormat == D3DFMT_UNKNOWN ? D3DFMT_X8R8G8B8 : parameters.BackBufferFormat;
        m_target.Set(nullptr);
        m_depth.Set(nullptr);
        m_backBuffer.Set(nullptr);
        m_autoDepth.Set(nullptr);
        auto* back = new CSurface8(this, CSurface8::EKind::Colour, UINT(width), UINT(height), format, D3DPOOL_DEFAULT);
        m_backBuffer.Set(back);
        back->Release(); // the device's binding keeps it
        m_target.Set(back);
        if (parameters.EnableAutoDepthStencil) {
            auto* depth = new CSurface8(this, CSurface8::EKind::Depth, UINT(width), UINT(height),
                                        parameters.AutoDepthStencilFormat, D3DPOOL_DEFAULT);
            m_autoDepth.Set(depth);
            depth->Release();
            m_depth.Set(depth);
        }
        UpdateTarget();
        D3DVIEWPORT8 viewport;
        viewport.Width = DWORD(width);
        viewport.Height = DWORD(height);
        m_pipeline->SetViewport(viewport);
    }

    void UpdateTarget() {
        CSurfaceBase* target = m_target.Get();
        m_pipeline->SetTarget(target ? target->GetImage() : nullptr, target ? target->GetLevel() : 0,
                              m_depth.Get() ? m_depth.Get()->GetDepth() : nullptr);
    }

    void DropBindings() {
        for (auto& texture : m_textures) texture.Set(nullptr);
        m_stream.Set(nullptr);
        m_indices.Set(nullptr);
        m_target.Set(nullptr);
        m_depth.Set(nullptr);
        if (m_pipeline) m_pipeline->SetTarget(nullptr, 0, nullptr);
    }

    HRESULT Draw(D3DPRIMITIVETYPE type, UINT first, UINT primitives, bool indexed) {
        if (!m_stream.Get() || (indexed && !m_indices.Get())) return D3DERR_INVALIDCALL;
        if (State().cooperation != ECooperation::Ok) return D3D_OK;
        MakeCurrent();
        m_pipeline->SetOpenGlPixelCentres(State().config.openGlPixelCentres);
        const std::vector<uint8_t>& data = m_stream.Get()->GetData();
        const Platform::Gl::CVertexStream vertices{data.data(), data.size(), m_fvf, m_stride};
        Platform::Gl::CIndexStream indices;
        if (indexed) {
            const std::vector<uint8_t>& indexData = m_indices.Get()->GetData();
            indices = {indexData.data(), indexData.size(), m_indices.Get()->GetIndexSize(), m_baseVertex};
        }
        return m_pipeline->Draw(type, vertices, first, primitives, indexed ? &indices : nullptr) ? D3D_OK
                                                                                                : D3DERR_INVALIDCALL;
    }

    CGlContext m_context;
    std::unique_ptr<CGlPipeline> m_pipeline;
    D3DPRESENT_PARAMETERS m_parameters;
    std::set<CDeviceChild*> m_children;
    CBinding<CSurface8> m_backBuffer, m_autoDepth;
    CBinding<CSurfaceBase> m_target, m_depth;
    std::array<CBinding<CTexture8>, Platform::Gl::kStages> m_textures;
    CBinding<CVertexBuffer8> m_stream;
    CBinding<CIndexBuffer8> m_indices;
    DWORD m_fvf = 0;
    UINT m_stride = 0;
    UINT m_baseVertex = 0;
    Platform::Testing::CD3D8Cursor m_cursor;
    HWND m_window = nullptr;
    bool m_ownsDisplay = false;  // full screen: the display is in this device's mode
};

CDeviceChild::CDeviceChild(CDevice8* device, D3DPOOL pool) : m_device(device), m_pool(pool) {
    if (m_device) m_device->Register(this);
}

void CDeviceChild::ReleaseGl(CGlImage* image, CGlDepthBuffer* depth) const {
    if (m_device) {
        m_device->MakeCurrent();
        return;
    }
    if (image) image->Abandon();
    if (depth) depth->Abandon();
}

CDeviceChild::~CDeviceChild() {
    if (m_device) {
        m_device->MakeCurrent();
        m_device->Unregister(this);
    }
}

class CDirect3D8 : public CCounted<IDirect3D8> {
public:
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override {
        if (!mode || adapter != 0) return D3DERR_INVALIDCALL;
        DEVMODE desktop;
        if (!EnumDisplaySettings(nullptr, ENUM_REGISTRY_SETTINGS, &desktop)) return D3DERR_NOTAVAILABLE;
        mode->Width = desktop.dmPelsWidth;
        mode->Height = desktop.dmPelsHeight;
        mode->RefreshRate = desktop.dmDisplayFrequency;
        mode->Format = desktop.dmBitsPerPel > 16 ? D3DFMT_X8R8G8B8 : D3DFMT_R5G6B5;
        return D3D_OK;
    }
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE, D3DCAPS8* caps) override {
        if (!caps || adapter != 0) return D3DERR_INVALIDCALL;
        *caps = State().config.caps;
        return D3D_OK;
    }
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER8* identifier) override {
        if (!identifier || adapter != 0) return D3DERR_INVALIDCALL;
        *identifier = D3DADAPTER_IDENTIFIER8{};
        std::strcpy(identifier->Driver, "opengl");
        std::strcpy(identifier->Description, "Direct3D 8 on OpenGL");
        identifier->DriverVersion.HighPart = 0x00010000;
        identifier->DriverVersion.LowPart = 0x00000001;
        return D3D_OK;
    }
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE,
                              D3DFORMAT format) override {
        const auto& formats = State().config.textureFormats;
        if (adapter != 0 || std::find(formats.begin(), formats.end(), format) == formats.end())
            return D3DERR_NOTAVAILABLE;
        return D3D_OK;
    }
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE, HWND focusWindow, DWORD behaviour,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) override {
        if (!device || !parameters || adapter != 0) return D3DERR_INVALIDCALL;
        *device = nullptr;
        const Platform::Testing::CD3D8Config& config = State().config;
        if (config.createDeviceFails) return D3DERR_NOTAVAILABLE;
        if ((behaviour & D3DCREATE_HARDWARE_VERTEXPROCESSING) && config.hardwareVertexProcessingFails)
            return D3DERR_INVALIDCALL;
        auto* created = new CDevice8;
        if (const HRESULT opened = created->Open(focusWindow, *parameters); FAILED(opened)) {
            created->Release();
            return opened;
        }
        State().cooperation = ECooperation::Ok;
        *device = created;
        return D3D_OK;
    }
};

UINT FitSize(UINT size, bool powerOfTwo) {
    if (!powerOfTwo || size == 0) return size;
    UINT power = 1;
    while (power < size) power <<= 1;
    return power;
}

} // namespace

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION || State().config.createFails) return nullptr;
    return new CDirect3D8;
}

HRESULT D3DXCreateTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture) {
    if (!device || !texture) return D3DERR_INVALIDCALL;
    D3DCAPS8 caps;
    const bool known = SUCCEEDED(device->GetDeviceCaps(&caps));
    const bool powerOfTwo = !known || (caps.TextureCaps & D3DPTEXTURECAPS_POW2);
    const bool square = !known || (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY);
    width = FitSize(std::max(width, 1u), powerOfTwo);
    height = FitSize(std::max(height, 1u), powerOfTwo);
    if (square) width = height = std::max(width, height);
    if (known) {
        width = std::min(width, std::max<UINT>(caps.MaxTextureWidth, 1));
        height = std::min(height, std::max<UINT>(caps.MaxTextureHeight, 1));
    }
    return device->CreateTexture(width, height, levels == D3DX_DEFAULT ? 0 : levels, usage, format, pool, texture);
}

namespace Platform::Testing {

D3DCAPS8 DefaultD3D8Caps() {
    D3DCAPS8 caps;
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    caps.SrcBlendCaps = caps.DestBlendCaps = 0x1FFF;
    caps.TextureOpCaps = 0x03FFFFFF;
    caps.MaxTextureWidth = caps.MaxTextureHeight = 2048;
    caps.MaxTextureRepeat = 8192;
    return caps;
}

CD3D8Config& D3D8Config() { return State().config; }

void LoseD3D8Device() { State().cooperation = ECooperation::Lost; }

void RegainD3D8Device() {
    if (State().cooperation == ECooperation::Lost) State().cooperation = ECooperation::NotReset;
}

void FailNextD3D8Reset(HRESULT result) { State().nextResetResult = result; }

DWORD ReadD3D8BackBuffer(int x, int y) {
    if (!g_lastDevice) return 0;
    g_lastDevice->MakeCurrent();
    CGlImage* image = g_lastDevice->GetBackBufferImage();
    if (!image || x < 0 || y < 0 || x >= image->GetWidth(0) || y >= image->GetHeight(0)) return 0;
    GLubyte rgba[4] = {};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, image->GetFramebuffer(0));
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return DWORD(rgba[0]) << 16 | DWORD(rgba[1]) << 8 | rgba[2];
}

CD3D8Cursor GetD3D8Cursor() { return g_lastDevice ? g_lastDevice->GetCursor() : CD3D8Cursor{}; }

int GetD3D8LiveObjectCount() { return State().liveObjects; }

} // namespace Platform::Testing

namespace Platform::Detail {

void ResetDirect3D8() {
    CD3D8State& state = State();
    state.config = Platform::Testing::CD3D8Config{};
    state.cooperation = ECooperation::Ok;
    state.nextResetResult = D3D_OK;
}

std::vector<CLibraryEntry> Direct3D8LibraryEntries() {
    return {{"Direct3DCreate8", ToProc(&Direct3DCreate8)}};
}

} // namespace Platform::Detail
