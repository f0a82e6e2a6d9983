// The settings dialog on the controls alone, driven by injected mouse and
// key input: OK stores what the controls show, Escape stores nothing.

#include "shell/SettingsDialog.h"
#include "controls/ComboBox.h"
#include "controls/ControlsManager.h"
#include "shell/ShellTestSupport.h"
#include "tests/graphics/SprFileTestData.h"

using namespace ShellTesting;
using namespace Engine::Controls;
using Engine::CSettingsDialog;

namespace {

// One input: a click at a point found on the dialog when it is due, or a
// key with its character.
struct CInput {
    std::function<CPoint(CSettingsDialog&)> click;
    uint32_t key = 0;
    char16_t character = 0;
};

CPoint CentreOf(CSettingsDialog& d, int32_t id) {
    const CRect r = d.FindChildByID(id)->ClientToScreen();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

const CInput kCheckBox{[](CSettingsDialog& d) { return CentreOf(d, CSettingsDialog::ID_AMBIENT_SOUNDS); }};
const CInput kComboButton{[](CSettingsDialog& d) {
    const CRect r = d.FindChildByID(CSettingsDialog::ID_CHANGE_TIME)->ClientToScreen();
    return CPoint{r.right - 4, (r.top + r.bottom) / 2};
}};
const CInput kThirdChoice{[](CSettingsDialog& d) {
    const CList& list = *dynamic_cast<CComboBox&>(*d.FindChildByID(CSettingsDialog::ID_CHANGE_TIME)).GetDropDown();
    const CRect r = list.ClientToScreen(), row = list.GetItem(2)->m_rect;
    return CPoint{(r.left + r.right) / 2, r.top + list.GetClientOrigin().y + (row.top + row.bottom) / 2};
}};
const CInput kOk{[](CSettingsDialog& d) { return CentreOf(d, CSettingsDialog::ID_OK); }};

struct CDialogCase {
    const char* name;
    std::vector<CInput> inputs;
    bool stored;
    uint32_t changeSeconds;
};

class SettingsDialogTest : public ShellTest, public ::testing::WithParamInterface<CDialogCase> {};

TEST_P(SettingsDialogTest, OkStoresWhatTheControlsShowEscapeNothing) {
    const fs::path path = SettingsFolder() / "screensaver.cfg";
    fs::create_directories(SettingsFolder());
    Engine::Graphics::Testing::CRecordingGraphics driver;
    driver.GetParams().width = CSettingsDialog::kWidth;
    driver.GetParams().height = CSettingsDialog::kHeight;
    CControlsManager manager(&driver);
    manager.CreateDesktop(&driver);
    Engine::CSettingsDialogModel model(path.c_str());
    std::vector<bool> closed;
    Engine::ref_ptr<CSettingsDialog> dialog(new CSettingsDialog(model, [&](bool stored) { closed.push_back(stored); }));
    // The combo box's rows take the font's height.
    Engine::CLocaleFont font;
    font.sprite = "glyphs";
    font.characters = {u' '};
    dialog->Build(&manager, manager.GetDesktop(), 0, 0,
                  Engine::Graphics::CreateFontFromSprite(
                      font, SprTestData::ReadSprFile(Tools::WriteSpr(SprTestData::StripDocument("glyphs", {10}, 16)),
                                                     "spr/font.spr", true)));
    std::array<uint8_t, 256> keys{};
    Engine::Input::CMouseState mouse;
    const auto frame = [&](uint8_t button) {
        mouse.previousButtons = mouse.buttons;
        mouse.buttons[0] = button;
        manager.Update(keys.data(), mouse);
        manager.DispatchPostedEvents();
    };
    frame(0);
    for (const CInput& input : GetParam().inputs) {
        if (input.click) {
            const CPoint at = input.click(*dialog);
            mouse.x = at.x;
            mouse.y = at.y;
        } else {
            manager.PostKeyEvent({KeyRecord::KEY_DOWN, input.key, 0});
            if (input.character) manager.PostKeyEvent({KeyRecord::CHARACTER, 0, input.character});
        }
        frame(input.click ? 1 : 0);
        if (!input.click) manager.PostKeyEvent({KeyRecord::KEY_UP, input.key, 0});
        frame(0);
    }
    EXPECT_EQ(closed, std::vector<bool>{GetParam().stored});
    ASSERT_EQ(fs::exists(path), GetParam().stored);
    if (!GetParam().stored) return;
    Engine::CConfig stored;
    ASSERT_TRUE(stored.Load(path.c_str()));
    EXPECT_FALSE(stored.playAmbientSounds);
    EXPECT_EQ(stored.backgroundChangeSeconds, GetParam().changeSeconds);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SettingsDialogTest,
    ::testing::Values(CDialogCase{"Clicks", {kCheckBox, kComboButton, kThirdChoice, kOk}, true, 180},
                      // Tab goes from the check box to the combo box, then to OK.
                      CDialogCase{"Keys", {{{}, KEY_SPACE, u' '}, {{}, KEY_TAB, u'\t'}, {{}, KEY_TAB, u'\t'}, {{}, KEY_SPACE, u' '}}, true, 60},
                      CDialogCase{"Escape", {kCheckBox, {{}, KEY_ESCAPE, 0}}, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
