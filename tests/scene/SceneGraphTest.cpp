#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "SceneFixtures.h"

using namespace SceneTest;
using Engine::ref_ptr;

namespace {

using Log = std::vector<std::string>;

// Records each message it receives; may stop the notification or act.
class CRecorder : public CReferenceTarget {
public:
    CRecorder(const char* name, Log* log) : m_name(name), m_log(log) {}
    int NotifyRefChanged(Ref source, int message) override {
        m_log->push_back(m_name + ":" + std::to_string(message) + (source ? "" : ":null"));
        if (m_onNotify) m_onNotify();
        return m_stop ? REFRESULT_STOP : REFRESULT_CONTINUE;
    }
    void Dispose() override {
        m_log->push_back(m_name + ":disposed");
        CReferenceTarget::Dispose();
    }
    std::string m_name;
    Log* m_log;
    bool m_stop = false;
    std::function<void()> m_onNotify;
};

class SceneGraphTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterSceneFixtures(); }
    ref_ptr<CRecorder> Make(const char* name) { return ref_ptr<CRecorder>(new CRecorder(name, &m_log)); }
    // Objects linked in a test are unlinked before they go, so nothing leaks.
    void TearDown() override {
        for (auto& object : m_objects) object->m_onNotify = nullptr;
        for (auto& object : m_objects) object->DeleteAllReferences();
    }
    ref_ptr<CRecorder> Keep(ref_ptr<CRecorder> object) {
        m_objects.push_back(object);
        return object;
    }
    // Kept objects named by the letters; each pair (from, to) a reference.
    std::vector<ref_ptr<CRecorder>> Linked(const std::string& names,
                                           std::initializer_list<std::pair<int, int>> links) {
        std::vector<ref_ptr<CRecorder>> objects;
        for (char name : names) objects.push_back(Keep(Make(std::string{name}.c_str())));
        for (auto [from, to] : links) objects[size_t(from)]->AddReference(objects[size_t(to)], 0);
        return objects;
    }
    Log m_log;
    std::vector<ref_ptr<CRecorder>> m_objects;
};

TEST_F(SceneGraphTest, LinksAreSymmetricAndRemovedFromEitherSide) {
    // (index asked, position taken) with three references already there:
    // an index at or past the end goes before the last one.
    for (auto [index, position] : {std::pair{7, 2}, {3, 2}, {-5, 0}, {1, 1}}) {
        auto owner = Keep(Make("owner"));
        for (int i = 0; i < 3; ++i) owner->AddReference(Keep(Make("old")), i);
        auto target = Keep(Make("new"));
        ASSERT_TRUE(owner->AddReference(target, index));
        EXPECT_EQ(owner->GetReference(position).get(), target.get()) << index;
    }
    auto a = Keep(Make("a"));
    auto t = Keep(Make("t"));
    EXPECT_FALSE(a->AddReference(nullptr, 0));
    ASSERT_TRUE(a->AddReference(t, 0));
    EXPECT_EQ(a->GetReferenceCount(), 1);
    EXPECT_EQ(t->GetDependentCount(), 1);
    EXPECT_TRUE(a->RemoveReference(t));
    EXPECT_FALSE(a->RemoveReference(t));
    EXPECT_EQ(a->GetReferenceCount() + t->GetDependentCount(), 0);

    ASSERT_TRUE(a->AddReference(t, 0));
    EXPECT_TRUE(t->RemoveDependent(a));
    EXPECT_EQ(a->GetReferenceCount() + t->GetDependentCount(), 0);
}

// The target places the new dependent at the index as the reference list
// clamped it: (references, dependents, index asked, dependent position).
TEST_F(SceneGraphTest, TheTargetGetsTheClampedIndex) {
    for (auto [references, dependents, index, position] : {std::tuple{0, 2, 1, 0}, {1, 3, 5, 0}, {3, 3, 2, 2}}) {
        auto owner = Keep(Make("owner"));
        auto target = Keep(Make("target"));
        for (int i = 0; i < references; ++i) owner->AddReference(Keep(Make("old")), i);
        for (int i = 0; i < dependents; ++i) target->AddDependent(Keep(Make("other")), i);
        ASSERT_TRUE(owner->AddReference(target, index));
        EXPECT_EQ(target->GetDependent(position).get(), owner.get()) << references << " " << index;
    }
}

