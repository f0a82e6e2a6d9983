// Buttons and the edit box driven by injected mouse, keys and the clock.

#include <cstring>

#include "controls/Button.h"
#include "controls/ControlClipboard.h"
#include "controls/Edit.h"
#include "platform/Clipboard.h"
#include "platform/GlobalMemory.h"
#include "platform/Testing.h"
#include "tests/controls/WidgetsFixture.h"

using namespace ControlsTesting;

namespace {

class Buttons : public WidgetsFixture {
protected:
    void SetUp() override {
        WidgetsFixture::SetUp();
        owner = Make<CListener>(nullptr, {0, 0, 800, 600});
    }
    ref_ptr<CButton> MakeButton(uint32_t style = 0) {
        return Make<CButton>(owner, {100, 100, 200, 130}, CS_VISIBLE | CS_CHILD | CS_TABSTOP | style, 7);
    }
    ref_ptr<CListener> owner;
};

// Pointer paths as (x, button held) frames; the button spans x 100 to 199.
struct CPressCase {
    const char* name;
    std::vector<std::pair<int32_t, bool>> path;
    size_t clicks;
};

const CPressCase kPresses[] = {
    {"press and release inside", {{150, true}, {150, false}}, 1},
    {"release outside", {{150, true}, {300, true}, {300, false}}, 0},
    {"out and back in", {{150, true}, {300, true}, {150, true}, {150, false}}, 1},
    {"press outside", {{300, true}, {150, true}, {150, false}}, 0},
};

class ButtonPresses : public Buttons, public testing::WithParamInterface<CPressCase> {};

} // namespace

TEST_P(ButtonPresses, ClickOnlyOnReleaseOverTheButton) {
    const ref_ptr<CButton> button = MakeButton();
    for (const auto& [x, held] : GetParam().path) Frame(x, 110, {uint8_t(held), 0, 0});
    EXPECT_EQ(owner->Count(CE_COMMAND), GetParam().clicks);
    EXPECT_EQ(manager->GetCapture(), nullptr);
    EXPECT_FALSE(button->IsPressed());
}

