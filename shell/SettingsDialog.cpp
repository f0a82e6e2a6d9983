#include "shell/SettingsDialog.h"

#include "controls/Button.h"
#include "controls/ComboBox.h"
#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"
#include "controls/Static.h"

namespace Engine {

namespace {
// The system colour of button faces, the dialog's background.
constexpr int kFaceColor = 15;
constexpr int32_t kMargin = 16;
constexpr int32_t kRowHeight = 20;
// Room for the four choices in rows of the dialog font's height.
constexpr int32_t kDropDownHeight = 70;
constexpr int32_t kButtonWidth = 80;
constexpr int32_t kButtonHeight = 24;

template <class T>
ref_ptr<T> AddControl(Controls::CControlsManager* manager, const Controls::CBaseControl::Ref& parent, int32_t x,
                      int32_t y, int32_t width, int32_t height, const char* text, uint32_t style, int32_t id) {
    ref_ptr<T> control(new T);
    control->Create(manager, parent, x, y, width, height, text, Controls::CS_VISIBLE | Controls::CS_CHILD | style, id);
    return control;
}
} // namespace

void CSettingsDialog::Build(Controls::CControlsManager* manager, Ref parent, int32_t x, int32_t y,
                            ref_ptr<Graphics::CFont> font) {
    using namespace Controls;
    Create(manager, std::move(parent), x, y, kWidth, kHeight, CString(), CS_VISIBLE | CS_CHILD, 0);
    // Before the children: the combo box's rows take their height from it.
    SetFont(std::move(font));
    const Ref self(this);
    const int32_t width = kWidth - 2 * kMargin;
    const ref_ptr<CButton> ambient = AddControl<CButton>(
        manager, self, kMargin, kMargin, width, kRowHeight,
        CSettingsDialogModel::kAmbientSoundsLabel, CS_TABSTOP | CS_GROUP | CButton::BS_CHECK, ID_AMBIENT_SOUNDS);
    if (m_model.GetPlayAmbientSounds()) ambient->SetStyle(ambient->GetStyle() | CS_CHECKED);
    AddControl<CStatic>(manager, self, kMargin, kMargin + 2 * kRowHeight, width, kRowHeight,
                        CSettingsDialogModel::kChangeTimeLabel, CStatic::SS_LEFT, 0);
    const ref_ptr<CComboBox> times = AddControl<CComboBox>(manager, self, kMargin, kMargin + 3 * kRowHeight, width,
                                                           kDropDownHeight, "", CS_TABSTOP | CS_GROUP, ID_CHANGE_TIME);
    for (const char* choice : CSettingsDialogModel::kChangeTimeChoices) times->AddItem(choice);
    times->SetCurrentItem(times->GetItem(m_model.GetChangeTimeChoice()));
    const int32_t buttonsTop = kHeight - kMargin - kButtonHeight;
    AddControl<CButton>(manager, self, kWidth - 2 * (kMargin + kButtonWidth), buttonsTop, kButtonWidth, kButtonHeight,
                        "OK", CS_TABSTOP | CS_GROUP | CButton::BS_DEFAULT, ID_OK);
    AddControl<CButton>(manager, self, kWidth - kMargin - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight,
                        "Cancel", CS_TABSTOP, ID_CANCEL);
    manager->SetFocus(ambient);
}

void CSettingsDialog::Draw(Controls::CRenderContext& context) {
    if (m_pManager) context.FillRect(0, 0, m_clientRect.Width(), m_clientRect.Height(), m_pManager->GetSysColor(kFaceColor));
    context.Flush();
    CDialog::Draw(context);
}

bool CSettingsDialog::OnCommand(uint32_t commandId, uint32_t code) {
    (void)code;
    if (commandId == ID_OK) {
        const Ref ambient = FindChildByID(ID_AMBIENT_SOUNDS);
        m_model.SetPlayAmbientSounds(ambient && ambient->HasStyle(Controls::CS_CHECKED));
        if (const auto* times = dynamic_cast<Controls::CComboBox*>(FindChildByID(ID_CHANGE_TIME).get()))
            for (int32_t i = 0; i < times->GetItemCount(); ++i)
                if (times->GetItem(i) == times->GetCurrentItem()) m_model.SetChangeTimeChoice(i);
        Close(true);
        return true;
    }
    if (commandId == ID_CANCEL) {
        Close(false);
        return true;
    }
    return false;
}

bool CSettingsDialog::OnKeyDown(uint32_t key, uint32_t flags) {
    if (key != Controls::KEY_ESCAPE) return CDialog::OnKeyDown(key, flags);
    Close(false);
    return true;
}

void CSettingsDialog::Close(bool ok) {
    if (m_bClosed) return;
    m_bClosed = true;
    bool stored = false;
    if (ok)
        stored = m_model.Ok();
    else
        m_model.Cancel();
    if (m_onClose) m_onClose(stored);
}

} // namespace Engine