TEST_F(SceneGraphTest, LosingTheLastDependentDisposes) {
    auto a = Keep(Make("a"));
    auto t = Keep(Make("t"));
    auto u = Keep(Make("u"));
    a->AddReference(t, 0);
    t->AddReference(u, 0);
    a->RemoveReference(t);
    EXPECT_EQ(t->GetReferenceCount(), 0);  // t lost its own reference to u
    EXPECT_EQ(u->GetDependentCount(), 0);
    EXPECT_NE(std::find(m_log.begin(), m_log.end(), "t:disposed"), m_log.end());
}

class NotifyStopTest : public SceneGraphTest, public ::testing::WithParamInterface<int> {};

TEST_P(NotifyStopTest, DependentsInOrderUntilOneStops) {
    const int stopper = GetParam();
    auto source = Keep(Make("s"));
    const char* names[] = {"d0", "d1", "d2"};
    std::vector<ref_ptr<CRecorder>> dependents;
    for (int i = 0; i < 3; ++i) {
        dependents.push_back(Keep(Make(names[i])));
        dependents.back()->m_stop = i == stopper;
    }
    for (int i = 2; i >= 0; --i) source->AddDependent(dependents[size_t(i)], 0);
    EXPECT_EQ(source->NotifyDependents(REFMSG_CHANGED, 0), stopper < 3 ? REFRESULT_STOP : REFRESULT_CONTINUE);
    Log expected;
    for (int i = 0; i < 3 && i <= stopper; ++i) expected.push_back(std::string(names[i]) + ":16");
    EXPECT_EQ(m_log, expected);
}

INSTANTIATE_TEST_SUITE_P(Stops, NotifyStopTest, ::testing::Values(0, 1, 2, 3));

TEST_F(SceneGraphTest, DependentRemovedDuringNotification) {
    auto source = Keep(Make("s"));
    auto d0 = Keep(Make("d0"));
    auto d1 = Keep(Make("d1"));
    auto d2 = Keep(Make("d2"));
    for (auto* d : {&d2, &d1, &d0}) source->AddDependent(*d, 0);
    // d0 unlinks d1 while being told; the count is asked again, so the
    // loop goes on with d2.
    d0->m_onNotify = [&] { source->RemoveDependent(d1); };
    EXPECT_EQ(source->NotifyDependents(REFMSG_CHANGED, 0), REFRESULT_CONTINUE);
    EXPECT_EQ(m_log, (Log{"d0:16", "d2:16"}));
    EXPECT_EQ(source->GetDependentCount(), 2);

    // A dependent that drops the last other reference to the source while
    // being told: the source stays alive until its notification ends.
    auto lone = Make("lone");
    auto keeper = Keep(Make("keeper"));
    keeper->AddReference(lone, 0);
    keeper->m_onNotify = [&] {
        keeper->RemoveReference(lone);
        lone = nullptr;
    };
    CRecorder* raw = lone.get();
    raw->NotifyDependents(REFMSG_CHANGED, 1);
    EXPECT_FALSE(lone);
    EXPECT_EQ(keeper->GetReferenceCount(), 0);
}

// b and c refer to a, d to both, e to d: d and e hear once along each path.
TEST_F(SceneGraphTest, SharedDependentIsToldOncePerPath) {
    const auto o = Linked("abcde", {{1, 0}, {2, 0}, {3, 1}, {3, 2}, {4, 3}});
    o[0]->NotifyDependents(REFMSG_CHANGED, 1);
    EXPECT_EQ(m_log, (Log{"c:16", "d:16", "e:16", "b:16", "d:16", "e:16"}));
}

// c, told through b, starts a notification of its own from a: it goes
// through b and c again, though both are still passing the first one on.
TEST_F(SceneGraphTest, HandlerNotifyingFromTheChainStartsAfresh) {
    const auto o = Linked("abc", {{1, 0}, {2, 1}});
    o[2]->m_onNotify = [&, once = true]() mutable {
        if (std::exchange(once, false)) o[0]->NotifyDependents(REFMSG_ADDED, 1);
    };
    o[0]->NotifyDependents(REFMSG_CHANGED, 1);
    EXPECT_EQ(m_log, (Log{"b:16", "c:16", "b:19", "c:19"}));
}

