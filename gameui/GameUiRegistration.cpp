#include "gameui/GameUiRegistration.h"

#include <utility>

#include "gameui/MosarkBar.h"
#include "gameui/MosarkButton.h"
#include "gameui/MosarkBasicPlaceDisplay.h"
#include "gameui/MosarkDlg.h"
#include "gameui/MosarkEdit.h"
#include "gameui/MosarkList.h"
#include "gameui/MosarkMaxiDlg.h"
#include "gameui/MosarkMenuContinueGameDlg.h"
#include "gameui/MosarkMiniDlg.h"
#include "gameui/MosarkPath.h"
#include "gameui/MosarkPic.h"
#include "gameui/MosarkPicButton.h"
#include "gameui/MosarkPics.h"
#include "gameui/MosarkPlaceDisplay.h"
#include "gameui/MosarkSlider.h"
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

// A game dialog type: the game dialog is its only base.
template <class T>
void RegisterGameDialog(const char* name, ECreatable creatable = ECreatable::Yes) {
    using R = CReflector<T>;
    R::RegisterType(name, ERefPtrForm::Yes);
    R::RegisterVoidPointerConverter();
    R::template AddBase<CMosarkDlg>();
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
    RegisterGameDialog<CMosarkMaxiDlg>("CMosarkMaxiDlg");
    RegisterGameDialog<CMosarkMenuContinueGameDlg>("CMosarkMenuContinueGameDlg");
    RegisterGameDialog<CMosarkMiniDlg>("CMosarkMiniDlg", ECreatable::No);
    RegisterGameControl<CMosarkEdit, Engine::Controls::CEdit>("CMosarkEdit");
    RegisterGameControl<CMosarkList, Engine::Controls::CList>("CMosarkList");
    RegisterGameControl<CMosarkPath, CStatic>("CMosarkPath");
    RegisterGameControl<CMosarkPic, CStatic>("CMosarkPic");
    RegisterGameControl<CMosarkPics, CStatic>("CMosarkPics");
    RegisterGameControl<CMosarkBasicPlaceDisplay, CStatic>("CMosarkBasicPlaceDisplay");
    RegisterGameControl<CMosarkPlaceDisplay, CStatic>("CMosarkPlaceDisplay");
    RegisterGameControl<CMosarkSlider, Engine::Controls::CSlider>("CMosarkSlider");
}

// The records stay with the registry; only the method lists go.
void UnregisterGameControls() {
    if (!std::exchange(g_registered, false)) return;
    (CReflector<CMosarkBaseControl>::Release(), CReflector<CMosarkBar>::Release(),
     CReflector<CMosarkButton>::Release(), CReflector<CMosarkDlg>::Release(), CReflector<CMosarkPicButton>::Release(),
     CReflector<CMosarkStatic>::Release(), CReflector<CMosarkThunderButton>::Release(),
     CReflector<CMosarkMaxiDlg>::Release(), CReflector<CMosarkMenuContinueGameDlg>::Release(),
     CReflector<CMosarkMiniDlg>::Release(), CReflector<CMosarkEdit>::Release(), CReflector<CMosarkList>::Release(),
     CReflector<CMosarkPath>::Release(), CReflector<CMosarkPic>::Release(), CReflector<CMosarkPics>::Release(),
     CReflector<CMosarkBasicPlaceDisplay>::Release(), CReflector<CMosarkPlaceDisplay>::Release(),
     CReflector<CMosarkSlider>::Release());
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
