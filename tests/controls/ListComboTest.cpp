// Lists scrolled and selected by every navigation key and the mouse; combo
// boxes opened, chosen from and closed by a loss of focus.

#include "controls/ComboBox.h"
#include "controls/List.h"
#include "tests/controls/WidgetsFixture.h"

using namespace ControlsTesting;

namespace {

// Six rows of 20 pixels in a list 70 high: three show whole.
class Lists : public WidgetsFixture {
protected:
    void SetUp() override {
        WidgetsFixture::SetUp();
        owner = Make<CListener>(nullptr, {0, 0, 800, 600});
        list = Make<CList>(owner, {100, 100, 300, 170}, CS_VISIBLE | CS_CHILD | CS_TABSTOP, 9);
        list->SetFont(MakeFont());
        for (const char* text : {"a", "b", "c", "d", "e", "a"}) list->AddItem(text);
        list->UpdateLayout();
    }
    int32_t Current() const { return list->IndexOf(list->GetCurrentItem()); }
    ref_ptr<CListener> owner;
    ref_ptr<CList> list;
};

struct CNavigation {
    uint32_t key;
    int32_t current, position;
};

} // namespace

TEST_F(Lists, EveryNavigationKeyMovesTheCurrentRowIntoView) {
    EXPECT_TRUE(list->GetScrollBar()->HasStyle(CS_VISIBLE));
    EXPECT_EQ(list->GetScrollBar()->GetMaximum(), 3);
    manager->SetFocus(list);
    Key(KEY_DOWN);
    EXPECT_EQ(list->GetCurrentItem(), nullptr) << "nothing without a current row";
    list->SetCurrentItem(list->GetItem(0));
    const CNavigation steps[] = {
        {KEY_DOWN, 1, 0},      {KEY_DOWN, 2, 0}, {KEY_DOWN, 3, 1},
        {KEY_END, 5, 3},       {KEY_DOWN, 5, 3}, {KEY_UP, 4, 3},
        {KEY_HOME, 0, 0},      {KEY_UP, 0, 0},   {KEY_PAGE_DOWN, 2, 2},
        {KEY_PAGE_UP, 0, 0},
    };
    for (const CNavigation& step : steps) {
        Key(step.key);
        EXPECT_EQ(Current(), step.current) << step.key;
        EXPECT_EQ(list->GetScrollBar()->GetPos(), step.position) << step.key;
    }
    EXPECT_EQ(owner->Count(CE_NOTIFY), 0u);
    Key(KEY_RETURN);
    EXPECT_EQ(owner->heard, (std::vector<CListener::CHeard>{{CE_NOTIFY, CList::LN_CHOSEN, list.get()}}));
}

TEST_F(Lists, ClicksChooseRowsAtTheirScrolledPlaceAndTreeBoxesToggle) {
    list->GetScrollBar()->SetPos(2);
    Click(150, 125);  // second visible row: item 3
    CList::CListItem* chosen = list->GetCurrentItem();
    EXPECT_EQ(Current(), 3);
    EXPECT_EQ(owner->Count(CE_NOTIFY), 1u);
    // A tree: "e" under "a"; the box of "a" sits at x 2..9 around the row's middle.
    list->SetStyle(list->GetStyle() | CList::LS_TREE);
    CList::CListItem* parent = list->GetItem(0);
    list->AddItem("e", parent);
    list->GetScrollBar()->SetPos(0);
    list->UpdateLayout();
    Click(105, 110);
    EXPECT_TRUE(parent->IsCollapsed());
    EXPECT_EQ(list->GetCurrentItem(), chosen) << "the box changes no selection";
    EXPECT_EQ(list->GetRowCount(), 6);
    const ref_ptr<CProbe> other = Make<CProbe>(owner, {400, 400, 450, 450});
    manager->SetFocus(list);
    manager->SetFocus(other);
    EXPECT_EQ(owner->heard.back(), (CListener::CHeard{CE_NOTIFY, CList::LN_FOCUS_LOST, list.get()}));
}

namespace {

// Remembers the cell it was attached to.
class CRememberingAttachment : public CList::IAttachment {
public:
    void Attach(CList::CListItemBase& cell) override { attachedTo = &cell; }
    CList::CListItemBase* attachedTo = nullptr;
};

class CRememberingAttachments : public CList::IAttachmentFactory {
public:
    std::unique_ptr<CList::IAttachment> CreateAttachment(CList::CListItemBase&) override {
        return std::make_unique<CRememberingAttachment>();
    }
};

// A cell class that replaces both attachment slots with counters.
class CCountingCell : public CList::CListItem {
public:
    using CListItem::CListItem;
    void CreateAttachment(uint32_t, uint32_t) override { ++created; }
    void DestroyAttachment() override { ++destroyed; }
    int created = 0;
    int destroyed = 0;
};

class CCountingCells : public CList::IItemFactory {
public:
    std::unique_ptr<CList::CListItem> CreateItem(CList& list) override { return std::make_unique<CCountingCell>(&list); }
    std::unique_ptr<CList::CListSubItem> CreateSubItem(CList::CListItem& row) override {
        return std::make_unique<CList::CListSubItem>(row);
    }
};

} // namespace

