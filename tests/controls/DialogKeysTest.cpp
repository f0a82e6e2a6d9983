// Return in a dialog: the default button takes it, whatever state the
// button is in, and the key always comes to an end.

#include "controls/Button.h"
#include "controls/Dialog.h"
#include "controls/Edit.h"
#include "tests/controls/WidgetsFixture.h"

using namespace ControlsTesting;

namespace {

struct CReturnCase {
    const char* name;
    uint32_t buttonStyle;  // added to the default button's
    uint32_t dialogStyle;  // added to the dialog's
    bool focusOnButton;    // else the focus is on an edit box before it
    size_t commands;       // the owner hears these on Return
};

const CReturnCase kReturns[] = {
    {"EnabledFromTheEdit", 0, 0, false, 1},
    {"EnabledFromTheButton", 0, 0, true, 1},
    {"DisabledFromTheEdit", CS_DISABLED, 0, false, 0},
    {"DisabledFromTheButton", CS_DISABLED, 0, true, 0},
    {"BlockedFromTheEdit", CS_INPUT_BLOCKED, 0, false, 0},
    {"BlockedFromTheButton", CS_INPUT_BLOCKED, 0, true, 0},
    {"DialogBlocked", 0, CS_INPUT_BLOCKED, false, 0},
};

class DialogReturn : public WidgetsFixture, public testing::WithParamInterface<CReturnCase> {};

} // namespace

TEST_P(DialogReturn, EndsAtTheDefaultButtonOrTheDialog) {
    const CReturnCase& c = GetParam();
    const ref_ptr<CListener> owner = Make<CListener>(nullptr, {0, 0, 800, 600});
    const ref_ptr<CDialog> dialog = Make<CDialog>(owner, {100, 100, 500, 400}, CS_VISIBLE | CS_CHILD | c.dialogStyle);
    const ref_ptr<CEdit> edit = Make<CEdit>(dialog, {10, 10, 200, 40}, CS_VISIBLE | CS_CHILD | CS_TABSTOP, 4);
    const ref_ptr<CButton> ok = Make<CButton>(
        dialog, {10, 50, 100, 80}, CS_VISIBLE | CS_CHILD | CS_TABSTOP | CButton::BS_DEFAULT | c.buttonStyle, 5);
    ASSERT_EQ(dialog->FindDefaultButton(), ok) << "a disabled default button is still the one found";
    manager->SetFocus(c.focusOnButton ? CBaseControl::Ref(ok) : CBaseControl::Ref(edit));
    Key(KEY_RETURN, '\r');
    Key(KEY_RETURN, '\r');
    EXPECT_EQ(owner->Count(CE_COMMAND), 2 * c.commands);
    EXPECT_EQ(manager->GetCapture(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(States, DialogReturn, testing::ValuesIn(kReturns),
                         [](const auto& info) { return std::string(info.param.name); });

// Without a default button Return is swallowed by the dialog.
TEST_F(WidgetsFixture, ReturnInADialogWithoutDefaultButtonIsSwallowed) {
    const ref_ptr<CListener> owner = Make<CListener>(nullptr, {0, 0, 800, 600});
    const ref_ptr<CDialog> dialog = Make<CDialog>(owner, {100, 100, 500, 400});
    const ref_ptr<CEdit> edit = Make<CEdit>(dialog, {10, 10, 200, 40}, CS_VISIBLE | CS_CHILD | CS_TABSTOP, 4);
    Make<CButton>(dialog, {10, 50, 100, 80}, CS_VISIBLE | CS_CHILD | CS_TABSTOP, 5);
    ASSERT_EQ(manager->GetFocus(), edit);
    Key(KEY_RETURN, '\r');
    EXPECT_EQ(owner->Count(CE_COMMAND), 0u);
}
