// Geometry, hit testing, the tree's lifecycle, descriptions and the tab
// order of the base control.

#include "controls/ControlDescription.h"
#include "app/Exception.h"
#include "controls/ControlText.h"
#include "tests/controls/ControlsFixture.h"

using namespace ControlsTesting;

namespace {

class CDefaultButton : public CProbe {
public:
    uint32_t GetDlgCode() override { return 0x2010; }
};

} // namespace

TEST_F(ControlsFixture, CreateMeasuresTheFrameAndHitTestFindsBordersAndCaption) {
    auto framed = Make(nullptr, {0, 0, 100, 50}, CS_VISIBLE | CS_BORDER | CS_CAPTION);
    EXPECT_EQ(framed->GetClientOrigin(), (CPoint{1, 19}));
    EXPECT_EQ(framed->GetClientRect(), (CRect{0, 0, 98, 30}));
    EXPECT_EQ(framed->HitTest(50, 5), uint32_t(HT_CAPTION));

    auto sizable = Make(nullptr, {0, 0, 100, 50}, CS_VISIBLE | CS_BORDER | CS_THICKFRAME);
    const std::tuple<int, int, uint32_t> cases[] = {
        {0, 25, HT_LEFT}, {1, 25, HT_LEFT}, {2, 25, HT_CLIENT}, {98, 25, HT_RIGHT},  {50, 48, HT_CLIENT},
        {50, 49, HT_BOTTOM}, {0, 0, HT_TOPLEFT}, {99, 0, HT_TOPRIGHT}, {0, 49, HT_BOTTOMLEFT}, {99, 49, HT_BOTTOMRIGHT}};
    for (const auto& [x, y, code] : cases) EXPECT_EQ(sizable->HitTest(x, y), code) << x << "," << y;
}

TEST_F(ControlsFixture, HiddenControlsAndTheirChildrenAreNotFound) {
    auto shown = Make(nullptr, {0, 0, 100, 100});
    auto hidden = Make(nullptr, {0, 0, 100, 100}, CS_CHILD);
    auto inHidden = Make(hidden, {0, 0, 50, 50}, CS_VISIBLE);  // not a child-style control: screen placed
    auto nested = Make(shown, {10, 10, 30, 30});
    EXPECT_EQ(manager->ControlFromPoint(20, 20), nested);
    EXPECT_EQ(manager->ControlFromPoint(5, 5), shown);
    EXPECT_EQ(manager->ControlFromPoint(900, 5), nullptr);
    EXPECT_EQ(nested->ClientToScreen(), (CRect{10, 10, 30, 30}));
}

TEST_F(ControlsFixture, DestroyingAFocusedGrandchildGivesTheFocusToTheParentOnceInPreOrder) {
    auto parent = Make(nullptr, {0, 0, 100, 100});
    auto middle = Make(parent, {0, 0, 50, 50});
    auto first = Make(middle, {0, 0, 10, 10});
    auto second = Make(middle, {0, 0, 10, 10});
    manager->SetFocus(first);
    for (CProbe* p : {middle.get(), first.get(), second.get()}) p->seen.clear();
    parent->seen.clear();
    middle->Destroy();
    EXPECT_EQ(manager->GetFocus(), parent.get());
    const auto codes = parent->Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), uint32_t(CE_SET_FOCUS)), 1);
    EXPECT_EQ(middle->Codes().front(), uint32_t(CE_DESTROY));
    EXPECT_EQ(parent->GetChildCount(), 0);
    EXPECT_TRUE(first->IsDestroyed() && second->IsDestroyed());
    EXPECT_EQ(first->GetStyle(), 0u);
    middle->Destroy();  // a second destroy does nothing
}

// A focused control that refuses to give up the focus loses it all the
// same when its tree is destroyed: no dead control keeps the focus.
TEST_F(ControlsFixture, DestroyingATreeTakesTheFocusEvenFromAControlThatRefusesIt) {
    auto alone = Make(nullptr, {0, 0, 100, 100});
    const auto above = alone->GetParent();
    alone->refuses = {CE_KILL_FOCUS};
    manager->SetFocus(alone);
    EXPECT_FALSE(manager->SetFocus(nullptr));
    alone->Destroy();
    EXPECT_EQ(manager->GetFocus(), above);

    auto parent = Make(nullptr, {0, 0, 100, 100});
    auto middle = Make(parent, {0, 0, 50, 50});
    auto stubborn = Make(middle, {0, 0, 10, 10});
    stubborn->refuses = {CE_KILL_FOCUS};
    manager->SetFocus(stubborn);
    middle->Destroy();
    EXPECT_EQ(manager->GetFocus(), parent.get());
}