TEST_F(Lists, AClickedCellAttachesThroughItsOwnSlotsWhichACellClassReplaces) {
    CRememberingAttachments attachments;
    CList::CListItemBase& plain = *list->GetItem(0);
    plain.m_pAttachmentFactory = &attachments;
    Click(150, 105);
    const auto* attachment = dynamic_cast<CRememberingAttachment*>(plain.m_pAttachment.get());
    ASSERT_NE(attachment, nullptr);
    EXPECT_EQ(attachment->attachedTo, &plain);
    plain.DestroyAttachment();
    EXPECT_EQ(plain.m_pAttachment, nullptr);

    CCountingCells cells;
    list->SetItemFactory(&cells);
    auto* own = static_cast<CCountingCell*>(list->AddItem("f"));
    list->SetItemFactory(nullptr);
    own->m_pAttachmentFactory = &attachments;
    list->UpdateLayout();
    list->GetScrollBar()->SetPos(4);
    Click(150, 145);  // third visible row: the new item 6
    ASSERT_EQ(list->GetCurrentItem(), own);
    EXPECT_EQ(own->created, 1);
    EXPECT_EQ(own->m_pAttachment, nullptr) << "the replaced slot asked no factory";
    static_cast<CList::CListItemBase*>(own)->DestroyAttachment();
    EXPECT_EQ(own->destroyed, 1);
}

namespace {

class Combos : public WidgetsFixture {
protected:
    void SetUp() override {
        WidgetsFixture::SetUp();
        owner = Make<CListener>(nullptr, {0, 0, 800, 600});
        combo = Make<CComboBox>(owner, {100, 100, 250, 180}, CS_VISIBLE | CS_CHILD | CS_TABSTOP, 4);
        combo->SetFont(MakeFont());
        for (const char* text : {"a", "b", "c"}) combo->AddItem(text);
        other = Make<CProbe>(owner, {400, 400, 450, 450});
    }
    ref_ptr<CListener> owner;
    ref_ptr<CComboBox> combo;
    ref_ptr<CProbe> other;
};

} // namespace

TEST_F(Combos, OpensChoosesAndClosesOnFocusLoss) {
    EXPECT_EQ(combo->GetWindowRect().Height(), 16);
    Click(240, 105);
    ASSERT_TRUE(combo->IsDropped());
    const auto& dropDown = combo->GetDropDown();
    EXPECT_EQ(dropDown->GetWindowRect(), (CRect{100, 116, 250, 196}));
    EXPECT_EQ(manager->GetFocus(), dropDown);
    Click(150, 140);  // the second row
    EXPECT_FALSE(combo->IsDropped());
    EXPECT_EQ(combo->GetCurrentItem(), combo->GetItem(1));
    EXPECT_EQ(manager->GetFocus(), combo);
    EXPECT_EQ(owner->Count(CE_NOTIFY), 0u) << "a choice tells the parent nothing";

    Click(240, 105);
    ASSERT_TRUE(combo->IsDropped());
    EXPECT_EQ(dropDown->GetCurrentItem(), combo->GetItem(1)->m_pListItem);
    Click(420, 420);
    EXPECT_FALSE(combo->IsDropped());
    EXPECT_EQ(combo->GetCurrentItem(), combo->GetItem(1));
    EXPECT_EQ(manager->GetFocus(), other);
    EXPECT_EQ(owner->heard, (std::vector<CListener::CHeard>{{CE_NOTIFY, CComboBox::CBN_FOCUS_LEFT, combo.get()}}));
}

namespace {

// Makes rows of its own kind, so the test can tell who made a row.
class CTaggedItems : public CList::IItemFactory {
public:
    class CTaggedItem : public CList::CListItem {
    public:
        using CListItem::CListItem;
    };
    std::unique_ptr<CList::CListItem> CreateItem(CList& list) override { return std::make_unique<CTaggedItem>(&list); }
    std::unique_ptr<CList::CListSubItem> CreateSubItem(CList::CListItem& row) override {
        return std::make_unique<CList::CListSubItem>(row);
    }
};

} // namespace

