// The standard application's side of the GUI controls: the manager and
// desktop made at start-up, key records posted and delivered each frame,
// the capture cancelled when the mouse leaves, the manager gone at teardown.

#include "app/shell/StdApplication.h"
#include "controls/ControlsManager.h"
#include "shell/ShellTestSupport.h"

using namespace ShellTesting;
using namespace Engine::Controls;

namespace {

class CKeyCounter : public CBaseControl {
public:
    bool OnKeyDown(uint32_t, uint32_t) override { return ++keys, true; }
    bool OnChar(char16_t, uint32_t) override { return ++chars, true; }
    bool OnCaptureCancelled() override { return ++cancels, true; }
    int keys = 0, chars = 0, cancels = 0;
};

} // namespace

using ControlsShellTest = ShellTest;

TEST_F(ControlsShellTest, KeysReachTheFocusAndLeavingTheWindowCancelsTheCapture) {
    Engine::CStdApplication app(FrameDrivers(3, 100'000));
    Engine::ref_ptr<CKeyCounter> counter(new CKeyCounter);
    bool desktopFitsTheScreen = false;
    onPresent = [&](CFrameDriver& driver) {
        CControlsManager* controls = app.GetControls();
        ASSERT_NE(controls, nullptr);
        if (driver.frames == 1) {
            const CRect screen = controls->GetDesktop()->GetWindowRect();
            desktopFitsTheScreen = screen.Width() == driver.GetParams().width && screen.Height() > 0;
            counter->Create(controls, controls->GetDesktop(), 0, 0, 10, 10, "", CS_VISIBLE | CS_CHILD, 1);
            controls->SetFocus(counter);
            app.OnKeyDown(0x1E);
            app.OnChar(u'a');
            controls->SetCaptureTo(counter);
            app.OnMouseLeave();
        }
    };
    ASSERT_EQ(app.Run(), 0);
    EXPECT_TRUE(desktopFitsTheScreen);
    EXPECT_EQ(std::make_tuple(counter->keys, counter->chars, counter->cancels), std::make_tuple(1, 1, 1));
    EXPECT_TRUE(counter->IsDestroyed());  // the manager went with the teardown
    EXPECT_EQ(app.GetControls(), nullptr);
}
