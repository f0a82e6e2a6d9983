// Sharing resources by name through the global and local managers, and
// running delayed loaders item by item.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ManagedObject.h"
#include "graphics/ObjectManager.h"

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

struct CLog {
    std::vector<std::string> lines;
};

class CFakeLoader : public Engine::IDelayedLoader {
public:
    CFakeLoader(CLog& log, std::string name, int32_t count) : m_log(log), m_name(std::move(name)), m_count(count) {}
    void Begin() override { m_log.lines.push_back(m_name + " begin"); }
    void End() override { m_log.lines.push_back(m_name + " end"); }
    int32_t GetPendingCount() const override { return m_count; }
    void LoadItem(int32_t index) override {
        if (index < 0) throw 2;
        m_log.lines.push_back(m_name + std::to_string(index));
        if (m_name == "bad") throw 3;
    }

private:
    CLog& m_log;
    std::string m_name;
    int32_t m_count;
};

} // namespace

TEST(DelayedLoaders, RunsOneItemPerFrameThroughTheLoadersInOrder) {
    CLog log;
    Engine::CDelayedLoaders loaders({new CFakeLoader(log, "a", 2), new Engine::CEmptyDelayedLoader,
                                     new CFakeLoader(log, "b", 3)});
    loaders.Run([&](int32_t done, int32_t total) { log.lines.push_back(std::to_string(done) + "/" + std::to_string(total)); });
    const std::vector<std::string> expected{"a begin", "b begin", "0/5", "a0", "1/5", "a1", "2/5", "b0",
                                            "3/5", "b1", "4/5", "b2", "5/5", "a end", "b end"};
    EXPECT_EQ(log.lines, expected);
}

TEST(DelayedLoaders, NothingPendingDrawsOneFrameAndAFailingItemStillEnds) {
    CLog log;
    Engine::CDelayedLoaders idle({new Engine::CEmptyDelayedLoader});
    int frames = 0;
    idle.Run([&](int32_t, int32_t) { ++frames; });
    EXPECT_EQ(frames, 1);

    Engine::CDelayedLoaders failing({new CFakeLoader(log, "bad", 1)});
    EXPECT_THROW(failing.Run([](int32_t, int32_t) {}), int);
    EXPECT_EQ(log.lines.back(), "bad end");
}
