#include "ControllerFixtures.h"

using namespace SceneTest;
using Engine::ref_ptr;

namespace {

// Keys at 0, 10 and 20 with the values 1, 2 and 3.
class KeyTableTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        m_table = MakeWithKeys<CLinearFloatCtrl>({{20, 3}, {0, 1}, {10, 2}});
    }
    std::vector<double> Times() const {
        std::vector<double> times;
        for (int i = 0; i < m_table->GetKeyCount(); ++i) times.push_back(m_table->GetKeyTime(i));
        return times;
    }
    ref_ptr<CLinearFloatCtrl> m_table;
};

TEST_F(KeyTableTest, NearestKeyTimes) {
    const struct {
        double time;
        int direction;
        double nearest;
    } rows[] = {{5, 0, 0}, {5, 1, 10}, {10, 0, 10}, {10, 1, 10}, {-5, 0, 0}, {25, 1, 20}, {25, 0, 20}, {-5, 1, 0}};
    for (const auto& row : rows) {
        double nearest = -1;
        EXPECT_TRUE(m_table->GetNearestKeyTime(row.time, row.direction, &nearest));
        EXPECT_EQ(nearest, row.nearest) << row.time << " " << row.direction;
    }
    double nearest = -1;
    EXPECT_FALSE(m_table->GetNearestKeyTime(5, 2, &nearest));
    auto empty = MakeWithKeys<CLinearFloatCtrl>({});
    EXPECT_FALSE(empty->GetNearestKeyTime(5, 0, &nearest));
    EXPECT_EQ(nearest, 0.0);
    EXPECT_TRUE(empty->GetTimeRange(0).IsNone());
    const CTimeRange single = MakeWithKeys<CLinearFloatCtrl>({{5, 0}})->GetTimeRange(0);
    EXPECT_EQ(single.start, 5.0);
    EXPECT_EQ(single.end, 5.0);
}

TEST_F(KeyTableTest, InsertKeepsOrderAndFindsExactTimes) {
    EXPECT_EQ(Times(), (std::vector<double>{0, 10, 20}));
    EXPECT_EQ(m_table->AppendKey(NewKey<ILinFloatKey>(5, 9)), 1);
    EXPECT_EQ(m_table->AppendKey(new IBezFloatKey), -1);  // another kind
    IKey* twin = m_table->AddKey(10, 0x80);
    EXPECT_EQ(m_table->GetKeyCount(), 5);
    EXPECT_EQ(m_table->FindKeyAtTime(10), 2);
    EXPECT_NE(m_table->GetKey(2), twin);  // the first of the equal times
    m_table->AddKey(1.0, 0);
    EXPECT_EQ(m_table->FindKeyAtTime(1.0000001), -1);
    EXPECT_TRUE(m_table->HasKeyAtTime(1.0));
    m_table->SetKeyTime(0, 30);
    EXPECT_EQ(Times(), (std::vector<double>{1, 5, 10, 10, 20, 30}));
    m_table->DeleteKeyAtTime(10);
    EXPECT_EQ(Times(), (std::vector<double>{1, 5, 20, 30}));
    m_table->DeleteKey(1);
    EXPECT_EQ(Times(), (std::vector<double>{1, 20, 30}));
    EXPECT_THROW(m_table->DeleteKey(3), std::out_of_range);
}

TEST_F(KeyTableTest, SelectionDeletesAndOffsets) {
    m_table->SelectKey(0, true);
    m_table->SelectKey(2, true);
    EXPECT_EQ(m_table->CountSelectedKeys(), 2);
    EXPECT_EQ(m_table->GetNextSelectedKey(0), 2);
    m_table->OffsetKeyValues(CValue(0.5f), true);
    EXPECT_EQ(m_table->KeyAt(0).value, 1.5f);
    EXPECT_EQ(m_table->KeyAt(1).value, 2.0f);
    m_table->OffsetKeyValues(CValue(1.0f), false);
    EXPECT_EQ(m_table->KeyAt(1).value, 3.0f);
    m_table->DeleteKeys(0);
    EXPECT_EQ(m_table->GetKeyCount(), 3);
    m_table->DeleteKeys(DELETE_SELECTED_KEYS);
    EXPECT_EQ(Times(), (std::vector<double>{10}));

    m_table->KeyAt(0).flags = 0x100 | KEY_SELECTED | KEY_IN_HANDLE_SELECTED | KEY_OUT_HANDLE_SELECTED;
    m_table->SelectKeys(SELECT_CLEAR_ALL, nullptr);
    EXPECT_EQ(m_table->KeyAt(0).flags, 0x100u);
    const KeyHitList pairs{{0, 1}};
    m_table->SelectKeys(SELECT_SET, &pairs);  // part 1 is no key
    EXPECT_FALSE(m_table->IsKeySelected(0));
}

