#include <cstring>
#include <string>

#include "ControllerFixtures.h"

using namespace SceneTest;
using Engine::ref_ptr;
using Bytes = std::vector<uint8_t>;

namespace {

// The offset of the chunk header with the ID.
size_t FindChunk(const Bytes& bytes, uint32_t id) {
    for (size_t i = 0; i + 8 <= bytes.size(); ++i) {
        uint32_t word = 0;
        std::memcpy(&word, &bytes[i], 4);
        if (word == id) return i;
    }
    ADD_FAILURE() << "no chunk " << id;
    return 0;
}
void Patch(Bytes& bytes, size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); }


struct RoundTripCase {
    const char* name;
    ref_ptr<CController> (*make)(ControllerTest&);
};

class RoundTripTest : public ControllerArchiveTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTripTest, ReadsBackWhatItWrote) {
    ref_ptr<CController> original = GetParam().make(*this);
    original->SetOutOfRangeType(ORT_PING_PONG, ORT_BEFORE);
    original->SetOutOfRangeType(ORT_RELATIVE_REPEAT, ORT_AFTER);
    const Bytes bytes = Save(original.get());
    const CAnimatable::Ref loaded = Load(bytes);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetClassName(), original->GetClassName());
    EXPECT_EQ(Save(loaded.get()), bytes);
    auto* copy = ToController(loaded.get());
    for (double t : {-7.0, 0.5, 3.0, 26.0}) {
        CValue a, b;
        original->GetControllerValue(t, a);
        copy->GetControllerValue(t, b);
        EXPECT_TRUE(a.Equals(b)) << t;
    }
}

const RoundTripCase ROUND_TRIP_CASES[] = {
    RoundTripCase{"Step",
                      [](ControllerTest& test) -> ref_ptr<CController> {
                          auto c = test.MakeWithKeys<CStepFloatCtrl>({{0, 1}, {4, -2}});
                          c->SelectKey(1, true);
                          return c;
                      }},
        RoundTripCase{"Linear",
                      [](ControllerTest& test) -> ref_ptr<CController> {
                          return test.MakeWithKeys<CLinearFloatCtrl>({{1, 1}, {9, 5}});
                      }},
        RoundTripCase{"Constant",
                      [](ControllerTest& test) -> ref_ptr<CController> {
                          auto c = test.Make<CConstFloatController>();
                          c->SetKeyValue(0, 6.5f);
                          return c;
                      }},
        RoundTripCase{"Bezier",
                      [](ControllerTest& test) -> ref_ptr<CController> {
                          auto c = test.MakeWithKeys<CBezierFloatCtrl>({{0, 1}, {5, 3}});
                          IBezFloatKey& key = c->KeyAt(1);
                          key.flags = 0x61;
                          key.inSlope = 0.25f;
                          key.inLength = 0.125f;
                          key.outSlope = -1.5f;
                          key.outLength = 0.75f;
                          key.inKind = TANGENT_LINEAR;
                          key.outKind = 7;
                          return c;
                      }},
        RoundTripCase{"Bool",
                      [](ControllerTest& test) -> ref_ptr<CController> {
                          return test.MakeWithKeys<CStepBoolCtrl>({{0, 1}, {2, 0}});
                      }},
        RoundTripCase{"Noise",
                      [](ControllerTest& test) -> ref_ptr<CController> {
                          auto c = test.Make<CNoiseFloatControl>();
                          c->m_phase = 7;
                          c->m_frequency = 2;
                          c->SetStrenght(3);
                          c->m_rampTime = 1.5f;
                          c->m_secondTime = 4;
                          c->m_positive = true;
                          c->m_baseValue = -2;
                          return c;
                      }},
        RoundTripCase{"EasedWithMultipliers",
                      [](ControllerTest& test) -> ref_ptr<CController> {
                          auto c = test.MakeWithKeys<CLinearFloatCtrl>({{0, 0}, {10, 100}});
                          c->AddEaseCurve(test.MakeWithKeys<CLinearFloatCtrl>({{0, 0}, {100, 50}}));
                          const auto mult = c->GetMultCurveList();
                          mult->SetSubAnim(test.Make<CStepFloatCtrl>(), 0);
                          mult->SetSubAnim(test.MakeWithKeys<CBezierFloatCtrl>({{2, 2}}), 1);
                          return c;
                      }},
        RoundTripCase{"Vector2",
                      [](ControllerTest& test) -> ref_ptr<CController> {
                          auto c = test.Make<CVector2Controller>();
                          c->SetSubAnim(test.MakeWithKeys<CLinearFloatCtrl>({{0, 2}, {8, 4}}), 0);
                          return c;
                      }},
        RoundTripCase{"Vector4",
                      [](ControllerTest& test) -> ref_ptr<CController> {
                          auto c = test.Make<CVector4Controller>();
                          c->SetSubAnim(test.MakeWithKeys<CBezierFloatCtrl>({{0, 1}, {6, -1}}), 2);
                          return c;
                      }},
        RoundTripCase{"Colour",
                      [](ControllerTest& test) -> ref_ptr<CController> {
                          auto c = test.Make<CRGBAController>();
                          c->SetSubAnim(test.MakeWithKeys<CStepFloatCtrl>({{1, 0.5f}}), 3);
                          return c;
                      }}};

