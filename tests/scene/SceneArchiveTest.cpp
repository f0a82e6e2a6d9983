#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ControllerFixtures.h"

using namespace SceneTest;
using Engine::ref_ptr;
using Bytes = std::vector<uint8_t>;

namespace {

// Hand-made archives.
class CWriter {
public:
    CWriter() : m_ar(&m_file, true) {}
    CWriter& Begin(uint32_t id, uint32_t version = CHUNK_VERSION) { return m_ar.BeginChunk(id, version), *this; }
    CWriter& End() { return m_ar.EndChunk(), *this; }
    CWriter& U32(uint32_t v) { return m_ar.WriteDWord(v), *this; }
    CWriter& U8(uint8_t v) { return m_ar.WriteByte(v), *this; }
    CWriter& F32(float v) { return m_ar.WriteFloat(v), *this; }
    CWriter& F64(double v) { return m_ar.Write(&v, 8), *this; }
    CWriter& Str(const char* s) { return m_ar.WriteString(CString(s)), *this; }
    CWriter& TimeFields(double start = 0, double end = 50, float rate = 5, uint32_t mode = 0) {
        return F64(start).F64(end).F32(rate).U32(mode).U32(0);
    }
    // A scene header up to its child count.
    CWriter& SceneStart(uint32_t version = SCENE_CHUNK_VERSION, uint32_t counter = 1001) {
        Begin(CHUNK_SCENE, version).Str("Hand").Begin(CHUNK_SCENE_TIME).TimeFields().End();
        if (version > CHUNK_VERSION) U32(counter);
        return *this;
    }
    CWriter& Animatable(const char* cls, uint32_t id, uint32_t flags = 0) {
        return Str(cls).U32(id).Begin(CHUNK_ANIMATABLE).U32(flags).End();
    }
    Bytes Done() { return m_file.Detach(); }

private:
    Engine::CMemoryFile m_file;
    CArchive m_ar;
};

class SceneArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSceneFixtures();
        CAnimatable::SetNextObjectId(1001);
    }
    void TearDown() override {
        m_scene->Dispose();
        m_loaded->Dispose();
        CClassDir::GetInstance().Clear();
        EXPECT_EQ(CTestSprite::s_alive, 0);
    }
    void BuildScene() { BuildSampleScene(*m_scene); }
    ref_ptr<CScene> m_scene{new CScene};
    ref_ptr<CScene> m_loaded{new CScene};
};

TEST_F(SceneArchiveTest, EmptySceneHasItsByteImage) {
    CWriter expected;
    expected.Begin(CHUNK_SCENE, SCENE_CHUNK_VERSION).Str("Default Scene");
    expected.Begin(CHUNK_SCENE_TIME).TimeFields().End().U32(1001).U32(0).End();
    const Bytes image = expected.Done();
    ASSERT_EQ(image.size(), 74u);
    const uint8_t head[] = {0x53, 0x43, 0x45, 0x4E, 0x02, 0x01, 0, 0, 62, 0, 0, 0, 13};
    EXPECT_EQ(0, std::memcmp(image.data(), head, sizeof head));

    EXPECT_EQ(SaveScene(*ref_ptr<CScene>(new CScene)), image);
    m_loaded->SetName("Old");
    m_loaded->GetTimeRecord().rate = 1;
    LoadScene(*m_loaded, image);
    EXPECT_EQ(SaveScene(*m_loaded), image);
}

TEST_F(SceneArchiveTest, RoundTripGivesAnEqualTree) {
    BuildScene();
    // Two objects under one ID: saving renumbers the second.
    auto* first = m_scene->GetSubAnim(0).get();
    auto* node = m_scene->GetSubAnim(1).get();
    node->SetObjectId(first->GetObjectId());
    const uint32_t next = CAnimatable::GetNextObjectId();
    const Bytes bytes = SaveScene(*m_scene, next);
    EXPECT_EQ(node->GetObjectId(), next);

    // Saving the loaded scene from the same counter writes every object
    // again: the same bytes mean the same tree, sharing and IDs.
    LoadScene(*m_loaded, bytes);
    EXPECT_EQ(SaveScene(*m_loaded, next), bytes);
    // The shared controller is one object again, and its owners depend on it.
    CAnimatable* a = m_loaded->GetAniObject(0)->GetSubAnim(0).get();
    CAnimatable* b = m_loaded->GetAniObject(2)->GetSubAnim(0).get();
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->GetDependentCount(), 2);
    EXPECT_EQ(m_loaded->GetSubAnim(1)->GetObjectId(), next);
    EXPECT_EQ(static_cast<CTestSprite*>(static_cast<CReflectionAniObject*>(m_loaded->GetAniObject(2))->GetAnimObject())
                  ->m_wrapper,
              m_loaded->GetAniObject(2));
}

