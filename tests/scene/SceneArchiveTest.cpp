#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "SceneFixtures.h"

using namespace SceneTest;
using Engine::ref_ptr;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes Save(CScene& scene) {
    Engine::CMemoryFile file;
    CArchive ar(&file, true);
    scene.Serialize(ar);
    return file.Detach();
}

void Load(CScene& scene, const Bytes& bytes) {
    Engine::CMemoryFile file(bytes.data(), bytes.size());
    CArchive ar(&file, false);
    scene.Serialize(ar);
}

// A canonical form of a scene: classes, flags, slots, data, and shared
// objects by their order of first appearance (IDs are left out).
class CDumper {
public:
    std::string Dump(CScene& scene) {
        const CSceneTime& t = scene.GetTimeRecord();
        std::string out = std::string(scene.GetName() ? scene.GetName() : "-") + " " + std::to_string(t.spanStart) +
                          ".." + std::to_string(t.spanEnd) + " x" + std::to_string(t.rate) + " m" +
                          std::to_string(t.wrapMode) + " e" + std::to_string(t.endless) + "\n";
        for (int i = 0; i < scene.GetSubAnimCount(); ++i) out += Object(scene.GetSubAnim(i).get(), 1);
        return out;
    }

private:
    std::string Object(CAnimatable* object, int depth) {
        const std::string indent(size_t(depth) * 2, ' ');
        if (!object) return indent + "NULL\n";
        auto [it, added] = m_seen.emplace(object, int(m_seen.size()));
        std::string out = indent + "#" + std::to_string(it->second) + " " + object->GetClassName().str();
        if (!added) return out + " (again)\n";
        out += " f" + std::to_string(object->GetFlags());
        if (auto* c = dynamic_cast<CTestFloatCtrl*>(object)) out += " v" + std::to_string(c->m_value) + " s" + std::to_string(c->m_slope);
        if (auto* w = dynamic_cast<CReflectionAniObject*>(object)) out += " '" + w->GetName().str() + "'";
        out += "\n";
        if (auto* r = dynamic_cast<CReflectable*>(object)) {
            for (int i = 0; i < r->GetSubAnimCount(); ++i)
                out += indent + " " + r->GetSubAnimName(i).str() + ":\n" + Object(r->GetSubAnim(i).get(), depth + 1);
        }
        return out;
    }
    std::map<CAnimatable*, int> m_seen;
};

std::string Dump(CScene& scene) {
    return CDumper().Dump(scene);
}

// Hand-made archives.
class CWriter {
public:
    CWriter() : m_ar(&m_file, true) {}
    CWriter& Begin(uint32_t id, uint32_t version = CHUNK_VERSION) { return m_ar.BeginChunk(id, version), *this; }
    CWriter& End() { return m_ar.EndChunk(), *this; }
    CWriter& U32(uint32_t v) { return m_ar.WriteDWord(v), *this; }
    CWriter& U8(uint8_t v) { return m_ar.WriteByte(v), *this; }
    CWriter& F32(float v) { return m_ar.WriteFloat(v), *this; }
    CWriter& F64(double v) { return m_ar.Write(&v, 8), *this; }
    CWriter& Str(const char* s) { return m_ar.WriteString(CString(s)), *this; }
    CWriter& TimeFields(double start = 0, double end = 50, float rate = 5, uint32_t mode = 0) {
        return F64(start).F64(end).F32(rate).U32(mode).U32(0);
    }
    // A scene header up to its child count.
    CWriter& SceneStart(uint32_t version = SCENE_CHUNK_VERSION, uint32_t counter = 1001) {
        Begin(CHUNK_SCENE, version).Str("Hand").Begin(CHUNK_SCENE_TIME).TimeFields().End();
        if (version > CHUNK_VERSION) U32(counter);
        return *this;
    }
    CWriter& Animatable(const char* cls, uint32_t id, uint32_t flags = 0) {
        return Str(cls).U32(id).Begin(CHUNK_ANIMATABLE).U32(flags).End();
    }
    Bytes Done() { return m_file.Detach(); }

private:
    Engine::CMemoryFile m_file;
    CArchive m_ar;
};

class SceneArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSceneFixtures();
        CAnimatable::SetNextObjectId(1001);
    }
    void TearDown() override {
        m_scene->Dispose();
        m_loaded->Dispose();
        CClassDir::GetInstance().Clear();
        EXPECT_EQ(CTestSprite::s_alive, 0);
    }
    void BuildScene() { BuildSampleScene(*m_scene); }
    ref_ptr<CScene> m_scene{new CScene};
    ref_ptr<CScene> m_loaded{new CScene};
};

TEST_F(SceneArchiveTest, EmptySceneHasItsByteImage) {
    CWriter expected;
    expected.Begin(CHUNK_SCENE, SCENE_CHUNK_VERSION).Str("Default Scene");
    expected.Begin(CHUNK_SCENE_TIME).TimeFields().End().U32(1001).U32(0).End();
    const Bytes image = expected.Done();
    ASSERT_EQ(image.size(), 74u);
    const uint8_t head[] = {0x53, 0x43, 0x45, 0x4E, 0x02, 0x01, 0, 0, 62, 0, 0, 0, 13};
    EXPECT_EQ(0, std::memcmp(image.data(), head, sizeof head));

    ref_ptr<CScene> fresh(new CScene);  // takes ID 1001: the counter moves on
    CAnimatable::SetNextObjectId(1001);
    EXPECT_EQ(Save(*fresh), image);
    m_loaded->SetName("Old");
    Load(*m_loaded, image);
    EXPECT_EQ(Dump(*m_loaded), Dump(*fresh));
}

TEST_F(SceneArchiveTest, RoundTripGivesAnEqualTree) {
    BuildScene();
    // Two objects under one ID: saving renumbers the second.
    auto* first = m_scene->GetSubAnim(0).get();
    auto* node = m_scene->GetSubAnim(1).get();
    node->SetObjectId(first->GetObjectId());
    const uint32_t next = CAnimatable::GetNextObjectId();
    const Bytes bytes = Save(*m_scene);
    EXPECT_EQ(node->GetObjectId(), next);

    Load(*m_loaded, bytes);
    EXPECT_EQ(Dump(*m_loaded), Dump(*m_scene));
    // The shared controller is one object again, and its owners depend on it.
    CAnimatable* a = m_loaded->GetAniObject(0)->GetSubAnim(0).get();
    CAnimatable* b = m_loaded->GetAniObject(2)->GetSubAnim(0).get();
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->GetDependentCount(), 2);
    EXPECT_EQ(m_loaded->GetSubAnim(1)->GetObjectId(), next);
    EXPECT_EQ(static_cast<CTestSprite*>(static_cast<CReflectionAniObject*>(m_loaded->GetAniObject(2))->GetAnimObject())
                  ->m_wrapper,
              m_loaded->GetAniObject(2));
    // Saving the loaded scene from the same counter gives the same bytes.
    const size_t counterAt = 12 + 1 + 6 + 12 + 28;
    uint32_t counter = 0;
    std::memcpy(&counter, bytes.data() + counterAt, 4);
    CAnimatable::SetNextObjectId(counter);
    EXPECT_EQ(Save(*m_loaded), bytes);
}

