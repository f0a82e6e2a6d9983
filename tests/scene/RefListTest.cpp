// A reference list against a plain vector at every size its storage changes
// at: inserts anywhere, removal of an object's first entry, and the order in
// which a cleared or destroyed list releases what it held.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "scene/RefList.h"
#include "scene/ReferenceTarget.h"

using namespace Engine::Scene;

namespace {

class CLoggedTarget : public CReferenceTarget {
public:
    CLoggedTarget(int id, std::vector<int>* gone) : m_id(id), m_gone(gone) {}
    ~CLoggedTarget() noexcept(false) override { m_gone->push_back(m_id); }
    int Id() const { return m_id; }

private:
    int m_id;
    std::vector<int>* m_gone;
};

class RefListTest : public ::testing::TestWithParam<int> {
protected:
    // Objects repeat, so that the first entry of an object is the one taken.
    void Fill(CRefList& list, std::vector<const CReferenceTarget*>& model, int size) {
        for (int i = 0; i < size; ++i) {
            CLoggedTarget* object = m_objects[size_t(Pick(0, int(m_objects.size()) - 1))];
            const size_t index = size_t(Pick(0, int(model.size())));
            list.Insert(index, CRefList::Ref(object));
            model.insert(model.begin() + std::ptrdiff_t(index), object);
        }
    }
    static void ExpectSame(const CRefList& list, const std::vector<const CReferenceTarget*>& model) {
        ASSERT_EQ(list.Size(), model.size());
        for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(list.At(i).get(), model[i]) << "at " << i;
        EXPECT_THROW(list.At(model.size()), std::out_of_range);
    }
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }

    void SetUp() override {
        for (int id = 0; id < 7; ++id) {
            auto* object = new CLoggedTarget(id, &m_gone);
            m_owned.emplace_back(object);
            m_objects.push_back(object);
        }
    }

    std::vector<int> m_gone;
    std::vector<CRefList::Ref> m_owned;
    std::vector<CLoggedTarget*> m_objects;
    std::mt19937 m_random{unsigned(GetParam()) * 7919u + 1u};
};

TEST_P(RefListTest, InsertsAndRemovalsFollowAPlainVector) {
    CRefList list;
    std::vector<const CReferenceTarget*> model;
    Fill(list, model, GetParam());
    ASSERT_NO_FATAL_FAILURE(ExpectSame(list, model));
    // Down to empty, through every smaller storage, then up again.
    while (!model.empty()) {
        const CReferenceTarget* object = model[size_t(Pick(0, int(model.size()) - 1))];
        const CRefList::Ref removed = list.RemoveFirst(object);
        ASSERT_EQ(removed.get(), object);
        model.erase(std::find(model.begin(), model.end(), object));
        ASSERT_NO_FATAL_FAILURE(ExpectSame(list, model));
    }
    EXPECT_EQ(list.RemoveFirst(m_objects[0]).get(), nullptr);
    Fill(list, model, GetParam());
    ASSERT_NO_FATAL_FAILURE(ExpectSame(list, model));
}

TEST_P(RefListTest, ClearAndDestructionReleaseInOrder) {
    for (const bool destroy : {false, true}) {
        auto list = std::make_unique<CRefList>();
        std::vector<int> expected;
        // Held by the list alone, each with its own ID.
        for (int i = 0; i < GetParam(); ++i) {
            list->Insert(size_t(i), CRefList::Ref(new CLoggedTarget(100 + i, &m_gone)));
            expected.push_back(100 + i);
        }
        m_gone.clear();
        if (destroy) {
            list.reset();
        } else {
            list->Clear();
            EXPECT_TRUE(list->Empty());
        }
        EXPECT_EQ(m_gone, expected) << (destroy ? "destroyed" : "cleared");
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RefListTest, ::testing::Values(0, 1, 3, 4, 6, 16, 17, 40));

} // namespace
