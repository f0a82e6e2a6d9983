#pragma once
// Shared by the particle tests: a recording device, reading byte images into
// effect files, and the description of a read file in the writer's terms.

#include <memory>
#include <string>
#include <vector>

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
    int32_t SetRenderState(int32_t, int32_t) override { return 0; }
    int32_t SetBlendFunc(int32_t, int32_t) override { return 0; }
    int32_t CreateVertexBuffer(std::unique_ptr<VexaGraphics::IVertexBuffer>& out, int32_t count, int32_t stride,
                               uint32_t format, uint32_t usage) override;
    int32_t CreateTexture(std::unique_ptr<VexaGraphics::ITexture>& out, const VexaGraphics::CBitmap& bitmap,
                          uint32_t flags) override;
    int32_t CreateBitmap(std::unique_ptr<VexaGraphics::CBitmap>& out, const uint32_t* pixels, int32_t width,
                         int32_t height, uint32_t fourth) override;
    int32_t SetMeshTransform(const float*) override { return 0; }
    int32_t SetTexture(int32_t, VexaGraphics::ITexture*) override { return 0; }
    int32_t Draw(VexaGraphics::IVertexBuffer*, int32_t, int32_t, uint32_t) override { return 0; }
    bool IsColorRGBA() override { return false; }

    std::string failing;
    std::vector<std::string> calls;  // "CreateVertexBuffer 6 24 0x10009 0" ...
    std::vector<CMemoryVertexBuffer*> buffers;
};

// Reads a whole file image; without a device no mesh buffers are made.
std::unique_ptr<CVexaFile> ReadVexa(const Bytes& bytes, CVexaParticleLibrary* library = nullptr);

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
