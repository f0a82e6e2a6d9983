// The key tables' time look-ups and the evaluations built on them give the
// answers of the walks they replace (copied below as the reference) for
// keys in every order, read from an archive or changed through a handed-out
// key, and after every edit.

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <random>

#include "ControllerFixtures.h"

using namespace SceneTest;
using Engine::ref_ptr;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// ---- The walks, as they were.

template <class C>
int WalkFind(const C& table, double time) {
    for (int i = 0; i < table.GetKeyCount(); ++i)
        if (table.GetKeyTime(i) == time) return i;
    return -1;
}

template <class C>
bool WalkNearest(const C& table, double time, int direction, double* nearest) {
    *nearest = 0.0;
    const int count = table.GetKeyCount();
    if (count == 0) return false;
    if (count == 1) {
        *nearest = table.GetKeyTime(0);
        return true;
    }
    if (direction == NEAREST_AT_OR_BEFORE) {
        *nearest = table.GetKeyTime(0);
        for (int i = count - 1; i >= 0; --i)
            if (table.GetKeyTime(i) <= time) return *nearest = table.GetKeyTime(i), true;
        return true;
    }
    *nearest = table.GetKeyTime(count - 1);
    for (int i = 0; i < count; ++i)
        if (table.GetKeyTime(i) >= time) return *nearest = table.GetKeyTime(i), true;
    return true;
}

float WalkValue(const CLinearFloatCtrl& table, double time) {
    double before = 0.0, after = 0.0;
    WalkNearest(table, time, NEAREST_AT_OR_BEFORE, &before);
    WalkNearest(table, time, NEAREST_AT_OR_AFTER, &after);
    const int a = WalkFind(table, before), b = WalkFind(table, after);
    if (a < 0 || b < 0) return 0.0f;
    const auto &keyA = table.KeyAt(a), &keyB = table.KeyAt(b);
    const double f = keyA.time == keyB.time ? 0.0 : (time - keyB.time) / (keyA.time - keyB.time);
    return float((keyA.value - keyB.value) * f + keyB.value);
}

template <class C>
float WalkStep(const C& table, double time) {
    double keyTime = 0.0;
    if (!WalkNearest(table, time, NEAREST_AT_OR_BEFORE, &keyTime)) return 0.0f;
    const int index = WalkFind(table, keyTime);
    return index < 0 ? 0.0f : table.KeyAt(index).value;
}

float WalkValue(const CStepFloatCtrl& table, double time) { return WalkStep(table, time); }
float WalkValue(const CStepBoolCtrl& table, double time) { return WalkStep(table, time); }

float WalkValue(const CBezierFloatCtrl& table, double time) {
    const int count = table.GetKeyCount();
    if (count == 0) return 0.0f;
    const IBezFloatKey &first = table.KeyAt(0), &last = table.KeyAt(count - 1);
    if (count == 1 || time <= first.time) return first.value;
    if (time >= last.time) return last.value;
    int i = 1;
    while (i < count && !(table.KeyAt(i).time > time)) ++i;
    if (i == count) return last.value;
    return table.SegmentValue(i, time);
}

float ValueOf(const CLinearFloatCtrl& table, double time) { return table.GetValueAtTime(time); }
float ValueOf(const CBezierFloatCtrl& table, double time) { return table.GetValueAtTime(time); }
template <class C>
float ValueOf(const C& table, double time) {
    return table.GetStepValue(time);
}

// ---- Tables and times.

enum class EOrder { Sorted, Reversed, Shuffled, OneSwap };
// How the keys get their order: read from an archive, or set through keys
// handed out mutable.
enum class EMade { Read, HandedOut };

struct LookupCase {
    const char* name;
    EOrder order;
    EMade made;
};
void PrintTo(const LookupCase& param, std::ostream* out) { *out << param.name; }

class KeyLookupTest : public ControllerArchiveTest, public ::testing::WithParamInterface<LookupCase> {
protected:
    // Few distinct times so that equal ones are common, and the odd ones.
    double DrawTime() {
        static const double specials[] = {NaN, -0.0, 0.0, Inf, -Inf};
        const int pick = int(m_random() % 16);
        return pick < 5 ? specials[pick] : double(int(m_random() % 12) - 4) * 2.5;
    }
    std::vector<double> DrawTimes(size_t count) {
        std::vector<double> times(count);
        for (double& time : times) time = DrawTime();
        std::sort(times.begin(), times.end(), KeyTimeLess);
        if (GetParam().order == EOrder::Reversed) std::reverse(times.begin(), times.end());
        if (GetParam().order == EOrder::Shuffled) std::shuffle(times.begin(), times.end(), m_random);
        if (GetParam().order == EOrder::OneSwap && count > 1) std::swap(times[m_random() % count], times[count / 2]);
        return times;
    }
    template <class K>
    void Fill(K& key, double time) {
        key.time = time;
        key.value = float(m_random() % 1000) * 0.25f;
        if constexpr (std::is_same_v<K, IBezFloatKey>) {
            key.inKind = m_random() % 3;
            key.outKind = m_random() % 3;
            key.inSlope = float(int(m_random() % 9) - 4) * 0.1f;
            key.outSlope = float(int(m_random() % 9) - 4) * 0.1f;
        }
    }
    template <class C>
    ref_ptr<C> MakeTable(size_t count) {
        auto table = MakeWithKeys<C>({});
        const std::vector<double> times = DrawTimes(count);
        for (size_t i = 0; i < count; ++i) table->AddKey(0.0, 0);
        for (size_t i = 0; i < count; ++i) Fill(table->KeyAt(int(i)), times[i]);
        if (GetParam().made == EMade::HandedOut) return table;
        return Engine::DynamicRefCast<C>(Load(Save(table.get())));
    }

