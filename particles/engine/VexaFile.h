#pragma once
// A loaded effect file as the engine shares it: the library's file under
// the name it was loaded by, and the emitters made from it.

#include <memory>
#include <vector>

#include "app/ManagedObject.h"
#include "app/Referenced.h"
#include "app/String.h"
#include "particles/engine/VexaParticleEmitter.h"
#include "particles/library/IVexaFile.h"

namespace Engine::Particles {

class CVexaFile : public Engine::CReferenced, public Engine::CManagedObject {
public:
    CVexaFile(const CString& name, std::unique_ptr<VexaParticles::IVexaFile> file);
    // Destroys the textures, deletes the library emitter of every emitter
    // made from this file (users may still hold them), then the file.
    ~CVexaFile() noexcept(false) override;

    // A running emitter of the named effect, started at startTime. Throws
    // the library's exception when the file has no such effect.
    ref_ptr<CVexaParticleEmitter> CreateEmitter(const char* name, float startTime);

    VexaParticles::IVexaFile* GetFile() const { return m_file.get(); }
    const CString& GetFileName() const { return m_fileName; }
    const std::vector<ref_ptr<CVexaParticleEmitter>>& GetEmitters() const { return m_emitters; }

    // Left to the users.
    float m_fValue = 0.2f;
    std::vector<ref_ptr<Engine::CReferenced>> m_others;

private:
    std::unique_ptr<VexaParticles::IVexaFile> m_file;
    CString m_fileName;
    std::vector<ref_ptr<CVexaParticleEmitter>> m_emitters;
};

} // namespace Engine::Particles
