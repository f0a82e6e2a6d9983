#include "particles/engine/VexaFile.h"

#include "particles/library/VexaParticleEmitter.h"

namespace Engine::Particles {

CVexaFile::CVexaFile(const CString& name, std::unique_ptr<VexaParticles::IVexaFile> file)
    : CManagedObject(name), m_file(std::move(file)), m_fileName(name) {}

CVexaFile::~CVexaFile() noexcept(false) {
    m_file->DestroyTextures();
    // The library emitters borrow the file's prototypes: they go first.
    for (const ref_ptr<CVexaParticleEmitter>& emitter : m_emitters) emitter->DestroyEmitter();
    m_emitters.clear();
    m_file.reset();
}

ref_ptr<CVexaParticleEmitter> CVexaFile::CreateEmitter(const char* name, float startTime) {
    ref_ptr<CVexaParticleEmitter> emitter(new CVexaParticleEmitter(m_file->CreateEmitter(name), startTime));
    m_emitters.push_back(emitter);
    return emitter;
}

} // namespace Engine::Particles
