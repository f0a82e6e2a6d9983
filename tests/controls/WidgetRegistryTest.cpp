// Every widget by class name through the registry, laid into a dialog from
// descriptions and driven there by injected input.

#include "controls/Button.h"
#include "controls/ControlDescription.h"
#include "controls/DefaultStyleAttribute.h"
#include "controls/Dialog.h"
#include "controls/Edit.h"
#include "controls/Static.h"
#include "reflection/Reflection.h"
#include "tests/controls/WidgetsFixture.h"

using namespace ControlsTesting;
using namespace Engine::Reflection;

namespace {

class WidgetRegistry : public WidgetsFixture {
protected:
    // A new control of the class, owned by the caller.
    static CBaseControl::Ref Create(const char* name) {
        const CTypeInfo* type = CTypeRegistry::Instance().FindTypeByName(name);
        if (!type) return nullptr;
        return CBaseControl::Ref(type->CreateDefaultInstance().ConvertTo(TypeOf<CBaseControl*>()).GetAs<CBaseControl*>());
    }
};

struct CWidgetRow {
    const char* name;
    uint32_t style;
};

constexpr CWidgetRow kWidgets[] = {
    {"Engine::Controls::CDialog", 0},           {"Engine::Controls::CEdit", 0x68000000},
    {"Engine::Controls::CList", 0x68000000},    {"Engine::Controls::CComboBox", 0x68000000},
    {"Engine::Controls::CMenu", 0x68000000},    {"Engine::Controls::CStatic", 0x60000000},
    {"Engine::Controls::CSlider", 0x68000000},  {"Engine::Controls::CProgressBar", 0x60000000},
    {"Engine::Controls::CButton", 0x68000008},  {"Engine::Controls::CDesktop", 0},
};

} // namespace

TEST_F(WidgetRegistry, PointersConvertUpAndCheckedDown) {
    const ref_ptr<CButton> button(new CButton);
    const CValue asBase = CValue(button.get()).ConvertTo(TypeOf<const CBaseControl*>());
    EXPECT_EQ(asBase.GetAs<const CBaseControl*>(), button.get());
    EXPECT_EQ(asBase.ConvertTo(TypeOf<const CButton*>()).GetAs<const CButton*>(), button.get());
    const ref_ptr<CStatic> label(new CStatic);
    const CValue wrong = CValue(static_cast<CBaseControl*>(label.get())).ConvertTo(TypeOf<CButton*>());
    EXPECT_FALSE(wrong.IsEmpty());
    EXPECT_EQ(wrong.GetAs<CButton*>(), nullptr);
}

// The dialog and its children come from descriptions: positions relative to
// the dialog's, styles from the boolean properties. The first tab stop gets
// the focus, Tab walks the tab stops, Return presses the default button.
TEST_F(WidgetRegistry, DialogLaidOutFromDescriptionsAndDrivenByKeys) {
    CControlDescription dialogDescription{400, 300, 100.0f, 50.0f, 0.0f, 0.0f, {}, nullptr};
    std::vector<CControlDescription> descriptions = {
        {100, 20, 120.0f, 70.0f, 0.0f, 0.0f, {{"left", true}}, nullptr},                   // static
        {100, 20, 120.0f, 100.0f, 0.0f, 0.0f, {}, nullptr},                                // edit
        {60, 20, 120.0f, 130.0f, 0.0f, 0.0f, {{"check", true}}, nullptr},                  // check box
        {60, 20, 200.0f, 130.0f, 0.0f, 0.0f, {{"default", true}, {"focus_on_hover", false}}, nullptr},  // OK
    };
    const char* classes[] = {"Engine::Controls::CStatic", "Engine::Controls::CEdit", "Engine::Controls::CButton",
                             "Engine::Controls::CButton"};
    const ref_ptr<CListener> owner = Make<CListener>(nullptr, {0, 0, 800, 600});
    const CBaseControl::Ref dialog = Create("Engine::Controls::CDialog");
    dialog->CreateFromDescription(manager.get(), owner, &dialogDescription, nullptr, "", CS_VISIBLE | CS_CHILD, 1);
    std::vector<CBaseControl::Ref> children;
    for (size_t i = 0; i < descriptions.size(); ++i) {
        children.push_back(Create(classes[i]));
        const uint32_t style = i == 0 ? 0x60000000u : 0x68000000u;
        children.back()->CreateFromDescription(manager.get(), dialog, &descriptions[i], &dialogDescription, "",
                                               style, int32_t(10 + i));
    }
    dialog->SetFont(MakeFont());
    EXPECT_EQ(children[2]->GetWindowRect(), (CRect{20, 80, 80, 100}));
    EXPECT_TRUE(children[0]->HasStyle(CStatic::SS_LEFT));
    EXPECT_TRUE(children[2]->HasStyle(CButton::BS_CHECK));
    EXPECT_EQ(children[3]->GetDlgCode(), 0x2010u);
    EXPECT_EQ(manager->GetFocus(), children[1]) << "the first tab stop";

    Type(u"abc");
    EXPECT_EQ(children[1]->GetText(), "abc");
    Key(KEY_TAB, '\t');
    EXPECT_EQ(manager->GetFocus(), children[2]);
    Key(KEY_SPACE, ' ');
    EXPECT_TRUE(children[2]->HasStyle(CS_CHECKED));
    Shift(true);
    Key(KEY_TAB, '\t');
    Shift(false);
    EXPECT_EQ(manager->GetFocus(), children[1]);
    Key(KEY_RETURN, '\r');  // Return in the edit box: the default button
    EXPECT_EQ(owner->heard, (std::vector<CListener::CHeard>{{CE_COMMAND, 12, children[2].get()},
                                                            {CE_COMMAND, 13, children[3].get()}}));
    Key(KEY_RIGHT);  // the edit box keeps its arrows
    EXPECT_EQ(manager->GetFocus(), children[1]);
}

