#include "gameui/ControlSounds.h"

#include "app/Application.h"
#include "app/Exception.h"
#include "controls/BaseControl.h"
#include "controls/ControlsManager.h"
#include "gameui/NamedLookup.h"
#include "graphics/Graphics.h"
#include "graphics/SprFileManager.h"
#include "particles/engine/VexaFileLocalManager.h"
#include "sound/SampleLocalManager.h"

namespace GameUi {

using Engine::IGameData;

namespace {

constexpr int32_t kVoiceStopped = 1;

float SoundScale(const IGameData& game, const Engine::Sound::CSampleLocalManager* manager) {
    const Engine::CResourceHolder* first = game.GetScaledResources(0);
    const Engine::CResourceHolder* second = game.GetScaledResources(1);
    if (!first || !second || !game.IsSoundScaling()) return 1.0f;
    return manager == first->samples || manager == second->samples ? game.GetSoundScalingFactor() : 1.0f;
}

} // namespace

IGameData* FindGameData(const Engine::Controls::CBaseControl& control) {
    const Engine::Controls::CControlsManager* manager = control.GetManager();
    Engine::Graphics::CGraphics* graphics = manager ? manager->GetGraphics() : nullptr;
    Engine::CApplication* application = graphics ? graphics->GetApplication() : nullptr;
    return application ? application->GetGameData() : nullptr;
}

float GetGameGlobalFloat(const Engine::Controls::CBaseControl& control, const char* name, int index) {
    IGameData* game = FindGameData(control);
    return game ? Engine::GetGlobalFloat(name, game->GetGlobalValues(), index) : 0.0f;
}

Engine::Graphics::SprFile::CSpriteRef* FindControlSprite(const Engine::Controls::CBaseControl& control,
                                                          const char* name) {
    IGameData* game = FindGameData(control);
    Engine::Graphics::SprFile::CSprFileLocalManager* files = game ? game->GetResources().sprFiles : nullptr;
    if (!files) return nullptr;
    // A lookup in this holder's files only, not a load: drawing counts no
    // uses. The file keeps the reference it makes on the first request.
    const auto file = FindDependentByName(files->GetObjects(), kControlSprites);
    if (!file) throw Engine::CException::Format("Couldn't find spr file '%s'", kControlSprites);
    return file->CreateSpriteByName(name);
}

void PlayControlSound(IGameData* game, Engine::ref_ptr<Engine::Sound::CSampleLocalManager> manager, const char* name,
                      float volume, float pan, bool loop) {
    if (!game || !manager || game->IsBusy()) return;
    const auto sample = FindDependentByName(manager->GetObjects(), name);
    if (!sample) throw Engine::CException::Format("Couldn't find Sample file '%s'", name);
    for (int32_t i = 0; i < sample->GetBufferCount(); ++i) {
        if (sample->GetBuffer(i).GetState() != kVoiceStopped) continue;
        const float scale = SoundScale(*game, manager.get());
        const Engine::Sound::CPlayParams params{scale, scale * volume, pan, loop, 0, 1.0f};
        sample->Play(&params);
        return;
    }
}

void PlayControlSound(const Engine::Controls::CBaseControl& control, const char* name) {
    IGameData* game = FindGameData(control);
    if (game) PlayControlSound(game, game->GetResources().samples, name, 1.0f, 0.0f, false);
}

void PlayClickEffect(IGameData* game, float x, float y) {
    Engine::Particles::CVexaFileLocalManager* files = game ? game->GetResources().particleFiles : nullptr;
    const auto file = files ? FindDependentByName(files->GetObjects(), kCommonEffects) : nullptr;
    if (!file) return;
    const auto emitter = file->CreateEmitter(kClickEmitter, game->GetEffectClock());
    emitter->SetPosition({x, y, 0.0f});
}

} // namespace GameUi
