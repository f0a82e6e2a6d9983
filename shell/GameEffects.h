#pragma once
// The particle effects of the game data's effect files. The game's controls
// only start and place them; the application steps them on the effect clock
// and draws them after everything else, through the driver directly.

#include "app/GameData.h"

namespace Engine {

// One fixed step of every emitter of the data's effect files.
void UpdateGameEffects(const IGameData& data, float time, float step);
// Flushes the sprite queue first, so that the effects lie on top of it.
void DrawGameEffects(const IGameData& data);

} // namespace Engine