TEST_F(SceneArchiveTest, HeaderVersionsAndTheObjectCounter) {
    CWriter v101;
    v101.SceneStart(CHUNK_VERSION).U32(0).End();
    CAnimatable::SetNextObjectId(1200);
    LoadScene(*m_loaded, v101.Done());
    EXPECT_STREQ(m_loaded->GetName(), "Hand");
    EXPECT_EQ(CAnimatable::GetNextObjectId(), 1200u);

    for (uint32_t stored : {5000u, 1100u}) {
        CWriter w;
        w.SceneStart(SCENE_CHUNK_VERSION, stored).U32(0).End();
        LoadScene(*m_loaded, w.Done());
    }
    EXPECT_EQ(CAnimatable::GetNextObjectId(), 5000u);

    CWriter old;
    old.SceneStart(0x100).U32(0).End();
    ExpectRefused([&] { LoadScene(*m_loaded, old.Done()); }, "Scene serialization error: File ID Wrong or Old File Version");

    // A time chunk with another ID is skipped; the fields follow it.
    CWriter foreign;
    foreign.Begin(CHUNK_SCENE, SCENE_CHUNK_VERSION).Str("F").Begin(0x1234).U32(99).End();
    foreign.TimeFields(5, 9, 2, WRAP_REVERSE).U32(1001).U32(0).End();
    LoadScene(*m_loaded, foreign.Done());
    EXPECT_EQ(m_loaded->GetTimeRecord().spanEnd, 9.0);
    EXPECT_EQ(m_loaded->GetTimeRecord().wrapMode, uint32_t(WRAP_REVERSE));
}

TEST_F(SceneArchiveTest, SlotsThatDoNotFitAreDropped) {
    // Property names the type lacks, and a controller of the wrong value
    // type: the objects are read (the stream stays in step) and dropped.
    CWriter w;
    w.SceneStart().U32(1);
    w.Animatable("Engine::Scene::CReflectionAniObject", 2000);
    w.Begin(CHUNK_REFLECTABLE).U8(1).Str("Test::CTestSprite").U32(3);
    w.Str("Nope").Animatable("Test::CTestNode", 2001);
    w.Str("Alpha").Animatable("Test::CTestBoolCtrl", 2002).Begin(CHUNK_REFLECTABLE).U8(0).End();
    w.Begin(CHUNK_CONTROLLER, 1).U32(0).U32(0).End();
    w.Str("Visible").Animatable("Test::CTestBoolCtrl", 2003).Begin(CHUNK_REFLECTABLE).U8(0).End();
    w.Begin(CHUNK_CONTROLLER, 1).U32(0).U32(0).End();
    w.End().Begin(CHUNK_REFLECTION_ANI_OBJECT).U32(5).End().End();
    LoadScene(*m_loaded, w.Done());
    auto* wrapper = m_loaded->GetAniObject(0);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->GetName(), CString("Sprite 5"));
    EXPECT_EQ(wrapper->GetSubAnim(0).get(), nullptr);
    ASSERT_NE(wrapper->GetSubAnim(1).get(), nullptr);
    EXPECT_EQ(wrapper->GetSubAnim(1)->GetObjectId(), 2003u);
}

// A controller with an ease curve and a multiplier curve.
Engine::ref_ptr<CBezierFloatCtrl> EasedController() {
    Engine::ref_ptr<CBezierFloatCtrl> controller(new CBezierFloatCtrl);
    controller->AddKey(4.0, 0x41);
    controller->AddEaseCurve(Engine::ref_ptr<CController>(new CLinearFloatCtrl));
    controller->GetMultCurveList()->SetSubAnim(Engine::ref_ptr<CAnimatable>(new CStepFloatCtrl), 0);
    return controller;
}

// How many curves a standard controller's ease and multiplier lists hold.
std::pair<int, int> CurveCounts(const CAnimatable* object) {
    const auto* controller = dynamic_cast<const CStdController*>(object);
    if (!controller) return {-1, -1};
    const auto ease = controller->GetEaseCurveList();
    const auto mult = controller->GetMultCurveList();
    return {ease ? ease->GetSubAnimCount() : 0, mult ? mult->GetSubAnimCount() : 0};
}

