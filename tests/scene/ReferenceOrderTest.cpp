// Random sequences of links and unlinks against the plain-vector algorithm
// the reference lists had before they were indexed: the lists, the answers,
// the order of notification (with dependents that add or remove while being
// told) and the order in which objects are disposed of must all agree.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "scene/ReferenceTarget.h"

using namespace Engine::Scene;
using Engine::ref_ptr;

namespace {

using Log = std::vector<std::string>;

std::string Told(int object, int message, int source) {
    return std::to_string(object) + ":" + std::to_string(message) + ":" + std::to_string(source);
}

// What an object does once, the next time it is told: adds a leaf to the
// source's dependents or removes it from them (sources above the leaves only,
// so that notification never loops).
struct SAction {
    enum EKind { NONE, ADD, REMOVE } kind = NONE;
    int object = 0;
    int index = 0;
};

enum EOp { ADD_REFERENCE, ADD_DEPENDENT, REMOVE_REFERENCE, REMOVE_DEPENDENT, DELETE_ALL, NOTIFY, ARM, DESTROY };
struct SOp {
    EOp op;
    int a, b, index;
    SAction action;
};

// The lists as they were: vectors, a search for the self check (with the
// object itself refused), an insert at the clamped index and an erase of the
// first equal entry.
class CVectorModel {
public:
    CVectorModel(int count, int leaves) : m_deps(size_t(count)), m_refs(size_t(count)), m_armed(size_t(count)), m_leaves(leaves) {}

    bool AddReference(int a, int t, int index) {
        index = Clamp(m_refs[a].size(), index);
        if (!Insert(m_refs[a], a, t, index)) return false;
        AddDependent(t, a, index);
        return true;
    }
    bool AddDependent(int t, int d, int index) { return Insert(m_deps[t], t, d, Clamp(m_deps[t].size(), index)); }
    bool RemoveReference(int a, int t) { return UnlinkReference(a, t, true); }
    bool RemoveDependent(int t, int d) { return UnlinkDependent(t, d, true); }
    void DeleteAll(int x) {
        Notify(x, x, REFMSG_REMOVED, 1);
        while (!m_refs[x].empty()) UnlinkReference(x, m_refs[x].front(), true);
        while (!m_deps[x].empty()) UnlinkDependent(x, m_deps[x].front(), true);
    }
    int Notify(int owner, int source, int message, int propagate) {
        for (size_t i = 0; i < m_deps[owner].size(); ++i) {
            const int d = m_deps[owner][i];
            log.push_back(Told(d, message, source));
            if (d == source) return REFRESULT_STOP;
            Fire(d, source);
            if (propagate) Notify(d, d, message, propagate);
        }
        return REFRESULT_CONTINUE;
    }
    void Arm(int x, SAction action) { m_armed[x] = action; }
    void Destroy(int x) {
        Notify(x, -1, REFMSG_REMOVED, 1);
        while (!m_refs[x].empty()) UnlinkReference(x, m_refs[x].front(), false);
        while (!m_deps[x].empty()) UnlinkDependent(x, m_deps[x].front(), false);
        m_armed[x] = {};
    }
    bool IsHeld(int x) const {
        for (size_t i = 0; i < m_deps.size(); ++i)
            if (Count(m_deps[i], x) || Count(m_refs[i], x)) return true;
        return false;
    }

    std::vector<std::vector<int>> m_deps, m_refs;
    Log log;

private:
    static int Clamp(size_t count, int index) {
        if (index >= int(count)) index = int(count) - 1;
        return index < 0 ? 0 : index;
    }
    static bool Count(const std::vector<int>& list, int x) { return std::find(list.begin(), list.end(), x) != list.end(); }
    static bool Insert(std::vector<int>& list, int self, int object, int index) {
        if (object == self || Count(list, self)) return false;
        list.insert(list.begin() + index, object);
        return true;
    }
    bool UnlinkReference(int a, int t, bool dispose) {
        auto it = std::find(m_refs[a].begin(), m_refs[a].end(), t);
        if (it == m_refs[a].end()) return false;
        m_refs[a].erase(it);
        UnlinkDependent(t, a, dispose);
        return true;
    }
    bool UnlinkDependent(int t, int d, bool dispose) {
        auto it = std::find(m_deps[t].begin(), m_deps[t].end(), d);
        if (it == m_deps[t].end()) return false;
        m_deps[t].erase(it);
        UnlinkReference(d, t, dispose);
        if (dispose && m_deps[t].empty()) {
            log.push_back(std::to_string(t) + ":disposed");
            DeleteAll(t);
        }
        return true;
    }
    void Fire(int x, int source) {
        const SAction action = std::exchange(m_armed[x], SAction{});
        if (source < m_leaves) return;
        if (action.kind == SAction::ADD) AddDependent(source, action.object, action.index);
        if (action.kind == SAction::REMOVE) RemoveDependent(source, action.object);
    }

