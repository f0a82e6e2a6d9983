// The scene archive writer's key tables, made in one pass over keys given in
// any order, hold the records that adding the keys one at a time (look the
// time up, move the default key or add a key, set the value) leaves: times
// given twice take the later value, 0 and -0 meet, and the default key of
// the linear and Bezier tables takes the first time.

#include <gtest/gtest.h>

#include <limits>

#include "app/File.h"
#include "scene/Scene.h"
#include "tools/SceneArchiveWriter.h"

namespace {

using Engine::ref_ptr;
using namespace Engine::Scene;

struct CKeysCase {
    const char* name;
    std::vector<Tools::CSceneKey> keys;
};

std::ostream& operator<<(std::ostream& out, const CKeysCase& c) { return out << c.name; }

template <class TTable>
ref_ptr<CController> OneAtATime(const std::vector<Tools::CSceneKey>& keys) {
    ref_ptr<TTable> table(new TTable);
    for (size_t i = 0; i < keys.size(); ++i) {
        if (table->FindKeyAtTime(keys[i].time) < 0) {
            if (i == 0 && table->GetKeyCount() == 1)
                table->SetKeyTime(0, keys[i].time);
            else
                table->AddKey(keys[i].time, 0);
        }
        table->SetKeyValue(table->FindKeyAtTime(keys[i].time), keys[i].value);
    }
    return table;
}

// The key table's records as written.
std::vector<uint8_t> Records(const CController& table) {
    Engine::CMemoryFile file;
    {
        CArchive ar(&file, true);
        ar.WriteDWord(uint32_t(table.GetKeyCount()));
        for (int i = 0; i < table.GetKeyCount(); ++i) table.GetKey(i)->Serialize(ar);
    }
    return file.Detach();
}

class SceneKeyWriterTest : public testing::TestWithParam<CKeysCase> {
protected:
    static void SetUpTestSuite() { Tools::RegisterSceneArchiveTypes(); }

    template <class TTable>
    void ExpectAsOneAtATime(Tools::ESceneCurve kind) {
        Tools::CSceneCurve curve = Tools::LinearCurve(GetParam().keys);
        curve.kind = kind;
        const ref_ptr<CController> written = Tools::MakeSceneCurve(curve);
        const ref_ptr<CController> expected = OneAtATime<TTable>(GetParam().keys);
        EXPECT_EQ(Records(*written), Records(*expected));
        written->Dispose();
        expected->Dispose();
    }
};

TEST_P(SceneKeyWriterTest, LinearTable) { ExpectAsOneAtATime<CLinearFloatCtrl>(Tools::ESceneCurve::Linear); }
TEST_P(SceneKeyWriterTest, BezierTable) { ExpectAsOneAtATime<CBezierFloatCtrl>(Tools::ESceneCurve::Bezier); }
TEST_P(SceneKeyWriterTest, StepBoolTable) { ExpectAsOneAtATime<CStepBoolCtrl>(Tools::ESceneCurve::StepBool); }

std::vector<Tools::CSceneKey> Scrambled() {
    std::vector<Tools::CSceneKey> keys;
    for (int i = 0; i < 200; ++i) keys.push_back({double((i * 37) % 61) - 20.0, float(i)});
    return keys;
}

const CKeysCase kCases[] = {
    {"None", {}},
    {"InOrder", {{0, 1}, {1, 2}, {2.5, 3}}},
    {"Unordered", {{5, 1}, {-1, 2}, {3, 3}, {0, 4}}},
    {"DuplicateTimes", {{2, 1}, {1, 2}, {2, 3}, {1, 4}, {2, 5}}},
    {"FirstAtZero", {{0, 9}, {4, 1}, {0, 2}}},
    // The default key stays at +0 for a first -0; a -0 after the default
    // key moved away is added as given.
    {"NegativeZeroFirst", {{-0.0, 3}, {1, 1}}},
    {"NegativeZeroLater", {{5, 3}, {-0.0, 1}, {0.0, 2}}},
    {"Infinities", {{std::numeric_limits<double>::infinity(), 1}, {-std::numeric_limits<double>::infinity(), 2}, {0, 3}}},
    {"Scrambled", Scrambled()},
};

INSTANTIATE_TEST_SUITE_P(Keys, SceneKeyWriterTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// One at a time, a NaN time was added and then not found to take its value
// (std::out_of_range from the table).
TEST(SceneKeyWriterNaNTest, ANaNTimeIsRefused) {
    Tools::RegisterSceneArchiveTypes();
    const std::vector<Tools::CSceneKey> keys = {{1, 1}, {std::numeric_limits<double>::quiet_NaN(), 2}};
    EXPECT_THROW(Tools::MakeSceneCurve(Tools::LinearCurve(keys)), std::out_of_range);
}

} // namespace
