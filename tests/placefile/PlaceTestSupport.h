#pragma once
// Place-file test support: reading written bytes, a particle system double
// that records what the place file asks of it, and a sample document with
// every object kind.

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Exception.h"
#include "app/File.h"
#include "placefile/PlaceFile.h"
#include "tools/PlaceWriter.h"

namespace PlaceTest {

using namespace Engine::Graphics::PlaceFile;
using Engine::ref_ptr;

// Reads bytes as the place file "name" over memory; no graphics object.
inline ref_ptr<CPlaceFile> ReadPlace(const std::vector<uint8_t>& bytes, const char* name = "place/test.place") {
    ref_ptr<CPlaceFile> placeFile(new CPlaceFile(nullptr, name));
    Engine::CMemoryFile file(bytes.data(), bytes.size());
    CArchive ar(&file, false);
    placeFile->Serialize(ar);
    return placeFile;
}

// Changes the first byte of the first chunk ID `id` inside the scene
// archive (from its "SCEN" chunk on); false when there is none.
inline bool ChangeSceneChunkId(std::vector<uint8_t>& bytes, uint32_t id) {
    const char scene[] = "SCEN";
    const auto start = std::search(bytes.begin(), bytes.end(), scene, scene + 4);
    const uint8_t pattern[4] = {uint8_t(id), uint8_t(id >> 8), uint8_t(id >> 16), uint8_t(id >> 24)};
    const auto at = std::search(start, bytes.end(), pattern, pattern + 4);
    if (at == bytes.end()) return false;
    *at ^= 0x01;
    return true;
}

// The message of the exception reading throws, or "no error".
template <class Action>
std::string ErrorOf(Action action) {
    try {
        action();
    } catch (const Engine::CException& e) {
        return e.what();
    }
    return "no error";
}

// A library emitter that records the calls a place file makes.
class CFakeLibraryEmitter : public VexaParticles::IVexaParticleEmitter {
public:
    explicit CFakeLibraryEmitter(std::vector<std::string>& log) : m_log(log) {}
    void Reset() override { m_log.push_back("Reset"); }
    uint32_t GetAxisFlag() const override { return 0; }
    const char* GetName() const override { return ""; }
    void SetRotation(const float*) override {}
    void SetMatrix(const float*) override {}
    void SetDirection(float, float, float) override {}
    void GetDirection(float&, float&, float&) const override {}
    void SetTintColor(float r, float g, float b, float a) override { Log("Tint", {r, g, b, a}); }
    void GetTintColor(float&, float&, float&, float&) const override {}
    uint32_t HasParticles() const override { return 0; }
    uint32_t GetParticleCount() const override { return 0; }
    void AddValue(uintptr_t) override {}
    void SetOffset(float x, float y, float z) override { Log("Offset", {x, y, z}); }
    void GetOffset(float&, float&, float&) const override {}
    void SetScale(float scale) override { Log("Scale", {scale}); }
    float GetScale() const override { return 0; }
    void SetEmissionCallback(VexaParticles::EmissionCallback, uintptr_t) override {}
    void SetUserValue(int32_t) override {}
    int32_t GetUserValue() const override { return 0; }
    float GetTuningValue() const override { return 0; }
    uint32_t IsParentFlagSet() const override { return 0; }
    // Driven through the place emitter's own calls instead.
    int32_t Render(int32_t, int32_t) override { return 0; }
    int32_t RenderAll() override { return 0; }
    void Move(float, float) override {}
    void Update(float, float, float, float, float, uint32_t) override {}
    void UpdateAtPosition(float, float) override {}

    void Log(const char* name, std::initializer_list<float> values) {
        std::string line = name;
        for (float v : values) line += " " + std::to_string(v);
        m_log.push_back(line);
    }

private:
    std::vector<std::string>& m_log;
};

class CFakeEmitter : public IPlaceEmitter {
public:
    CFakeEmitter(std::string name, float startTime) : name(std::move(name)), time(startTime), library(log) {}
    VexaParticles::IVexaParticleEmitter* GetLibraryEmitter() override { return &library; }
    void SetTime(float value) override { time = value; }
    void SetPosition(float x, float y, float z) override {
        library.Log("Position", {x, y, z});
        if (observer) observer("Update");
    }
    void SetEmitting(bool emitting) override { library.Log("Emitting", {emitting ? 1.0f : 0.0f}); }
    void Move(float t, float step) override { library.Log("Move", {t, step}); }
    void Update(float t, float step) override { library.Log("Update", {t, step}); }
    void RenderAll() override {
        log.push_back("Render");
        if (observer) observer("Render");
    }

    std::string name;
    // Told of each step and render, for the order across emitters.
    std::function<void(const char*)> observer;
    float time;
    std::vector<std::string> log;
    CFakeLibraryEmitter library;
};

class CFakeEffectFile : public IPlaceEffectFile {
public:
    CFakeEffectFile(const CString& name, std::vector<CString> emitters) : m_name(name), m_emitterNames(std::move(emitters)) {}
    const CString& GetName() const override { return m_name; }
    std::vector<CString> GetEmitterNames() const override { return m_emitterNames; }
    ref_ptr<IPlaceEmitter> CreateEmitter(const char* name, float startTime) override {
        ref_ptr<CFakeEmitter> emitter(new CFakeEmitter(name ? name : "", startTime));
        emitters.push_back(emitter);
        return emitter;
    }
    std::vector<ref_ptr<IPlaceEmitter>> GetEmitters() const override { return {emitters.begin(), emitters.end()}; }