INSTANTIATE_TEST_SUITE_P(Paths, ButtonPresses, testing::ValuesIn(kPresses),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_F(Buttons, AutoRepeatClicksAtPressAfterTheDelayThenEachInterval) {
    const ref_ptr<CButton> button = MakeButton(CButton::BS_AUTO_REPEAT);
    Frame(150, 110, {1, 0, 0});
    EXPECT_EQ(owner->Count(CE_COMMAND), 1u);
    Tick(1.0);  // arms the timer
    Tick(1.45);
    EXPECT_EQ(owner->Count(CE_COMMAND), 1u);
    Tick(1.5);
    Tick(1.55);
    Tick(1.6);
    EXPECT_EQ(owner->Count(CE_COMMAND), 4u);
    Frame(300, 110, {1, 0, 0});  // off the button: no clicks, timer kept
    Tick(1.7);
    EXPECT_EQ(owner->Count(CE_COMMAND), 4u);
    EXPECT_NE(button->GetRepeatTimer(), nullptr);
    Frame(150, 110, {1, 0, 0});  // back: one click at once
    EXPECT_EQ(owner->Count(CE_COMMAND), 5u);
    Frame(150, 110);
    EXPECT_EQ(owner->Count(CE_COMMAND), 5u);
    EXPECT_EQ(button->GetRepeatTimer(), nullptr);
    EXPECT_EQ(manager->GetTimerCount(), 0);
}

TEST_F(Buttons, SpaceTogglesACheckBoxOnceAndRadiosCheckInTheirGroup) {
    const ref_ptr<CButton> check = MakeButton(CButton::BS_CHECK);
    manager->SetFocus(check);
    Key(KEY_SPACE, ' ');
    EXPECT_TRUE(check->IsChecked());
    EXPECT_EQ(owner->Count(CE_COMMAND), 1u);
    const ref_ptr<CButton> first = Make<CButton>(owner, {0, 0, 50, 20}, CS_VISIBLE | CS_CHILD | CS_GROUP | CButton::BS_RADIO);
    const ref_ptr<CButton> second = Make<CButton>(owner, {0, 30, 50, 50}, CS_VISIBLE | CS_CHILD | CButton::BS_RADIO);
    first->Click();
    second->Click();
    second->Click();
    EXPECT_FALSE(first->IsChecked());
    EXPECT_TRUE(second->IsChecked());
    EXPECT_EQ(owner->Count(CE_COMMAND), 4u);
    second->SetStyle(second->GetStyle() | CS_DISABLED);
    Click(25, 40);
    EXPECT_EQ(owner->Count(CE_COMMAND), 4u) << "a disabled button does nothing";
}

namespace {

class Edits : public WidgetsFixture {
protected:
    void SetUp() override {
        WidgetsFixture::SetUp();
        ResetClipboard();
        edit = Make<CEdit>(nullptr, {100, 100, 300, 130}, CS_VISIBLE | CS_CHILD | CS_TABSTOP);
        edit->SetFont(MakeFont());
        manager->SetFocus(edit);
    }
    static void ResetClipboard() { Engine::Controls::SetClipboardText(nullptr, CWString()); }
    static void PutAnsi(const char* text) {
        OpenClipboard(nullptr);
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
        std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
        GlobalUnlock(block);
        SetClipboardData(CF_TEXT, block);
        CloseClipboard();
    }
    static std::u16string ReadUnicode() {
        OpenClipboard(nullptr);
        std::u16string text;
        if (HGLOBAL block = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const char16_t*>(GlobalLock(block));
            GlobalUnlock(block);
        }
        CloseClipboard();
        return text;
    }
    std::u16string Text() const { return Utf8ToWide(edit->GetText()).str(); }
    std::pair<int32_t, int32_t> Selection() const { return {edit->GetSelectionStart(), edit->GetSelectionEnd()}; }
    ref_ptr<CEdit> edit;
};

} // namespace

TEST_F(Edits, TypingShiftSelectionCutAndPaste) {
    Type(u"abcde");
    EXPECT_EQ(Text(), u"abcde");
    Type(u"x\u0007");  // no glyph, and a control character
    EXPECT_EQ(Text(), u"abcde");
    Shift(true);
    for (int i = 0; i < 3; ++i) Key(KEY_LEFT);
    EXPECT_EQ(Selection(), std::make_pair(2, 5));
    Key(KEY_RIGHT);
    Shift(false);
    EXPECT_EQ(Selection(), std::make_pair(3, 5));
    Type(u"\u0018");  // Ctrl+X
    EXPECT_EQ(Text(), u"abc");
    EXPECT_EQ(ReadUnicode(), u"de");
    Key(KEY_HOME);
    Type(u"\u0016");  // Ctrl+V
    EXPECT_EQ(Text(), u"deabc");
    EXPECT_EQ(edit->GetCaret(), 2);
    Key(KEY_END);
    Key(KEY_BACKSPACE);
    Key(KEY_HOME);
    Key(KEY_BACKSPACE);
    Key(KEY_DELETE);
    EXPECT_EQ(Text(), u"eab");
}

TEST_F(Edits, CharactersOutsideTheBasicPlaneRoundTripThroughTheClipboard) {
    edit->SetFont(nullptr);  // every character passes the filter
    PutAnsi("a\xF0\x9F\x98\x80");  // as other programs write it
    Type(u"\u0016");
    EXPECT_EQ(Text(), u"a\U0001F600");
    EXPECT_EQ(edit->GetCaret(), 3);
    Shift(true);
    Key(KEY_LEFT);
    Key(KEY_LEFT);
    Shift(false);
    Type(u"\u0018");
    EXPECT_EQ(ReadUnicode(), u"\U0001F600");
    EXPECT_EQ(Text(), u"a");
    Type(u"\u0016\u0016");
    EXPECT_EQ(Text(), u"a\U0001F600\U0001F600");
}

TEST_F(Edits, LimitCountsTheTextWithoutTheSelection) {
    edit->SetLimit(5);
    Type(u"abc");
    PutAnsi("abcde");
    Type(u"\u0016");
    EXPECT_EQ(Text(), u"abcab");
    EXPECT_EQ(edit->GetCaret(), 5);
    Type(u"c");
    EXPECT_EQ(Text(), u"abcab");
    edit->SetSelection(1, 3);
    PutAnsi("dd");
    Type(u"\u0016");
    EXPECT_EQ(Text(), u"addab") << "the pasted text replaces the selection";
}

TEST_F(Edits, CutKeepsTheTextWhenTheClipboardIsBusy) {
    Type(u"abc");
    edit->SetSelection(0, 2);
    Platform::Testing::FailNext(Platform::Testing::Failure::ClipboardOpen);
    Type(u"\u0018");
    EXPECT_EQ(Text(), u"abc");
    edit->SetSelection(0, 0);
    Type(u"\u0003");  // copying an empty selection empties the clipboard
    EXPECT_EQ(ReadUnicode(), u"");
}

// A disabled or input-blocked box passes its events to the base, which
// dispatches Ctrl+X and Ctrl+V: the box's own cut and paste refuse them.
TEST_F(Edits, DisabledOrBlockedBoxIgnoresCutAndPaste) {
    for (const uint32_t style : {uint32_t(CS_DISABLED), uint32_t(CS_INPUT_BLOCKED)}) {
        edit->SetStyle(edit->GetStyle() & ~uint32_t(CS_DISABLED | CS_INPUT_BLOCKED));
        edit->SetText("abcde");
        edit->SetSelection(1, 3);
        PutAnsi("zz");
        edit->SetStyle(edit->GetStyle() | style);
        Type(u"\u0018");  // Ctrl+X
        Type(u"\u0016");  // Ctrl+V
        EXPECT_EQ(Text(), u"abcde") << std::hex << style;
        EXPECT_EQ(ReadUnicode(), u"zz");
    }
}

TEST_F(Edits, MouseDragSelectsFromThePointerToTheAnchor) {
    Type(u"abcde");
    Frame(145, 110, {1, 0, 0});  // half-way points at 5, 15, ...: index 5
    Frame(112, 110, {1, 0, 0});
    EXPECT_EQ(Selection(), std::make_pair(1, 5));
    EXPECT_EQ(edit->GetCaret(), 1);
    EXPECT_EQ(edit->GetFocusRect(), (CRect{10, 5, 11, 25}));
    Frame(112, 110);
    Frame(112, 110);
    EXPECT_EQ(manager->GetCapture(), nullptr);
    EXPECT_EQ(manager->GetCursor(), 2);
}