TEST_F(SceneArchiveTest, HeaderVersionsAndTheObjectCounter) {
    CWriter v101;
    v101.SceneStart(CHUNK_VERSION).U32(0).End();
    CAnimatable::SetNextObjectId(1200);
    Load(*m_loaded, v101.Done());
    EXPECT_STREQ(m_loaded->GetName(), "Hand");
    EXPECT_EQ(CAnimatable::GetNextObjectId(), 1200u);

    for (uint32_t stored : {5000u, 1100u}) {
        CWriter w;
        w.SceneStart(SCENE_CHUNK_VERSION, stored).U32(0).End();
        Load(*m_loaded, w.Done());
    }
    EXPECT_EQ(CAnimatable::GetNextObjectId(), 5000u);

    CWriter old;
    old.SceneStart(0x100).U32(0).End();
    try {
        Load(*m_loaded, old.Done());
        FAIL();
    } catch (const Engine::CException& e) {
        EXPECT_STREQ(e.what(), "Scene serialization error: File ID Wrong or Old File Version");
    }

    // A time chunk with another ID is skipped; the fields follow it.
    CWriter foreign;
    foreign.Begin(CHUNK_SCENE, SCENE_CHUNK_VERSION).Str("F").Begin(0x1234).U32(99).End();
    foreign.TimeFields(5, 9, 2, WRAP_REVERSE).U32(1001).U32(0).End();
    Load(*m_loaded, foreign.Done());
    EXPECT_EQ(m_loaded->GetTimeRecord().spanEnd, 9.0);
    EXPECT_EQ(m_loaded->GetTimeRecord().wrapMode, uint32_t(WRAP_REVERSE));
}

TEST_F(SceneArchiveTest, SlotsThatDoNotFitAreDropped) {
    // Property names the type lacks, and a controller of the wrong value
    // type: the objects are read (the stream stays in step) and dropped.
    CWriter w;
    w.SceneStart().U32(1);
    w.Animatable("Engine::Scene::CReflectionAniObject", 2000);
    w.Begin(CHUNK_REFLECTABLE).U8(1).Str("Test::CTestSprite").U32(3);
    w.Str("Nope").Animatable("Test::CTestNode", 2001);
    w.Str("Alpha").Animatable("Test::CTestBoolCtrl", 2002).Begin(CHUNK_REFLECTABLE).U8(0).End();
    w.Str("Visible").Animatable("Test::CTestBoolCtrl", 2003).Begin(CHUNK_REFLECTABLE).U8(0).End();
    w.End().Begin(CHUNK_REFLECTION_ANI_OBJECT).U32(5).End().End();
    Load(*m_loaded, w.Done());
    auto* wrapper = m_loaded->GetAniObject(0);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->GetName(), CString("Sprite 5"));
    EXPECT_EQ(wrapper->GetSubAnim(0).get(), nullptr);
    ASSERT_NE(wrapper->GetSubAnim(1).get(), nullptr);
    EXPECT_EQ(wrapper->GetSubAnim(1)->GetObjectId(), 2003u);
}

struct CorruptCase {
    const char* name;
    Bytes (*make)();
    const char* message;  // null: the integer 1 is thrown
};

class CorruptArchiveTest : public SceneArchiveTest, public ::testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptArchiveTest, RefusedAndTheSceneKept) {
    BuildScene();
    const std::string before = Dump(*m_scene);
    try {
        Load(*m_scene, GetParam().make());
        FAIL() << "accepted";
    } catch (const Engine::CException& e) {
        ASSERT_NE(GetParam().message, nullptr) << e.what();
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    } catch (int code) {
        EXPECT_EQ(GetParam().message, nullptr);
        EXPECT_EQ(code, 1);
    }
    EXPECT_EQ(Dump(*m_scene), before);
}

