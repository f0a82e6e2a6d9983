#include "controls/WidgetRegistration.h"

#include <memory>
#include <utility>

#include "controls/Button.h"
#include "controls/ComboBox.h"
#include "controls/ControlsDrawing.h"
#include "controls/DefaultStyleAttribute.h"
#include "controls/Desktop.h"
#include "controls/Dialog.h"
#include "controls/Edit.h"
#include "controls/List.h"
#include "controls/Menu.h"
#include "controls/ProgressBar.h"
#include "controls/Slider.h"
#include "controls/Static.h"
#include "reflection/Reflector.h"

namespace Engine::Controls {

namespace {

using Engine::Reflection::CReflector;
using Engine::Reflection::ERefPtrForm;

bool g_registered = false;

template <class T>
void RegisterWidget(const char* name, uint32_t defaultStyle) {
    using R = CReflector<T>;
    R::RegisterType(name, ERefPtrForm::Yes);
    R::RegisterVoidPointerConverter();
    R::AddAttribute(std::make_unique<CDefaultStyleAttribute>(defaultStyle));
    R::template AddBase<CBaseControl>();
    R::AddDefaultConstructor();
}

void RegisterWidgets() {
    if (std::exchange(g_registered, true)) return;
    using Flags = CControlsDrawing::CFrameControlDrawingFlags;
    CReflector<Flags>::RegisterEnumType("Engine::Controls::CControlsDrawing::CFrameControlDrawingFlags");
    CReflector<Flags>::AddEnumValueName("Engine::Controls::CControlsDrawing::C_DFCS_CAPTIONCLOSE",
                                         CControlsDrawing::C_DFCS_CAPTIONCLOSE);
    CReflector<CBaseControl>::RegisterType("Engine::Controls::CBaseControl", ERefPtrForm::Yes);
    CReflector<CBaseControl>::RegisterVoidPointerConverter();
    constexpr uint32_t kTabStop = CS_VISIBLE | CS_CHILD | CS_TABSTOP, kPlain = CS_VISIBLE | CS_CHILD;
    RegisterWidget<CDialog>("Engine::Controls::CDialog", 0);
    RegisterWidget<CEdit>("Engine::Controls::CEdit", kTabStop);
    RegisterWidget<CList>("Engine::Controls::CList", kTabStop);
    RegisterWidget<CComboBox>("Engine::Controls::CComboBox", kTabStop);
    RegisterWidget<CMenu>("Engine::Controls::CMenu", kTabStop);
    RegisterWidget<CStatic>("Engine::Controls::CStatic", kPlain);
    RegisterWidget<CSlider>("Engine::Controls::CSlider", kTabStop);
    RegisterWidget<CProgressBar>("Engine::Controls::CProgressBar", kPlain);
    RegisterWidget<CButton>("Engine::Controls::CButton", kTabStop | CButton::BS_FOCUS_ON_HOVER);
    RegisterWidget<CDesktop>("Engine::Controls::CDesktop", 0);
}

template <class... T>
void ReleaseMethodLists() {
    (CReflector<T>::Release(), ...);
}

// The records stay with the registry; only the method lists go.
void UnregisterWidgets() {
    if (!std::exchange(g_registered, false)) return;
    ReleaseMethodLists<CControlsDrawing::CFrameControlDrawingFlags, CBaseControl, CDialog, CEdit, CList, CComboBox,
                       CMenu, CStatic, CSlider, CProgressBar, CButton, CDesktop>();
}

} // namespace

std::span<const CStartupHook> GetStartupHooks() {
    static constexpr CStartupHook kHooks[] = {
        {EStartupGroup::Widgets, "GUI widgets", &RegisterWidgets, &UnregisterWidgets},
    };
    return kHooks;
}

} // namespace Engine::Controls
