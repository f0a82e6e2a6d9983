#include "gameui/GameButtonFeedback.h"

#include "controls/BaseControl.h"
#include "controls/ControlsManager.h"
#include "gameui/ControlSounds.h"

namespace GameUi {

namespace {

constexpr uint32_t kKeySpace = 57;
constexpr uint32_t kKeyEnter = 28;
constexpr int32_t kHandCursor = 12;

} // namespace

bool GiveClickFeedback(const Engine::Controls::CBaseControl& button, int32_t x, int32_t y) {
    Engine::IGameData* game = FindGameData(button);
    if (game && game->IsBusy()) return false;
    PlayControlSound(button, kClickSound);
    const Engine::Geometry::CRect screen = button.ClientToScreen();
    PlayClickEffect(game, float(screen.left + x), float(screen.top + y));
    return true;
}

void GiveKeyFeedback(const Engine::Controls::CBaseControl& button, uint32_t key) {
    if (key == kKeySpace || key == kKeyEnter) PlayControlSound(button, kClickSound);
}

void GiveHoverFeedback(const Engine::Controls::CBaseControl& button, bool& wasHovered) {
    if (button.IsHovered() && !wasHovered) {
        // No game data counts as suppressed: there is nothing to play.
        const Engine::IGameData* game = FindGameData(button);
        if (game && !game->IsHoverSoundSuppressed()) PlayControlSound(button, kFocusSound);
    }
    wasHovered = button.IsHovered();
}

bool SetGameButtonCursor(Engine::Controls::CBaseControl& button) {
    const Engine::IGameData* game = FindGameData(button);
    if ((game && game->IsCursorLocked()) || !button.HasStyle(Engine::Controls::CS_VISIBLE)) return false;
    if (Engine::Controls::CControlsManager* manager = button.GetManager()) manager->SetCursor(kHandCursor);
    return true;
}

} // namespace GameUi
