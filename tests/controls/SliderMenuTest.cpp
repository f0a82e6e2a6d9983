// Sliders by keys, drags, track clicks and arrow buttons; menus by the
// hover clock, clicks and keys.

#include "controls/Menu.h"
#include "controls/Slider.h"
#include "tests/controls/WidgetsFixture.h"

using namespace ControlsTesting;

namespace {

// A horizontal slider at x 100 with a 100-pixel track over 10 to 20.
class Sliders : public WidgetsFixture {
protected:
    void SetUp() override {
        WidgetsFixture::SetUp();
        owner = Make<CListener>(nullptr, {0, 0, 800, 600});
        slider = Make<CSlider>(owner, {100, 100, 248, 120}, CS_VISIBLE | CS_CHILD | CS_TABSTOP, 5);
        slider->SetRange(10, 20);
        slider->SetPos(10);
    }
    ref_ptr<CListener> owner;
    ref_ptr<CSlider> slider;
};

struct CMapping {
    int32_t position, offset;
};

} // namespace

TEST_F(Sliders, PositionAndThumbOffsetMapBothWays) {
    ASSERT_EQ(slider->GetTrackLength(), 100);
    for (const CMapping m : {CMapping{15, 50}, CMapping{20, 100}, CMapping{11, 10}, CMapping{10, 0}}) {
        slider->SetPos(m.position);
        EXPECT_EQ(slider->GetThumbOffset(), m.offset);
        slider->SetThumbOffset(m.offset + 1);
        slider->SetThumbOffset(m.offset);
        EXPECT_EQ(slider->GetPos(), m.position);
    }
    EXPECT_FALSE(slider->SetPos(10));
    slider->SetRange(5, 5);
    EXPECT_FALSE(slider->SetPos(7)) << "an empty range changes nothing";
}

struct CMetricCase {
    const char* name;
    uint32_t style;
    CRect window, first, second;
    int32_t thumbStart;  // along the axis, at offset 0
};

// Thumb length 10, scroll-bar width 20, the further metric 12: the end
// buttons are 20 long along the axis and 12 thick across it.
class SliderMetrics : public WidgetsFixture, public testing::WithParamInterface<CMetricCase> {};

TEST_P(SliderMetrics, ThumbFromTheFirstMetricEndButtonsFromTheScrollBarWidth) {
    manager->SetMetric(METRIC_THUMB_LENGTH, 10);
    manager->SetMetric(METRIC_SCROLLBAR_WIDTH, 20);
    manager->SetMetric(METRIC_ARROW_THICKNESS, 12);
    const CMetricCase& c = GetParam();
    const auto slider = Make<CSlider>(nullptr, c.window, CS_VISIBLE | CS_CHILD | c.style);
    EXPECT_EQ(slider->GetTrackLength(), 148 - 2 * 20 - 10);
    EXPECT_EQ(slider->GetFirstButton()->GetWindowRect(), c.first);
    EXPECT_EQ(slider->GetSecondButton()->GetWindowRect(), c.second);
    const auto at = [&](int32_t along) { return c.style ? slider->HitTest(5, along) : slider->HitTest(along, 5); };
    EXPECT_EQ(at(c.thumbStart - 1), CSlider::HIT_TRACK);
    EXPECT_EQ(at(c.thumbStart), CSlider::HIT_THUMB);
    EXPECT_EQ(at(c.thumbStart + 9), CSlider::HIT_THUMB);
    EXPECT_EQ(at(c.thumbStart + 10), CSlider::HIT_TRACK);
}

