// The manager's input step, posted events, key queue, focus navigation and
// timers, driven by injected mouse and key state.

#include "tests/controls/ControlsFixture.h"

using namespace ControlsTesting;

namespace {

constexpr uint32_t kTab = 0x0F, kRight = 0xCD, kDown = 0xD0, kLeftShift = 0x2A;

std::vector<uint32_t> Without(std::vector<uint32_t> codes, std::initializer_list<uint32_t> dropped) {
    std::erase_if(codes, [&](uint32_t c) { return std::find(dropped.begin(), dropped.end(), c) != dropped.end(); });
    return codes;
}

// Moves the focus among its children with Tab, Shift+Tab and the arrows.
class CTabHost : public CProbe {
public:
    bool OnKeyDown(uint32_t key, uint32_t flags) override {
        const CBaseControl* focus = GetManager()->GetFocus().get();
        Ref next;
        if (key == kTab) next = (flags & MOD_SHIFT) ? GetPrevTabFromFocus() : GetNextTabFromFocus();
        if (key == kRight && focus) next = FindTabStopRight(*focus);
        if (key == kDown && focus) next = FindTabStopBelow(*focus);
        if (next) GetManager()->SetFocus(next);
        return next != nullptr;
    }
};

// Destroys its victim on the first key it receives.
class CDestroyer : public CProbe {
public:
    bool OnKeyDown(uint32_t, uint32_t) override {
        if (victim) victim->Destroy();
        victim = nullptr;
        return true;
    }
    Ref victim;
};

} // namespace

TEST_F(ControlsFixture, ClicksPostPressAndReleaseAfterFocusAndHoverWithoutDoubleClicks) {
    auto button = Make(nullptr, {100, 100, 200, 150}, CS_VISIBLE | CS_CHILD | CS_BORDER);
    Frame(150, 120);
    Click(150, 120);
    Click(150, 120);
    EXPECT_EQ(Without(button->Codes(), {CE_CREATE, CE_SET_CURSOR}),
              (std::vector<uint32_t>{CE_MOUSE_ENTER, CE_MOUSE_MOVE, CE_SET_FOCUS, CE_LBUTTON_DOWN, CE_LBUTTON_UP,
                                     CE_LBUTTON_DOWN, CE_LBUTTON_UP}));
    EXPECT_EQ(manager->GetFocus(), button.get());
    const auto down = std::find_if(button->seen.begin(), button->seen.end(), [](auto& s) { return s.code == CE_LBUTTON_DOWN; });
    EXPECT_EQ(std::make_pair(down->x, down->y), std::make_pair(49u, 19u));  // client-relative, inside the border
}

TEST_F(ControlsFixture, TheCaptureHolderGetsMovesAndReleasesWhilePressesGoUnderTheMouse) {
    auto holder = Make(nullptr, {0, 0, 100, 100});
    auto other = Make(nullptr, {200, 0, 300, 100});
    Frame(50, 50);
    manager->SetCaptureTo(holder);
    holder->seen.clear();
    Frame(250, 50);  // off the holder: it loses the hover, keeps the moves
    Frame(250, 50, {0, 1, 0});
    Frame(250, 50);
    EXPECT_EQ(Without(holder->Codes(), {CE_SET_CURSOR, CE_KILL_FOCUS}),
              (std::vector<uint32_t>{CE_MOUSE_LEAVE, CE_MOUSE_MOVE, CE_RBUTTON_UP}));
    EXPECT_EQ(holder->seen[1].x, 250u);
    EXPECT_EQ(Without(other->Codes(), {CE_CREATE, CE_SET_CURSOR}), (std::vector<uint32_t>{CE_SET_FOCUS, CE_RBUTTON_DOWN}));
    EXPECT_EQ(manager->GetHover(), nullptr);
}

TEST_F(ControlsFixture, PostedEventsArriveInPostingOrderAndSkipADestroyedTarget) {
    auto first = Make<CDestroyer>(nullptr, {0, 0, 10, 10});
    auto second = Make(nullptr, {0, 0, 10, 10});
    first->victim = second;
    ControlEvent key;
    key.code = CE_KEY_DOWN;
    for (uint32_t k : {1u, 2u, 3u}) {
        key.key = k;
        manager->PostEvent(key, k == 2 ? CBaseControl::Ref(second) : CBaseControl::Ref(first));
    }
    second->seen.clear();
    manager->DispatchPostedEvents();
    EXPECT_EQ(second->Codes(), (std::vector<uint32_t>{CE_DESTROY}));
    EXPECT_EQ(Without(first->Codes(), {CE_CREATE}), (std::vector<uint32_t>{CE_KEY_DOWN, CE_KEY_DOWN}));
    EXPECT_EQ(manager->GetPostedEventCount(), 0u);
}

