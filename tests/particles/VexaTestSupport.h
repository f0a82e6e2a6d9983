#pragma once
// Shared by the particle tests: a recording device, reading byte images into
// effect files, and the description of a read file in the writer's terms.

#include <bit>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "particles/library/ParticleDrawing.h"
#include "particles/library/VexaDevice.h"
#include "particles/library/VexaFile.h"
#include "tools/VexaWriter.h"

namespace VexaTest {

using namespace VexaParticles;
using Bytes = std::vector<uint8_t>;

class CMemoryVertexBuffer : public VexaGraphics::IVertexBuffer {
public:
    explicit CMemoryVertexBuffer(size_t bytes) : data(bytes) {}
    int32_t Lock() override { return lockResult; }
    int32_t Unlock() override { return 0; }
    void* GetData() override { return data.data(); }
    std::vector<uint8_t> data;
    int32_t lockResult = 0;
};

class CTexture : public VexaGraphics::ITexture {
public:
    int32_t Invalidate() override { return ++invalidations, 0; }
    int32_t width = 0;
    int invalidations = 0;
};

// Records what it is asked for; fails the operation named by failing.
class CFakeDevice : public VexaGraphics::IDevice {
public:
    int32_t SetRenderState(int32_t state, int32_t value) override {
        return states.push_back("RenderState " + std::to_string(state) + " " + std::to_string(value)), 0;
    }
    int32_t SetBlendFunc(int32_t source, int32_t destination) override {
        return states.push_back("Blend " + std::to_string(source) + " " + std::to_string(destination)), 0;
    }
    int32_t CreateVertexBuffer(std::unique_ptr<VexaGraphics::IVertexBuffer>& out, int32_t count, int32_t stride,
                               uint32_t format, uint32_t usage) override;
    int32_t CreateTexture(std::unique_ptr<VexaGraphics::ITexture>& out, const VexaGraphics::CBitmap& bitmap,
                          uint32_t flags) override;
    int32_t CreateBitmap(std::unique_ptr<VexaGraphics::CBitmap>& out, const uint32_t* pixels, int32_t width,
                         int32_t height, uint32_t fourth) override;
    int32_t SetMeshTransform(const float*) override { return 0; }
    int32_t SetTexture(int32_t, VexaGraphics::ITexture* texture) override {
        return states.push_back(texture ? "Texture" : "NoTexture"), 0;
    }
    // Keeps a copy of the drawn quads' vertices.
    int32_t Draw(VexaGraphics::IVertexBuffer* buffer, int32_t first, int32_t count, uint32_t) override;
    bool IsColorRGBA() override { return rgba; }

    bool rgba = false;
    std::vector<std::string> states;
    std::vector<std::vector<CParticleVertex>> draws;

    std::string failing;
    std::vector<std::string> calls;  // "CreateVertexBuffer 6 24 0x10009 0" ...
    std::vector<CMemoryVertexBuffer*> buffers;
};

// Little-endian bytes appended by hand, independent of the writer.
struct CBytes {
    Bytes data;
    CBytes& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) data.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }
    CBytes& f32(float v) { return u32(std::bit_cast<uint32_t>(v)); }
    CBytes& u8(uint8_t v) { return data.push_back(v), *this; }
    CBytes& str(const char* s) {
        u8(uint8_t(std::strlen(s)));
        data.insert(data.end(), s, s + std::strlen(s));
        return *this;
    }
    CBytes& emptyCurves(int n) {
        for (int i = 0; i < n; ++i) u32(0).u32(0);
        return *this;
    }
    CBytes& header() {
        data.insert(data.end(), {'V', 'E', 'X', 'A'});
        return u32(0x24000);
    }
    CBytes& trailer() {
        for (int i = 0; i < 13; ++i) u32(0xAB);
        return *this;
    }
};

// Reads a whole file image; without a device no mesh buffers are made.
std::unique_ptr<CVexaFile> ReadVexa(const Bytes& bytes, CVexaParticleLibrary* library = nullptr,
                                    std::string name = {});

// The file as the writer would describe it.
Tools::CVexaDocument Describe(const CVexaFile& file);
// The document as a reader keeps it: names, ignored words, the trailer and
// all but the last image of a shape dropped.
Tools::CVexaDocument Kept(Tools::CVexaDocument document);

// A document with one block of every kind.
Tools::CVexaDocument FullDocument();

// A solid 2 x 2 PNG.
Bytes SmallPng();

} // namespace VexaTest
