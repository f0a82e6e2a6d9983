#include "gameui/GameUiRegistration.h"

#include <utility>

#include "gameui/MosarkBar.h"
#include "gameui/MosarkButton.h"
#include "gameui/MosarkDlg.h"
#include "gameui/MosarkPicButton.h"
#include "gameui/MosarkStatic.h"
#include "gameui/MosarkThunderButton.h"
#include "reflection/Reflector.h"

namespace GameUi {

namespace {

using Engine::Reflection::CReflector;
using Engine::Reflection::ERefPtrForm;

bool g_registered = false;

enum class ECreatable : bool { No = false, Yes = true };

// A widget first, the mixin second; no properties, methods or attributes.
template <class T, class Widget>
void RegisterGameControl(const char* name, ECreatable creatable = ECreatable::Yes) {
    using R = CReflector<T>;
    R::RegisterType(name, ERefPtrForm::Yes);
    R::RegisterVoidPointerConverter();
    R::template AddBase<Widget>();
    R::template AddBase<CMosarkBaseControl>();
    if (creatable == ECreatable::Yes) R::AddDefaultConstructor();
}

void RegisterGameControls() {
    if (std::exchange(g_registered, true)) return;
    using Engine::Controls::CButton;
    using Engine::Controls::CDialog;
    using Engine::Controls::CStatic;
    using Mixin = CReflector<CMosarkBaseControl>;
    Mixin::RegisterType("CMosarkBaseControl", ERefPtrForm::No);
    Mixin::RegisterVoidPointerConverter();
    Mixin::AddDefaultConstructor();
    RegisterGameControl<CMosarkBar, CStatic>("CMosarkBar");
    RegisterGameControl<CMosarkButton, CButton>("CMosarkButton");
    RegisterGameControl<CMosarkDlg, CDialog>("CMosarkDlg");
    RegisterGameControl<CMosarkPicButton, CButton>("CMosarkPicButton");
    RegisterGameControl<CMosarkStatic, CStatic>("CMosarkStatic");
    RegisterGameControl<CMosarkThunderButton, CButton>("CMosarkThunderButton", ECreatable::No);
}

// The records stay with the registry; only the method lists go.
void UnregisterGameControls() {
    if (!std::exchange(g_registered, false)) return;
    (CReflector<CMosarkBaseControl>::Release(), CReflector<CMosarkBar>::Release(),
     CReflector<CMosarkButton>::Release(), CReflector<CMosarkDlg>::Release(), CReflector<CMosarkPicButton>::Release(),
     CReflector<CMosarkStatic>::Release(), CReflector<CMosarkThunderButton>::Release());
}

} // namespace

std::span<const Engine::CStartupHook> GetStartupHooks() {
    static constexpr Engine::CStartupHook kHooks[] = {
        {Engine::EStartupGroup::GameInterface, "game interface controls", &RegisterGameControls,
         &UnregisterGameControls},
    };
    return kHooks;
}

} // namespace GameUi