TEST_F(KeyTableTest, HitTestNeedsItsFlag) {
    KeyHitList hits{{7, 7}};
    EXPECT_EQ(m_table->HitTestKeys(&hits, 0, 20, 5, 0, 0, 0), HIT_TEST_NOT_DONE);
    EXPECT_TRUE(hits.empty());
    EXPECT_EQ(m_table->HitTestKeys(&hits, 5, 20, 2.5f, 1.5f, 0, HIT_TEST_KEYS), HIT_TEST_DONE);
    EXPECT_EQ(hits, (KeyHitList{{1, 0}}));
}

struct MapCase {
    uint32_t flags;
    std::vector<double> times;
};

class MapKeyTimesTest : public KeyTableTest, public ::testing::WithParamInterface<MapCase> {};

// Selected: the key at 10, mapped to twice its time.
TEST_P(MapKeyTimesTest, MovesTheKeys) {
    struct : ITimeMap {
        double Map(double time) const override { return time * 2 + 1; }
    } map;
    m_table->SelectKey(1, true);
    m_table->MapKeyTimes(map, GetParam().flags);
    EXPECT_EQ(Times(), GetParam().times);
}

const MapCase MAP_CASES[] = {{0, {0, 10, 20}},
                             {MAP_ALL, {1, 21, 41}},
                             {MAP_SELECTED, {0, 20, 21}},
                             {MAP_SELECTED | MAP_MOVE_UNSELECTED, {0, 21, 31}},
                             {MAP_SELECTED | MAP_MOVE_UNSELECTED | MAP_BACKWARD, {11, 20, 21}}};
INSTANTIATE_TEST_SUITE_P(Flags, MapKeyTimesTest, ::testing::ValuesIn(MAP_CASES));

TEST_F(ControllerTest, BezierHandlesFollowSelectionAndOffsets) {
    auto bezier = MakeWithKeys<CBezierFloatCtrl>({{0, 0}, {4, 10}, {10, 0}});
    bezier->KeyAt(1).inSlope = 0.01f;
    bezier->KeyAt(1).outSlope = -0.02f;
    const CBezierFloatCtrl::CHandle in = bezier->GetInHandle(1), out = bezier->GetOutHandle(1);
    EXPECT_FLOAT_EQ(float(in.time), 4 - 4 * 0.3333f);
    EXPECT_FLOAT_EQ(float(out.time), 4 + 6 * 0.3333f);

    KeyHitList hits;
    bezier->HitTestKeys(&hits, in.time - 0.01, in.time + 0.01, in.value - 0.01f, in.value + 0.01f, 0, HIT_TEST_KEYS);
    EXPECT_EQ(hits, (KeyHitList{{1, 1}}));
    bezier->SelectKeys(SELECT_SET, &hits);
    EXPECT_EQ(bezier->KeyAt(1).flags, uint32_t(KEY_IN_HANDLE_SELECTED));

    // Only the selected in handle moves with the delta; the key stays.
    bezier->OffsetKeyValues(CValue(2.0f), true);
    EXPECT_EQ(bezier->KeyAt(1).value, 10.0f);
    EXPECT_NEAR(bezier->GetInHandle(1).value, in.value + 2, 1e-3);
    EXPECT_NEAR(bezier->GetInHandle(1).time, in.time, 1e-5);
    EXPECT_NEAR(bezier->GetOutHandle(1).value, out.value, 1e-3);

    // Mapping all times keeps each handle at its mapped time.
    struct : ITimeMap {
        double Map(double time) const override { return time * 2; }
    } twice;
    const CBezierFloatCtrl::CHandle moved = bezier->GetOutHandle(1);
    bezier->MapKeyTimes(twice, MAP_ALL);
    EXPECT_EQ(bezier->KeyAt(1).time, 8.0);
    EXPECT_NEAR(bezier->GetOutHandle(1).time, moved.time * 2, 1e-4);
    EXPECT_NEAR(bezier->GetOutHandle(1).value, moved.value, 1e-3);
}

} // namespace
