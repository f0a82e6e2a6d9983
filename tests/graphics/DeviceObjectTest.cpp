#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/TestFiles.h"
#include "graphics/Texture.h"
#include "support/RecordingGraphics.h"

using namespace Engine::Graphics;
using Engine::ref_ptr;
using Engine::Graphics::Testing::CRecordingGraphics;

namespace {

std::vector<std::string>* g_trace = nullptr;

class CTracedObject : public CVertexBuffer {
public:
    CTracedObject(CGraphics* owner, std::string name, bool failRestore = false)
        : CVertexBuffer(owner, 1, 28, VF_SPRITE, false), m_name(std::move(name)), m_bFail(failRestore) {}
    void* Lock() override { return nullptr; }
    void Unlock() override {}
    const void* GetData() override { return nullptr; }
    void Invalidate() override { g_trace->push_back("invalidate " + m_name); }
    void Restore() override {
        g_trace->push_back("restore " + m_name);
        if (m_bFail) throw Engine::CException(FormatString("restore of %s failed", m_name.c_str()));
    }

private:
    std::string m_name;
    bool m_bFail;
};

class CRestoreApp : public Engine::CApplication {
public:
    void OnGraphicsRestored() override { g_trace->push_back("restored"); }
};

class DeviceObjectTest : public ::testing::Test {
protected:
    void SetUp() override { g_trace = &trace; }
    void TearDown() override { g_trace = nullptr; }
    std::vector<std::string> trace;
    TestFiles::CLogCapture log;
};

} // namespace

TEST_F(DeviceObjectTest, RestoreFirstThenRestThenApplicationLast) {
    CRestoreApp app;
    Engine::CApplication* cell = &app;
    CRecordingGraphics driver(&cell);
    ref_ptr<CTracedObject> first(new CTracedObject(&driver, "first"));
    ref_ptr<CTracedObject> second(new CTracedObject(&driver, "second", true));
    ref_ptr<CTracedObject> third(new CTracedObject(&driver, "third"));
    third->SetRestoreFirst(true);
    driver.GetDeviceObjectManager().InvalidateAll();
    driver.RestoreAfterReset([&] { trace.push_back("states"); });
    EXPECT_EQ(trace, (std::vector<std::string>{"invalidate first", "invalidate second", "invalidate third",
                                               "restore third", "states", "restore first", "restore second",
                                               "restored"}));
    // The failing restore was logged and did not stop the walk.
    EXPECT_TRUE(log.Contains("restore of second failed"));
}

TEST_F(DeviceObjectTest, UnregisterKeepsOrderAndIgnoresStrangers) {
    CRecordingGraphics driver;
    CDeviceObjectManager& list = driver.GetDeviceObjectManager();
    ref_ptr<CTracedObject> a(new CTracedObject(&driver, "a"));
    {
        ref_ptr<CTracedObject> b(new CTracedObject(&driver, "b"));
        ref_ptr<CTracedObject> c(new CTracedObject(&driver, "c"));
        CTracedObject stranger(nullptr, "stranger");
        list.Unregister(&stranger);
        EXPECT_EQ(list.GetCount(), 3u);
        b.Release();
        ASSERT_EQ(list.GetCount(), 2u);
        EXPECT_EQ(list.Get(0), a.get());
        EXPECT_EQ(list.Get(1), c.get());
    }
    EXPECT_EQ(list.GetCount(), 1u);
}

TEST_F(DeviceObjectTest, LeftoversAreReportedAndDetachedNotDeleted) {
    ref_ptr<CTracedObject> survivor;
    {
        CRecordingGraphics driver;
        survivor = new CTracedObject(&driver, "survivor");
    }
    EXPECT_TRUE(log.Contains("Undeleted device objects found!"));
    EXPECT_EQ(survivor->GetOwner(), nullptr);
    EXPECT_EQ(trace, std::vector<std::string>{"invalidate survivor"});
    survivor.Release(); // must not touch the destroyed driver
}

TEST_F(DeviceObjectTest, VideoMemoryReportKeepsLargestAndZero) {
    CRecordingGraphics driver;
    CVideoMemory memory;
    driver.m_pVideoMemory = &memory;
    driver.ReportVideoMemory(64, 32);
    driver.ReportVideoMemory(128, 16);
    EXPECT_EQ(memory.total, 128u);
    EXPECT_EQ(memory.free, 32u);
    memory.total = 0;
    driver.ReportVideoMemory(256, 8);
    EXPECT_EQ(memory.total, 0u);
}

TEST_F(DeviceObjectTest, TextureManagerSharesByNameAndReportsLeaks) {
    {
        CRecordingGraphics driver;
        ref_ptr<CTextureManager> manager = driver.GetTextureManager();
        ref_ptr<CTexture> a, b, c, unnamed1, unnamed2;
        manager->Create(a, nullptr, 0, "shared", true, 0);
        manager->Create(b, nullptr, 0, "shared", true, 0);
        EXPECT_EQ(a->GetHardwareTexture(), b->GetHardwareTexture());
        EXPECT_EQ(manager->GetEntries()[0].useCount, 2);
        CTextureManager::ReleaseTexture(a.get(), manager.get());
        EXPECT_EQ(manager->GetEntries().size(), 1u);
        EXPECT_EQ(a->GetHardwareTexture(), nullptr);
        CTextureManager::ReleaseTexture(b.get(), manager.get());
        EXPECT_TRUE(manager->GetEntries().empty());

        CTextureList list(&driver), other(&driver);
        list.CreateTexture(unnamed1, nullptr, 0, true, 0);
        list.CreateTexture(unnamed2, nullptr, 0, true, 0);
        EXPECT_NE(unnamed1->GetHardwareTexture(), unnamed2->GetHardwareTexture());
        other.RemoveTexture(unnamed1.get()); // not in that list: nothing happens
        EXPECT_EQ(manager->GetEntries().size(), 2u);
        list.RemoveAll();
        EXPECT_TRUE(manager->GetEntries().empty());

        manager->Create(c, nullptr, 0, nullptr, true, 0);
        manager->Create(c, nullptr, 0, "named", true, 0);
        driver.m_bFailTextures = true;
        ref_ptr<CTexture> failed;
        EXPECT_THROW(manager->Create(failed, nullptr, 0, "x", true, 0), Engine::CException);
        EXPECT_EQ(manager->GetEntries().size(), 2u);
    }
    const size_t first = log.Text().find("NOT DELETED TEXTURE: Name = '<null>', RefCount = 1");
    const size_t second = log.Text().find("NOT DELETED TEXTURE: Name = 'named', RefCount = 1");
    EXPECT_NE(first, std::string::npos);
    EXPECT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
}
