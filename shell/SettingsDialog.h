#pragma once
// The screensaver's settings dialog, made of the engine's own controls over
// the settings model.

#include <functional>

#include "shell/SettingsDialogModel.h"
#include "controls/Dialog.h"
#include "graphics/Font.h"

namespace Engine {

// The dialog window's content: the check box, the label and the combo box
// of the change times over a model, with OK and Cancel.
class CSettingsDialog : public Controls::CDialog {
public:
    enum ControlId : int32_t { ID_OK = 1, ID_CANCEL = 2, ID_AMBIENT_SOUNDS = 3, ID_CHANGE_TIME = 4 };
    static constexpr int32_t kWidth = 320;
    static constexpr int32_t kHeight = 200;

    // onClose runs once, at OK (after the model stored the settings, with
    // whether it could) or at Cancel (with false).
    CSettingsDialog(CSettingsDialogModel& model, std::function<void(bool stored)> onClose)
        : m_model(model), m_onClose(std::move(onClose)) {}

    // Makes the dialog at (x, y) under the parent, its controls showing the
    // model's settings in the font (none: no texts) and the check box
    // holding the focus.
    void Build(Controls::CControlsManager* manager, Ref parent, int32_t x, int32_t y,
               ref_ptr<Graphics::CFont> font);
    void Draw(Controls::CRenderContext& context) override;
    bool OnCommand(uint32_t commandId, uint32_t code) override;
    // Escape cancels.
    bool OnKeyDown(uint32_t key, uint32_t flags) override;

private:
    void Close(bool ok);

    CSettingsDialogModel& m_model;
    std::function<void(bool)> m_onClose;
    bool m_bClosed = false;
};

} // namespace Engine