TEST_F(Combos, DropDownRowsComeFromTheItemFactoryWhenOneIsSet) {
    EXPECT_NE(dynamic_cast<CComboBox::CComboBoxList::CComboBoxListItem*>(combo->GetItem(0)->m_pListItem), nullptr);
    CTaggedItems factory;
    combo->GetDropDown()->SetItemFactory(&factory);
    CComboBox::CComboBoxItem* item = combo->AddItem("d");
    ASSERT_NE(item, nullptr);
    EXPECT_NE(dynamic_cast<CTaggedItems::CTaggedItem*>(item->m_pListItem), nullptr);
    EXPECT_EQ(item->m_pListItem->m_pList, combo->GetDropDown().get());
    EXPECT_EQ(item->GetText(), CString("d"));
    combo->GetDropDown()->SetItemFactory(nullptr);
}

struct CComboFrameCase {
    const char* name;
    uint32_t style;
    int32_t windowHeight;  // the row inside its frame
};

class ComboFrames : public WidgetsFixture, public testing::WithParamInterface<CComboFrameCase> {};

TEST_P(ComboFrames, RowIsOneScrollBarWidthInsideAnyFrame) {
    const auto combo = Make<CComboBox>(nullptr, {100, 100, 250, 180}, CS_VISIBLE | CS_CHILD | GetParam().style);
    EXPECT_EQ(combo->GetClientRect(), (CRect{0, 0, combo->GetClientRect().Width(), 16}));
    EXPECT_EQ(combo->GetWindowRect().Height(), GetParam().windowHeight);
}

INSTANTIATE_TEST_SUITE_P(Styles, ComboFrames,
                         testing::Values(CComboFrameCase{"Plain", 0, 16}, CComboFrameCase{"Border", CS_BORDER, 18},
                                         CComboFrameCase{"Caption", CS_CAPTION, 34},
                                         CComboFrameCase{"BorderAndCaption", CS_BORDER | CS_CAPTION, 36}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CScrollCase {
    const char* name;
    uint32_t key;
    int32_t current, position;  // before the key
    int32_t currentAfter, positionAfter;
};

class ListScrolling : public Lists, public ::testing::WithParamInterface<CScrollCase> {};

// Home and Up scroll up, End and Down down, a row at a time while the
// current row does not show whole; the page keys scroll by the page only
// when the row after it does not show whole, and do nothing more.
TEST_P(ListScrolling, EachKeyScrollsItsOwnWay) {
    const CScrollCase& c = GetParam();
    manager->SetFocus(list);
    list->SetCurrentItem(list->GetItem(c.current));
    list->GetScrollBar()->SetPos(c.position);
    Key(c.key);
    EXPECT_EQ(Current(), c.currentAfter);
    EXPECT_EQ(list->GetScrollBar()->GetPos(), c.positionAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ListScrolling,
    ::testing::Values(
        // The current row scrolled off screen.
        CScrollCase{"PageDownToTheEndOfTheTable", KEY_PAGE_DOWN, 0, 3, 2, 3},
        CScrollCase{"PageUpFromBelow", KEY_PAGE_UP, 5, 0, 3, 0},
        CScrollCase{"UpFromBelow", KEY_UP, 5, 0, 4, 0},
        CScrollCase{"DownFromAbove", KEY_DOWN, 0, 3, 1, 3},
        // The page up ends above the screen, and the count reached the end.
        CScrollCase{"PageUpAtTheEnd", KEY_PAGE_UP, 4, 3, 2, 3},
        // The current row on screen.
        CScrollCase{"Home", KEY_HOME, 3, 2, 0, 0},
        CScrollCase{"End", KEY_END, 1, 0, 5, 3},
        CScrollCase{"Up", KEY_UP, 2, 2, 1, 1},
        CScrollCase{"Down", KEY_DOWN, 2, 0, 3, 1},
        CScrollCase{"PageDown", KEY_PAGE_DOWN, 1, 0, 3, 2},
        CScrollCase{"PageUp", KEY_PAGE_UP, 3, 2, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A hidden row never shows: Down onto one steps to the last position and
// stops there.
TEST_F(Lists, DownOntoAHiddenRowStopsAtTheEnd) {
    list->SetStyle(list->GetStyle() | CList::LS_TREE);
    CList::CListItem* parent = list->GetItem(0);
    list->AddItem("e", parent);
    parent->m_flags |= CList::CListItem::COLLAPSED;
    list->UpdateLayout();
    manager->SetFocus(list);
    list->SetCurrentItem(parent);
    Key(KEY_DOWN);
    EXPECT_EQ(Current(), 1);
    EXPECT_EQ(list->GetScrollBar()->GetPos(), 3);
}

TEST_F(Lists, AnItemHasItsRowOnlyOnceAdded) {
    const std::unique_ptr<CList::CListItem> made = list->CreateItem();
    EXPECT_EQ(made->m_pRowItem, nullptr);
    CList::CListItem* added = list->AddItem("b");
    EXPECT_EQ(added->m_pRowItem, added);
    EXPECT_EQ(list->AddSubItem(*added, "c")->m_pRowItem, added);
}
