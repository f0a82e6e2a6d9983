// Sharing resources by name through the global and local managers.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/ManagedObject.h"
#include "app/ObjectManager.h"

namespace {

struct CResource : Engine::CReferenced, Engine::CManagedObject {
    CResource(const CString& name, int* destroyed) : CManagedObject(name), m_destroyed(destroyed) {}
    ~CResource() noexcept override { ++*m_destroyed; }
    int* m_destroyed;
};

// The load pattern every file manager follows.
class CResourceManager : public Engine::CObjectManager<CResource> {
public:
    Engine::ref_ptr<CResource> Load(const CString& name) {
        Engine::ref_ptr<CResource> object = LookupObject(name);
        if (!object) {
            if (name.view().find("missing") != std::string_view::npos) throw 1;
            object = new CResource(name, &destroyed);
            ++created;
        }
        RegisterObject(object);
        return object;
    }
    int created = 0;
    int destroyed = 0;
};

class COwner : Engine::CLocalObjectManager<CResource> {
public:
    explicit COwner(CResourceManager& manager) : m_manager(manager) {}
    ~COwner() { ReleaseAll(); }
    Engine::ref_ptr<CResource> Get(const CString& name) {
        Engine::ref_ptr<CResource> object = m_manager.Load(name);
        AddObject(object);
        return object;
    }
    void ReleaseAll() {
        for (const auto& use : GetUses()) m_manager.ReleaseObject(use);
        Clear();
    }
    using CLocalObjectManager::GetObjects;
    using CLocalObjectManager::GetUses;
    using CLocalObjectManager::HasObject;
    using CLocalObjectManager::RemoveObject;

private:
    CResourceManager& m_manager;
};

} // namespace

TEST(ObjectManager, OwnersShareOneObjectAndTheLastReleaseErasesIt) {
    CResourceManager manager;
    {
        COwner first(manager);
        auto a = first.Get("place/bg1.place");
        {
            COwner second(manager);
            EXPECT_EQ(second.Get("place\\bg1.place"), a);
            EXPECT_EQ(manager.GetUseCount("place/bg1.place"), 2);
        }
        EXPECT_EQ(manager.GetUseCount("place/bg1.place"), 1);
        EXPECT_EQ(manager.created, 1);
        EXPECT_EQ(manager.destroyed, 0);
    }
    EXPECT_EQ(manager.GetObjectCount(), 0u);
    EXPECT_EQ(manager.destroyed, 1);
    COwner again(manager);
    again.Get("place/bg1.place");
    EXPECT_EQ(manager.created, 2);  // a new object after the last release
}

TEST(ObjectManager, LookupIsCaseSensitiveAndLeavesNoEntryForUnknownNames) {
    CResourceManager manager;
    COwner owner(manager);
    owner.Get("place/bg1.place");
    EXPECT_TRUE(manager.LookupObject("place\\bg1.place"));
    EXPECT_FALSE(manager.LookupObject("Place/bg1.place"));
    EXPECT_FALSE(manager.LookupObject("never"));
    EXPECT_THROW(owner.Get("missing.place"), int);
    EXPECT_EQ(manager.GetObjectCount(), 1u);
    EXPECT_EQ(owner.GetUses().size(), 1u);
    for (const auto& object : manager.GetObjects()) EXPECT_TRUE(object);
}

TEST(ObjectManager, ObjectsAreWalkedInNameOrder) {
    CResourceManager manager;
    COwner owner(manager);
    for (const char* name : {"b", "a", "B", "c"}) owner.Get(name);
    std::string order;
    for (const auto& object : manager.GetObjects()) order += object->GetName().str();
    EXPECT_EQ(order, "Babc");
}

TEST(LocalObjectManager, CountsEveryUseAndEachObjectOnce) {
    CResourceManager manager;
    COwner owner(manager);
    auto a = owner.Get("a");
    owner.Get("b");
    owner.Get("a");
    EXPECT_EQ(owner.GetUses().size(), 3u);
    EXPECT_EQ(owner.GetObjects().size(), 2u);
    owner.RemoveObject(a.get());
    EXPECT_TRUE(owner.HasObject(a.get()));
    EXPECT_EQ(owner.GetObjects().size(), 2u);
    owner.RemoveObject(a.get());
    EXPECT_FALSE(owner.HasObject(a.get()));
    EXPECT_EQ(owner.GetObjects().size(), 1u);
}

namespace {

// Logs each release call and each destruction, by name.
struct CLoggedResource : Engine::CReferenced, Engine::CManagedObject {
    CLoggedResource(const CString& name, std::string* log) : CManagedObject(name), m_log(log) {}
    ~CLoggedResource() noexcept override { *m_log += "~" + GetName().str() + " "; }
    std::string* m_log;
};

class CLoggedOwner : public Engine::CLocalObjectManager<CLoggedResource> {
public:
    void AddAll(const std::string& names, std::string* log) {
        std::map<char, Engine::ref_ptr<CLoggedResource>> made;
        for (const char name : names) {
            Engine::ref_ptr<CLoggedResource>& object = made[name];
            if (!object) object = new CLoggedResource(CString(std::string(1, name)), log);
            AddObject(object);
        }
    }
};

} // namespace

// Releasing in one pass calls and destroys in the order that removing the
// first use after each call gives; a throw keeps the uses from its own on.
TEST(LocalObjectManager, ReleaseEachFollowsTheOneByOneOrder) {
    for (const std::string names : {"a", "abc", "abab", "aabbcbca", "cbaabc"}) {
        std::string oneByOne, inOnePass;
        {
            CLoggedOwner owner;
            owner.AddAll(names, &oneByOne);
            while (!owner.GetUses().empty()) {
                const Engine::ref_ptr<CLoggedResource> held = owner.GetUses().front();
                oneByOne += held->GetName().str() + " ";
                owner.RemoveObject(held.get());
            }
        }
        {
            CLoggedOwner owner;
            owner.AddAll(names, &inOnePass);
            owner.ReleaseEach([&](const Engine::ref_ptr<CLoggedResource>& use) { inOnePass += use->GetName().str() + " "; });
            EXPECT_TRUE(owner.GetUses().empty());
            EXPECT_TRUE(owner.GetObjects().empty());
        }
        EXPECT_EQ(inOnePass, oneByOne) << names;
    }

    std::string log;
    CLoggedOwner owner;
    owner.AddAll("abcab", &log);
    int calls = 0;
    EXPECT_THROW(owner.ReleaseEach([&](const Engine::ref_ptr<CLoggedResource>&) {
        if (++calls == 3) throw 1;
    }), int);
    std::string left;
    for (const auto& use : owner.GetUses()) left += use->GetName().str();
    for (const auto& object : owner.GetObjects()) left += "/" + object->GetName().str();
    EXPECT_EQ(left, "cab/a/b/c");
    EXPECT_TRUE(owner.HasObject(owner.GetUses().front().get()));
    owner.Clear();
}