Bytes UnknownClass() {
    CWriter w;
    w.SceneStart().U32(1).Animatable("Test::CMissing", 2000).End();
    return w.Done();
}
Bytes DanglingBackReference() {
    CWriter w;
    w.SceneStart().U32(2).Animatable("Test::CTestNode", 2000).Str("Test::CTestNode").U32(2001).End();
    return w.Done();
}
Bytes HugeChildCount() {
    CWriter w;
    w.SceneStart().U32(0x40000000).Animatable("Test::CTestNode", 2000).End();
    return w.Done();
}
Bytes WrongObjectChunk() {
    CWriter w;
    w.SceneStart().U32(1).Animatable("Engine::Scene::CReflectionAniObject", 2000).Begin(0x12D3).U8(0).End().End();
    return w.Done();
}
Bytes ChunkLongerThanData() {
    CWriter w;
    w.SceneStart().U32(1).Str("Test::CTestNode").U32(2000).U32(CHUNK_ANIMATABLE).U32(CHUNK_VERSION).U32(400).U32(0);
    return w.Done();
}
Bytes NotAnAnimatable() {
    CWriter w;
    w.SceneStart().U32(1).Animatable("Test::CTestSprite", 2000).End();
    return w.Done();
}
Bytes ChunkWithTrailingBytes() {
    CWriter w;
    w.SceneStart().U32(1).Str("Test::CTestNode").U32(2000).Begin(CHUNK_ANIMATABLE).U32(0).U32(0).End().End();
    return w.Done();
}
Bytes ControllerWithoutValueType() {
    CWriter w;
    w.SceneStart().U32(1).Animatable("Engine::Scene::CReflectionAniObject", 2000);
    w.Begin(CHUNK_REFLECTABLE).U8(1).Str("Test::CTestSprite").U32(1).Str("Alpha").Animatable("Test::CTestNode", 2001);
    w.End().Begin(CHUNK_REFLECTION_ANI_OBJECT).U32(0).End().End();
    return w.Done();
}

Bytes SelfAnimatingController() {
    // A float controller bound to the sprite type whose "Alpha" slot is the
    // controller itself.
    CWriter w;
    w.SceneStart().U32(1).Animatable("Test::CTestFloatCtrl", 2000);
    w.Begin(CHUNK_REFLECTABLE).U8(1).Str("Test::CTestSprite").U32(1).Str("Alpha").Str("Test::CTestFloatCtrl").U32(2000);
    w.End().Begin(CHUNK_TEST_CONTROLLER).F32(0).F32(0).End().End();
    return w.Done();
}
Bytes DeeplyNested() {
    // Wrappers whose "Alpha" slot holds the next: no controllers, but the
    // nesting is refused before their value types are looked at.
    CWriter w;
    w.SceneStart().U32(1);
    for (int i = 0; i < CClassDir::MAX_READ_DEPTH + 1; ++i) {
        w.Animatable("Engine::Scene::CReflectionAniObject", 3000 + uint32_t(i));
        w.Begin(CHUNK_REFLECTABLE).U8(1).Str("Test::CTestSprite").U32(1).Str("Alpha");
    }
    return w.Done();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CorruptArchiveTest,
    ::testing::Values(CorruptCase{"UnknownClass", UnknownClass, "Unknown class 'Test::CMissing'"},
                      CorruptCase{"Dangling", DanglingBackReference, "Object 2001 of class 'Test::CTestNode' is never defined"},
                      CorruptCase{"HugeCount", HugeChildCount, "cannot fit"},
                      CorruptCase{"WrongChunk", WrongObjectChunk, nullptr},
                      CorruptCase{"LongChunk", ChunkLongerThanData, "longer than the data left"},
                      CorruptCase{"NotAnimatable", NotAnAnimatable, "is not animatable"},
                      CorruptCase{"TrailingBytes", ChunkWithTrailingBytes, "Chunk of CAnimatable ends"},
                      CorruptCase{"NoValueType", ControllerWithoutValueType, "Value Type Attribute not Defined"},
                      CorruptCase{"SelfAnimating", SelfAnimatingController, "Object 2000 would animate itself"},
                      CorruptCase{"DeeplyNested", DeeplyNested, "nested too deeply"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SceneArchiveTest, EveryTruncationIsRefused) {
    BuildScene();
    const Bytes bytes = Save(*m_scene);
    const std::string before = Dump(*m_scene);
    for (size_t size = 0; size < bytes.size(); ++size) {
        const Bytes cut(bytes.begin(), bytes.begin() + ptrdiff_t(size));
        EXPECT_THROW(Load(*m_scene, cut), Engine::CException) << size;
    }
    EXPECT_EQ(Dump(*m_scene), before);
}

} // namespace
