#include "placefile/EngineParticles.h"

#include "particles/engine/ParticleSystem.h"
#include "particles/engine/VexaFileLocalManager.h"
#include "particles/library/VexaParticleEmitter.h"

namespace Engine::Graphics::PlaceFile {

namespace {
using Engine::Particles::CVexaFile;
using Engine::Particles::CVexaFileLocalManager;
using Engine::Particles::CVexaParticleEmitter;

class CEngineEmitter : public IPlaceEmitter {
public:
    explicit CEngineEmitter(ref_ptr<CVexaParticleEmitter> emitter) : m_emitter(std::move(emitter)) {}
    VexaParticles::IVexaParticleEmitter* GetLibraryEmitter() override { return m_emitter->GetEmitter(); }
    void SetTime(float time) override { m_emitter->m_fStartTime = time; }
    void SetPosition(float x, float y, float z) override { m_emitter->SetPosition({x, y, z}); }
    void SetEmitting(bool emitting) override { m_emitter->SetEmitting(emitting); }
    void Move(float time, float step) override { m_emitter->Move(time, step); }
    void Update(float time, float step) override { m_emitter->Update(time, step); }
    void RenderAll() override {
        if (VexaParticles::IVexaParticleEmitter* library = m_emitter->GetEmitter()) library->RenderAll();
    }

private:
    ref_ptr<CVexaParticleEmitter> m_emitter;
};

class CEngineEffectFile : public IPlaceEffectFile {
public:
    explicit CEngineEffectFile(ref_ptr<CVexaFile> file) : m_file(std::move(file)) {}
    const CString& GetName() const override { return m_file->GetName(); }
    std::vector<CString> GetEmitterNames() const override {
        VexaParticles::IVexaFile& file = *m_file->GetFile();
        std::vector<CString> names;
        for (int32_t i = 0; i < file.GetEmitterCount(); ++i) names.emplace_back(file.GetEmitter(i)->GetName());
        return names;
    }
    ref_ptr<IPlaceEmitter> CreateEmitter(const char* name, float startTime) override {
        return ref_ptr<IPlaceEmitter>(new CEngineEmitter(m_file->CreateEmitter(name, startTime)));
    }
    std::vector<ref_ptr<IPlaceEmitter>> GetEmitters() const override {
        std::vector<ref_ptr<IPlaceEmitter>> emitters;
        for (const ref_ptr<CVexaParticleEmitter>& emitter : m_file->GetEmitters())
            emitters.emplace_back(new CEngineEmitter(emitter));
        return emitters;
    }

private:
    ref_ptr<CVexaFile> m_file;
};

class CEngineEffectFiles : public IPlaceEffectFiles {
public:
    explicit CEngineEffectFiles(Engine::Particles::CParticleSystem& system)
        : m_files(new CVexaFileLocalManager(&system.GetFileManager())) {}
    ref_ptr<IPlaceEffectFile> GetVexaFile(const char* name) override {
        return ref_ptr<IPlaceEffectFile>(new CEngineEffectFile(m_files->GetVexaFile(name ? name : "")));
    }
    std::vector<ref_ptr<IPlaceEffectFile>> GetUses() const override {
        std::vector<ref_ptr<IPlaceEffectFile>> uses;
        for (const ref_ptr<CVexaFile>& use : m_files->GetUses()) uses.emplace_back(new CEngineEffectFile(use));
        return uses;
    }

private:
    ref_ptr<CVexaFileLocalManager> m_files;
};
} // namespace

ref_ptr<IPlaceEffectFiles> CreateEngineEffectFiles(Engine::Particles::CParticleSystem& system) {
    return ref_ptr<IPlaceEffectFiles>(new CEngineEffectFiles(system));
}

} // namespace Engine::Graphics::PlaceFile