    // Every key's time, between and beside them, and the odd ones.
    template <class C>
    std::vector<double> QueryTimes(const C& table) {
        std::vector<double> times = {NaN, -0.0, 0.0, Inf, -Inf, -100.0, 100.0};
        for (int i = 0; i < table.GetKeyCount(); ++i) {
            const double time = table.GetKeyTime(i);
            times.insert(times.end(), {time, time - 0.5, time + 0.5, std::nextafter(time, Inf)});
        }
        return times;
    }

    template <class C>
    void ExpectWalkAnswers(const C& table, const std::string& step) {
        for (const double time : QueryTimes(table)) {
            SCOPED_TRACE(step + " at " + std::to_string(time) + " of " + std::to_string(table.GetKeyCount()));
            EXPECT_EQ(table.FindKeyAtTime(time), WalkFind(table, time));
            for (const int direction : {NEAREST_AT_OR_BEFORE, NEAREST_AT_OR_AFTER}) {
                double walked = -1, found = -1;
                EXPECT_EQ(table.GetNearestKeyTime(time, direction, &found),
                          WalkNearest(table, time, direction, &walked));
                EXPECT_EQ(std::bit_cast<uint64_t>(found), std::bit_cast<uint64_t>(walked)) << direction;
            }
            EXPECT_EQ(std::bit_cast<uint32_t>(ValueOf(table, time)), std::bit_cast<uint32_t>(WalkValue(table, time)));
        }
    }

    // Every edit, in a random order, each followed by the comparison.
    template <class C>
    void EditAndCompare(C& table) {
        using K = typename C::Key;
        const auto some = [&] { return int(m_random() % unsigned(table.GetKeyCount())); };
        const auto selectSome = [&] {
            for (int i = 0; i < table.GetKeyCount(); ++i) table.SelectKey(i, m_random() % 2 == 0);
        };
        struct Mirror : ITimeMap {
            double Map(double time) const override { return 5.0 - time; }
        } mirror;
        std::vector<std::pair<std::string, std::function<void()>>> edits = {
            {"AddKey", [&] { table.AddKey(DrawTime(), 0); }},
            {"AddKeyInOrder",
             [&] {
                 const double last = table.GetKeyTime(table.GetKeyCount() - 1);
                 if (!std::isnan(last)) table.AddKeyInOrder(last == Inf ? NaN : std::max(last, 0.0) + 1.5, 0);
             }},
            {"AppendKey",
             [&] {
                 auto* key = new K;
                 Fill(*key, DrawTime());
                 table.AppendKey(key);
             }},
            {"SetKeyTime", [&] { table.SetKeyTime(some(), DrawTime()); }},
            {"MapAll", [&] { table.MapKeyTimes(mirror, MAP_ALL); }},
            {"MapSelected",
             [&] {
                 selectSome();
                 table.MapKeyTimes(mirror, MAP_SELECTED | MAP_MOVE_UNSELECTED);
             }},
            {"MapNoneSelected",
             [&] {
                 table.SelectKeys(SELECT_CLEAR_ALL, nullptr);
                 table.MapKeyTimes(mirror, MAP_SELECTED | MAP_MOVE_UNSELECTED | MAP_BACKWARD);
             }},
            {"DeleteKey", [&] { table.DeleteKey(some()); }},
            {"DeleteKeyAtTime", [&] { table.DeleteKeyAtTime(table.GetKeyTime(some())); }},
            {"DeleteKeys",
             [&] {
                 selectSome();
                 table.DeleteKeys(DELETE_SELECTED_KEYS);
             }},
            {"SortKeys", [&] { table.SortKeys(); }},
            {"KeyAtTime", [&] { table.KeyAt(some()).time = DrawTime(); }},
            {"GetKeyTime", [&] { table.GetKey(some())->time = DrawTime(); }},
        };
        std::shuffle(edits.begin(), edits.end(), m_random);
        for (const auto& [name, edit] : edits) {
            if (table.GetKeyCount() == 0) table.AddKey(DrawTime(), 0);
            edit();
            ExpectWalkAnswers(table, name);
        }
    }

    template <class C>
    void Run() {
        for (const size_t count : {0, 1, 2, 3, 5, 9, 40}) {
            for (int round = 0; round < 3; ++round) {
                auto table = MakeTable<C>(count);
                ExpectWalkAnswers(*table, "read");
                EditAndCompare(*table);
            }
        }
    }

    std::mt19937 m_random{20240611};
};

TEST_P(KeyLookupTest, Linear) { Run<CLinearFloatCtrl>(); }
TEST_P(KeyLookupTest, Step) { Run<CStepFloatCtrl>(); }
TEST_P(KeyLookupTest, Bool) { Run<CStepBoolCtrl>(); }
TEST_P(KeyLookupTest, Bezier) { Run<CBezierFloatCtrl>(); }

INSTANTIATE_TEST_SUITE_P(Orders, KeyLookupTest,
                         ::testing::Values(LookupCase{"SortedRead", EOrder::Sorted, EMade::Read},
                                           LookupCase{"ReversedRead", EOrder::Reversed, EMade::Read},
                                           LookupCase{"ShuffledRead", EOrder::Shuffled, EMade::Read},
                                           LookupCase{"OneSwapRead", EOrder::OneSwap, EMade::Read},
                                           LookupCase{"ReversedHandedOut", EOrder::Reversed, EMade::HandedOut},
                                           LookupCase{"ShuffledHandedOut", EOrder::Shuffled, EMade::HandedOut}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