TEST_F(ControlsFixture, DescriptionsPlaceRelativeToTheParentAndOverrideOnlyGivenStyleWords) {
    CControlDescription parentSprite{200, 100, 60, 30, 0, 0, {}, nullptr, 0xFFFFFFFF};
    CControlDescription sprite{40, 20, 100, 50, 0.5f, 0.5f, {{"visible", false}, {"tabstop", true}}, nullptr, 0xFFFFFFFF};
    ref_ptr<CProbe> control(new CProbe);
    control->CreateFromDescription(manager.get(), desktop, &sprite, &parentSprite, "ok", CS_VISIBLE | CS_BORDER, 3);
    EXPECT_EQ(control->GetWindowRect(), (CRect{20, 10, 60, 30}));
    EXPECT_EQ(control->GetStyle(), uint32_t(CS_BORDER | CS_TABSTOP));
    EXPECT_EQ(control->GetDescription(), &sprite);
    EXPECT_THROW(sprite.GetProperty("group"), Engine::CException);
}

TEST_F(ControlsFixture, TabStopsWrapWithoutReturningTheStartAndRadioGroupsEndAtTheNextGroup) {
    auto parent = Make(nullptr, {0, 0, 400, 400});
    auto p = Make(parent, {0, 0, 10, 10}, CS_TABSTOP | CS_GROUP);
    auto q = Make(parent, {0, 0, 10, 10}, CS_CHECKED);
    auto s = Make(parent, {0, 0, 10, 10}, CS_TABSTOP | CS_CHECKED);
    auto t = Make(parent, {0, 0, 10, 10}, CS_GROUP | CS_CHECKED);
    EXPECT_EQ(parent->GetNextTabStop(p.get(), false), s);
    EXPECT_EQ(parent->GetNextTabStop(s.get(), false), nullptr);
    EXPECT_EQ(parent->GetNextTabStop(s.get(), true), p);
    s->SetStyle(s->GetStyle() & ~uint32_t(CS_TABSTOP));
    EXPECT_EQ(parent->GetNextTabStop(p.get(), true), nullptr);
    EXPECT_EQ(q->IsDescendantOf(nullptr), true);

    q->CheckRadioInGroup(*parent);
    EXPECT_EQ(std::make_tuple(p->HasStyle(CS_CHECKED), q->HasStyle(CS_CHECKED), s->HasStyle(CS_CHECKED),
                              t->HasStyle(CS_CHECKED)),
              std::make_tuple(false, true, false, true));
    EXPECT_EQ(parent->FindDefaultButton(), nullptr);
    auto ok = Make<CDefaultButton>(parent, {0, 0, 10, 10}, CS_TABSTOP);
    EXPECT_EQ(parent->FindDefaultButton(), ok);
}

TEST_F(ControlsFixture, DirectionalSearchPrefersTheRowThenNearerThenAbove) {
    auto parent = Make(nullptr, {0, 0, 400, 400});
    auto reference = Make(parent, {90, 90, 110, 110}, CS_TABSTOP);
    auto below = Make(parent, {190, 100, 210, 120}, CS_TABSTOP);
    auto above = Make(parent, {190, 80, 210, 100}, CS_TABSTOP);
    EXPECT_EQ(parent->FindTabStopRight(*reference), above);
    auto inRow = Make(parent, {290, 90, 310, 110}, CS_TABSTOP);
    EXPECT_EQ(parent->FindTabStopRight(*reference), inRow);
    EXPECT_EQ(parent->FindTabStopLeft(*reference), nullptr);
}

TEST(ControlText, RangesAreClampedToTheString) {
    CWString text(u"abcdef");
    EXPECT_EQ(WideSubstring(text, -2, 3).str(), u"abc");
    EXPECT_EQ(WideSubstring(text, 4, 10).str(), u"ef");
    EXPECT_EQ(WideErase(text, -3, 2), 6);
    EXPECT_EQ(text.str(), u"cdef");
    WideErase(text, 2, 0);
    WideErase(text, 3, 99);
    EXPECT_EQ(text.str(), u"cde");
}