    std::vector<SAction> m_armed;
    int m_leaves;
};

class CWorld;

class CNode : public CReferenceTarget {
public:
    CNode(int id, CWorld* world) : m_id(id), m_world(world) {}
    int NotifyRefChanged(Ref source, int message) override;
    void Dispose() override;

    int m_id;
    CWorld* m_world;
    SAction m_armed;
};

class CWorld {
public:
    CWorld(int count, int leaves) : m_leaves(leaves) {
        for (int i = 0; i < count; ++i) nodes.emplace_back(new CNode(i, this));
    }
    ~CWorld() {
        for (auto& node : nodes) node->DeleteAllReferences();
    }
    static int Id(const CReferenceTarget::Ref& object) { return object ? static_cast<CNode*>(object.get())->m_id : -1; }
    void Fire(CNode& node, CNode* source) {
        const SAction action = std::exchange(node.m_armed, SAction{});
        if (!source || source->m_id < m_leaves) return;
        if (action.kind == SAction::ADD) source->AddDependent(nodes[size_t(action.object)], action.index);
        if (action.kind == SAction::REMOVE) source->RemoveDependent(nodes[size_t(action.object)]);
    }
    void Destroy(int x) {
        nodes[size_t(x)] = nullptr;
        nodes[size_t(x)] = new CNode(x, this);
    }

    std::vector<ref_ptr<CNode>> nodes;
    Log log;

private:
    int m_leaves;
};

int CNode::NotifyRefChanged(Ref source, int message) {
    auto* from = static_cast<CNode*>(source.get());
    m_world->log.push_back(Told(m_id, message, CWorld::Id(source)));
    if (from == this) return REFRESULT_STOP;
    m_world->Fire(*this, from);
    return REFRESULT_CONTINUE;
}

void CNode::Dispose() {
    m_world->log.push_back(std::to_string(m_id) + ":disposed");
    CReferenceTarget::Dispose();
}

// Leaves refer to the middle and the top, the middle to the top: links point
// one way, so notification ends. The two objects at the top gather long lists.
class ReferenceOrderTest : public ::testing::TestWithParam<std::tuple<int, int>> {
protected:
    int Leaves() const { return std::get<1>(GetParam()); }
    int Count() const { return Leaves() + 8; }
    int Layer(int x) const { return x < Leaves() ? 0 : x < Leaves() + 6 ? 1 : 2; }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    // A random object of a layer below the given one's.
    int Below(int x) { return Layer(x) == 2 ? Pick(0, Leaves() + 5) : Pick(0, Leaves() - 1); }
    int Above() { return Pick(Leaves(), Count() - 1); }

    SOp Next(const CVectorModel& model) {
        const int index = Pick(-3, 40);
        const int roll = Pick(0, 99);
        if (roll < 35) {
            const int t = Above();
            return {ADD_REFERENCE, Below(t), t, index, {}};
        }
        if (roll < 45) {
            const int t = Above();
            return {ADD_DEPENDENT, t, Below(t), index, {}};
        }
        if (roll < 47) {  // a self link, refused
            const int x = Pick(0, Count() - 1);
            return {Pick(0, 1) ? ADD_REFERENCE : ADD_DEPENDENT, x, x, index, {}};
        }
        if (roll < 62) {
            const int t = Above();
            return {REMOVE_REFERENCE, Below(t), t, 0, {}};
        }
        if (roll < 72) {
            const int t = Above();
            return {REMOVE_DEPENDENT, t, Below(t), 0, {}};
        }
        if (roll < 75) return {DELETE_ALL, Pick(0, Count() - 1), 0, 0, {}};
        if (roll < 85) return {NOTIFY, Above(), 0, Pick(0, 1), {}};
        if (roll < 95) {
            const SAction action{Pick(0, 1) ? SAction::ADD : SAction::REMOVE, Pick(0, Leaves() - 1), index};
            return {ARM, Pick(0, Count() - 1), 0, 0, action};
        }
        // Objects nothing holds go, unlinking what they still hold.
        std::vector<int> free;
        for (int x = 0; x < Count(); ++x)
            if (!model.IsHeld(x)) free.push_back(x);
        if (free.empty()) return {NOTIFY, Above(), 0, 1, {}};
        return {DESTROY, free[size_t(Pick(0, int(free.size()) - 1))], 0, 0, {}};
    }

