#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "app/Referenced.h"

namespace {
struct CTracked : Engine::CReferenced {
    CTracked(std::vector<int>* deaths, int id) : m_deaths(deaths), m_id(id) {}
    ~CTracked() override { m_deaths->push_back(m_id); }
    std::vector<int>* m_deaths;
    int m_id;
};
struct CDerived : CTracked { using CTracked::CTracked; };
struct CHolder : CTracked {
    using CTracked::CTracked;
    Engine::ref_ptr<CTracked> inner;
};
// ref_ptr calls the holder type's Release, so this one stands in for a release that throws.
struct CThrowingRelease : Engine::CReferenced {
    void Release() { throw 1; }
};
} // namespace

using Engine::ref_ptr;

TEST(ReferencedTest, LastReleaseDeletes) {
    std::vector<int> deaths;
    auto* obj = new CTracked(&deaths, 1);
    {
        ref_ptr<CTracked> a(obj);
        ref_ptr<CTracked> b = a;
        EXPECT_EQ(obj->GetRefCount(), 2);
        a.Release();
        EXPECT_EQ(a.get(), nullptr);
        EXPECT_TRUE(deaths.empty());
    }
    EXPECT_EQ(deaths, std::vector<int>{1});
}

TEST(ReferencedTest, AssignmentAddsNewBeforeReleasingOld) {
    std::vector<int> deaths;
    ref_ptr<CTracked> p(new CTracked(&deaths, 1));
    p = p.get(); // self-assignment keeps the object
    p = p;
    EXPECT_EQ(p->GetRefCount(), 1);
    // The new object is reachable only through the old one: assigning must
    // add the new reference before the old release deletes its holder.
    ref_ptr<CHolder> holder(new CHolder(&deaths, 2));
    holder->inner = new CTracked(&deaths, 3);
    ref_ptr<CTracked> q(holder.get());
    holder = nullptr;
    q = static_cast<CHolder*>(q.get())->inner.get();
    EXPECT_EQ(q->m_id, 3);
    EXPECT_EQ(deaths, std::vector<int>{2});
}

TEST(ReferencedTest, OverReleaseThrowsOneAndReleaseClearsThePointerFirst) {
    std::vector<int> deaths;
    CTracked onStack(&deaths, 7);
    try {
        onStack.Release();
        ADD_FAILURE() << "release below zero must throw";
    } catch (int code) { EXPECT_EQ(code, 1); }
    EXPECT_EQ(onStack.GetRefCount(), 0);
    ref_ptr<CTracked> empty;
    EXPECT_NO_THROW(empty.Release());

    auto* throwing = new CThrowingRelease;
    ref_ptr<CThrowingRelease> p(throwing);
    EXPECT_THROW(p.Release(), int);
    EXPECT_EQ(p.get(), nullptr) << "a later destructor must not release again";
    throwing->CReferenced::Release();
}

TEST(ReferencedTest, DestroyingReferencedObjectThrowsUnlessUnwinding) {
    std::vector<int> deaths;
    auto* obj = new CTracked(&deaths, 1);
    obj->AddRef();
    EXPECT_THROW(delete obj, int);
    // While another exception unwinds, destruction of a referenced object
    // must not terminate the process.
    auto unwind = [&] {
        CTracked local(&deaths, 2);
        local.AddRef();
        throw std::runtime_error("unwinding");
    };
    EXPECT_THROW(unwind(), std::runtime_error);
}

TEST(ReferencedTest, DynamicRefCast) {
    std::vector<int> deaths;
    ref_ptr<CTracked> base(new CDerived(&deaths, 1));
    EXPECT_EQ(Engine::DynamicRefCast<CDerived>(base)->m_id, 1);
    EXPECT_THROW(Engine::DynamicRefCast<CDerived>(ref_ptr<CTracked>(new CTracked(&deaths, 2))), int);
    EXPECT_EQ(Engine::DynamicRefCast<CDerived>(ref_ptr<CTracked>()), nullptr);
}