INSTANTIATE_TEST_SUITE_P(Kinds, RoundTripTest, ::testing::ValuesIn(ROUND_TRIP_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControllerArchiveTest, OldNoiseRecordKeepsTheBaseValue) {
    auto noise = Make<CNoiseFloatControl>();
    noise->m_baseValue = 5;
    noise->SetStrenght(2);
    Bytes bytes = Save(noise.get());
    const size_t chunk = FindChunk(bytes, CHUNK_NOISE_FLOAT_CONTROL);
    Patch(bytes, chunk + 4, 0x101);
    Patch(bytes, chunk + 8, 21);
    bytes.resize(bytes.size() - 4);
    auto* copy = dynamic_cast<CNoiseFloatControl*>(Load(bytes).get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetStrenght(), 2.0f);
    EXPECT_EQ(copy->m_baseValue, 0.0f);
}

struct CorruptKeysCase {
    const char* name;
    void (*corrupt)(Bytes& bytes, size_t keyChunk);
    const char* message;  // null: the integer 1
};

class CorruptKeysTest : public ControllerArchiveTest, public ::testing::WithParamInterface<CorruptKeysCase> {};

TEST_P(CorruptKeysTest, IsRefused) {
    Bytes bytes = Save(MakeWithKeys<CBezierFloatCtrl>({{0, 1}, {5, 3}}).get());
    GetParam().corrupt(bytes, FindChunk(bytes, CHUNK_KEY_TABLE));
    ExpectRefused([&] { Load(bytes); }, GetParam().message);
}

const CorruptKeysCase CORRUPT_KEYS_CASES[] = {
    CorruptKeysCase{"HugeCount", [](Bytes& b, size_t at) { Patch(b, at + 12, 0xFFFFFFFF); },
                                      "key records do not fill"},
                      CorruptKeysCase{"OneMore", [](Bytes& b, size_t at) { Patch(b, at + 12, 3); },
                                      "key records do not fill"},
                      CorruptKeysCase{"OneFewer", [](Bytes& b, size_t at) { Patch(b, at + 12, 1); },
                                      "key records do not fill"},
                      CorruptKeysCase{"LongChunk", [](Bytes& b, size_t at) { Patch(b, at + 8, 4 + 3 * 40); },
                                      "longer than the data left"},
                      CorruptKeysCase{"Truncated", [](Bytes& b, size_t) { b.resize(b.size() - 9); },
                                      "longer than the data left"},
                      CorruptKeysCase{"WrongId", [](Bytes& b, size_t at) { Patch(b, at, 0x1021); }, nullptr}};

INSTANTIATE_TEST_SUITE_P(Cases, CorruptKeysTest, ::testing::ValuesIn(CORRUPT_KEYS_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControllerArchiveTest, SceneOfEveryKindSurvivesTheSceneArchive) {
    ref_ptr<CScene> scene(new CScene), loaded(new CScene);
    BuildControllerScene(*scene);
    const Bytes bytes = SaveScene(*scene);
    LoadScene(*loaded, bytes);
    EXPECT_EQ(SaveScene(*loaded), bytes);
    scene->Dispose();
    loaded->Dispose();
}

} // namespace
