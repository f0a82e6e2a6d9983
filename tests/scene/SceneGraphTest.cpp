#include <gtest/gtest.h>

#include <functional>
#include <string>
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
    Log m_log;
    std::vector<ref_ptr<CRecorder>> m_objects;
};

struct InsertCase {
    int existing;
    int index;
    int expectedPosition;
};

class ReferenceIndexTest : public SceneGraphTest, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(ReferenceIndexTest, IndexIsClampedBeforeTheLastEntry) {
    const InsertCase c = GetParam();
    auto owner = Keep(Make("owner"));
    for (int i = 0; i < c.existing; ++i) owner->AddReference(Keep(Make("old")), i);
    auto target = Keep(Make("new"));
    ASSERT_TRUE(owner->AddReference(target, c.index));
    EXPECT_EQ(owner->GetReference(c.expectedPosition).get(), target.get());
    EXPECT_EQ(target->GetDependent(0).get(), owner.get());
}

INSTANTIATE_TEST_SUITE_P(Clamping, ReferenceIndexTest,
                         ::testing::Values(InsertCase{3, 7, 2}, InsertCase{3, 3, 2}, InsertCase{3, -5, 0},
                                           InsertCase{3, 1, 1}, InsertCase{0, 4, 0}));

TEST_F(SceneGraphTest, LinksAreSymmetricAndRemovedFromEitherSide) {
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

TEST_F(SceneGraphTest, PropagationPassesTheMessageDown) {
    auto top = Keep(Make("top"));
    auto middle = Keep(Make("middle"));
    auto bottom = Keep(Make("bottom"));
    middle->AddReference(top, 0);
    bottom->AddReference(middle, 0);
    top->NotifyDependents(REFMSG_ADDED, 1);
    EXPECT_EQ(m_log, (Log{"middle:19", "bottom:19"}));
    m_log.clear();
    top->NotifyDependents(REFMSG_ADDED, 0);
    EXPECT_EQ(m_log, (Log{"middle:19"}));
}

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

TEST_F(SceneGraphTest, DestroyedTargetTellsDependentsWithoutCountingItself) {
    auto listener = Keep(Make("listener"));
    {
        ref_ptr<CAnimatable> node(new CTestNode);
        node->AddDependent(listener, 0);  // one-sided: the node can still go
    }
    // The animatable and the reference-target parts each tell once.
    EXPECT_EQ(m_log, (Log{"listener:18:null", "listener:18:null"}));
}

TEST_F(SceneGraphTest, ObjectIdsCountUp) {
    CAnimatable::SetNextObjectId(1001);
    ref_ptr<CAnimatable> first(new CTestNode);
    ref_ptr<CAnimatable> second(new CTestNode);
    EXPECT_EQ(first->GetObjectId(), 1001u);
    EXPECT_EQ(second->GetObjectId(), 1002u);
    CAnimatable::RaiseNextObjectId(1500);
    CAnimatable::RaiseNextObjectId(1200);
    EXPECT_EQ(CAnimatable::GetNextObjectId(), 1500u);
}

// Keys selected by a bit mask, for the selection defaults of the base.
class CKeyed : public CTestNode {
public:
    int GetKeyCount() const override { return m_count; }
    bool IsKeySelected(int index) const override { return (m_selected >> index) & 1; }
    int m_count = 0;
    unsigned m_selected = 0;
};

TEST_F(SceneGraphTest, KeyDefaultsAndConstancy) {
    ref_ptr<CKeyed> keyed(new CKeyed);
    keyed->m_count = 4;
    keyed->m_selected = 0b1010;
    EXPECT_EQ(keyed->CountSelectedKeys(), 2);
    EXPECT_EQ(keyed->GetNextSelectedKey(-1), 1);
    EXPECT_EQ(keyed->GetNextSelectedKey(1), 3);
    EXPECT_EQ(keyed->GetNextSelectedKey(3), -1);
    EXPECT_FALSE(keyed->IsConstant());
    keyed->m_count = 1;
    EXPECT_TRUE(keyed->IsConstant());
    {
        const CUpdatePass pass;
        EXPECT_FALSE(keyed->IsConstant());
    }
    EXPECT_FALSE(keyed->SetSubAnim(ref_ptr<CAnimatable>(new CTestNode), 0));
    EXPECT_EQ(ref_ptr<CAnimatable>(new CTestNode)->GetClassName(), CString("CTestNode"));
}

} // namespace
