#pragma once
// What the engine sees of the particle library: its device and the loading
// of effect files.

#include <memory>

#include "particles/library/IVexaFile.h"
#include "particles/library/VexaDevice.h"
#include "particles/library/VexaFileIO.h"

namespace VexaParticles {

class IVexaParticleLibrary {
public:
    virtual ~IVexaParticleLibrary() = default;
    // Reads an open stream to its end; the caller owns the file. The name
    // says in the log which file a picture that does not decode is in.
    virtual std::unique_ptr<IVexaFile> LoadFromFile(IVexaFileIO& io, const char* name) = 0;
    // Opens the named file through the engine's file system and reads it.
    virtual std::unique_ptr<IVexaFile> Load(const char* path) = 0;
    virtual void Init(VexaGraphics::IDevice* device) = 0;
    virtual void Done() = 0;
};

} // namespace VexaParticles
