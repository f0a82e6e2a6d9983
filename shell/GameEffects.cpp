#include "shell/GameEffects.h"

#include <algorithm>
#include <vector>

#include "graphics/SpriteQueue.h"
#include "particles/engine/VexaFile.h"
#include "particles/engine/VexaFileLocalManager.h"

namespace Engine {

namespace {
// The resource holder's files and the data's own list, each file once.
std::vector<Particles::CVexaFile*> EffectFiles(const IGameData& data) {
    std::vector<Particles::CVexaFile*> files;
    if (const Particles::CVexaFileLocalManager* holder = data.GetResources().particleFiles)
        for (const ref_ptr<Particles::CVexaFile>& file : holder->GetObjects()) files.push_back(file.get());
    for (const ref_ptr<Particles::CVexaFile>& file : data.GetParticleFiles())
        if (file && std::find(files.begin(), files.end(), file.get()) == files.end()) files.push_back(file.get());
    return files;
}
} // namespace

void UpdateGameEffects(const IGameData& data, float time, float step) {
    for (Particles::CVexaFile* file : EffectFiles(data))
        for (const ref_ptr<Particles::CVexaParticleEmitter>& emitter : file->GetEmitters()) {
            emitter->Move(time, step);
            emitter->Update(time, step);
        }
}

void DrawGameEffects(const IGameData& data) {
    const std::vector<Particles::CVexaFile*> files = EffectFiles(data);
    if (files.empty()) return;
    Graphics::CSpriteQueue::FlushIfPending(Graphics::CSpriteQueue::CParams{});
    for (Particles::CVexaFile* file : files)
        for (const ref_ptr<Particles::CVexaParticleEmitter>& emitter : file->GetEmitters())
            if (VexaParticles::IVexaParticleEmitter* library = emitter->GetEmitter()) library->RenderAll();
}

} // namespace Engine
