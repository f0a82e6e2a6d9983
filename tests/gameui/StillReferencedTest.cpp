// Counted objects of the graphics, place-file, controls and game-control
// libraries destroyed while still referenced throw the integer 1, after
// their own clean-up, as every counted engine object does.

#include <functional>

#include "controls/Button.h"
#include "controls/ComboBox.h"
#include "controls/List.h"
#include "controls/Menu.h"
#include "controls/Timer.h"
#include "gameui/MosarkBasicPlaceDisplay.h"
#include "gameui/MosarkPath.h"
#include "gameui/MosarkPlaceDisplay.h"
#include "graphics/Font.h"
#include "graphics/SprFile.h"
#include "graphics/SprFileManager.h"
#include "placefile/MapFile.h"
#include "placefile/MapFileManager.h"
#include "placefile/PlaceFile.h"
#include "placefile/PlaceFileManager.h"
#include "tests/app/DeleteThrows.h"
#include "tests/gameui/GameUiFixture.h"

using namespace GameUiTesting;

namespace {

namespace Spr = Engine::Graphics::SprFile;
namespace Place = Engine::Graphics::PlaceFile;
namespace Map = Engine::Graphics::MapFile;
using Engine::CReferenced;

class StillReferenced;
struct CStillReferencedCase {
    const char* name;
    std::function<ref_ptr<CReferenced>(StillReferenced&)> make;
};

class StillReferenced : public GameUiFixture, public testing::WithParamInterface<CStillReferencedCase> {
public:
    Engine::Graphics::CGraphics* Graphics() { return &driver; }
    CControlsManager* Manager() { return manager.get(); }
    ref_ptr<Engine::Graphics::CFont> Font() { return MakeFont(); }
};

TEST_P(StillReferenced, DestroyingThrowsTheIntegerOne) {
    ref_ptr<CReferenced> made = GetParam().make(*this);
    CReferenced* object = made.get();
    object->AddRef();
    made = nullptr;  // the extra reference is left: the object is still referenced
    EXPECT_EQ(TestReferenced::DeleteAndCatch(object), 1);
}

template <class T>
CStillReferencedCase Plain(const char* name) {
    return {name, [](StillReferenced&) -> ref_ptr<CReferenced> { return new T; }};
}
template <class T>
CStillReferencedCase OnGraphics(const char* name) {
    return {name, [](StillReferenced& test) -> ref_ptr<CReferenced> { return new T(test.Graphics()); }};
}

INSTANTIATE_TEST_SUITE_P(
    Classes, StillReferenced,
    testing::Values(
        // graphics
        CStillReferencedCase{"SprFile",
                             [](StillReferenced& test) -> ref_ptr<CReferenced> {
                                 return new Spr::CSprFile("spr/a.spr", test.Graphics());
                             }},
        CStillReferencedCase{"Font", [](StillReferenced& test) -> ref_ptr<CReferenced> { return test.Font(); }},
        OnGraphics<Engine::Graphics::CSprFileManager>("SprFileManager"),
        CStillReferencedCase{"SprFileDelayedLoader",
                             [](StillReferenced& test) -> ref_ptr<CReferenced> {
                                 return test.Graphics()->GetSprFileManager()->CreateDelayedLoader();
                             }},
        OnGraphics<Spr::CSprFileLocalManager>("SprFileLocalManager"),
        // place files
        CStillReferencedCase{"PlaceFile",
                             [](StillReferenced& test) -> ref_ptr<CReferenced> {
                                 return new Place::CPlaceFile(test.Graphics(), "place/a.place");
                             }},
        OnGraphics<Place::CPlaceFileManager>("PlaceFileManager"),
        OnGraphics<Place::CPlaceFileLocalManager>("PlaceFileLocalManager"),
        CStillReferencedCase{"MapFile",
                             [](StillReferenced&) -> ref_ptr<CReferenced> { return new Map::CMapFile("map/a.map"); }},
        OnGraphics<Map::CMapFileManager>("MapFileManager"),
        OnGraphics<Map::CMapFileLocalManager>("MapFileLocalManager"),
        // controls
        Plain<CBaseControl>("BaseControl"), Plain<CButton>("Button"), Plain<CList>("List"),
        Plain<CComboBox>("ComboBox"), Plain<CMenu>("Menu"),
        CStillReferencedCase{"Timer",
                             [](StillReferenced& test) -> ref_ptr<CReferenced> {
                                 return new CTimer(test.Manager(), new CBaseControl, 0.5);
                             }},
        // game controls
        Plain<CMosarkPath>("MosarkPath"), Plain<CMosarkPlaceDisplay>("MosarkPlaceDisplay"),
        Plain<CMosarkBasicPlaceDisplay>("MosarkBasicPlaceDisplay")),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
