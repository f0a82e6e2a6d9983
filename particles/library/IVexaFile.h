#pragma once
// What the engine sees of a loaded effect file.

#include <cstdint>
#include <memory>

namespace VexaParticles {

class CVexaParticleEmitter;

class IVexaFile {
public:
    virtual ~IVexaFile() = default;
    // Makes the textures still missing (shapes, then mesh images).
    virtual void CreateTextures() = 0;
    virtual void DestroyTextures() = 0;
    // A running emitter copied from the named prototype; throws
    // CVexaException when there is none. It must not outlive this file.
    virtual std::unique_ptr<CVexaParticleEmitter> CreateEmitter(const char* name) = 0;
    virtual int32_t GetEmitterCount() const = 0;
    virtual CVexaParticleEmitter* FindEmitter(const char* name) = 0;
    virtual CVexaParticleEmitter* GetEmitter(int32_t index) = 0;
    virtual void InvalidateTextures() = 0;
};

} // namespace VexaParticles