    static int Apply(CVectorModel& model, const SOp& op) {
        switch (op.op) {
        case ADD_REFERENCE: return model.AddReference(op.a, op.b, op.index);
        case ADD_DEPENDENT: return model.AddDependent(op.a, op.b, op.index);
        case REMOVE_REFERENCE: return model.RemoveReference(op.a, op.b);
        case REMOVE_DEPENDENT: return model.RemoveDependent(op.a, op.b);
        case DELETE_ALL: model.DeleteAll(op.a); return 1;
        case NOTIFY: return model.Notify(op.a, op.a, REFMSG_CHANGED, op.index);
        case ARM: model.Arm(op.a, op.action); return 0;
        case DESTROY: model.Destroy(op.a); return 0;
        }
        return -1;
    }

    static int Apply(CWorld& world, const SOp& op) {
        CNode& a = *world.nodes[size_t(op.a)];
        const ref_ptr<CNode>& b = world.nodes[size_t(op.b)];
        switch (op.op) {
        case ADD_REFERENCE: return a.AddReference(b, op.index);
        case ADD_DEPENDENT: return a.AddDependent(b, op.index);
        case REMOVE_REFERENCE: return a.RemoveReference(b);
        case REMOVE_DEPENDENT: return a.RemoveDependent(b);
        case DELETE_ALL: return a.DeleteAllReferences();
        case NOTIFY: return a.NotifyDependents(REFMSG_CHANGED, op.index);
        case ARM: a.m_armed = op.action; return 0;
        case DESTROY: world.Destroy(op.a); return 0;
        }
        return -1;
    }

    static void ExpectSameLists(const CVectorModel& model, const CWorld& world, int step) {
        for (size_t x = 0; x < world.nodes.size(); ++x) {
            const CNode& node = *world.nodes[x];
            std::vector<int> deps, refs;
            for (int i = 0; i < node.GetDependentCount(); ++i) deps.push_back(CWorld::Id(node.GetDependent(i)));
            for (int i = 0; i < node.GetReferenceCount(); ++i) refs.push_back(CWorld::Id(node.GetReference(i)));
            ASSERT_EQ(deps, model.m_deps[x]) << "dependents of " << x << " at step " << step;
            ASSERT_EQ(refs, model.m_refs[x]) << "references of " << x << " at step " << step;
            EXPECT_THROW(node.GetDependent(node.GetDependentCount()), std::out_of_range);
            EXPECT_THROW(node.GetReference(-1), std::out_of_range);
        }
    }

    std::mt19937 m_random{unsigned(std::get<0>(GetParam()))};
};

TEST_P(ReferenceOrderTest, ListsNotificationAndTeardownFollowThePlainLists) {
    CVectorModel model(Count(), Leaves());
    CWorld world(Count(), Leaves());
    size_t longest = 0;
    for (int step = 0; step < 1500; ++step) {
        const SOp op = Next(model);
        ASSERT_EQ(Apply(world, op), Apply(model, op)) << "step " << step;
        ASSERT_EQ(world.log, model.log) << "step " << step;
        if (step % 8 == 0) {
            ASSERT_NO_FATAL_FAILURE(ExpectSameLists(model, world, step));
        }
        for (const auto& deps : model.m_deps) longest = std::max(longest, deps.size());
    }
    // The whole graph let go of object by object, as a scene does.
    for (int x = 0; x < Count(); ++x) {
        Apply(model, {DELETE_ALL, x, 0, 0, {}});
        Apply(world, {DELETE_ALL, x, 0, 0, {}});
        ASSERT_EQ(world.log, model.log) << "teardown of " << x;
    }
    ASSERT_NO_FATAL_FAILURE(ExpectSameLists(model, world, -1));
    // With many leaves, long lists were reached, past the plain storage of
    // short ones.
    EXPECT_GT(longest, size_t(Leaves() > 6 ? 32 : 8));
}

INSTANTIATE_TEST_SUITE_P(Seeds, ReferenceOrderTest,
                         ::testing::Combine(::testing::Range(1, 9), ::testing::Values(6, 40, 200)));

} // namespace
