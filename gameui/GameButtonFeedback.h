#pragma once
// What the game's buttons add to a button's behaviour: the click sound and
// effect on a press, the click sound on Space and Enter, the hover sound
// once per entry, and the hand cursor.

#include <cstdint>

namespace Engine::Controls {
class CBaseControl;
}

namespace GameUi {

// False while the game is busy (the press is left alone); else the click
// sound and the click effect at the press point, in screen coordinates.
bool GiveClickFeedback(const Engine::Controls::CBaseControl& button, int32_t x, int32_t y);
// The click sound for the keys that activate a button on release.
void GiveKeyFeedback(const Engine::Controls::CBaseControl& button, uint32_t key);
// The hover sound when the button has become the hovered control since
// the last call, unless hover sounds are suppressed.
void GiveHoverFeedback(const Engine::Controls::CBaseControl& button, bool& wasHovered);
// Cursor 12 for a visible button, unless the game holds the cursor.
bool SetGameButtonCursor(Engine::Controls::CBaseControl& button);

} // namespace GameUi
