// Default processing, bubbling and the frame drag of the base control.

#include "tests/controls/ControlsFixture.h"

using namespace ControlsTesting;

namespace {

class CCopyRefuser : public CProbe {
public:
    bool OnChar(char16_t, uint32_t) override { ++chars; return false; }
    int chars = 0;
};

// Records the size-move callbacks of a frame resize.
class CSizer : public CProbe {
public:
    void OnEnterSizeMove(int32_t, int32_t) override { calls.push_back("enter"); }
    void OnExitSizeMove(int32_t, int32_t) override { calls.push_back("exit"); }
    std::vector<std::string> calls;
};

} // namespace

TEST_F(ControlsFixture, UnhandledEventsRiseUnchangedAndStopAtTheCaptureHolderExceptNotifications) {
    auto parent = Make(nullptr, {0, 0, 200, 200});
    auto child = Make(parent, {10, 10, 50, 50});
    parent->seen.clear();
    ControlEvent move;
    move.code = CE_MOUSE_MOVE;
    move.x = 7;
    EXPECT_TRUE(CBaseControl::SendEvent(child, move));
    ASSERT_EQ(parent->seen.size(), 1u);
    EXPECT_EQ(parent->seen[0], (CProbe::CSeen{CE_MOUSE_MOVE, 7, 0, nullptr}));

    manager->SetCaptureTo(child);
    parent->seen.clear();
    EXPECT_TRUE(CBaseControl::SendEvent(child, move));
    EXPECT_TRUE(parent->seen.empty());
    EXPECT_TRUE(CBaseControl::SendNotify(parent, child, 5));  // parent to desktop: the root answers
    EXPECT_TRUE(CBaseControl::SendNotify(child, child, 5));
    EXPECT_EQ(parent->Codes(), (std::vector<uint32_t>{CE_NOTIFY, CE_NOTIFY}));
}

TEST_F(ControlsFixture, ClipboardCharactersNeverReachOnChar) {
    auto edit = Make<CCopyRefuser>(nullptr, {0, 0, 50, 20});
    for (char16_t c : {u'\x03', u'\x16', u'\x18', u'a'}) {
        ControlEvent typed;
        typed.code = CE_CHAR;
        typed.character = c;
        CBaseControl::SendEvent(edit, typed);
    }
    EXPECT_EQ(edit->chars, 1);
}

TEST_F(ControlsFixture, CaptionDragMovesTheWindowAndSwallowsOtherEventsUntilRelease) {
    auto window = Make<CSizer>(nullptr, {100, 100, 300, 200}, CS_VISIBLE | CS_BORDER | CS_CAPTION);
    Frame(150, 105);
    Frame(150, 105, {1, 0, 0});  // on the caption: starts the drag
    EXPECT_EQ(window->GetTracking(), 1u);
    EXPECT_EQ(manager->GetCapture(), window.get());

    ControlEvent key;
    key.code = CE_KEY_DOWN;
    EXPECT_TRUE(CBaseControl::SendEvent(window, key));
    EXPECT_EQ(key.code, uint32_t(CE_KEY_DOWN));  // the caller's record shows its own code again
    EXPECT_EQ(key.subCode, 0u);

    Frame(180, 125, {1, 0, 0});
    EXPECT_EQ(window->GetWindowRect(), (CRect{130, 120, 330, 220}));
    Frame(180, 125);
    EXPECT_EQ(window->GetTracking(), 0u);
    EXPECT_EQ(manager->GetCapture(), nullptr);
    EXPECT_TRUE(window->calls.empty());  // a caption drag is no size-move
}

TEST_F(ControlsFixture, BorderResizeStopsAtTheMinimumWidthAndCaptureLossEndsIt) {
    auto window = Make<CSizer>(nullptr, {100, 100, 300, 200}, CS_VISIBLE | CS_BORDER | CS_THICKFRAME);
    Frame(299, 150);
    Frame(299, 150, {1, 0, 0});  // right border
    Frame(120, 150, {1, 0, 0});
    EXPECT_EQ(window->GetClientRect().Width(), 64);
    EXPECT_EQ(window->GetWindowRect().left, 100);
    manager->SetCapture(nullptr, true);  // the mouse left the window mid-drag
    EXPECT_EQ(window->GetTracking(), 0u);
    EXPECT_EQ(window->calls, (std::vector<std::string>{"enter", "exit"}));
    ControlEvent key;
    key.code = CE_KEY_DOWN;
    CBaseControl::SendEvent(window, key);
    EXPECT_EQ(window->seen.back().code, uint32_t(CE_KEY_DOWN));  // events arrive as themselves again
}