// (objects in the loop, the one disposed of): each refers to the next, the
// last to the first; an object alone tries to refer to itself.
class ReferenceLoopTest : public SceneGraphTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(ReferenceLoopTest, NotificationAndDisposalEndAndLeaveNothingLinked) {
    const auto [count, disposed] = GetParam();
    const auto name = [count = count](int i) { return std::string(1, char('a' + (i + count) % count)); };
    std::vector<ref_ptr<CRecorder>> o;  // not kept: letting go of these must destroy them
    for (int i = 0; i < count; ++i) o.push_back(Make(name(i).c_str()));
    EXPECT_FALSE(o[0]->AddReference(o[0], 0));
    EXPECT_FALSE(o[0]->AddDependent(o[0], 0));
    for (int i = 0; count > 1 && i < count; ++i)
        ASSERT_TRUE(o[size_t(i)]->AddReference(o[size_t((i + 1) % count)], 0));
    // Asking the caches for the loop any number of links deep ends, and
    // counts, tells and changes nothing.
    for (const auto& object : o)
        for (int depth = 0; depth <= 2 * count + 1; ++depth) object->PrefetchReferences(depth);
    EXPECT_TRUE(m_log.empty());
    for (const auto& object : o) {
        EXPECT_EQ(object->GetRefCount(), count > 1 ? 3 : 1) << object->m_name;
        EXPECT_EQ(object->GetReferenceCount(), count > 1 ? 1 : 0) << object->m_name;
    }
    // From any object the message goes round once, back to that object.
    const auto round = [&, count = count](int first) {
        Log told;
        for (int step = 1; count > 1 && step <= count; ++step) told.push_back(name(first - step) + ":18");
        return told;
    };
    for (int first = 0; first < count; ++first) {
        m_log.clear();
        EXPECT_EQ(o[size_t(first)]->NotifyDependents(REFMSG_REMOVED, 1), REFRESULT_CONTINUE);
        EXPECT_EQ(m_log, round(first));
    }
    // Disposal tells the loop, then each object loses its last dependent in
    // turn, the first one again while it is still being disposed of.
    m_log.clear();
    o[size_t(disposed)]->Dispose();
    Log expected = round(disposed);
    expected.insert(expected.begin(), name(disposed) + ":disposed");
    for (int step = 1; count > 1 && step <= count; ++step) expected.push_back(name(disposed + step) + ":disposed");
    EXPECT_EQ(m_log, expected);
    for (const auto& object : o) {
        EXPECT_EQ(object->GetReferenceCount() + object->GetDependentCount(), 0) << object->m_name;
        EXPECT_EQ(object->GetRefCount(), 1) << object->m_name;
    }
}

INSTANTIATE_TEST_SUITE_P(Loops, ReferenceLoopTest,
                         ::testing::Values(std::pair{1, 0}, std::pair{2, 0}, std::pair{2, 1}, std::pair{3, 0},
                                           std::pair{3, 1}, std::pair{3, 2}));

TEST_F(SceneGraphTest, DestroyedTargetTellsDependentsWithoutCountingItself) {
    auto listener = Keep(Make("listener"));
    {
        ref_ptr<CAnimatable> node(new CTestNode);
        node->AddDependent(listener, 0);  // one-sided: the node can still go
    }
    // The animatable and the reference-target parts each tell once.
    EXPECT_EQ(m_log, (Log{"listener:18:null", "listener:18:null"}));
}

// The reserved operations keep their base answers; the reference given to
// the first is released.
TEST_F(SceneGraphTest, ReservedOperationsGiveTheirBaseAnswers) {
    const auto target = Make("target");
    const auto given = Make("given");
    EXPECT_EQ(target->ReservedRefOperation(1, 2, 3, 4, given), 2);
    EXPECT_EQ(given->GetRefCount(), 1);
    EXPECT_EQ(target->GetReferenceCount() + target->GetDependentCount(), 0);
    ref_ptr<CAnimatable> node(new CTestNode);
    EXPECT_FALSE(node->ReservedQuery(7));
    node->ReservedKeyOperation(1, 2, 3, 4, 5);
    EXPECT_EQ(node->ReservedSelection(), -1);
}

} // namespace
