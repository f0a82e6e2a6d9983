// The settings dialog: keys on the controls alone, and mouse clicks through
// the settings window that "/c" opens.

#include <GL/gl.h>

#include "app/shell/EntryPoint.h"
#include "app/shell/ScreensaverApplication.h"
#include "app/shell/SettingsDialogApplication.h"
#include "controls/ComboBox.h"
#include "controls/ControlsManager.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "platform/Testing.h"
#include "shell/ShellTestSupport.h"
#include "tools/DemoData.h"

using namespace ShellTesting;
using namespace Engine::Controls;
using Engine::CSettingsDialog;

namespace {

class SettingsDialogTest : public ShellTest {
protected:
    fs::path ConfigPath() const { return SettingsFolder() / "screensaver.cfg"; }
};

struct CKeyCase {
    const char* name;
    std::vector<std::pair<uint32_t, char16_t>> keys;  // key code, character
    bool stored;
};

class SettingsDialogKeys : public SettingsDialogTest, public ::testing::WithParamInterface<CKeyCase> {};

TEST_P(SettingsDialogKeys, OkStoresWhatTheControlsShowEscapeNothing) {
    fs::create_directories(SettingsFolder());
    Engine::Graphics::Testing::CRecordingGraphics driver;
    driver.GetParams().width = CSettingsDialog::kWidth;
    driver.GetParams().height = CSettingsDialog::kHeight;
    CControlsManager manager(&driver);
    manager.CreateDesktop(&driver);
    Engine::CSettingsDialogModel model(ConfigPath().c_str());
    std::vector<bool> closed;
    Engine::ref_ptr<CSettingsDialog> dialog(new CSettingsDialog(model, [&](bool stored) { closed.push_back(stored); }));
    dialog->Build(&manager, manager.GetDesktop(), 0, 0, nullptr);
    std::array<uint8_t, 256> keys{};
    const Engine::Input::CMouseState mouse;
    const auto frame = [&] {
        manager.Update(keys.data(), mouse);
        manager.DispatchPostedEvents();
    };
    frame();
    for (const auto& [key, character] : GetParam().keys) {
        manager.PostKeyEvent({KeyRecord::KEY_DOWN, key, 0});
        if (character) manager.PostKeyEvent({KeyRecord::CHARACTER, 0, character});
        frame();
        manager.PostKeyEvent({KeyRecord::KEY_UP, key, 0});
        frame();
    }
    EXPECT_EQ(closed, std::vector<bool>{GetParam().stored});
    ASSERT_EQ(fs::exists(ConfigPath()), GetParam().stored);
    if (!GetParam().stored) return;
    Engine::CConfig stored;
    ASSERT_TRUE(stored.Load(ConfigPath().c_str()));
    EXPECT_FALSE(stored.playAmbientSounds) << "Space unchecked the box";
    EXPECT_EQ(stored.backgroundChangeSeconds, 60u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsDialogKeys,
    // Tab goes from the check box to the combo box, then to OK.
    ::testing::Values(CKeyCase{"SpaceTabTabSpace", {{KEY_SPACE, u' '}, {KEY_TAB, u'\t'}, {KEY_TAB, u'\t'}, {KEY_SPACE, u' '}}, true},
                      CKeyCase{"SpaceThenEscape", {{KEY_SPACE, u' '}, {KEY_ESCAPE, 0}}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The OpenGL driver on an offscreen window, running the hook at each
// present; before it, a pixel near the top-left corner is read back.
class COpenGLPresents : public Engine::Graphics::CGraphics_OGL {
public:
    using CGraphics_OGL::CGraphics_OGL;
    std::function<void(COpenGLPresents&)> onPresent;
    int frames = 0;
    uint32_t corner = 0;  // RGBA

    void gFlipBuffers() override {
        glReadPixels(2, GetParams().screenHeight - 3, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &corner);
        CGraphics_OGL::gFlipBuffers();
        Platform::Testing::AdvanceTestClock(16'667);
        ++frames;
        onPresent(*this);
        if (frames > 200) RequestQuit();
    }
};

CPoint CentreOf(const CRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST_F(SettingsDialogTest, ClicksInTheSettingsWindowStoreTheChoices) {
    ASSERT_TRUE(Tools::MakeDemoPack(MOSARK_DEMO_FONT).Save((root / "data" / "demo.pak").string()));
    WriteFile(SettingsFolder() / "StartupPath", (root / "data").string());
    // A full-screen setting does not make the dialog fill the screen.
    WriteFile(SettingsFolder() / "Settings.xml",
              "<settings><graphics driver=\"OpenGL\" fullscreen=\"On\" bpp32=\"On\"/></settings>");
    uint32_t face = 0;
    int shown = 0;  // frames presented with the dialog
    // Where each click goes, found when it is due: the check box, the combo
    // box's button, its third row, OK.
    const std::vector<std::function<CPoint(CSettingsDialog&)>> targets = {
        [](CSettingsDialog& d) { return CentreOf(d.FindChildByID(CSettingsDialog::ID_AMBIENT_SOUNDS)->ClientToScreen()); },
        [](CSettingsDialog& d) {
            const CRect r = d.FindChildByID(CSettingsDialog::ID_CHANGE_TIME)->ClientToScreen();
            return CPoint{r.right - 4, (r.top + r.bottom) / 2};
        },
        [](CSettingsDialog& d) {
            const auto* combo = dynamic_cast<CComboBox*>(d.FindChildByID(CSettingsDialog::ID_CHANGE_TIME).get());
            const CList& list = *combo->GetDropDown();
            const CRect row = list.GetItem(2)->m_rect;
            const CRect r = list.ClientToScreen();
            return CPoint{(r.left + r.right) / 2, r.top + list.GetClientOrigin().y + (row.top + row.bottom) / 2};
        },
        [](CSettingsDialog& d) { return CentreOf(d.FindChildByID(CSettingsDialog::ID_OK)->ClientToScreen()); },
    };
    const int exitCode = Engine::RunApplicationPasses("/c", [&]() -> std::unique_ptr<Engine::CStdApplication> {
        return std::make_unique<Engine::CScreensaverApplication>(DriversWithOpenGL([&](Engine::CApplication** app) {
            auto driver = std::make_unique<COpenGLPresents>(app);
            driver->onPresent = [&](COpenGLPresents& d) {
                auto* settings = dynamic_cast<Engine::CSettingsDialogApplication*>(d.GetApplication());
                if (!settings || !settings->GetDialog()) return;
                face = d.corner;
                const size_t click = size_t(shown / 4);
                const int phase = shown++ % 4;
                if (click >= targets.size()) return;
                HWND window = d.GetApplication()->m_hWnd;
                if (phase == 1) {
                    const CPoint p = targets[click](*settings->GetDialog());
                    PostMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
                    PostMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(p.x, p.y));
                } else if (phase == 3) {
                    PostMessage(window, WM_LBUTTONUP, 0, 0);
                }
            };
            return driver;
        }));
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(face | 0xFF000000u, 0xFFC8D0D4u) << "the dialog's face colour";
    Engine::CConfig stored;
    ASSERT_TRUE(stored.Load(ConfigPath().c_str()));
    EXPECT_FALSE(stored.playAmbientSounds);
    EXPECT_EQ(stored.backgroundChangeSeconds, 180u);
}

} // namespace
