#pragma once
// What a place file needs of the engine's particle system: effect files
// shared by name with one owner's record of the files it took, and engine
// emitters made from them. The particle system binds these interfaces
// through SetPlaceParticleFactory; without a binding a place file has no
// particle-file local manager, its library stays empty and its particle
// objects are inert.
//
// Move, Update and RenderAll below are the engine emitter's; the library
// emitter reached by GetLibraryEmitter carries the tint, the render offset,
// the emitter value and Reset.

#include <cstdint>
#include <vector>

#include "app/Referenced.h"
#include "app/String.h"
#include "particles/library/IVexaParticleEmitter.h"

namespace Engine::Graphics {
class CGraphics;
}

namespace Engine::Graphics::PlaceFile {

// An engine emitter: a running library emitter with its time, position and
// emitting flag.
class IPlaceEmitter : public Engine::CReferenced {
public:
    // Null once the emitter's file is gone.
    virtual VexaParticles::IVexaParticleEmitter* GetLibraryEmitter() = 0;
    // The emitter's first time value.
    virtual void SetTime(float time) = 0;
    virtual void SetPosition(float x, float y, float z) = 0;
    virtual void SetEmitting(bool emitting) = 0;
    virtual void Move(float time, float step) = 0;
    // Emission and particle life at the stored position and flag.
    virtual void Update(float time, float step) = 0;
    virtual void RenderAll() = 0;
};

// A loaded effect file.
class IPlaceEffectFile : public Engine::CReferenced {
public:
    // The name it was loaded under, backslashes turned into slashes.
    virtual const CString& GetName() const = 0;
    // The prototypes it defines, in the file's order.
    virtual std::vector<CString> GetEmitterNames() const = 0;
    // A new emitter of the named prototype (null: the default), started at
    // startTime and kept in the file's list.
    virtual ref_ptr<IPlaceEmitter> CreateEmitter(const char* name, float startTime) = 0;
    // The emitters made from this file so far.
    virtual std::vector<ref_ptr<IPlaceEmitter>> GetEmitters() const = 0;
};

// One owner's effect files: each file taken counts a use in the global
// table and is handed back when the local manager goes.
class IPlaceEffectFiles : public Engine::CReferenced {
public:
    // Opens or shares the file (null name: the empty name) and records the
    // use; throws Engine::CException when it cannot be opened.
    virtual ref_ptr<IPlaceEffectFile> GetVexaFile(const char* name) = 0;
    // Every recorded use, in order of recording.
    virtual std::vector<ref_ptr<IPlaceEffectFile>> GetUses() const = 0;
};

// Makes a place file's particle-file local manager, or null when the
// graphics object gives no access to a particle system.
using PlaceParticleFactory = ref_ptr<IPlaceEffectFiles> (*)(CGraphics* graphics);
void SetPlaceParticleFactory(PlaceParticleFactory factory);
PlaceParticleFactory GetPlaceParticleFactory();

} // namespace Engine::Graphics::PlaceFile