TEST_F(ControlsFixture, AKeyFloodKeepsTheNewestSixteenUntilATargetTakesThemInOrder) {
    auto menu = Make(nullptr, {0, 0, 10, 10});
    auto field = Make(nullptr, {20, 0, 30, 10});
    manager->SetFocus(field);
    manager->SetActiveMenu(menu);  // the focus lies outside the menu: keys wait
    for (uint32_t k = 1; k <= 1000; ++k) manager->PostKeyEvent({KeyRecord::KEY_DOWN, k, 0});
    manager->PostKeyEvent({KeyRecord::CHARACTER, 77, u'x'});
    Frame(200, 200);
    ASSERT_EQ(manager->GetKeyQueue().size(), 16u);
    EXPECT_EQ(manager->GetKeyQueue().front().key, 986u);

    manager->SetActiveMenu(nullptr);
    keys[kLeftShift] = 1;
    field->seen.clear();
    Frame(200, 200);
    std::vector<uint32_t> expected(15, CE_KEY_DOWN);
    expected.push_back(CE_CHAR);
    EXPECT_EQ(Without(field->Codes(), {CE_SET_CURSOR, CE_MOUSE_MOVE}), expected);
    EXPECT_TRUE(manager->GetKeyQueue().empty());
}

TEST_F(ControlsFixture, TabShiftTabAndArrowsMoveTheFocusAmongTabStops) {
    auto host = Make<CTabHost>(nullptr, {0, 0, 400, 400});
    auto a = Make(host, {10, 10, 50, 30}, CS_VISIBLE | CS_CHILD | CS_TABSTOP);
    auto skipped = Make(host, {100, 10, 140, 30});
    auto b = Make(host, {100, 10, 140, 30}, CS_VISIBLE | CS_CHILD | CS_TABSTOP);
    auto c = Make(host, {10, 100, 50, 120}, CS_VISIBLE | CS_CHILD | CS_TABSTOP);
    manager->SetFocus(a);
    const auto press = [&](uint32_t key) {
        manager->PostKeyEvent({KeyRecord::KEY_DOWN, key, 0});
        Frame(390, 390);
    };
    press(kTab);
    EXPECT_EQ(manager->GetFocus(), b.get());
    press(kTab);
    EXPECT_EQ(manager->GetFocus(), c.get());
    press(kTab);  // wraps
    EXPECT_EQ(manager->GetFocus(), a.get());
    keys[kLeftShift] = 1;
    press(kTab);
    EXPECT_EQ(manager->GetFocus(), c.get());
    keys[kLeftShift] = 0;
    manager->SetFocus(a);
    press(kRight);
    EXPECT_EQ(manager->GetFocus(), b.get());
    manager->SetFocus(a);
    press(kDown);
    EXPECT_EQ(manager->GetFocus(), c.get());
}

TEST_F(ControlsFixture, TimersArmFirstThenFireOncePerRunAndDieWithTheirOwner) {
    auto owner = Make(nullptr, {0, 0, 10, 10});
    auto timer = manager->AddTimer(owner, 0.5);
    const std::pair<double, bool> runs[] = {{10.0, false}, {10.3, false}, {10.6, true}, {11.0, false}, {11.1, true}};
    for (const auto& [time, fires] : runs) {
        owner->seen.clear();
        manager->UpdateTimers(time);
        EXPECT_EQ(owner->Codes() == std::vector<uint32_t>{CE_TIMER}, fires) << time;
    }
    owner->Destroy();
    EXPECT_EQ(manager->GetTimerCount(), 0);
}

TEST_F(ControlsFixture, AFocusHandlerMayPassTheFocusOnAndARefusalKeepsIt) {
    class CForwarder : public CProbe {
    public:
        bool HandleEvent(ControlEvent& e) override {
            if (e.code == CE_SET_FOCUS && target) e.other = target.get();
            return CProbe::HandleEvent(e);
        }
        Ref target;
    };
    auto forwarder = Make<CForwarder>(nullptr, {0, 0, 10, 10});
    auto stubborn = Make(nullptr, {0, 0, 10, 10});
    forwarder->target = stubborn;
    EXPECT_TRUE(manager->SetFocus(forwarder));
    EXPECT_EQ(manager->GetFocus(), stubborn.get());
    EXPECT_FALSE(manager->SetFocus(stubborn));
    stubborn->refuses = {CE_KILL_FOCUS};
    EXPECT_FALSE(manager->SetFocus(forwarder));
    EXPECT_EQ(manager->GetFocus(), stubborn.get());
    forwarder->target = nullptr;
}

TEST_F(ControlsFixture, ADeepTreeBubblesHitTestsUpdatesAndDiesWithoutTrouble) {
    CBaseControl::Ref node = Make(nullptr, {0, 0, 100, 100});
    auto root = node;
    for (int depth = 0; depth < 1000; ++depth) node = Make(node, {0, 0, 100, 100});
    EXPECT_EQ(manager->ControlFromPoint(50, 50), node);
    ControlEvent key;
    key.code = CE_KEY_UP;
    EXPECT_TRUE(CBaseControl::SendEvent(node, key));
    manager->Tick(1.0, 1.0 / 30.0);
    manager.reset();  // destroys the whole tree
    EXPECT_TRUE(node->IsDestroyed());
    EXPECT_EQ(node->GetParent(), nullptr);
}