// Curves and curve lists read from an archive are held by their slots alone:
// nothing registers them, so they have no dependents and their change
// messages go nowhere; the lists the controller's constructor made stay
// its references.
TEST_F(SceneArchiveTest, LoadedCurvesAndListsHaveNoDependents) {
    auto wrapper = MakeSpriteWrapper(1);
    const auto built = EasedController();
    wrapper->SetSubAnim(built, 0);
    m_scene->AddChild(wrapper);
    EXPECT_EQ(built->GetEaseCurveList()->GetCurve(0)->GetDependentCount(), 1);
    LoadScene(*m_loaded, SaveScene(*m_scene));

    CAnimatable* loadedWrapper = m_loaded->GetAniObject(0);
    auto controller = Engine::DynamicRefCast<CStdController>(loadedWrapper->GetSubAnim(0));
    ASSERT_TRUE(controller);
    auto ease = controller->GetEaseCurveList();
    auto mult = controller->GetMultCurveList();
    const std::vector<const CCurveList*> lists{ease.get(), mult.get()};
    for (const CCurveList* list : lists) {
        EXPECT_EQ(list->GetDependentCount(), 0);
        ASSERT_EQ(list->GetSubAnimCount(), 1);
        EXPECT_EQ(list->GetCurve(0)->GetDependentCount(), 0);
        EXPECT_EQ(list->GetReferenceCount(), 0);
    }
    ASSERT_EQ(controller->GetReferenceCount(), 2);
    for (int i = 0; i < 2; ++i) {
        const auto constructed = controller->GetReference(i);
        EXPECT_NE(constructed.get(), ease.get());
        EXPECT_NE(constructed.get(), mult.get());
        EXPECT_EQ(static_cast<CAnimatable*>(constructed.get())->GetSubAnimCount(), 0);
        EXPECT_EQ(constructed->GetDependentCount(), 1);
    }
    loadedWrapper->SetFlags(0);
    ease->GetCurve(0)->NotifyDependents(REFMSG_CHANGED, 1);
    EXPECT_EQ(loadedWrapper->GetFlags(), 0u);
    // Disposing of the controller, or the controller going, leaves the
    // lists it read whole for any other holder of them. A list let go of
    // lets go of its curves, and a curve nothing else uses is disposed of
    // (its own lists unlinked), so no loop of links keeps it alive.
    const ref_ptr<CController> curves[] = {ease->GetCurve(0), mult->GetCurve(0)};
    EXPECT_EQ(curves[0]->GetReferenceCount(), 2);
    controller->Dispose();
    EXPECT_EQ(CurveCounts(controller.get()), std::make_pair(1, 1));
    EXPECT_EQ(curves[0]->GetReferenceCount(), 2);
    loadedWrapper->RemoveSubAnim(0);
    controller = nullptr;
    CClassDir::GetInstance().Clear();
    EXPECT_EQ(ease->GetSubAnimCount(), 1);
    EXPECT_EQ(mult->GetSubAnimCount(), 1);
    ease = nullptr;
    mult = nullptr;
    for (const auto& curve : curves) {
        EXPECT_EQ(curve->GetReferenceCount(), 0);
        EXPECT_EQ(curve->GetRefCount(), 1);  // freed with this last hold
    }
}

// The first property name "Visible" in the archive (the first sprite's)
// becomes the given name, of the same length.
void RenameFirstVisible(Bytes& bytes, const char* name) {
    const std::string from = "\x07Visible", to = std::string("\x07") + name;
    ASSERT_EQ(to.size(), from.size());
    const auto at = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
    ASSERT_NE(at, bytes.end());
    std::copy(to.begin(), to.end(), at);
}

struct CDroppedCase {
    const char* name;
    // The property name under which the first sprite lists the shared
    // controller in the archive; the second lists it under "Alpha".
    const char* firstProperty;
};

class DroppedControllerTest : public SceneArchiveTest, public ::testing::WithParamInterface<CDroppedCase> {};

