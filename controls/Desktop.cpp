#include "controls/Desktop.h"

#include "controls/ControlsManager.h"

namespace Engine::Controls {

bool CDesktop::HandleEvent(ControlEvent& event) {
    if (event.code == CE_SET_CURSOR && m_pManager) m_pManager->SetCursor(1);
    return true;
}

} // namespace Engine::Controls