INSTANTIATE_TEST_SUITE_P(
    Axes, SliderMetrics,
    testing::Values(CMetricCase{"Horizontal", 0, {0, 0, 148, 20}, {0, 4, 20, 16}, {128, 4, 148, 16}, 20},
                    CMetricCase{"Vertical", CSlider::SBS_VERTICAL, {0, 0, 20, 148}, {4, 0, 16, 20}, {4, 128, 16, 148},
                                20}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Sliders, KeysDragTrackClicksAndArrowsNotifyEachChange) {
    manager->SetFocus(slider);
    Key(KEY_RIGHT);
    Key(KEY_END);
    Key(KEY_END);  // unchanged: no notification
    Key(KEY_HOME);
    EXPECT_EQ(owner->Count(CE_NOTIFY), 3u);
    EXPECT_EQ(slider->GetPos(), 10);
    Frame(120, 110, {1, 0, 0});  // on the thumb (116 to 131), 4 pixels in
    Frame(170, 110, {1, 0, 0});
    EXPECT_EQ(slider->GetThumbOffset(), 50);
    EXPECT_EQ(slider->GetPos(), 15);
    Key(KEY_HOME);  // ignored during the drag
    EXPECT_EQ(slider->GetPos(), 15);
    Frame(170, 110);
    Frame(200, 110, {1, 0, 0});  // the track: the thumb centres on the click
    EXPECT_EQ(slider->GetThumbOffset(), 76);
    EXPECT_EQ(slider->GetPos(), 17);
    Frame(200, 110);
    Frame(240, 110, {1, 0, 0});  // the second arrow button
    Frame(240, 110);
    EXPECT_EQ(slider->GetPos(), 18);
    EXPECT_EQ(owner->heard.back(), (CListener::CHeard{CE_NOTIFY, 0, slider.get()}));
}

namespace {

// Items 10 by 20: "a" (1) and "b" opening "c" (3) and "d" (4).
class Menus : public WidgetsFixture {
protected:
    void SetUp() override {
        WidgetsFixture::SetUp();
        owner = Make<CListener>(nullptr, {0, 0, 800, 600});
        menu = Make<CMenu>(owner, {0, 0, 800, 600}, CS_CHILD);
        menu->SetFont(MakeFont());
        menu->AddItem("a", 1);
        sub = menu->AddSubMenu("b");
        sub->AddItem("c", 3);
        sub->AddItem("d", 4);
        menu->Popup(nullptr, 100, 100);
    }
    ref_ptr<CListener> owner;
    ref_ptr<CMenu> menu;
    CMenu* sub = nullptr;
};

} // namespace

TEST_F(Menus, SubMenuOpensAfterTheHoverTimeAndAChoiceEndsTheMenu) {
    EXPECT_EQ(menu->GetItem(1)->m_rect, (CRect{104, 124, 114, 144}));
    EXPECT_EQ(manager->GetActiveMenu(), menu);
    Frame(108, 130);
    EXPECT_EQ(menu->GetHotItem(), menu->GetItem(1));
    Tick(1.0);
    Tick(1.49);
    EXPECT_FALSE(sub->HasStyle(CS_VISIBLE));
    Tick(1.5);
    ASSERT_TRUE(sub->HasStyle(CS_VISIBLE));
    EXPECT_EQ(sub->GetItem(1)->m_rect, (CRect{118, 144, 128, 164}));
    Frame(120, 150);
    EXPECT_EQ(sub->GetHotItem(), sub->GetItem(1));
    Frame(120, 150, {1, 0, 0});
    EXPECT_EQ(owner->heard, (std::vector<CListener::CHeard>{{CE_COMMAND, 4, menu.get()}}));
    EXPECT_FALSE(menu->HasStyle(CS_VISIBLE));
    EXPECT_EQ(manager->GetActiveMenu(), nullptr);
    EXPECT_EQ(manager->GetCapture(), nullptr);
    EXPECT_EQ(manager->GetTimerCount(), 0);
}

// The hover timer's event opens the sub-menu, then goes on to base
// handling: from a sub-menu, which holds no capture, it reaches the menu
// above.
TEST_F(Menus, HoverTimerEventGoesOnToBaseHandlingAfterOpening) {
    struct CRecordingMenu : CMenu {
        bool HandleEvent(ControlEvent& event) override {
            if (event.code == CE_TIMER) timerOwners.push_back(event.timer->GetOwner().get());
            return CMenu::HandleEvent(event);
        }
        std::vector<CBaseControl*> timerOwners;
    };
    const auto root = Make<CRecordingMenu>(owner, {0, 0, 800, 600}, CS_CHILD);
    root->SetFont(MakeFont());
    CMenu* first = root->AddSubMenu("a");
    first->AddItem("b", 1);
    CMenu* second = first->AddSubMenu("c");
    second->AddItem("d", 2);
    root->Popup(nullptr, 100, 100);
    const CRect a = root->GetItem(0)->m_rect;
    Frame(a.left + 2, a.top + 2);
    Tick(1.0);
    Tick(1.5);
    ASSERT_TRUE(first->HasStyle(CS_VISIBLE));
    const CRect c = first->GetItem(1)->m_rect;
    Frame(c.left + 2, c.top + 2);
    ASSERT_EQ(first->GetHotItem(), first->GetItem(1));
    Tick(2.0);
    Tick(2.5);
    EXPECT_TRUE(second->HasStyle(CS_VISIBLE));
    EXPECT_EQ(root->timerOwners, (std::vector<CBaseControl*>{root.get(), first}));
}

TEST_F(Menus, KeysWalkWrapEnterSubMenusAndClose) {
    Key(KEY_UP);  // no hot item: the last
    EXPECT_EQ(menu->GetHotItem(), menu->GetItem(1));
    Key(KEY_DOWN);  // wraps to the first
    Key(KEY_DOWN);
    Key(KEY_RIGHT);
    ASSERT_TRUE(sub->HasStyle(CS_VISIBLE));
    EXPECT_EQ(sub->GetHotItem(), sub->GetItem(0));
    Key(KEY_DOWN);
    EXPECT_EQ(sub->GetHotItem(), sub->GetItem(1));
    Key(KEY_LEFT);
    EXPECT_FALSE(sub->HasStyle(CS_VISIBLE));
    EXPECT_EQ(manager->GetFocus(), menu);
    Key(KEY_UP);
    Key(KEY_RETURN);
    Key(KEY_ESCAPE);  // already closed: nothing more
    EXPECT_EQ(owner->heard, (std::vector<CListener::CHeard>{{CE_COMMAND, 1, menu.get()}}));
}

TEST_F(Menus, OutsideClickOrEscapeDismissWithoutACommand) {
    Click(500, 500);
    menu->Popup(nullptr, 790, 590);  // kept on the screen
    EXPECT_EQ(menu->GetBox(), (CRect{772, 542, 790, 590}));
    Key(KEY_RETURN);  // no hot item: nothing
    Key(KEY_ESCAPE);
    EXPECT_EQ(owner->heard, (std::vector<CListener::CHeard>{{CE_MENU, 0, menu.get()}, {CE_MENU, 0, menu.get()}}));
}
