#pragma once
// How a game control reaches the running game's data, the sprites it loads
// through it, and the feedback it gives through it: short control sounds
// and the click particle effect. Without game data nothing is loaded or
// played.

#include "app/GameData.h"
#include "app/Referenced.h"

namespace Engine::Controls {
class CBaseControl;
}
namespace Engine::Graphics::SprFile {
class CSpriteRef;
}
namespace Engine::Sound {
class CSampleLocalManager;
}

namespace GameUi {

inline constexpr const char* kClickSound = "ogg/click.ogg";
inline constexpr const char* kFocusSound = "ogg/focus.ogg";
inline constexpr const char* kRingSound = "ogg/ring_particles.ogg";
inline constexpr const char* kCommonEffects = "vexa/common.vexa";
inline constexpr const char* kClickEmitter = "click";
inline constexpr const char* kControlSprites = "spr/controls.spr";

// Through the control's manager, its driver and the application; null at
// the first missing link.
Engine::IGameData* FindGameData(const Engine::Controls::CBaseControl& control);

// The named global value (with index >= 0, the name followed by the index)
// as a float; 0 without game data.
float GetGameGlobalFloat(const Engine::Controls::CBaseControl& control, const char* name, int index = -1);

// The sprite of "spr/controls.spr", opened through the resource holder's
// sprite-file manager; null without game data or manager. A file that
// manager does not hold throws "Couldn't find spr file '%s'", a missing
// sprite the sprite file's exception.
Engine::Graphics::SprFile::CSpriteRef* FindControlSprite(const Engine::Controls::CBaseControl& control,
                                                          const char* name);

// Plays the manager's sample of that name on its first stopped voice,
// scaled when the manager belongs to a scaled resource holder and scaling
// is on. Silent while the game is busy (nothing is looked up), when every
// voice plays, and without game data or manager. A sample the manager does
// not hold throws "Couldn't find Sample file '%s'".
void PlayControlSound(Engine::IGameData* game, Engine::ref_ptr<Engine::Sound::CSampleLocalManager> manager,
                      const char* name, float volume, float pan, bool loop);
// The way every control plays: the resource holder's sample manager, full
// volume, centred, once.
void PlayControlSound(const Engine::Controls::CBaseControl& control, const char* name);

// Starts the "click" emitter of the loaded "vexa/common.vexa" at the screen
// point, at the effect clock. Nothing when that file is not loaded.
void PlayClickEffect(Engine::IGameData* game, float x, float y);

} // namespace GameUi