// Each class is known with its base, one constructor and its default style,
// and lays into a dialog from a description with that style.
TEST_F(WidgetRegistry, EachWidgetByNameLaysIntoADialogWithItsDefaultStyle) {
    const CTypeInfo* base = CTypeRegistry::Instance().FindTypeByName("Engine::Controls::CBaseControl");
    ASSERT_NE(base, nullptr);
    EXPECT_THROW(base->CreateDefaultInstance(), int);
    CControlDescription dialogDescription{600, 500, 100.0f, 50.0f, 0.0f, 0.0f, {}, nullptr};
    const CBaseControl::Ref dialog = Create("Engine::Controls::CDialog");
    dialog->CreateFromDescription(manager.get(), desktop, &dialogDescription, nullptr, "", CS_VISIBLE, 1);
    std::vector<CControlDescription> descriptions;
    descriptions.reserve(std::size(kWidgets));
    for (const CWidgetRow& row : kWidgets) {
        SCOPED_TRACE(row.name);
        const CTypeInfo* type = CTypeRegistry::Instance().FindTypeByName(row.name);
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->GetBaseTypes(), (std::vector<CTypeInfo*>{const_cast<CTypeInfo*>(base)}));
        ASSERT_EQ(type->GetConstructors().size(), 1u);
        ASSERT_EQ(type->GetAttributes().size(), 1u);
        EXPECT_EQ(dynamic_cast<const CDefaultStyleAttribute&>(*type->GetAttributes()[0]).GetStyle(), row.style);
        const CBaseControl::Ref control = Create(row.name);
        EXPECT_EQ(CValue(control.get()).GetDynamicType(), type);
        if (row.style == 0) continue;  // the dialog and the desktop
        const float y = float(60 + 50 * descriptions.size());
        descriptions.push_back({120, 40, 110.0f, y, 0.0f, 0.0f, {}, nullptr});
        control->CreateFromDescription(manager.get(), dialog, &descriptions.back(), &dialogDescription, "", row.style,
                                       2);
        EXPECT_EQ(control->GetParent(), dialog);
        EXPECT_EQ(control->ClientToScreen().left, 110);
        EXPECT_EQ(control->ClientToScreen().top, int32_t(y));
    }
    EXPECT_EQ(dialog->GetChildCount(), 8);
    EXPECT_EQ(manager->GetFocus(), dialog->GetChild(0)) << "the edit box, the first tab stop";
    EXPECT_EQ(CTypeRegistry::Instance()
                  .FindTypeByName("Engine::Controls::CControlsDrawing::CFrameControlDrawingFlags")
                  ->GetEnumValueNames(),
              (std::map<std::int64_t, CString>{{0, "C_DFCS_CAPTIONCLOSE"}}));
    dialog->Destroy();
}