    std::vector<ref_ptr<CFakeEmitter>> emitters;

private:
    CString m_name;
    std::vector<CString> m_emitterNames;
};

// The effect files that exist, by name; every place file shares them.
class CFakeEffectFiles : public IPlaceEffectFiles {
public:
    ref_ptr<IPlaceEffectFile> GetVexaFile(const char* name) override {
        const auto found = files.find(name ? name : "");
        if (found == files.end()) throw Engine::CException::Format("Unable to open .vexa file '%s'", name ? name : "");
        uses.push_back(found->second);
        return found->second;
    }
    std::vector<ref_ptr<IPlaceEffectFile>> GetUses() const override { return uses; }

    std::map<std::string, ref_ptr<CFakeEffectFile>> files;
    std::vector<ref_ptr<IPlaceEffectFile>> uses;
};

// Installs a particle system double for as long as it lives.
class CFakeParticles {
public:
    CFakeParticles() {
        s_current = this;
        SetPlaceParticleFactory([](Engine::Graphics::CGraphics*) -> ref_ptr<IPlaceEffectFiles> {
            return s_current->files;
        });
    }
    ~CFakeParticles() {
        SetPlaceParticleFactory(nullptr);
        s_current = nullptr;
    }
    CFakeParticles(const CFakeParticles&) = delete;
    CFakeParticles& operator=(const CFakeParticles&) = delete;

    ref_ptr<CFakeEffectFile> Add(const char* name, std::vector<CString> emitters) {
        ref_ptr<CFakeEffectFile> file(new CFakeEffectFile(name, std::move(emitters)));
        files->files[name] = file;
        return file;
    }

    ref_ptr<CFakeEffectFiles> files{new CFakeEffectFiles};

private:
    static inline CFakeParticles* s_current = nullptr;
};

inline Tools::CPlacePropertyValue Value(uint32_t id, uint32_t type) {
    Tools::CPlacePropertyValue value;
    value.id = id;
    value.type = type;
    return value;
}

inline Tools::CPlaceObjectDoc Object(uint32_t type, uint32_t id, float x = 0, float y = 0, int32_t w = 0, int32_t h = 0) {
    Tools::CPlaceObjectDoc object;
    object.type = type;
    object.id = id;
    object.name = "object" + std::to_string(id);
    object.x = x;
    object.y = y;
    object.width = w;
    object.height = h;
    return object;
}

// Every object kind of the current layout: sprites (codes 1 and 3), a
// spline, nested groups and a particle object of "fx/a.vexa" (emitter
// "spark" stored as ID 7, "smoke" new), custom properties of all six types
// and one type-9 description that nothing uses. Sprite 1 is "box" of
// "spr/place.spr".
inline Tools::CPlaceDocument SampleDocument() {
    Tools::CPlaceDocument doc;
    doc.spriteViewJunk = {1, 2, 3};
    doc.libraryJunk = {9};
    doc.snapJunk = {4, 5};
    doc.nextEmitterId = 8;
    doc.emitters = {{7, "fx/a.vexa", "spark"}};
    doc.effectFiles = {"fx/a.vexa"};
    doc.descs = {{1, "title", 0}, {2, "count", 1}, {3, "number", 2}, {4, "visible", 3},
                 {5, "pair", 4},  {6, "list", 5},  {9, "unused", 9}};
    auto text = Value(1, 0);
    text.text = "hello";
    auto count = Value(2, 1);
    count.word = uint32_t(-5);
    auto number = Value(3, 2);
    number.word = 0x3F800000;
    auto flag = Value(4, 3);
    flag.byte = 2;
    auto pair = Value(5, 4);
    pair.pair[0] = 11;
    pair.pair[1] = 12;
    auto list = Value(6, 5);
    list.listHead = 3;
    list.list = {7, 8, 9};
    doc.properties = {text, count, number, flag, pair, list};
    doc.spriteFiles = {{"spr/place.spr", {{1, "box"}, {2, "tile"}}}, {"spr/empty.spr", {}}};

    Tools::CPlaceLayerDoc layer;
    layer.name = "back";
    layer.flag = 1;
    layer.flags = 0x06;
    layer.properties = {flag};
    auto sprite = Object(1, 10, 100, 100, 64, 32);
    sprite.spriteId = 1;
    sprite.nestedJunk = {0xAA, 0xBB};
    sprite.properties = {count};
    sprite.flags = 0x1B;  // Flag0, Flag1, QueueFlag1, QueueFlag2; bit 2 clear
    sprite.color = 0x80402010;
    sprite.offsetX = 0.25f;
    sprite.tileX = 1;
    sprite.tileScaleX = 2.0f;
    sprite.frame = 0;
    sprite.spriteFlags = 0x0203;
    auto unlinked = Object(3, 11);
    unlinked.spriteId = 1;
    unlinked.flags = 0x04;  // forces blend mode 4
    unlinked.spriteFlags = 0x0200;
    auto spline = Object(2, 12);
    spline.closed = 1;
    spline.points = {{{1, 2}, {3, 4}, {5, 6}, 7, 8}, {{-1, -2}, {-3, -4}, {-5, -6}, 0, 1}};
    auto group = Object(4, 20, 200, 200);
    group.groupJunk = {1};
    auto child = Object(1, 21, 210, 200, 64, 32);
    child.spriteId = 2;
    auto inner = Object(4, 22);
    auto grandchild = Object(1, 23);
    grandchild.spriteId = 1;
    inner.children = {grandchild};
    group.children = {child, inner};
    auto particles = Object(6, 30, 40, 50, 20, 10);
    particles.emitterId = 8;
    particles.tint = 0x80FF0000;
    particles.emitterValue = 1.5f;
    layer.objects = {sprite, unlinked, spline, group, particles};
    doc.layers = {layer, Tools::CPlaceLayerDoc{"front", 0, 0, {}, {}}};
    return doc;
}

} // namespace PlaceTest
