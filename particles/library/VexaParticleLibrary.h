#pragma once
// The particle library: the drawing device, the one vertex buffer every
// emitter draws through, and the loading of ".vexa" effect files.

#include <cstdint>
#include <memory>

#include "app/File.h"
#include "particles/library/IVexaParticleLibrary.h"
#include "particles/library/ParticleWorkBudget.h"
#include "particles/library/PoolHolding.h"
#include "particles/library/VexaFile.h"

namespace VexaParticles {

class CVexaParticleLibrary : public IVexaParticleLibrary {
public:
    static constexpr int32_t kParticleCapacity = 512;
    static constexpr int32_t kVertexBytes = 28;
    static constexpr uint32_t kVertexFormat = 0x1000D;

    CVexaParticleLibrary() = default;
    ~CVexaParticleLibrary() override { Done(); }
    CVexaParticleLibrary(const CVexaParticleLibrary&) = delete;
    CVexaParticleLibrary& operator=(const CVexaParticleLibrary&) = delete;

    std::unique_ptr<IVexaFile> LoadFromFile(IVexaFileIO& io, const char* name) override;
    std::unique_ptr<IVexaFile> Load(const char* path) override;
    // Keeps the device (not owned) and makes the shared vertex buffer for
    // 512 particles; a device failure throws CVexaGraphicsException.
    void Init(VexaGraphics::IDevice* device) override;
    void Done() override { m_vertexBuffer.reset(); }

    VexaGraphics::IDevice* GetDevice() const { return m_device; }
    VexaGraphics::IVertexBuffer* GetVertexBuffer() const { return m_vertexBuffer.get(); }
    int32_t GetCapacity() const { return m_nCapacity; }
    // Bounds what the emitters of this library's files do in one frame.
    CParticleWorkBudget& GetWorkBudget() { return m_workBudget; }
    // What this library's emitters hold of the particle pool.
    CPoolHolding& GetPoolHolding() { return m_poolHolding; }

    // Reads a whole stream into a new file. The stream must end where the
    // file does. A short read throws the archive's Engine::CException;
    // every other failure throws CVexaException: errorName is the file's
    // quoted name for messages, or empty. The file keeps name for its log
    // lines.
    std::unique_ptr<CVexaFile> Read(Engine::CAbstractFile& stream, const char* errorName, const char* name = "");

private:
    // Let go of last, after everything its emitters may still give back.
    CPoolHolding m_poolHolding;
    VexaGraphics::IDevice* m_device = nullptr;
    std::unique_ptr<VexaGraphics::IVertexBuffer> m_vertexBuffer;
    int32_t m_nCapacity = 0;
    CParticleWorkBudget m_workBudget;
};

} // namespace VexaParticles
