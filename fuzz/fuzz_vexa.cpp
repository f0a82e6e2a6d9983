// Effect-file reading: any input either loads or throws the library's
// exceptions, or the archive's for a short read. A loaded file then makes
// its mesh buffers and textures through a device that keeps them in memory,
// and every emitter is copied, its curves and gradients sampled and two steps
// of it run, as running emitters do.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzTarget.h"
#include "app/Exception.h"
#include "app/File.h"
#include "app/Log.h"
#include "particles/library/VexaException.h"
#include "particles/library/VexaGraphicsException.h"
#include "particles/library/VexaParticleLibrary.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/ImageWriter.h"
#include "tools/VexaWriter.h"

namespace {

using namespace VexaParticles;

class CMemoryBuffer : public VexaGraphics::IVertexBuffer {
public:
    explicit CMemoryBuffer(size_t bytes) : m_data(bytes) {}
    int32_t Lock() override { return 0; }
    int32_t Unlock() override { return 0; }
    void* GetData() override { return m_data.data(); }

private:
    std::vector<uint8_t> m_data;
};

class CMemoryDevice : public VexaGraphics::IDevice {
public:
    int32_t SetRenderState(int32_t, int32_t) override { return 0; }
    int32_t SetBlendFunc(int32_t, int32_t) override { return 0; }
    int32_t CreateVertexBuffer(std::unique_ptr<VexaGraphics::IVertexBuffer>& out, int32_t count, int32_t stride,
                               uint32_t, uint32_t) override {
        out = std::make_unique<CMemoryBuffer>(size_t(count) * size_t(stride));
        return 0;
    }
    int32_t CreateTexture(std::unique_ptr<VexaGraphics::ITexture>& out, const VexaGraphics::CBitmap& bitmap,
                          uint32_t) override {
        // Copies the pixels, as a real device does.
        m_pixels.assign(bitmap.GetPixels(), bitmap.GetPixels() + size_t(bitmap.GetWidth()) * size_t(bitmap.GetHeight()));
        out = std::make_unique<VexaGraphics::ITexture>();
        return 0;
    }
    int32_t CreateBitmap(std::unique_ptr<VexaGraphics::CBitmap>& out, const uint32_t* pixels, int32_t width,
                         int32_t height, uint32_t fourth) override {
        out = std::make_unique<VexaGraphics::CBitmap>(pixels, width, height, fourth);
        return 0;
    }
    int32_t SetMeshTransform(const float*) override { return 0; }
    int32_t SetTexture(int32_t, VexaGraphics::ITexture*) override { return 0; }
    int32_t Draw(VexaGraphics::IVertexBuffer*, int32_t, int32_t, uint32_t) override { return 0; }
    bool IsColorRGBA() override { return false; }

private:
    std::vector<uint32_t> m_pixels;
};

float SampleAll(const CVexaParticleEmitter& emitter) {
    float sum = 0;
    for (const CParameterCurve& curve : emitter.GetCurves()) sum += SampleCurve(curve, 0.5f);
    for (int32_t i = 0; i < emitter.GetParticleTypeCount(); ++i) {
        const CVexaParticleType& type = emitter.GetParticleType(i);
        for (const CParameterCurve& curve : type.curves) sum += SampleCurve(curve, 25.0f);
        sum += SampleColourGradient(type.gradient, 0.75f).alpha;
    }
    return sum;
}

std::vector<uint8_t> SmallPng() {
    Tools::CPngImage image;
    image.width = 2;
    image.height = 1;
    image.samples = {255, 0, 0, 0, 255, 0};
    return Tools::WritePng(image);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GetLog().SetEnabled(false);
    CMemoryDevice device;
    CVexaParticleLibrary library;
    library.Init(&device);
    Engine::CMemoryFile stream(data, size);
    try {
        std::unique_ptr<CVexaFile> file = library.Read(stream, "'fuzz.vexa'");
        file->CreateTextures();
        volatile float sink = 0;
        for (int32_t i = 0; i < file->GetEmitterCount(); ++i) {
            auto copy = CVexaParticleEmitter::CreateFromPrototype(*file->GetEmitter(i));
            sink = sink + SampleAll(*copy) + float(copy->GetAxisFlag());
            // Two steps of the running copy: emission sized by the file's
            // counts, placement, the mesh pick, motion and the life step.
            copy->Update(0.0f, 0.1f, 0, 0, 0, 1);
            copy->Move(0.1f, 0.1f);
            copy->Update(0.1f, 0.1f, 0, 0, 0, 1);
            sink = sink + float(copy->GetParticleCount());
        }
    } catch (const CVexaException&) {
    } catch (const VexaGraphics::CVexaGraphicsException&) {
    } catch (const Engine::CException&) {
    }
    return 0;
}

std::vector<CFuzzSeed> FuzzSeeds() {
    Tools::CVexaDocument empty;
    Tools::CVexaDocument full;
    Tools::CVexaGeometry quad;
    quad.id = 1;
    quad.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    quad.faces = {{0, 1, 2}, {1, 3, 2}};
    quad.channels = {{{{0, 0}, {1, 0}, {0, 1}, {1, 1}}, {{0, 1, 2}, {1, 3, 2}}}};
    quad.materialId = 2;
    full.meshes.bitmaps = {{4, "skin", SmallPng()}};
    full.meshes.materials = {{2, {}, {Tools::CVexaMaterialMap{{}, 4}, std::nullopt}}};
    full.meshes.objects = {quad};
    full.meshes.instances = {{3, 1, {1, 1, 1}}};
    full.shapes = {{"dot", 9, {{SmallPng(), 8, 8}}, {}, {}}};
    Tools::CVexaEmitter emitter = Tools::MakeVexaEmitter("Sparks");
    emitter.types[0].shapeId = 9;
    emitter.types[0].meshes = {{3, 1, 1.0f, 0}};
    emitter.types[0].gradient = {{{0, 1, 1, 1, 1}, {1, 0, 0, 0, 0}}, 2, 0};
    emitter.types[0].subEmitters = {Tools::MakeVexaEmitter("Trail")};
    full.emitters = {emitter};
    return {{"empty.vexa", Tools::WriteVexa(empty)},
            {"full.vexa", Tools::WriteVexa(full)},
            {"scenes.vexa", Tools::WriteSceneEffects()}};
}