// The first sprite's entry is dropped (a property the class lacks, or a
// bool slot for a float controller); the second refers to the controller by
// ID and gets it whole. A dropped controller that no later record takes up
// is disposed of once the read ends.
TEST_P(DroppedControllerTest, IsKeptWholeForALaterReference) {
    auto first = MakeSpriteWrapper(1);
    auto second = MakeSpriteWrapper(2);
    auto third = MakeSpriteWrapper(3);
    const auto shared = EasedController();
    const auto unused = EasedController();
    first->SetSubAnim(shared, 1);
    second->SetSubAnim(shared, 0);
    third->SetSubAnim(unused, 1);
    for (const auto& wrapper : {first, second, third}) m_scene->AddChild(wrapper);
    Bytes bytes = SaveScene(*m_scene);
    const uint32_t unusedId = unused->GetObjectId();
    RenameFirstVisible(bytes, GetParam().firstProperty);

    LoadScene(*m_loaded, bytes);
    ASSERT_NE(m_loaded->GetAniObject(2), nullptr);
    EXPECT_EQ(m_loaded->GetAniObject(0)->GetSubAnim(1).get(), nullptr);
    ASSERT_EQ(CurveCounts(shared.get()), std::make_pair(1, 1));
    EXPECT_EQ(CurveCounts(m_loaded->GetAniObject(1)->GetSubAnim(0).get()), std::make_pair(1, 1));
    // The third sprite's float controller in its bool slot: dropped too,
    // and with nothing holding it, disposed of once the read has ended. Its
    // lists, held here, keep their curves when the directory lets it go,
    // and free them, unlinked, once let go of.
    EXPECT_EQ(m_loaded->GetAniObject(2)->GetSubAnim(1).get(), nullptr);
    auto dropped = Engine::DynamicRefCast<CStdController>(CClassDir::GetInstance().FindObject(unusedId));
    ASSERT_TRUE(dropped);
    EXPECT_EQ(dropped->GetReferenceCount(), 0);
    ref_ptr<CCurveList> lists[] = {dropped->GetEaseCurveList(), dropped->GetMultCurveList()};
    dropped = nullptr;
    CClassDir::GetInstance().Clear();
    std::vector<ref_ptr<CController>> curves;
    for (auto& list : lists) {
        ASSERT_EQ(list->GetSubAnimCount(), 1);
        curves.push_back(list->GetCurve(0));
        list = nullptr;
    }
    for (const auto& curve : curves) {
        EXPECT_EQ(curve->GetReferenceCount() + curve->GetDependentCount(), 0);
        EXPECT_EQ(curve->GetRefCount(), 1);  // freed with this last hold
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DroppedControllerTest,
                         ::testing::Values(CDroppedCase{"WrongValueType", "Visible"},
                                           CDroppedCase{"UnknownProperty", "Unknown"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A linear curve from (0, 0) to (100, end).
ref_ptr<CLinearFloatCtrl> Ramp(float end) {
    ref_ptr<CLinearFloatCtrl> curve(new CLinearFloatCtrl);
    curve->AppendKey(ControllerTest::NewKey<ILinFloatKey>(100, end));
    return curve;
}

struct CHeldCase {
    const char* name;
    // Gives the other sprite a hold on the eased controller's curve or list.
    void (*share)(CReflectionAniObject& other, CStdController& eased);
    // The name under which the other sprite lists its "Visible" slot.
    const char* otherProperty;
};

class HeldByASlotTest : public SceneArchiveTest, public ::testing::WithParamInterface<CHeldCase> {};

// A controller eased by a curve that is itself eased (time 40 -> 20) yields
// 20 at time 40. Another holder of the curve or of the ease list, dropped
// by the reader or going after the load, must not take them from it.
TEST_P(HeldByASlotTest, StaysWholeForTheOtherHolder) {
    auto other = MakeSpriteWrapper(1);
    auto owner = MakeSpriteWrapper(2);
    const auto eased = Ramp(100);
    const auto curve = Ramp(100);
    curve->AddEaseCurve(Ramp(50));
    eased->AddEaseCurve(curve);
    owner->SetSubAnim(eased, 0);
    GetParam().share(*other, *eased);
    m_scene->AddChild(other);
    m_scene->AddChild(owner);
    Bytes bytes = SaveScene(*m_scene);
    RenameFirstVisible(bytes, GetParam().otherProperty);

    LoadScene(*m_loaded, bytes);
    m_loaded->RemoveSubAnim(0);
    const auto loaded = Engine::DynamicRefCast<CStdController>(m_loaded->GetAniObject(0)->GetSubAnim(0));
    CValue value;
    loaded->GetControllerValue(40, value);
    EXPECT_EQ(value.Get<float>(), 20.0f);
    EXPECT_EQ(CurveCounts(loaded->GetEaseCurveList()->GetCurve(0).get()), std::make_pair(1, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeldByASlotTest,
    ::testing::Values(
        CHeldCase{"CurveUnderABoolProperty",
                  [](CReflectionAniObject& other, CStdController& eased) {
                      other.SetSubAnim(eased.GetEaseCurveList()->GetCurve(0), 1);
                  },
                  "Visible"},
        CHeldCase{"ListUnderAMissingProperty",
                  [](CReflectionAniObject& other, CStdController& eased) {
                      other.SetSubAnim(eased.GetEaseCurveList(), 1);
                  },
                  "Unknown"},
        CHeldCase{"CurveInAControllerThatGoes",
                  [](CReflectionAniObject& other, CStdController& eased) {
                      const auto controller = Ramp(100);
                      controller->AddEaseCurve(eased.GetEaseCurveList()->GetCurve(0));
                      other.SetSubAnim(controller, 0);
                  },
                  "Visible"}),
    [](const auto& info) { return std::string(info.param.name); });

class DisposedSharedControllerTest : public SceneArchiveTest, public ::testing::WithParamInterface<bool> {};

// A controller in the slots of two sprites, disposed of through the first
// sprite's RemoveSubAnim: disposal unlinks it but leaves its curve lists, so
// the second sprite still eases it (time 40 -> 20), built or loaded.
TEST_P(DisposedSharedControllerTest, StillEasesForTheOtherSprite) {
    auto first = MakeSpriteWrapper(1);
    auto second = MakeSpriteWrapper(2);
    const auto shared = Ramp(100);
    shared->AddEaseCurve(Ramp(50));
    first->SetSubAnim(shared, 0);
    second->SetSubAnim(shared, 0);
    m_scene->AddChild(first);
    m_scene->AddChild(second);
    CScene* scene = m_scene.get();
    if (GetParam()) {
        LoadScene(*m_loaded, SaveScene(*m_scene));
        scene = m_loaded.get();
    }

    scene->GetAniObject(0)->RemoveSubAnim(0);
    const auto controller = Engine::DynamicRefCast<CStdController>(scene->GetAniObject(1)->GetSubAnim(0));
    ASSERT_TRUE(controller);
    EXPECT_EQ(controller->GetReferenceCount(), 0);
    CValue value;
    controller->GetControllerValue(40, value);
    EXPECT_EQ(value.Get<float>(), 20.0f);
}

INSTANTIATE_TEST_SUITE_P(Scenes, DisposedSharedControllerTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Loaded" : "Built"); });

struct CEaseListPath {
    const char* name;
    // Acts on the controller of the owner's first slot and answers its ease
    // list; clears the controller when the path destroys it.
    ref_ptr<CEaseCurveList> (*act)(CAnimatable& owner, ref_ptr<CStdController>& controller);
};

const CEaseListPath EASE_LIST_PATHS[] = {
    {"AnotherSpriteLetsGoOfIt",
     [](CAnimatable&, ref_ptr<CStdController>& controller) {
         const auto other = MakeSpriteWrapper(2);
         other->SetSubAnim(controller->GetEaseCurveList(), 1);
         other->RemoveSubAnim(1);
         return controller->GetEaseCurveList();
     }},
    {"ItIsDisposedOf",
     [](CAnimatable&, ref_ptr<CStdController>& controller) {
         controller->GetEaseCurveList()->Dispose();
         return controller->GetEaseCurveList();
     }},
    {"TheControllerIsDisposedOf",
     [](CAnimatable&, ref_ptr<CStdController>& controller) {
         controller->Dispose();
         return controller->GetEaseCurveList();
     }},
    {"TheControllerGoesWhileItIsHeld",
     [](CAnimatable& owner, ref_ptr<CStdController>& controller) {
         const auto list = controller->GetEaseCurveList();
         owner.RemoveSubAnim(0);
         CClassDir::GetInstance().Clear();
         EXPECT_EQ(controller->GetRefCount(), 1);
         controller = nullptr;
         return list;
     }},
};

class EaseListPathTest : public SceneArchiveTest,
                         public ::testing::WithParamInterface<std::tuple<CEaseListPath, bool>> {};

// A controller from (0, 0) to (100, 100) eased by t -> t/2 gives 20 at time
// 40. Whichever way its ease list is disposed of, the list ends unlinked
// (and so does its curve) but keeps the curve, so it still eases.
TEST_P(EaseListPathTest, UnlinksTheListAndKeepsItsCurve) {
    const auto& [path, loaded] = GetParam();
    {
        // Held by the scene alone.
        auto owner = MakeSpriteWrapper(1);
        const auto built = Ramp(100);
        built->AddEaseCurve(Ramp(50));
        owner->SetSubAnim(built, 0);
        m_scene->AddChild(owner);
    }
    CScene* scene = m_scene.get();
    if (loaded) {
        LoadScene(*m_loaded, SaveScene(*m_scene));
        scene = m_loaded.get();
    }
    CAnimatable& holder = *scene->GetAniObject(0);
    auto controller = Engine::DynamicRefCast<CStdController>(holder.GetSubAnim(0));
    ASSERT_TRUE(controller);
    // Built, the list is linked to the controller and to its curve.
    EXPECT_EQ(controller->GetEaseCurveList()->GetReferenceCount(), loaded ? 0 : 1);

    const auto list = path.act(holder, controller);
    ASSERT_EQ(list->GetSubAnimCount(), 1);
    EXPECT_EQ(list->GetReferenceCount(), 0);
    EXPECT_EQ(list->GetDependentCount(), 0);
    EXPECT_EQ(list->GetCurve(0)->GetDependentCount(), 0);
    double eased = 0;
    const double time = 40;
    list->EaseTime(&eased, &time);
    EXPECT_EQ(eased, 20.0);
    if (controller) {
        EXPECT_EQ(ControllerTest::Evaluate(*controller, 40), 20.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, EaseListPathTest,
                         ::testing::Combine(::testing::ValuesIn(EASE_LIST_PATHS), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_Loaded" : "_Built");
                         });

enum ECurveHolder { ONLY_THE_LIST, ANOTHER_LIST, A_SLOT };
const char* const HOLDER_NAMES[] = {"OnlyTheList", "AnotherList", "ASlot"};

class DisposedListCurveTest : public SceneArchiveTest, public ::testing::WithParamInterface<ECurveHolder> {};

// A built controller eased by a curve (time 40 -> 20) is disposed of: its
// ease list is unlinked, and so is the curve when nothing else uses it, down
// to the curve's own lists; a curve another list links or a slot holds stays
// linked where it is held. The controller still eases through both.
TEST_P(DisposedListCurveTest, DisposesTheCurvesOnlyTheListHolds) {
    const ECurveHolder holder = GetParam();
    const auto controller = Ramp(100);
    const auto curve = Ramp(50);
    controller->AddEaseCurve(curve);
    const auto other = Ramp(100);
    std::optional<CSlotRef<CController>> slot;
    if (holder == ANOTHER_LIST) other->AddEaseCurve(curve);
    if (holder == A_SLOT) slot.emplace(curve);

    controller->Dispose();
    const auto list = controller->GetEaseCurveList();
    EXPECT_EQ(list->GetReferenceCount(), 0);
    EXPECT_EQ(list->GetDependentCount(), 0);
    ASSERT_EQ(list->GetCurve(0), curve);
    EXPECT_EQ(curve->GetDependentCount(), holder == ANOTHER_LIST ? 1 : 0);
    EXPECT_EQ(curve->GetReferenceCount(), holder == ONLY_THE_LIST ? 0 : 2);
    double eased = 0;
    const double time = 40;
    list->EaseTime(&eased, &time);
    EXPECT_EQ(eased, 20.0);
    EXPECT_EQ(ControllerTest::Evaluate(*controller, 40), 20.0f);
    if (holder == ANOTHER_LIST) {
        EXPECT_EQ(other->GetEaseCurveList()->GetCurve(0), curve);
        EXPECT_EQ(ControllerTest::Evaluate(*other, 40), 20.0f);
    }
    // Whatever still holds the curve lets go of it last and frees it.
    other->Dispose();
    if (slot) slot->Clear();
}

INSTANTIATE_TEST_SUITE_P(Holders, DisposedListCurveTest, ::testing::Values(ONLY_THE_LIST, ANOTHER_LIST, A_SLOT),
                         [](const auto& info) { return std::string(HOLDER_NAMES[info.param]); });

// Two controllers sharing one ease list, as an archive can hold them: the
// one that goes leaves the list whole to the other.
TEST_F(SceneArchiveTest, SharedCurveListStaysWithTheOtherController) {
    CWriter w;
    w.SceneStart().U32(2);
    for (uint32_t id : {2000u, 2001u}) {
        w.Animatable("Engine::Scene::CStepFloatCtrl", id).Begin(CHUNK_REFLECTABLE).U8(0).End();
        w.Begin(CHUNK_CONTROLLER, 1).U32(0).U32(0).End().Begin(CHUNK_STD_CONTROLLER);
        if (id == 2000) {
            w.Animatable("Engine::Scene::CEaseCurveList", 2002).Begin(CHUNK_EASE_CURVE_LIST).U32(1);
            w.Animatable("Test::CTestFloatCtrl", 2003).Begin(CHUNK_REFLECTABLE).U8(0).End();
            w.Begin(CHUNK_CONTROLLER, 1).U32(0).U32(0).End().Begin(CHUNK_TEST_CONTROLLER).F32(0).F32(0).End().End();
        } else {
            w.Str("Engine::Scene::CEaseCurveList").U32(2002);
        }
        w.Str("NULL").End().Begin(CHUNK_KEY_TABLE, 1).U32(0).End();
    }
    LoadScene(*m_loaded, w.End().Done());
    m_loaded->RemoveSubAnim(0);
    EXPECT_EQ(CurveCounts(m_loaded->GetSubAnim(0).get()), std::make_pair(1, 0));
}

// A curve read before may be referred to from any later list, as often as
// the archive likes: each reference is the one curve, and none is refused.
TEST_F(SceneArchiveTest, ACurveReadBeforeMayBeReferredToAgainAndAgain) {
    constexpr uint32_t kReferences = 50;
    CWriter w;
    w.SceneStart().U32(2);
    for (uint32_t id : {2000u, 2010u}) {
        w.Animatable("Engine::Scene::CStepFloatCtrl", id).Begin(CHUNK_REFLECTABLE).U8(0).End();
        w.Begin(CHUNK_CONTROLLER, 1).U32(0).U32(0).End().Begin(CHUNK_STD_CONTROLLER);
        w.Animatable("Engine::Scene::CEaseCurveList", id + 1).Begin(CHUNK_EASE_CURVE_LIST);
        if (id == 2000) {
            // A curve eased by a curve of its own.
            w.U32(1).Animatable("Engine::Scene::CStepFloatCtrl", 2002).Begin(CHUNK_REFLECTABLE).U8(0).End();
            w.Begin(CHUNK_CONTROLLER, 1).U32(0).U32(0).End().Begin(CHUNK_STD_CONTROLLER);
            w.Animatable("Engine::Scene::CEaseCurveList", 2003).Begin(CHUNK_EASE_CURVE_LIST).U32(1);
            w.Animatable("Test::CTestFloatCtrl", 2004).Begin(CHUNK_REFLECTABLE).U8(0).End();
            w.Begin(CHUNK_CONTROLLER, 1).U32(0).U32(0).End().Begin(CHUNK_TEST_CONTROLLER).F32(0).F32(0).End().End();
            w.Str("NULL").End().Begin(CHUNK_KEY_TABLE, 1).U32(0).End();
        } else {
            w.U32(kReferences);
            for (uint32_t i = 0; i < kReferences; ++i) w.Str("Engine::Scene::CStepFloatCtrl").U32(i % 2 ? 2002 : 2000);
        }
        w.End().Str("NULL").End().Begin(CHUNK_KEY_TABLE, 1).U32(0).End();
    }
    LoadScene(*m_loaded, w.End().Done());
    const auto list = Engine::DynamicRefCast<CStdController>(m_loaded->GetSubAnim(1))->GetEaseCurveList();
    ASSERT_EQ(list->GetSubAnimCount(), int(kReferences));
    EXPECT_EQ(list->GetCurve(0).get(), m_loaded->GetSubAnim(0).get());
    EXPECT_EQ(CurveCounts(list->GetCurve(1).get()), std::make_pair(1, 0));
}

struct CorruptCase {
    const char* name;
    // Writes what follows the header of a scene.
    void (*write)(CWriter& w);
    const char* message;  // null: the integer 1 is thrown
};

class CorruptArchiveTest : public SceneArchiveTest, public ::testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptArchiveTest, RefusedAndTheSceneKept) {
    BuildScene();
    const Bytes before = SaveScene(*m_scene);
    CWriter w;
    w.SceneStart();
    GetParam().write(w);
    ExpectRefused([&] { LoadScene(*m_scene, w.Done()); }, GetParam().message);
    EXPECT_EQ(SaveScene(*m_scene), before);
}

const char* const WRAPPER = "Engine::Scene::CReflectionAniObject";

INSTANTIATE_TEST_SUITE_P(
    Cases, CorruptArchiveTest,
    ::testing::Values(
        CorruptCase{"UnknownClass", [](CWriter& w) { w.U32(1).Animatable("Test::CMissing", 2000).End(); },
                    "Unknown class 'Test::CMissing'"},
        CorruptCase{"Dangling",
                    [](CWriter& w) {
                        w.U32(2).Animatable("Test::CTestNode", 2000).Str("Test::CTestNode").U32(2001).End();
                    },
                    "Object 2001 of class 'Test::CTestNode' is never defined"},
        CorruptCase{"HugeCount", [](CWriter& w) { w.U32(0x40000000).Animatable("Test::CTestNode", 2000).End(); },
                    "cannot fit"},
        CorruptCase{"WrongChunk",
                    [](CWriter& w) { w.U32(1).Animatable(WRAPPER, 2000).Begin(0x12D3).U8(0).End().End(); }, nullptr},
        CorruptCase{"LongChunk",
                    [](CWriter& w) {
                        w.U32(1).Str("Test::CTestNode").U32(2000).U32(CHUNK_ANIMATABLE).U32(CHUNK_VERSION);
                        w.U32(400).U32(0);
                    },
                    "longer than the data left"},
        CorruptCase{"NotAnimatable", [](CWriter& w) { w.U32(1).Animatable("Test::CTestSprite", 2000).End(); },
                    "is not animatable"},
        CorruptCase{"TrailingBytes",
                    [](CWriter& w) {
                        w.U32(1).Str("Test::CTestNode").U32(2000).Begin(CHUNK_ANIMATABLE).U32(0).U32(0).End().End();
                    },
                    "Chunk of CAnimatable ends"},
        CorruptCase{"NoValueType",
                    [](CWriter& w) {
                        w.U32(1).Animatable(WRAPPER, 2000).Begin(CHUNK_REFLECTABLE).U8(1).Str("Test::CTestSprite");
                        w.U32(1).Str("Alpha").Animatable("Test::CTestNode", 2001);
                        w.End().Begin(CHUNK_REFLECTION_ANI_OBJECT).U32(0).End().End();
                    },
                    "Controller \"CTestNode\" Value Type Attribute not Defined"},
        // A float controller bound to the sprite type whose "Alpha" slot is
        // the controller itself.
        CorruptCase{"SelfAnimating",
                    [](CWriter& w) {
                        w.U32(1).Animatable("Test::CTestFloatCtrl", 2000).Begin(CHUNK_REFLECTABLE).U8(1);
                        w.Str("Test::CTestSprite").U32(1).Str("Alpha").Str("Test::CTestFloatCtrl").U32(2000);
                        w.End().Begin(CHUNK_TEST_CONTROLLER).F32(0).F32(0).End().End();
                    },
                    "Object 2000 would animate itself"},
        // A step controller whose ease list holds the controller itself.
        CorruptCase{"SelfEasing",
                    [](CWriter& w) {
                        w.U32(1).Animatable("Engine::Scene::CStepFloatCtrl", 2000).Begin(CHUNK_REFLECTABLE).U8(0).End();
                        w.Begin(CHUNK_CONTROLLER, 1).U32(0).U32(0).End().Begin(CHUNK_STD_CONTROLLER);
                        w.Animatable("Engine::Scene::CEaseCurveList", 2001).Begin(CHUNK_EASE_CURVE_LIST).U32(1);
                        w.Str("Engine::Scene::CStepFloatCtrl").U32(2000).End().Str("NULL").End().End();
                    },
                    "Object 2000 would animate itself"},
        // A step controller eased by a curve whose own ease list refers
        // back to the controller, still being read.
        CorruptCase{"EasedByACurveItEases",
                    [](CWriter& w) {
                        w.U32(1).Animatable("Engine::Scene::CStepFloatCtrl", 2000).Begin(CHUNK_REFLECTABLE).U8(0).End();
                        w.Begin(CHUNK_CONTROLLER, 1).U32(0).U32(0).End().Begin(CHUNK_STD_CONTROLLER);
                        w.Animatable("Engine::Scene::CEaseCurveList", 2001).Begin(CHUNK_EASE_CURVE_LIST).U32(1);
                        w.Animatable("Engine::Scene::CStepFloatCtrl", 2002).Begin(CHUNK_REFLECTABLE).U8(0).End();
                        w.Begin(CHUNK_CONTROLLER, 1).U32(0).U32(0).End().Begin(CHUNK_STD_CONTROLLER);
                        w.Animatable("Engine::Scene::CEaseCurveList", 2003).Begin(CHUNK_EASE_CURVE_LIST).U32(2);
                        w.Str("Engine::Scene::CStepFloatCtrl").U32(2000).Str("Engine::Scene::CStepFloatCtrl").U32(2000);
                        w.End().Str("NULL").End().Begin(CHUNK_KEY_TABLE, 1).U32(0).End();
                        w.End().Str("NULL").End().Begin(CHUNK_KEY_TABLE, 1).U32(0).End().End();
                    },
                    "Object 2000 would animate itself"},
        // Wrappers whose "Alpha" slot holds the next one.
        CorruptCase{"DeeplyNested",
                    [](CWriter& w) {
                        w.U32(1);
                        for (uint32_t i = 0; i <= uint32_t(CClassDir::MAX_READ_DEPTH); ++i) {
                            w.Animatable(WRAPPER, 3000 + i).Begin(CHUNK_REFLECTABLE).U8(1);
                            w.Str("Test::CTestSprite").U32(1).Str("Alpha");
                        }
                    },
                    "nested too deeply"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SceneArchiveTest, EveryTruncationIsRefused) {
    BuildScene();
    const Bytes bytes = SaveScene(*m_scene);
    const Bytes before = SaveScene(*m_scene);
    for (size_t size = 0; size < bytes.size(); ++size) {
        const Bytes cut(bytes.begin(), bytes.begin() + ptrdiff_t(size));
        EXPECT_THROW(LoadScene(*m_scene, cut), Engine::CException) << size;
    }
    EXPECT_EQ(SaveScene(*m_scene), before);
}

// GetValueType names the class in full; the archive reader (above) by its
// short name.
TEST(ValueTypeMessageTest, GetValueTypeNamesTheFullClassName) {
    RegisterSceneFixtures();
    ExpectRefused([] { GetControllerValueType(Engine::Reflection::TypeOf<CTestNode>()); },
                  "Controller \"Test::CTestNode\" Value Type Attribute not Defined");
}

} // namespace
